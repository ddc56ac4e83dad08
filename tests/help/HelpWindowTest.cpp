#include "help/PdfPageView.h"
#include "help/PdfSearch.h"
#include "help/TAcroPDF.h"
#include "help/UPomocF.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfView>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedLayout>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

namespace {

const QString kManual = QStringLiteral(REJKMX_MANUAL_PDF);

QLabel* MessageLabel(TAcroPDF* pdf) {
    const auto* stack = qobject_cast<QStackedLayout*>(pdf->layout());
    return stack ? qobject_cast<QLabel*>(stack->currentWidget()) : nullptr;
}

void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void SendCtrlWheel(QWidget* target, int angle) {
    const QPointF pos(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent event(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, angle), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

// A help window on the manual, shown and active, scrolled eight screens down.
TPomocF* ReadingWindow() {
    auto* window = new TPomocF();
    window->LoadPdf(kManual);
    QApplication::setActiveWindow(window);
    if (!QTest::qWaitForWindowActive(window)) {
        qFatal("the help window does not become active");
    }
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(window->AcroPDF1->view(), Qt::Key_PageDown);
    }
    return window;
}

template <typename T> T* Part(QWidget* window, const char* name) {
    T* part = window->findChild<T*>(QString::fromLatin1(name));
    if (!part) {
        qFatal("no %s in the help window", name);
    }
    return part;
}

} // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT

private slots:
    void windowShowsItselfWithItsLayout();
    void manualShowsAllPages();
    void unreadableFileShowsMessage_data();
    void unreadableFileShowsMessage();
    void goodFileAfterFailureShowsDocument();
    void closingFreesOnlyThatWindow();
    void zoomKeysAndWheel();
    void navigationKeys_data();
    void navigationKeys();
    void readingPositionSurvivesZoomAndResize_data();
    void readingPositionSurvivesZoomAndResize();
    void toolBarFollowsAndMovesTheReader();
    void searchGoesFromMatchToMatch();

private:
    QTemporaryDir dir_;
};

void HelpWindowTest::windowShowsItselfWithItsLayout() {
    QPointer<TPomocF> window = new TPomocF();
    QVERIFY(window->isVisible());
    QVERIFY(window->isWindow());
    QVERIFY(window->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(window->windowTitle(), QStringLiteral("Pomoc"));
    QCOMPARE(window->size(), QSize(757, 530));
    QCOMPARE(window->font().pointSize(), 8);
    QCOMPARE(window->font().family(), QStringLiteral("Tahoma"));
    QVERIFY(!window->isModal());
    QVERIFY(window->AcroPDF1 != nullptr);
    // The viewer fills what a slim toolbar leaves, at any size.
    const QWidget* toolBar = Part<QWidget>(window, "ToolBar");
    QVERIFY(toolBar->height() <= 32);
    QVERIFY(toolBar->minimumSizeHint().width() <= 757);
    QCOMPARE(window->AcroPDF1->geometry(),
             QRect(0, toolBar->height(), 757, 530 - toolBar->height()));

    window->resize(900, 700);
    QTRY_COMPARE(window->AcroPDF1->geometry(),
                 QRect(0, toolBar->height(), 900, 700 - toolBar->height()));
    window->close();
    FlushDeletes();
    QVERIFY(window.isNull());
}

void HelpWindowTest::manualShowsAllPages() {
    auto* window = new TPomocF();
    window->LoadPdf(kManual);
    TAcroPDF* pdf = window->AcroPDF1;
    QVERIFY2(!pdf->hasError(), qPrintable(pdf->errorText()));
    QCOMPARE(pdf->document()->status(), QPdfDocument::Status::Ready);
    QVERIFY(pdf->document()->pageCount() > 0);
    QVERIFY(pdf->view()->isVisible());
    QCOMPARE(pdf->view()->pageMode(), QPdfView::PageMode::MultiPage);
    QCOMPARE(pdf->view()->zoomMode(), QPdfView::ZoomMode::FitToWidth);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // All pages in one column: the column is many screens tall, and fitted to the width.
    QVERIFY(pdf->view()->verticalScrollBar()->maximum() > pdf->view()->viewport()->height());
    QCOMPARE(pdf->view()->horizontalScrollBar()->maximum(), 0);
    window->close();
}

void HelpWindowTest::unreadableFileShowsMessage_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("cause");

    const QString missing = dir_.filePath(QStringLiteral("brak/RejKMX.pdf"));
    const QString text = dir_.filePath(QStringLiteral("tekst.pdf"));
    const QString empty = dir_.filePath(QStringLiteral("pusty.pdf"));
    const QString cut = dir_.filePath(QStringLiteral("ucięty.pdf"));
    {
        QFile f(text);
        f.open(QIODevice::WriteOnly);
        f.write("To nie jest plik PDF, tylko zwykły tekst.\r\n");
    }
    {
        QFile f(empty);
        f.open(QIODevice::WriteOnly);
    }
    {
        QFile manual(kManual);
        manual.open(QIODevice::ReadOnly);
        QFile f(cut);
        f.open(QIODevice::WriteOnly);
        f.write(manual.read(200));
    }

    QTest::newRow("missing") << missing << QStringLiteral("Plik nie istnieje.");
    QTest::newRow("text, not a PDF")
        << text << QStringLiteral("Plik jest uszkodzony albo nie jest plikiem PDF.");
    QTest::newRow("empty") << empty
                           << QStringLiteral("Plik jest uszkodzony albo nie jest plikiem PDF.");
    QTest::newRow("cut short") << cut
                               << QStringLiteral("Plik jest uszkodzony albo nie jest plikiem PDF.");
    QTest::newRow("folder") << dir_.path() << QStringLiteral("To jest folder, a nie plik.");
    QTest::newRow("no name") << QString() << QStringLiteral("Nie podano nazwy pliku.");
}

