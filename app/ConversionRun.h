#pragma once

#include "converter/URejestratorKMX685.h"

#include <string>

class QWidget;

// Runs converter.ConvertFiles(outputPath) on a worker thread. Meanwhile the
// user-interface thread goes on with its events: windows repaint and windows
// may close, the progress dialog over `window` follows the converter, and
// "Anuluj" cancels it; no window but the dialog in front takes user input.
// Any exception of the conversion ends as a failure, not as an abort. The result
// comes back to the window as a value.
ConversionResult RunConversion(TRejestratorKMX685& converter, const std::string& outputPath,
                               QWidget* window);
