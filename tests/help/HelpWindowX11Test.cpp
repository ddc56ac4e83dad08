// The help window on a real X server, driven by real key presses, wheel
// clicks and window resizing sent through the X server (xdotool), as a user
// drives it. Run by help-window-x11.sh under its own Xvfb, bare or with openbox.
#include "help/PdfPageView.h"
#include "help/TAcroPDF.h"
#include "help/UPomocF.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QScrollBar>
#include <QTest>

namespace {

const QString kManual = QStringLiteral(REJKMX_MANUAL_PDF);

// Runs xdotool while the window goes on taking its events.
bool Xdotool(const QStringList& args) {
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), args);
    while (!xdotool.waitForFinished(10)) {
        if (xdotool.state() == QProcess::NotRunning) {
            break;
        }
        QCoreApplication::processEvents();
    }
    QTest::qWait(150); // the events reach the window through the X server
    return xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
}

QString WindowId(const QWidget* window) {
    return QString::number(window->winId());
}

bool Near(const PdfPlace& a, const PdfPlace& b) {
    return a.page == b.page && qAbs(a.top - b.top) < 2.0;
}

QString Describe(const PdfPlace& place) {
    return QStringLiteral("page %1, %2 pt").arg(place.page + 1).arg(place.top);
}

} // namespace

class HelpWindowX11Test : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void zoomKeysAndWheelKeepTheReadingPosition();
    void resizingKeepsTheReadingPosition();
    void searchWithTheKeyboard();

private:
    QPointer<TPomocF> window_;
    PdfPageView* view_ = nullptr;
};

// A help window on the manual, clicked into, eight screens down with Page Down.
void HelpWindowX11Test::init() {
    window_ = new TPomocF();
    window_->LoadPdf(kManual);
    QVERIFY(QTest::qWaitForWindowExposed(window_));
    view_ = window_->AcroPDF1->view();
    const QPoint inView = view_->mapTo(window_.data(), view_->rect().center());
    QVERIFY(Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), WindowId(window_),
                     QString::number(inView.x()), QString::number(inView.y()),
                     QStringLiteral("click"), QStringLiteral("1")}));
    QTRY_VERIFY(view_->hasFocus() && window_->isActiveWindow());
    QStringList keys{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40")};
    for (int i = 0; i < 8; ++i) {
        keys << QStringLiteral("Next");
    }
    QVERIFY(Xdotool(keys));
    QTRY_VERIFY(view_->topOfView().page >= 3);
}

void HelpWindowX11Test::cleanup() {
    delete window_;
}

void HelpWindowX11Test::zoomKeysAndWheelKeepTheReadingPosition() {
    const PdfPlace reading = view_->topOfView();
    const qreal fitted = view_->verticalScrollBar()->maximum();
    for (const char* key : {"ctrl+plus", "ctrl+minus", "ctrl+plus", "ctrl+0"}) {
        const int before = view_->verticalScrollBar()->maximum();
        QVERIFY(Xdotool({QStringLiteral("key"), QString::fromLatin1(key)}));
        QTRY_VERIFY2(view_->verticalScrollBar()->maximum() != before, key);
        QVERIFY2(Near(view_->topOfView(), reading), qPrintable(Describe(view_->topOfView())));
    }
    QCOMPARE(view_->zoomMode(), QPdfView::ZoomMode::FitToWidth);
    QCOMPARE(view_->verticalScrollBar()->maximum(), fitted);

    // Ctrl and wheel clicks with the pointer over the pages.
    for (const char* button : {"4", "5"}) {
        const int before = view_->verticalScrollBar()->maximum();
        QVERIFY(Xdotool({QStringLiteral("keydown"), QStringLiteral("ctrl"), QStringLiteral("click"),
                         QString::fromLatin1(button), QStringLiteral("keyup"),
                         QStringLiteral("ctrl")}));
        QTRY_VERIFY2(view_->verticalScrollBar()->maximum() != before, button);
        QVERIFY2(Near(view_->topOfView(), reading), qPrintable(Describe(view_->topOfView())));
    }
}

void HelpWindowX11Test::resizingKeepsTheReadingPosition() {
    const PdfPlace reading = view_->topOfView();
    for (const QSize size : {QSize(1000, 700), QSize(640, 480), QSize(757, 530)}) {
        QVERIFY(Xdotool({QStringLiteral("windowsize"), QStringLiteral("--sync"), WindowId(window_),
                         QString::number(size.width()), QString::number(size.height())}));
        QTRY_COMPARE(window_->size(), size);
        QVERIFY2(Near(view_->topOfView(), reading),
                 qPrintable(QStringLiteral("%1 at %2x%3")
                                .arg(Describe(view_->topOfView()))
                                .arg(size.width())
                                .arg(size.height())));
    }
}

void HelpWindowX11Test::searchWithTheKeyboard() {
    auto* counter = window_->findChild<QLabel*>(QStringLiteral("MatchCount"));
    QVERIFY(counter);
    QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("ctrl+f")}));
    QVERIFY(Xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"),
                     QStringLiteral("kavero.ini")}));
    QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("Return")}));
    QTRY_VERIFY(counter->text().contains(QStringLiteral(" z ")));
    const QString first = counter->text().section(' ', 0, 0);
    const QString total = counter->text().section(' ', 2, 2);
    QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("F3")}));
    QTRY_COMPARE(counter->text(), QStringLiteral("%1 z %2").arg(first.toInt() + 1).arg(total));
    QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("shift+F3")}));
    QTRY_COMPARE(counter->text(), QStringLiteral("%1 z %2").arg(first, total));
    QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("Escape")}));
    QTRY_VERIFY(view_->hasFocus());
}

QTEST_MAIN(HelpWindowX11Test)
#include "HelpWindowX11Test.moc"