void HelpWindowTest::unreadableFileShowsMessage() {
    QFETCH(QString, path);
    QFETCH(QString, cause);
    QPointer<TPomocF> window = new TPomocF();
    window->LoadPdf(path);
    TAcroPDF* pdf = window->AcroPDF1;

    QVERIFY(pdf->hasError());
    const QString expected = QStringLiteral("Nie można otworzyć podręcznika: %1\n%2")
                                 .arg(QDir::toNativeSeparators(path), cause);
    QCOMPARE(pdf->errorText(), expected);
    QLabel* label = MessageLabel(pdf);
    QVERIFY(label != nullptr);
    QVERIFY(label->isVisible());
    QCOMPARE(label->text(), expected);
    QVERIFY(!pdf->view()->isVisible());
    QCOMPARE(pdf->document()->pageCount(), 0);
    QVERIFY(!Part<QWidget>(window, "ToolBar")->isEnabled());

    FlushDeletes();
    QVERIFY(!window.isNull());
    QVERIFY(window->isVisible());
    window->close();
}

void HelpWindowTest::goodFileAfterFailureShowsDocument() {
    auto* window = new TPomocF();
    window->LoadPdf(dir_.filePath(QStringLiteral("nie-ma.pdf")));
    QVERIFY(window->AcroPDF1->hasError());

    window->LoadPdf(kManual);
    QVERIFY(!window->AcroPDF1->hasError());
    QVERIFY(window->AcroPDF1->errorText().isEmpty());
    QVERIFY(window->AcroPDF1->view()->isVisible());
    QVERIFY(window->AcroPDF1->document()->pageCount() > 0);
    window->close();
}

void HelpWindowTest::closingFreesOnlyThatWindow() {
    QPointer<TPomocF> first = new TPomocF();
    QPointer<TPomocF> second = new TPomocF();
    first->LoadPdf(kManual);
    second->LoadPdf(kManual);
    QVERIFY(first != second);
    QVERIFY(first->AcroPDF1->document() != second->AcroPDF1->document());
    QVERIFY(first->isVisible() && second->isVisible());

    first->close();
    FlushDeletes();
    QVERIFY(first.isNull());
    QVERIFY(!second.isNull());
    QVERIFY(second->isVisible());
    QCOMPARE(second->AcroPDF1->document()->status(), QPdfDocument::Status::Ready);
    QVERIFY(second->AcroPDF1->document()->pageCount() > 0);
    second->close();
    FlushDeletes();
    QVERIFY(second.isNull());
}

