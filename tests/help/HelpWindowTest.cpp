#include "help/TAcroPDF.h"
#include "help/UPomocF.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPdfDocument>
#include <QPdfView>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedLayout>
#include <QTemporaryDir>
#include <QTest>
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
    QCOMPARE(window->AcroPDF1->geometry(), window->rect());

    window->resize(900, 700);
    QCOMPARE(window->AcroPDF1->geometry(), window->rect());
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

QTEST_MAIN(HelpWindowTest)
#include "HelpWindowTest.moc"
