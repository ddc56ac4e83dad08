#pragma once

#include "converter/URejestratorKMX685.h"

#include <QString>

#include <cstdint>

class QWidget;

// A failed conversion shown to the user over `parent`: the fixed message, and
// the converter's detail beneath it.
void ShowConversionError(QWidget* parent, const ConversionError& error);

// One line for the status bar after a successful conversion; counts are grouped
// by thousands as in Polish ("14 896 000", with no-break spaces). With report
// entries it ends in ", uwagi: N".
QString SummaryText(const ConversionSummary& summary, std::uint64_t notes = 0);

// The count under the report's entries, and how many were left out.
QString ReportSummaryText(const ConversionReport& report);
