#include "ConversionReport.h"

#include "Dialogs.h"

#include <QApplication>

void ShowConversionError(std::string_view message, const ConversionError& error) {
    ShowError(QApplication::activeWindow(),
              QString::fromUtf8(message.data(), qsizetype(message.size())),
              QString::fromStdString(error.detail));
}

QString SummaryText(const ConversionSummary& summary) {
    return QStringLiteral("Pliki: %1, stanowiska: %2, obserwacje: %3, pominięte wiersze: %4")
        .arg(summary.files)
        .arg(summary.stations)
        .arg(summary.observations)
        .arg(summary.skippedLines);
}
