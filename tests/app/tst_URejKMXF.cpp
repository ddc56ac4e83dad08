#include "app/ApplicationSetup.h"
#include "app/ButtonPictures.h"
#include "app/ConversionProgress.h"
#include "app/ConversionReport.h"
#include "app/Przycisk.h"
#include "app/URejKMXF.h"
#include "common/UPlikIni.h"
#include "converter/URejestratorKMX685.h"
#include "support/FakeDialogs.h"
#include "support/QtFiles.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace {

const QByteArray kRecorderFile = "C,10,,,,,1.56\r\n"
                                 "E,11,,22.50,101.2345,1.50,99.8765\r\n"
                                 "D,12,,30.00,205.0000,1.50\r\n"
                                 "X,this line is ignored\r\n"
                                 "C,20,,,,,1.48\r\n"
                                 "E,21,,12.00,0.0000,1.30,100.0000\r\n";

const QByteArray kConverted = "10    42\r\n"
                              "11  101.2345  99.8765  22.50  1.50\r\n"
                              "12  205.0000  -1     30.00  1.50\r\n"
                              "0 0 0 0 1.56\r\n"
                              "20    42\r\n"
                              "21  0.0000  100.0000  12.00  1.30\r\n"
                              "0 0 0 0 1.48\r\n";

// A window that refuses to close, as an editor does when its closing question is cancelled.
class RefusingWindow : public QWidget {
public:
    bool refuse = true;
    int asked = 0;

protected:
    void closeEvent(QCloseEvent* event) override {
        ++asked;
        event->setAccepted(!refuse);
    }
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void layoutMatchesTheDesign_data();
    void layoutMatchesTheDesign();
    void tabOrder();
    void showingRefreshesButtonsAndShowsTheWorkingDirectory();
    void executeWithEmptyListCreatesEmptyObsbieg();
    void addingTwiceListsAndConvertsTwice();
    void cancelledOpenDialogChangesNothing();
    void removeDeletesTheCaretLine_data();
    void removeDeletesTheCaretLine();
    void clearEmptiesTheList();
    void hiddenDeltahButtonIsNeverRefreshed();
    void failureShowsTheFixedMessageAndDetail();
    void failureKeepsOldFileAndStillRefreshes();
    void noRecorderTypeAsksForOne();
    void startsWithoutKaveroIni();
    void droppedFilesAreAppended();
    void otherDropsAreLeftToTheList_data();
    void otherDropsAreLeftToTheList();
    void cancelKeepsThePreviousObsbieg();
    void slowConversionShowsProgressAndHoldsTheWindow();
    void progressStaysHiddenBehindTheFailureMessage();
    void failureTakesDownAProgressDialogAlreadyShown();
    void closingAsksOtherWindowsFirst();

private:
    QString WorkPath(const QString& name) const { return QDir(work_->path()).filePath(name); }
    void CreateWindow(const QString& iniText);
    template <class T> T* Control(const char* name) {
        T* control = form_->findChild<T*>(QString::fromLatin1(name));
        if (!control) {
            qFatal("no control %s", name);
        }
        return control;
    }
    void Execute() { QTest::mouseClick(Control<QPushButton>("BitBtn1"), Qt::LeftButton); }
    QString MemoText() { return Control<QPlainTextEdit>("Memo1")->toPlainText(); }

    void WriteLargeInput(const QString& path);

    std::unique_ptr<QTemporaryDir> work_;
    std::unique_ptr<FakeDialogs> dialogs_;
    std::unique_ptr<TPlikIni> settings_;
    std::unique_ptr<TRejestratorKMX685> converter_;
    std::unique_ptr<TForm1> form_;
};

void MainWindowTest::initTestCase() {
    SetUpApplication(*qApp);
    InstallFontFallbacks();
    LoadButtonPictures();
}

void MainWindowTest::init() {
    work_ = std::make_unique<QTemporaryDir>();
    QVERIFY(work_->isValid());
    dialogs_ = std::make_unique<FakeDialogs>();
    CreateWindow(QStringLiteral("[General]\r\nPath=%1\r\n").arg(work_->path()));
}

void MainWindowTest::cleanup() {
    form_.reset();
    converter_.reset();
    settings_.reset();
    dialogs_.reset();
    work_.reset();
}