void HelpWindowTest::zoomKeysAndWheel() {
    auto* window = new TPomocF();
    window->LoadPdf(kManual);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QPdfView* view = window->AcroPDF1->view();
    const int fittedHeight = view->verticalScrollBar()->maximum();

    QTest::keyClick(view, Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(view->zoomMode(), QPdfView::ZoomMode::Custom);
    QVERIFY(view->horizontalScrollBar()->maximum() > 0);
    const qreal zoomedIn = view->zoomFactor();

    // One step out from one step in is the fitted width again, not some other scale.
    QTest::keyClick(view, Qt::Key_Minus, Qt::ControlModifier);
    QVERIFY(view->zoomFactor() < zoomedIn);
    QVERIFY(view->horizontalScrollBar()->maximum() <= 2);
    QVERIFY(qAbs(view->verticalScrollBar()->maximum() - fittedHeight) < fittedHeight / 50);

    SendCtrlWheel(view->viewport(), 120);
    QCOMPARE(view->zoomFactor(), zoomedIn);
    SendCtrlWheel(view->viewport(), -60);
    QCOMPARE(view->zoomFactor(), zoomedIn);
    SendCtrlWheel(view->viewport(), -60);
    QVERIFY(view->zoomFactor() < zoomedIn);

    QTest::keyClick(view, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(view->zoomMode(), QPdfView::ZoomMode::FitToWidth);
    QCOMPARE(view->horizontalScrollBar()->maximum(), 0);

    // Without Ctrl the wheel scrolls and leaves the zoom alone.
    QWheelEvent plain(QPointF(10, 10), view->mapToGlobal(QPointF(10, 10)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &plain);
    QCOMPARE(view->zoomMode(), QPdfView::ZoomMode::FitToWidth);
    QVERIFY(view->verticalScrollBar()->value() > 0);
    window->close();
}

void HelpWindowTest::navigationKeys_data() {
    QTest::addColumn<int>("start"); // 0 top, 1 bottom
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("move"); // 1 one screen down, -1 one screen up, 2 bottom, -2 top

    QTest::newRow("Page Down from the top") << 0 << int(Qt::Key_PageDown) << 1;
    QTest::newRow("Page Up from the bottom") << 1 << int(Qt::Key_PageUp) << -1;
    QTest::newRow("End") << 0 << int(Qt::Key_End) << 2;
    QTest::newRow("Home") << 1 << int(Qt::Key_Home) << -2;
}

void HelpWindowTest::navigationKeys() {
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, move);
    auto* window = new TPomocF();
    window->LoadPdf(kManual);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QPdfView* view = window->AcroPDF1->view();
    QScrollBar* bar = view->verticalScrollBar();
    bar->setValue(start == 0 ? bar->minimum() : bar->maximum());
    const int before = bar->value();
    const int screen = view->viewport()->height();

    QTest::keyClick(view, Qt::Key(key));
    switch (move) {
    case 2:
        QCOMPARE(bar->value(), bar->maximum());
        break;
    case -2:
        QCOMPARE(bar->value(), bar->minimum());
        break;
    default: {
        const int moved = (bar->value() - before) * move;
        QVERIFY2(moved > screen * 3 / 4 && moved <= screen, qPrintable(QString::number(moved)));
    }
    }
    window->close();
}

void HelpWindowTest::readingPositionSurvivesZoomAndResize_data() {
    QTest::addColumn<QString>("action");
    for (const char* action :
         {"Ctrl+plus", "Ctrl+minus", "Ctrl+wheel", "zoom in button", "whole page button",
          "Ctrl+0 after zooming in", "wider window", "narrower window"}) {
        QTest::newRow(action) << QString::fromLatin1(action);
    }
}

// The text at the top of the view stays there, whatever changes the scale.
void HelpWindowTest::readingPositionSurvivesZoomAndResize() {
    QFETCH(QString, action);
    QPointer<TPomocF> window = ReadingWindow();
    PdfPageView* view = window->AcroPDF1->view();
    if (action == QStringLiteral("Ctrl+0 after zooming in")) {
        QTest::keyClick(view, Qt::Key_Plus, Qt::ControlModifier);
    }
    const PdfPlace before = view->topOfView();
    QVERIFY(before.page >= 3);

    if (action.startsWith(QStringLiteral("Ctrl+0"))) {
        QTest::keyClick(view, Qt::Key_0, Qt::ControlModifier);
    } else if (action == QStringLiteral("Ctrl+plus")) {
        QTest::keyClick(view, Qt::Key_Plus, Qt::ControlModifier);
    } else if (action == QStringLiteral("Ctrl+minus")) {
        QTest::keyClick(view, Qt::Key_Minus, Qt::ControlModifier);
    } else if (action == QStringLiteral("Ctrl+wheel")) {
        SendCtrlWheel(view->viewport(), 120);
    } else if (action == QStringLiteral("zoom in button")) {
        QTest::mouseClick(Part<QToolButton>(window, "ZoomInButton"), Qt::LeftButton);
    } else if (action == QStringLiteral("whole page button")) {
        QTest::mouseClick(Part<QToolButton>(window, "FitPageButton"), Qt::LeftButton);
    } else {
        const int width = action.startsWith(QStringLiteral("wider")) ? 1100 : 620;
        window->resize(width, window->height());
        QTRY_COMPARE(window->AcroPDF1->width(), width);
    }
    const PdfPlace after = view->topOfView();
    QCOMPARE(after.page, before.page);
    QVERIFY2(qAbs(after.top - before.top) < 2.0,
             qPrintable(QStringLiteral("%1 pt, was %2 pt").arg(after.top).arg(before.top)));

    // The view's own layout is the one the position was kept in: the same height
    // of all pages, and the same page under the upper part of the view.
    const QRectF last = view->pageRect(window->AcroPDF1->document()->pageCount() - 1);
    const double height = last.bottom() + view->pageSpacing() + view->documentMargins().bottom();
    QCOMPARE(qRound(height), view->verticalScrollBar()->maximum() + view->viewport()->height());
    QCOMPARE(view->pageNavigator()->currentPage(), view->currentPage());
    window->close();
}

// The page box shows where the reader is and takes them elsewhere; the zoom
// buttons show the zoom mode.
void HelpWindowTest::toolBarFollowsAndMovesTheReader() {
    QPointer<TPomocF> window = ReadingWindow();
    PdfPageView* view = window->AcroPDF1->view();
    auto* pageBox = Part<QSpinBox>(window, "PageBox");
    const int pages = window->AcroPDF1->document()->pageCount();
    QCOMPARE(Part<QLabel>(window, "PageCount")->text(), QStringLiteral("z %1").arg(pages));
    QVERIFY(view->currentPage() >= 3);
    QCOMPARE(pageBox->value(), view->currentPage() + 1);

    pageBox->setFocus();
    QTest::keyClick(pageBox, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(pageBox, QStringLiteral("10"));
    QTest::keyClick(pageBox, Qt::Key_Return);
    QCOMPARE(view->topOfView().page, 9);
    QCOMPARE(pageBox->value(), 10);

    auto* fitWidth = Part<QToolButton>(window, "FitWidthButton");
    QVERIFY(fitWidth->isChecked());
    QTest::mouseClick(Part<QToolButton>(window, "ZoomInButton"), Qt::LeftButton);
    QCOMPARE(view->zoomMode(), QPdfView::ZoomMode::Custom);
    QVERIFY(!fitWidth->isChecked());
    QTest::mouseClick(fitWidth, Qt::LeftButton);
    QCOMPARE(view->zoomMode(), QPdfView::ZoomMode::FitToWidth);
    QVERIFY(fitWidth->isChecked());
    window->close();
}

// Ctrl+F, a text, Enter: the first match after the reading position; F3 and
// Shift+F3 go on and back round the ends; letter case, Polish ones too, does not matter.
void HelpWindowTest::searchGoesFromMatchToMatch() {
    QPointer<TPomocF> window = ReadingWindow();
    PdfPageView* view = window->AcroPDF1->view();
    auto* field = Part<QLineEdit>(window, "SearchField");
    auto* counter = Part<QLabel>(window, "MatchCount");
    const PdfPlace reading = view->topOfView();

    QTest::keyClick(view, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(field->hasFocus());
    QTest::keyClicks(field, QStringLiteral("OBSBIEG"));
    QTest::keyClick(field, Qt::Key_Return);
    const QRegularExpressionMatch count =
        QRegularExpression(QStringLiteral("^(\\d+) z (\\d+)$")).match(counter->text());
    QVERIFY2(count.hasMatch(), qPrintable(counter->text()));
    const int first = count.captured(1).toInt();
    const int total = count.captured(2).toInt();
    QVERIFY(first > 1 && total > 20);
    QVERIFY(view->topOfView().page >= reading.page);

    QTest::keyClick(field, Qt::Key_F3);
    QCOMPARE(counter->text(), QStringLiteral("%1 z %2").arg(first + 1).arg(total));
    QTest::keyClick(field, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(field, Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(counter->text(), QStringLiteral("%1 z %2").arg(first - 1).arg(total));
    for (int i = first - 1; i > 0; --i) {
        QTest::keyClick(view, Qt::Key_F3, Qt::ShiftModifier);
    }
    QCOMPARE(counter->text(), QStringLiteral("%1 z %2").arg(total).arg(total));
    PdfSearch everyMatch(window->AcroPDF1->document());
    everyMatch.setText(QStringLiteral("OBSBIEG"));
    QCOMPARE(everyMatch.matches().size(), total);
    QCOMPARE(view->currentPage(), everyMatch.matches().last().page);

    field->setText(QStringLiteral("ŁÓDŹ")); // key clicks type Latin-1 only
    QTest::keyClick(field, Qt::Key_Return);
    QVERIFY2(counter->text().startsWith(QStringLiteral("1 z ")), qPrintable(counter->text()));
    field->clear();
    QTest::keyClicks(field, QStringLiteral("tego tekstu nie ma"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(counter->text(), QStringLiteral("Nie znaleziono"));
    QTest::keyClick(field, Qt::Key_Escape);
    QVERIFY(view->hasFocus());
    window->close();
}

QTEST_MAIN(HelpWindowTest)
#include "HelpWindowTest.moc"
