#include "app/WindowOpeners.h"

#include "editor/SynEdit.h"
#include "editor/UEdytorF.h"
#include "editor/UEdytorFrame.h"
#ifndef _WIN32
#include "help/UPomocF.h"
#endif

#include <QApplication>
#include <QFileInfo>
#include <QPointer>

namespace {

bool IsHelpWindow(const QWidget* window) {
#ifdef _WIN32
    Q_UNUSED(window);
    return false;
#else
    return qobject_cast<const TPomocF*>(window) != nullptr;
#endif
}

} // namespace

QWidget* OpenResultFile(const QString& path, int textSize, std::function<void()> onClosed) {
    auto* editor = new TEdytorF();
    // Queued: the callback must not run while the closing window is half destroyed.
    QObject::connect(editor, &TEdytorF::Closed, qApp, std::move(onClosed), Qt::QueuedConnection);
    editor->SetTextSize(textSize);
    editor->OpenFile(path);
    return editor;
}

// One window per file, so that two windows never hold different edits of it.
QWidget* OpenFileAtLine(const QString& path, std::uint64_t line, int textSize,
                        std::function<void()> onClosed) {
    QPointer<TEdytorF> editor;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* open = qobject_cast<TEdytorF*>(window);
        if (open && open->isVisible() &&
            QFileInfo(open->EdytorFrame->FileName) == QFileInfo(path)) {
            editor = open;
        }
    }
    if (!editor) {
        editor = static_cast<TEdytorF*>(OpenResultFile(path, textSize, std::move(onClosed)));
    }
    if (!editor || !editor->isVisible()) {
        return nullptr;
    }
    editor->EdytorFrame->SynEdit1->SelectRecordLine(line);
    editor->raise();
    editor->activateWindow();
    return editor;
}

// Held weakly: while a question is open, another editor may be closed and go.
bool EditorsAgreeToClose() {
    QList<QPointer<TEdytorF>> editors;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* editor = qobject_cast<TEdytorF*>(window)) {
            editors.append(editor);
        }
    }
    for (const QPointer<TEdytorF>& editor : editors) {
        if (editor && editor->isVisible() && !editor->FormCloseQuery()) {
            return false;
        }
    }
    return true;
}

// Picked out before any is deleted: an editor takes its search dialog with it.
void DestroyEditorAndHelpWindows() {
    QWidgetList windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<TEdytorF*>(window) || IsHelpWindow(window)) {
            windows.append(window);
        }
    }
    qDeleteAll(windows);
}

// Windows has no help window: ManualInReader.cpp opens the manual in the PDF reader.
#ifndef _WIN32
QWidget* OpenHelp(const QString& pdfPath) {
    auto* help = new TPomocF();
    help->LoadPdf(pdfPath);
    return help;
}
#endif
