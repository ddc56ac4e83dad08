// The help button on Windows: Qt PDF does not exist there, so the manual opens in
// the PDF reader the user has installed. No window of ours is made.

#include "app/WindowOpeners.h"
#include "gui/Dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

// Why the manual cannot be handed over, in words a user can act on; empty when it can.
QString ManualProblem(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return QStringLiteral("Plik nie istnieje. Zainstaluj program ponownie albo skopiuj "
                              "RejKMX.pdf do folderu programu.");
    }
    if (info.isDir()) {
        return QStringLiteral("To jest folder, a nie plik.");
    }
    return QString();
}

void ShowManualProblem(const QString& path, const QString& cause) {
    ShowError(
        QApplication::activeWindow(),
        QStringLiteral("Nie można otworzyć podręcznika: %1").arg(QDir::toNativeSeparators(path)),
        cause);
}

} // namespace

QWidget* OpenHelp(const QString& pdfPath) {
    const QString problem = ManualProblem(pdfPath);
    if (!problem.isEmpty()) {
        ShowManualProblem(pdfPath, problem);
    } else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(pdfPath))) {
        ShowManualProblem(pdfPath, QStringLiteral("Brak programu do wyświetlania plików PDF. "
                                                  "Zainstaluj czytnik PDF i ustaw go jako "
                                                  "program otwierający pliki .pdf."));
    }
    return nullptr;
}
