#include "WindowOpeners.h"

#include "Przycisk.h"
#include "UEdytorF.h"
#include "UPomocF.h"

#include <QApplication>

QWidget* OpenResultFile(const QString& path, int textSize) {
    auto* editor = new TEdytorF();
    // Queued: the refresh must not run while the closing window is half destroyed.
    QObject::connect(editor, &TEdytorF::Closed, qApp, &RefreshFileButtons, Qt::QueuedConnection);
    editor->SetTextSize(textSize);
    editor->OpenFile(path);
    return editor;
}

QWidget* OpenHelp(const QString& pdfPath) {
    auto* help = new TPomocF();
    help->LoadPdf(pdfPath);
    return help;
}
