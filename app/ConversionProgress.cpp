#include "app/ConversionProgress.h"

#include <QGuiApplication>

#include <algorithm>
#include <limits>

namespace {

int Percent(std::uint64_t done, std::uint64_t total) {
    if (total == 0) {
        return 0;
    }
    return int(std::min<std::uint64_t>(done, total) * 100 / total);
}

} // namespace

ConversionProgress::ConversionProgress(QWidget* parent)
    : dialog_(QStringLiteral("Przetwarzanie plików…"), QStringLiteral("Anuluj"), 0, 100, parent) {
    dialog_.setWindowTitle(QGuiApplication::applicationDisplayName());
    dialog_.setWindowModality(Qt::ApplicationModal);
    // Keeps the dialog's own show timer from ever firing.
    dialog_.setMinimumDuration(std::numeric_limits<int>::max());
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    dialog_.setValue(0);
    clock_.start();
}

bool ConversionProgress::Report(std::uint64_t bytesDone, std::uint64_t bytesTotal) {
    dialog_.setValue(Percent(bytesDone, bytesTotal));
    if (!dialog_.isVisible() && clock_.elapsed() >= kShowAfterMs) {
        dialog_.show();
    }
    // Before the dialog shows, clicks and keys must not reach the windows; once it
    // shows, being modal it lets input reach only itself.
    QGuiApplication::processEvents(dialog_.isVisible() ? QEventLoop::AllEvents
                                                       : QEventLoop::ExcludeUserInputEvents);
    return !dialog_.wasCanceled();
}