void MainWindowTest::CreateWindow(const QString& iniText) {
    const QString iniPath = WorkPath(QStringLiteral("kavero.ini"));
    if (iniText.isNull()) {
        QFile::remove(iniPath);
    } else {
        WriteFile(iniPath, iniText.toUtf8());
    }
    form_.reset();
    settings_ = std::make_unique<TPlikIni>(iniPath.toStdString());
    converter_ = std::make_unique<TRejestratorKMX685>(&ShowConversionError);
    form_ = std::make_unique<TForm1>(*settings_, *converter_);
}

void MainWindowTest::layoutMatchesTheDesign_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::newRow("InfoBtn1") << "InfoBtn1" << QRect(8, 16, 105, 65) << "";
    QTest::newRow("Memo1") << "Memo1" << QRect(8, 112, 496, 91) << "";
    QTest::newRow("Button1") << "Button1" << QRect(510, 112, 34, 27) << "+";
    QTest::newRow("Button2") << "Button2" << QRect(510, 145, 34, 26) << "-";
    QTest::newRow("Button3") << "Button3" << QRect(510, 177, 34, 26) << "---";
    QTest::newRow("RadioGroup1") << "RadioGroup1" << QRect(8, 221, 121, 76) << "";
    QTest::newRow("Przycisk1") << "Przycisk1" << QRect(152, 240, 129, 41) << "OBSBIEG";
    QTest::newRow("Przycisk3") << "Przycisk3" << QRect(287, 240, 129, 41) << "DELTAH";
    QTest::newRow("Przycisk2") << "Przycisk2" << QRect(422, 240, 115, 41) << "Err.rej";
    QTest::newRow("BitBtn1") << "BitBtn1" << QRect(152, 318, 121, 49) << "WYKONAJ";
    QTest::newRow("BitBtn2") << "BitBtn2" << QRect(304, 326, 105, 33) << "Zamknij";
}

void MainWindowTest::layoutMatchesTheDesign() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    QCOMPARE(form_->windowTitle(), QStringLiteral("Konwersja plików formatu KMX 685 1.0"));
    QCOMPARE(form_->size(), QSize(552, 405));
    auto* control = form_->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        QCOMPARE(button->text(), caption);
    }
}

void MainWindowTest::tabOrder() {
    const QStringList expected{"Memo1",   "Button1", "Button2", "Button3", "RadioGroup1Item0",
                               "BitBtn1", "BitBtn2"};
    QStringList order;
    QWidget* widget = Control<QWidget>("Memo1");
    do {
        if (widget->focusPolicy() & Qt::TabFocus) {
            order.append(widget->objectName());
        }
        widget = widget->nextInFocusChain();
    } while (widget != Control<QWidget>("Memo1") && order.size() <= expected.size());
    QCOMPARE(order, expected);
}

void MainWindowTest::showingRefreshesButtonsAndShowsTheWorkingDirectory() {
    WriteFile(WorkPath("OBSBIEG"), "x");
    auto* obsbieg = Control<TPrzycisk>("Przycisk1");
    auto* errors = Control<TPrzycisk>("Przycisk2");
    QVERIFY(obsbieg->icon().isNull());
    form_->show();
    QVERIFY(!obsbieg->icon().isNull());
    QVERIFY(errors->icon().isNull());
    QCOMPARE(Control<QLabel>("StatusDirectory")->text(), work_->path());
    QCOMPARE(form_->pos(), QPoint(0, 0));
}

void MainWindowTest::executeWithEmptyListCreatesEmptyObsbieg() {
    form_->show();
    QVERIFY(!QFile::exists(WorkPath("OBSBIEG")));
    Execute();
    QCOMPARE(ReadFile(WorkPath("OBSBIEG")), QByteArray());
    QVERIFY(!Control<TPrzycisk>("Przycisk1")->icon().isNull());
    QVERIFY(dialogs_->questions.isEmpty());
    QCOMPARE(Control<QLabel>("StatusSummary")->text(),
             QStringLiteral("Pliki: 0, stanowiska: 0, obserwacje: 0, pominięte wiersze: 0"));
}

