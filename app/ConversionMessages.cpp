#include "app/ConversionMessages.h"

#include "gui/Dialogs.h"

#include <QLocale>

namespace {

QString Count(std::uint64_t value) {
    return QLocale(QLocale::Polish).toString(qulonglong(value));
}

} // namespace

void ShowConversionError(QWidget* parent, const ConversionError& error) {
    ShowError(parent,
              QString::fromUtf8(kConversionFailedMessage.data(),
                                qsizetype(kConversionFailedMessage.size())),
              QString::fromStdString(error.detail));
}

QString SummaryText(const ConversionSummary& summary, std::uint64_t notes) {
    QString text =
        QStringLiteral("Pliki: %1, stanowiska: %2, obserwacje: %3, pominięte wiersze: %4")
            .arg(Count(summary.files), Count(summary.stations), Count(summary.observations),
                 Count(summary.skippedLines));
    if (notes != 0) {
        text += QStringLiteral(", uwagi: %1").arg(Count(notes));
    }
    return text;
}

QString ReportSummaryText(const ConversionReport& report) {
    QString text = QStringLiteral("Uwagi: %1").arg(Count(report.Count()));
    if (report.Omitted() != 0) {
        text += QStringLiteral(" (pokazano pierwsze %1; … i %2 dalszych)")
                    .arg(Count(report.Entries().size()), Count(report.Omitted()));
    }
    return text + QStringLiteral(". Dwukrotne kliknięcie wiersza otwiera plik w edytorze.");
}
