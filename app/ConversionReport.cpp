#include "app/ConversionReport.h"

#include "gui/Dialogs.h"

#include <QApplication>
#include <QProgressDialog>

void ShowConversionError(std::string_view message, const ConversionError& error) {
    // A failure ends the conversion: a progress dialog already up goes first, so
    // the message does not sit over a dialog that will never move again.
    QWidget* parent = QApplication::activeWindow();
    if (auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget())) {
        parent = progress->parentWidget();
        progress->hide();
    }
    ShowError(parent, QString::fromUtf8(message.data(), qsizetype(message.size())),
              QString::fromStdString(error.detail));
}

QString SummaryText(const ConversionSummary& summary) {
    return QStringLiteral("Pliki: %1, stanowiska: %2, obserwacje: %3, pominięte wiersze: %4")
        .arg(summary.files)
        .arg(summary.stations)
        .arg(summary.observations)
        .arg(summary.skippedLines);
}