void MainWindowTest::addingTwiceListsAndConvertsTwice() {
    const QString input = WorkPath("pomiar.txt");
    WriteFile(input, kRecorderFile);
    dialogs_->filesToOpen = {input};
    form_->show();
    QTest::mouseClick(Control<QPushButton>("Button1"), Qt::LeftButton);
    QTest::mouseClick(Control<QPushButton>("Button1"), Qt::LeftButton);
    const QString native = QDir::toNativeSeparators(input);
    QCOMPARE(MemoText(), native + "\n" + native);
    QCOMPARE(dialogs_->openFolders, QStringList({work_->path(), work_->path()}));

    Execute();
    QCOMPARE(ReadFile(WorkPath("OBSBIEG")), kConverted + kConverted);
    QVERIFY(dialogs_->questions.isEmpty());
    QCOMPARE(Control<QLabel>("StatusSummary")->text(),
             QStringLiteral("Pliki: 2, stanowiska: 4, obserwacje: 6, pominięte wiersze: 2"));
    QCOMPARE(Control<QLabel>("StatusDirectory")->text(), work_->path());
}

void MainWindowTest::cancelledOpenDialogChangesNothing() {
    Control<QPlainTextEdit>("Memo1")->setPlainText("a");
    QTest::mouseClick(Control<QPushButton>("Button1"), Qt::LeftButton);
    QCOMPARE(MemoText(), QStringLiteral("a"));
    QCOMPARE(dialogs_->openFolders.size(), 1);
}

void MainWindowTest::removeDeletesTheCaretLine_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caretLine");
    QTest::addColumn<QString>("expected");
    QTest::newRow("second of three") << "a\nb\nc" << 1 << "a\nc";
    QTest::newRow("first") << "a\nb" << 0 << "b";
    QTest::newRow("last") << "a\nb" << 1 << "a";
    QTest::newRow("only line") << "a" << 0 << "";
    QTest::newRow("empty list") << "" << 0 << "";
    QTest::newRow("empty line between") << "a\n\nb" << 1 << "a\nb";
}

void MainWindowTest::removeDeletesTheCaretLine() {
    QFETCH(QString, text);
    QFETCH(int, caretLine);
    QFETCH(QString, expected);
    auto* memo = Control<QPlainTextEdit>("Memo1");
    memo->setPlainText(text);
    QTextCursor cursor(memo->document()->findBlockByNumber(caretLine));
    cursor.movePosition(QTextCursor::EndOfBlock);
    memo->setTextCursor(cursor);
    QTest::mouseClick(Control<QPushButton>("Button2"), Qt::LeftButton);
    QCOMPARE(memo->toPlainText(), expected);
}

void MainWindowTest::clearEmptiesTheList() {
    Control<QPlainTextEdit>("Memo1")->setPlainText("a\nb");
    QTest::mouseClick(Control<QPushButton>("Button3"), Qt::LeftButton);
    QCOMPARE(MemoText(), QString());
}

void MainWindowTest::hiddenDeltahButtonIsNeverRefreshed() {
    WriteFile(WorkPath("DELTAH"), "x");
    WriteFile(WorkPath("Err.rej"), "x");
    form_->show();
    Execute();
    auto* deltah = Control<TPrzycisk>("Przycisk3");
    QVERIFY(deltah->isHidden());
    QVERIFY(deltah->icon().isNull());
    QVERIFY(!Control<TPrzycisk>("Przycisk2")->icon().isNull());
}

void MainWindowTest::failureShowsTheFixedMessageAndDetail() {
    const QString missing = WorkPath("brak.txt");
    Control<QPlainTextEdit>("Memo1")->setPlainText(missing);
    form_->show();
    Execute();
    QCOMPARE(dialogs_->questions.size(), 1);
    const FakeDialogs::Question& question = dialogs_->questions.first();
    QCOMPARE(question.text, QStringLiteral("Błąd podczas przetwarzania plików!"));
    QCOMPARE(question.caption, QStringLiteral("Konwersja plików formatu KMX 685 1.0"));
    QCOMPARE(question.icon, QMessageBox::Critical);
    QVERIFY2(question.detail.contains(missing), qPrintable(question.detail));
}

void MainWindowTest::failureKeepsOldFileAndStillRefreshes() {
    const QString input = WorkPath("pomiar.txt");
    WriteFile(input, kRecorderFile);
    Control<QPlainTextEdit>("Memo1")->setPlainText(input);
    form_->show();
    Execute();
    QVERIFY(!Control<QLabel>("StatusSummary")->text().isEmpty());

    WriteFile(WorkPath("Err.rej"), "x");
    Control<QPlainTextEdit>("Memo1")->setPlainText(input + "\n" + WorkPath("brak.txt"));
    Execute();
    QCOMPARE(dialogs_->questions.size(), 1);
    QCOMPARE(ReadFile(WorkPath("OBSBIEG")), kConverted);
    QVERIFY(!Control<TPrzycisk>("Przycisk2")->icon().isNull());
    QCOMPARE(Control<QLabel>("StatusSummary")->text(), QString());
}

