#pragma once

#include "converter/URejestratorKMX685.h"

#include <optional>
#include <string>
#include <string_view>

class QWidget;

// What one conversion came to, handed to the window as a value.
struct ConversionOutcome {
    ConversionResult result;
    std::optional<ConversionError> failure; // why, when the result is Failed
};

// Runs converter.ConvertFiles(outputPath) on a worker thread. Meanwhile the
// user-interface thread goes on with its events: windows repaint and windows
// may close, the progress dialog over `window` follows the converter, and
// "Anuluj" cancels it; no window but the dialog in front takes user input.
// Any exception of the conversion ends as a failure, not as an abort.
ConversionOutcome RunConversion(TRejestratorKMX685& converter, const std::string& outputPath,
                                QWidget* window);

// The converter's error handler in the program: it runs on the conversion's
// thread and keeps the failure for the RunConversion on that thread.
void KeepConversionError(std::string_view message, const ConversionError& error);
