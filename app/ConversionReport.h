#pragma once

#include "converter/URejestratorKMX685.h"

#include <QString>

#include <string_view>

// The converter's error handler in the program: the fixed message, and the
// converter's detail beneath it, in a message box over the active window.
void ShowConversionError(std::string_view message, const ConversionError& error);

// One line for the status bar after a successful conversion.
QString SummaryText(const ConversionSummary& summary);
