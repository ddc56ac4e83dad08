#include "app/ConversionProgress.h"

#include "gui/Dialogs.h"

#include <QElapsedTimer>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

int Percent(std::uint64_t done, std::uint64_t total) {
    if (total == 0) {
        return 0;
    }
    return int(std::min<std::uint64_t>(done, total) * 100 / total);
}

ConversionProgress::Clock SteadyClock() {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return std::chrono::milliseconds(timer->elapsed()); };
}

} // namespace

ConversionProgress::ConversionProgress(QWidget* parent, Clock elapsed)
    : dialog_(QStringLiteral("Przetwarzanie plików…"), QStringLiteral("Anuluj"), 0, 100, parent),
      bar_(new QProgressBar), elapsed_(elapsed ? std::move(elapsed) : SteadyClock()) {
    dialog_.setBar(bar_);
    dialog_.setWindowTitle(ProgramTitle());
    dialog_.setWindowModality(Qt::ApplicationModal);
    // The dialog's own show timer never fires: Tick decides, on our clock.
    dialog_.setMinimumDuration(std::numeric_limits<int>::max());
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    ticker_.setInterval(50);
    QObject::connect(&ticker_, &QTimer::timeout, [this] { Tick(); });
    ticker_.start();
}

void ConversionProgress::Update(std::uint64_t bytesDone, std::uint64_t bytesTotal) {
    bar_->setValue(Percent(bytesDone, bytesTotal));
    Tick();
}

void ConversionProgress::Tick() {
    if (!dialog_.isVisible() && !dialog_.wasCanceled() && elapsed_() >= kShowAfter) {
        ticker_.stop();
        dialog_.show();
    }
}
