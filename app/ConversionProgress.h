#pragma once

#include <QProgressBar>
#include <QProgressDialog>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>

// The progress dialog of one conversion, on the user-interface thread. It appears
// only once the conversion has run about half a second, blocks every other
// window while it shows; "Anuluj" is the dialog's canceled signal.
class ConversionProgress {
public:
    // Time since the conversion started; tests give their own.
    using Clock = std::function<std::chrono::milliseconds()>;
    static constexpr std::chrono::milliseconds kShowAfter{500};

    explicit ConversionProgress(QWidget* parent, Clock elapsed = {});

    void Update(std::uint64_t bytesDone, std::uint64_t bytesTotal);
    // Shows the dialog once it is due; a timer calls it too, so the dialog also
    // appears while no progress comes (a slow disk, a network folder).
    void Tick();

    QProgressDialog& Dialog() { return dialog_; }

private:
    QProgressDialog dialog_;
    QProgressBar* bar_; // owned by the dialog; set directly, as the dialog's
                        // setValue would run a nested event loop once shown
    QTimer ticker_;
    Clock elapsed_;
};
