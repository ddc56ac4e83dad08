#include "app/ConversionMessages.h"

#include "gui/Dialogs.h"

#include <QLocale>

namespace {

QString Count(std::size_t value) {
    return QLocale(QLocale::Polish).toString(qulonglong(value));
}

} // namespace

void ShowConversionError(QWidget* parent, const ConversionError& error) {
    ShowError(parent,
              QString::fromUtf8(kConversionFailedMessage.data(),
                                qsizetype(kConversionFailedMessage.size())),
              QString::fromStdString(error.detail));
}

QString SummaryText(const ConversionSummary& summary) {
    return QStringLiteral("Pliki: %1, stanowiska: %2, obserwacje: %3, pominięte wiersze: %4")
        .arg(Count(summary.files), Count(summary.stations), Count(summary.observations),
             Count(summary.skippedLines));
}
