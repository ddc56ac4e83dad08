#pragma once

#include <QElapsedTimer>
#include <QProgressDialog>

#include <cstdint>

// The progress of one conversion. The dialog appears only once the conversion has
// run about half a second; until then the windows are repainted but take no input,
// and afterwards the dialog blocks every other window. Lives for one conversion.
// The dialog is shown from Report only, never by a timer, so it cannot pop up over
// the failure message the converter shows from inside the conversion.
class ConversionProgress {
public:
    static constexpr int kShowAfterMs = 500;

    explicit ConversionProgress(QWidget* parent);

    // The converter's progress handler: false once the user cancelled.
    bool Report(std::uint64_t bytesDone, std::uint64_t bytesTotal);

private:
    QProgressDialog dialog_;
    QElapsedTimer clock_;
};
