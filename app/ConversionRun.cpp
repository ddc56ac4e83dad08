#include "app/ConversionRun.h"

#include "app/ConversionProgress.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <atomic>
#include <exception>
#include <new>
#include <system_error>
#include <thread>

namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

// Lets user input reach only the modal dialog in front (the progress dialog,
// or a question a window asks meanwhile); everything else passes.
class InputExclusion : public QObject {
public:
    InputExclusion() { qApp->installEventFilter(this); }
    ~InputExclusion() override { qApp->removeEventFilter(this); }
    InputExclusion(const InputExclusion&) = delete;
    InputExclusion& operator=(const InputExclusion&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !IsUserInput(event->type())) {
            return false;
        }
        const QWidget* modal = QApplication::activeModalWidget();
        return !(modal && (widget == modal || modal->isAncestorOf(widget)));
    }
};

// Carries progress from the worker to the user-interface thread and "Anuluj"
// back. The worker never waits for the user-interface thread: it stores the
// numbers and posts one update at a time.
class ProgressChannel : public QObject {
public:
    explicit ProgressChannel(ConversionProgress& progress) : progress_(progress) {}

    // On the worker thread.
    bool Report(std::uint64_t done, std::uint64_t total) {
        done_ = done;
        total_ = total;
        if (!updatePending_.exchange(true)) {
            QMetaObject::invokeMethod(
                this, [this] { Deliver(); }, Qt::QueuedConnection);
        }
        return !cancelled_;
    }
    void Finish() {
        finished_ = true;
        QMetaObject::invokeMethod(
            this, [] {}, Qt::QueuedConnection); // wakes the loop
    }

    // On the user-interface thread.
    bool Finished() const { return finished_; }
    void Cancel() { cancelled_ = true; }

private:
    void Deliver() {
        updatePending_ = false;
        progress_.Update(done_, total_);
    }

    ConversionProgress& progress_;
    std::atomic<std::uint64_t> done_{0};
    std::atomic<std::uint64_t> total_{0};
    std::atomic<bool> updatePending_{false};
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> finished_{false};
};

ConversionError Unexpected(std::string detail) {
    return {std::string(), std::move(detail)};
}

// On the worker thread: whatever happens ends in a result.
ConversionResult Convert(TRejestratorKMX685& converter, const std::string& outputPath) {
    ConversionResult result;
    try {
        result = converter.ConvertFiles(outputPath);
    } catch (const std::bad_alloc&) {
        result.status = ConversionStatus::Failed;
        result.failure = Unexpected("Za mało pamięci, aby dokończyć konwersję.");
    } catch (const std::exception& error) {
        result.status = ConversionStatus::Failed;
        result.failure = Unexpected(std::string("Nieoczekiwany błąd: ") + error.what());
    } catch (...) {
        result.status = ConversionStatus::Failed;
        result.failure = Unexpected("Nieoczekiwany błąd.");
    }
    return result;
}

} // namespace

ConversionResult RunConversion(TRejestratorKMX685& converter, const std::string& outputPath,
                               QWidget* window) {
    ConversionProgress progress(window);
    ProgressChannel channel(progress);
    QObject::connect(&progress.Dialog(), &QProgressDialog::canceled, &channel,
                     [&channel] { channel.Cancel(); });
    converter.SetProgressHandler([&channel](std::uint64_t done, std::uint64_t total) {
        return channel.Report(done, total);
    });

    ConversionResult result;
    try {
        const InputExclusion exclusion;
        std::thread worker([&] {
            result = Convert(converter, outputPath);
            channel.Finish();
        });
        // Not a nested QEventLoop: a quit meant for the program must not end
        // this wait while the worker still runs.
        while (!channel.Finished()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        }
        worker.join();
    } catch (const std::system_error& error) { // no thread could be started
        result.status = ConversionStatus::Failed;
        result.failure = Unexpected(std::string("Nie można rozpocząć konwersji: ") + error.what());
    }
    converter.SetProgressHandler({});
    return result;
}
