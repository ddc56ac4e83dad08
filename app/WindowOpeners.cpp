#include "app/WindowOpeners.h"

#include "editor/UEdytorF.h"
#ifndef _WIN32
#include "help/UPomocF.h"
#endif

#include <QApplication>

QWidget* OpenResultFile(const QString& path, int textSize, std::function<void()> onClosed) {
    auto* editor = new TEdytorF();
    // Queued: the callback must not run while the closing window is half destroyed.
    QObject::connect(editor, &TEdytorF::Closed, qApp, std::move(onClosed), Qt::QueuedConnection);
    editor->SetTextSize(textSize);
    editor->OpenFile(path);
    return editor;
}

// Windows has no help window: ManualInReader.cpp opens the manual in the PDF reader.
#ifndef _WIN32
QWidget* OpenHelp(const QString& pdfPath) {
    auto* help = new TPomocF();
    help->LoadPdf(pdfPath);
    return help;
}
#endif