void MainWindowTest::noRecorderTypeAsksForOne() {
    auto* kmx685 = Control<QRadioButton>("RadioGroup1Item0");
    QVERIFY(kmx685->isChecked());
    kmx685->setAutoExclusive(false);
    kmx685->setChecked(false);
    Execute();
    QCOMPARE(dialogs_->questions.size(), 1);
    QCOMPARE(dialogs_->questions.first().text, QStringLiteral("Wybierz typ rejestratora"));
    QVERIFY(!QFile::exists(WorkPath("OBSBIEG")));
}

void MainWindowTest::startsWithoutKaveroIni() {
    CreateWindow(QString());
    QVERIFY(settings_->Path.empty());
    const bool rootFileBefore = QFile::exists(QStringLiteral("/OBSBIEG"));
    form_->show();
    QCOMPARE(Control<QLabel>("StatusDirectory")->text(), QString());
    QCOMPARE(Control<TPrzycisk>("Przycisk1")->Directory(), QString());

    Execute();
    QCOMPARE(dialogs_->questions.size(), 1);
    const FakeDialogs::Question& question = dialogs_->questions.first();
    QCOMPARE(question.text, QStringLiteral("Błąd podczas przetwarzania plików!"));
    QVERIFY2(question.detail.contains(QStringLiteral("kavero.ini")), qPrintable(question.detail));
    QVERIFY2(question.detail.contains(QStringLiteral("Path")), qPrintable(question.detail));
    QCOMPARE(QFile::exists(QStringLiteral("/OBSBIEG")), rootFileBefore);
}

void MainWindowTest::droppedFilesAreAppended() {
    const QStringList files{WorkPath("a.txt"), WorkPath("b.txt")};
    auto* memo = Control<QPlainTextEdit>("Memo1");
    memo->setPlainText("pierwszy");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(files[0]), QUrl::fromLocalFile(files[1])});

    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(memo->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(memo->viewport(), &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(memo->toPlainText(), "pierwszy\n" + QDir::toNativeSeparators(files[0]) + "\n" +
                                      QDir::toNativeSeparators(files[1]));
}

void MainWindowTest::otherDropsAreLeftToTheList_data() {
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::newRow("web link") << QList<QUrl>{QUrl("https://example.com/a.txt")};
    QTest::newRow("file and web link")
        << QList<QUrl>{QUrl::fromLocalFile("/tmp/a.txt"), QUrl("https://example.com/b.txt")};
    QTest::newRow("plain text") << QList<QUrl>{};
}

void MainWindowTest::otherDropsAreLeftToTheList() {
    QFETCH(QList<QUrl>, urls);
    auto* memo = Control<QPlainTextEdit>("Memo1");
    QMimeData mime;
    mime.setUrls(urls);
    mime.setText(QStringLiteral("tekst"));
    form_->show();
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(memo->viewport(), &drop);
    // Whatever the list itself makes of it, no path is appended as a line.
    QVERIFY2(!memo->toPlainText().contains(QStringLiteral("a.txt")),
             qPrintable(memo->toPlainText()));
    QCOMPARE(memo->document()->blockCount(), 1);
}

void MainWindowTest::cancelKeepsThePreviousObsbieg() {
    WriteFile(WorkPath("OBSBIEG"), "poprzedni wynik\r\n");
    const QString input = WorkPath("duzy.txt");
    WriteLargeInput(input);
    Control<QPlainTextEdit>("Memo1")->setPlainText(input);
    form_->show();

    // Presses "Anuluj" as soon as the conversion lets events through.
    bool cancelled = false;
    QTimer canceller;
    connect(&canceller, &QTimer::timeout, [&] {
        if (auto* progress = form_->findChild<QProgressDialog*>(); progress && !cancelled) {
            cancelled = true;
            QCOMPARE(progress->windowModality(), Qt::ApplicationModal);
            auto* cancel = progress->findChild<QPushButton*>();
            QVERIFY(cancel && cancel->text() == QStringLiteral("Anuluj"));
            progress->cancel();
        }
    });
    canceller.start(0);
    Execute();
    canceller.stop();

    QVERIFY(cancelled);
    QVERIFY2(dialogs_->questions.isEmpty(), "a cancel is no failure");
    QCOMPARE(ReadFile(WorkPath("OBSBIEG")), QByteArray("poprzedni wynik\r\n"));
    QCOMPARE(Control<QLabel>("StatusSummary")->text(), QString());
    QStringList files = QDir(work_->path()).entryList(QDir::Files);
    files.sort();
    QCOMPARE(files, QStringList({"OBSBIEG", "duzy.txt", "kavero.ini"}));
    QVERIFY(form_->findChildren<QProgressDialog*>().isEmpty());
}

// Each event pass during the conversion is slowed down, so it runs well over the
// half second after which the progress dialog must appear.
void MainWindowTest::slowConversionShowsProgressAndHoldsTheWindow() {
    const QString input = WorkPath("duzy.txt");
    WriteLargeInput(input);
    Control<QPlainTextEdit>("Memo1")->setPlainText(input);
    form_->show();

    QElapsedTimer clock;
    qint64 shownAfterMs = -1;
    bool closeRefused = false;
    QTimer slowDown;
    connect(&slowDown, &QTimer::timeout, [&] {
        auto* progress = form_->findChild<QProgressDialog*>();
        if (!progress || shownAfterMs >= 0) {
            return;
        }
        closeRefused = !form_->close();
        if (progress->isVisible()) {
            shownAfterMs = clock.elapsed();
            progress->cancel();
        }
        QTest::qSleep(120);
    });
    slowDown.start(0);
    clock.start();
    Execute();
    slowDown.stop();

    QVERIFY2(shownAfterMs >= 400, qPrintable(QString::number(shownAfterMs)));
    QVERIFY(closeRefused);
    QVERIFY(form_->isVisible());
    QVERIFY(!QFile::exists(WorkPath("OBSBIEG")));
}

// A failure right at the start: the message box runs its own event loop for
// longer than the progress dialog's delay, and the dialog must not appear over it.
// The missing file comes first, so the failure comes before the dialog is due
// however slowly the large file would convert (sanitizer builds, a busy machine).
void MainWindowTest::progressStaysHiddenBehindTheFailureMessage() {
    const QString input = WorkPath("duzy.txt");
    WriteLargeInput(input);
    Control<QPlainTextEdit>("Memo1")->setPlainText(WorkPath("brak.txt") + "\n" + input);
    form_->show();
    bool progressShown = false;
    dialogs_->whileAsking = [&] {
        QTest::qWait(ConversionProgress::kShowAfterMs + 300);
        for (const QProgressDialog* progress : form_->findChildren<QProgressDialog*>()) {
            progressShown = progressShown || progress->isVisible();
        }
    };
    Execute();
    QCOMPARE(dialogs_->questions.size(), 1);
    QVERIFY(!progressShown);
}

void MainWindowTest::WriteLargeInput(const QString& path) {
    QByteArray big;
    for (int i = 0; big.size() < 8 * 1024 * 1024; ++i) {
        big += "E," + QByteArray::number(i) + ",,22.50,101.2345,1.50,99.8765\r\n";
    }
    WriteFile(path, big);
}

// A conversion that has run past the dialog's delay and then fails.
void MainWindowTest::failureTakesDownAProgressDialogAlreadyShown() {
    form_->show();
    QProgressDialog progress(form_.get());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.show();
    QVERIFY(QTest::qWaitForWindowExposed(&progress));
    bool progressVisibleDuringMessage = true;
    dialogs_->whileAsking = [&] { progressVisibleDuringMessage = progress.isVisible(); };

    ShowConversionError(kConversionFailedMessage, {"a.txt", "Nie można otworzyć pliku „a.txt”."});

    QCOMPARE(dialogs_->questions.size(), 1);
    QCOMPARE(dialogs_->questions.front().text,
             QStringLiteral("Błąd podczas przetwarzania plików!"));
    QVERIFY(!progressVisibleDuringMessage);
}

void MainWindowTest::closingAsksOtherWindowsFirst() {
    RefusingWindow editor;
    QWidget help;
    form_->show();
    editor.show();
    help.show();

    QVERIFY(!form_->close());
    QVERIFY(form_->isVisible());
    QCOMPARE(editor.asked, 1);

    editor.refuse = false;
    QVERIFY(form_->close());
    QVERIFY(!form_->isVisible());
    QVERIFY(!editor.isVisible());
    QVERIFY(!help.isVisible());
}

QTEST_MAIN(MainWindowTest)
#include "tst_URejKMXF.moc"
