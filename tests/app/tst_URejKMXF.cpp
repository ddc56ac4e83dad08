#include "app/ApplicationSetup.h"
#include "app/ButtonPictures.h"
#include "app/ConversionMessages.h"
#include "app/ConversionProgress.h"
#include "app/ElidedLabel.h"
#include "app/Przycisk.h"
#include "app/URejKMXF.h"
#include "common/UPlikIni.h"
#include "converter/URejestratorKMX685.h"
#include "editor/SynEdit.h"
#include "editor/UEdytorF.h"
#include "editor/UEdytorFrame.h"
#include "support/FakeDialogs.h"
#include "support/QtFiles.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QUrl>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A recorder file whose writer keeps it open (a FIFO): a conversion reading it
// is sure to be running until Release, or until a watchdog releases it after
// 10 s, so that a program that blocks on it fails the test instead of hanging.
class HeldInput {
public:
    explicit HeldInput(const QString& path) : path_(path) {
        // Read and write: the open does not wait for a reader, and the
        // conversion's reader sees no end of file while it stays open.
        const QByteArray name = QFile::encodeName(path);
        const int fd = mkfifo(name.constData(), 0600) == 0 ? open(name.constData(), O_RDWR) : -1;
        if (fd < 0 || write(fd, kRecorderFile.constData(), size_t(kRecorderFile.size())) < 0) {
            qFatal("cannot make the FIFO");
        }
        watchdog_ = std::jthread([fd](std::stop_token released) {
            std::mutex mutex;
            std::unique_lock lock(mutex);
            std::condition_variable_any().wait_for(lock, released, std::chrono::seconds(10),
                                                   [] { return false; });
            // Closed only once the conversion has read what is there: a reader
            // that opens the FIFO after the last writer has gone waits forever.
            int unread = 1;
            for (int i = 0; i < 1000 && ioctl(fd, FIONREAD, &unread) == 0 && unread > 0; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            close(fd);
        });
    }

    QString Path() const { return path_; }
    void Release() { watchdog_.request_stop(); }

private:
    QString path_;
    std::jthread watchdog_; // closes the writing end on Release, once read, or after 10 s
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
    void chosenRecorderStaysChosen();
    void chosenFormatConvertsAndOthersAreReported();
    void startsWithoutKaveroIni();
    void unusableWorkingFolderIsRefused();
    void longFolderGivesWayToTheSummary();
    void summaryGroupsThousands();
    void droppedFilesAreAppended();
    void otherDropsAreRefused_data();
    void otherDropsAreRefused();
    void conversionRunsBesideTheWindows();
    void progressDialogDuringAConversion_data();
    void progressDialogDuringAConversion();
    void progressAppearsAfterHalfASecond();
    void closingAsksEveryEditorBeforeClosingAnything();

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
    converter_ = std::make_unique<TRejestratorKMX685>();
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
    // Four recorders in one column: two columns do not fit before the result buttons.
    QTest::newRow("RadioGroup1") << "RadioGroup1" << QRect(8, 207, 121, 96) << "";
    QTest::newRow("Item0") << "RadioGroup1Item0" << QRect(8, 23, 105, 17) << "KMX 685";
    QTest::newRow("Item1") << "RadioGroup1Item1" << QRect(8, 41, 105, 17) << "Nikon RAW";
    QTest::newRow("Item2") << "RadioGroup1Item2" << QRect(8, 59, 105, 17) << "Sokkia SDR";
    QTest::newRow("Item3") << "RadioGroup1Item3" << QRect(8, 77, 105, 17) << "Leica GSI";
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

// Tab enters the recorder group at the chosen item only, whichever it is.
void MainWindowTest::tabOrder() {
    const auto order = [this] {
        QStringList names;
        QWidget* widget = Control<QWidget>("Memo1");
        do {
            if (widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus)) {
                names.append(widget->objectName());
            }
            widget = widget->nextInFocusChain();
        } while (widget != Control<QWidget>("Memo1") && names.size() <= 7);
        return names;
    };
    QCOMPARE(order(), QStringList({"Memo1", "Button1", "Button2", "Button3", "RadioGroup1Item0",
                                   "BitBtn1", "BitBtn2"}));
    Control<QRadioButton>("RadioGroup1Item3")->setChecked(true);
    QCOMPARE(order(), QStringList({"Memo1", "Button1", "Button2", "Button3", "RadioGroup1Item3",
                                   "BitBtn1", "BitBtn2"}));
}

void MainWindowTest::showingRefreshesButtonsAndShowsTheWorkingDirectory() {
    WriteFile(WorkPath("OBSBIEG"), "x");
    auto* obsbieg = Control<TPrzycisk>("Przycisk1");
    auto* errors = Control<TPrzycisk>("Przycisk2");
    QVERIFY(obsbieg->icon().isNull());
    form_->show();
    QVERIFY(!obsbieg->icon().isNull());
    QVERIFY(errors->icon().isNull());
    QCOMPARE(Control<ElidedLabel>("StatusDirectory")->Text(), work_->path());
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
             QStringLiteral("Pliki: 2, stanowiska: 4, obserwacje: 6, pominięte wiersze: 2, "
                            "uwagi: 2"));
    QCOMPARE(Control<ElidedLabel>("StatusDirectory")->Text(), work_->path());
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
    form_->findChild<QButtonGroup*>()->setExclusive(false);
    kmx685->setChecked(false);
    Execute();
    QCOMPARE(dialogs_->questions.size(), 1);
    QCOMPARE(dialogs_->questions.first().text, QStringLiteral("Wybierz typ rejestratora"));
    QVERIFY(!QFile::exists(WorkPath("OBSBIEG")));
}

void MainWindowTest::chosenRecorderStaysChosen() {
    auto* kmx685 = Control<QRadioButton>("RadioGroup1Item0");
    form_->show();
    QTest::mouseClick(kmx685, Qt::LeftButton);
    QTest::keyClick(kmx685, Qt::Key_Space);
    QVERIFY(kmx685->isChecked());
    Execute();
    QVERIFY(dialogs_->questions.isEmpty());
    QVERIFY(QFile::exists(WorkPath("OBSBIEG")));
}

// "Leica GSI" clicked: WYKONAJ reads the list as GSI files; a KMX 685 file in it
// is converted as GSI too, and the report says what it looks like.
void MainWindowTest::chosenFormatConvertsAndOthersAreReported() {
    const QString gsi = QStringLiteral(REJKMX_TEST_DATA "/recorders/");
    Control<QPlainTextEdit>("Memo1")->setPlainText(gsi + "gsi8.gsi\n" + gsi + "gsi16.gsi");
    form_->show();
    QTest::mouseClick(Control<QRadioButton>("RadioGroup1Item3"), Qt::LeftButton, {}, QPoint(6, 8));
    QVERIFY(Control<QRadioButton>("RadioGroup1Item3")->isChecked());
    Execute();
    QCOMPARE(ReadFile(WorkPath("OBSBIEG")), ReadFile(gsi + "gsi.expected"));

    WriteFile(WorkPath("pomiar.txt"), kRecorderFile);
    Control<QPlainTextEdit>("Memo1")->setPlainText(WorkPath("pomiar.txt"));
    Execute();
    QCOMPARE(ReadFile(WorkPath("OBSBIEG")), QByteArray());
    const QAbstractItemModel* entries = form_->findChild<QTableView*>("Entries")->model();
    QCOMPARE(entries->index(0, 1).data().toString(), QStringLiteral("1"));
    QCOMPARE(entries->index(0, 2).data().toString(),
             QStringLiteral("plik wygląda na format KMX 685, a wybrano Leica GSI"));
    QVERIFY(dialogs_->questions.isEmpty());
}

void MainWindowTest::startsWithoutKaveroIni() {
    CreateWindow(QString());
    QVERIFY(settings_->Path.empty());
    const bool rootFileBefore = QFile::exists(QStringLiteral("/OBSBIEG"));
    form_->show();
    QCOMPARE(Control<ElidedLabel>("StatusDirectory")->Text(), QString());
    QCOMPARE(Control<TPrzycisk>("Przycisk1")->Directory(), QString());

    Execute();
    QCOMPARE(dialogs_->questions.size(), 1);
    const FakeDialogs::Question& question = dialogs_->questions.first();
    QCOMPARE(question.text, QStringLiteral("Błąd podczas przetwarzania plików!"));
    QVERIFY2(question.detail.contains(QStringLiteral("kavero.ini")), qPrintable(question.detail));
    QVERIFY2(question.detail.contains(QStringLiteral("Path")), qPrintable(question.detail));
    QCOMPARE(QFile::exists(QStringLiteral("/OBSBIEG")), rootFileBefore);
}

// A control character in Path names a folder nobody meant (the text used to
// end at a NUL): nothing is written, anywhere.
void MainWindowTest::unusableWorkingFolderIsRefused() {
    CreateWindow(QStringLiteral("[General]\r\nPath=%1/a\u0001b\r\n").arg(work_->path()));
    form_->show();
    Execute();
    QCOMPARE(dialogs_->questions.size(), 1);
    const QString detail = dialogs_->questions.first().detail;
    QVERIFY2(detail.contains(QStringLiteral("znakiem sterującym")), qPrintable(detail));
    QCOMPARE(QDir(work_->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList{QStringLiteral("kavero.ini")});
}

// A 150-character working folder: the summary keeps its whole width and the
// folder is cut in the middle, whole in its tooltip.
void MainWindowTest::longFolderGivesWayToTheSummary() {
    const QString folder = WorkPath(QString(60, QLatin1Char('a')) + "/" + QString(60, 'z'));
    QVERIFY(QDir().mkpath(folder));
    CreateWindow(QStringLiteral("[General]\r\nPath=%1\r\n").arg(folder));
    form_->show();
    Execute();
    auto* summary = Control<QLabel>("StatusSummary");
    auto* directory = Control<ElidedLabel>("StatusDirectory");
    QVERIFY(summary->text().startsWith(QStringLiteral("Pliki: 0, stanowiska: 0")));
    QTRY_VERIFY2(
        summary->width() >= summary->sizeHint().width(),
        qPrintable(
            QStringLiteral("%1 < %2").arg(summary->width()).arg(summary->sizeHint().width())));
    QCOMPARE(Control<QStatusBar>("StatusBar1")->width(), 552);
    QVERIFY(summary->geometry().right() < 552);
    const QString shown = directory->ShownText();
    QVERIFY2(shown.contains(QChar(0x2026)) && shown.startsWith(folder.left(5)) &&
                 shown.endsWith(QStringLiteral("zzzz")),
             qPrintable(shown));
    QCOMPARE(directory->toolTip(), folder);
}

void MainWindowTest::summaryGroupsThousands() {
    QCOMPARE(SummaryText({1, 14896000, 1000, 12345}),
             QString::fromUtf8("Pliki: 1, stanowiska: 14\u00a0896\u00a0000, obserwacje: 1000, "
                               "pominięte wiersze: 12\u00a0345"));
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

void MainWindowTest::otherDropsAreRefused_data() {
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::newRow("web link") << QList<QUrl>{QUrl("http://example.com/a.txt")};
    QTest::newRow("sftp") << QList<QUrl>{QUrl("sftp://serwer/pomiary/a.txt")};
    QTest::newRow("file and web link")
        << QList<QUrl>{QUrl::fromLocalFile("/tmp/a.txt"), QUrl("https://example.com/b.txt")};
    QTest::newRow("plain text") << QList<QUrl>{};
}

void MainWindowTest::otherDropsAreRefused() {
    QFETCH(QList<QUrl>, urls);
    auto* memo = Control<QPlainTextEdit>("Memo1");
    memo->setPlainText("pierwszy");
    QMimeData mime;
    mime.setUrls(urls);
    mime.setText(QStringLiteral("tekst"));
    form_->show();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(memo->viewport(), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(memo->viewport(), &drop);
    QVERIFY(!enter.isAccepted());
    QVERIFY(!drop.isAccepted());
    QCOMPARE(memo->toPlainText(), QStringLiteral("pierwszy"));
}

// While a conversion runs, the windows go on with their events but take no
// input: keys and clicks are dropped, the main window does not close, and an
// editor closed by the window manager asks its question beside the conversion,
// which goes on and ends while the question is open.
void MainWindowTest::conversionRunsBesideTheWindows() {
    HeldInput input(WorkPath("pomiar.txt"));
    Control<QPlainTextEdit>("Memo1")->setPlainText(input.Path());
    form_->show();
    QTest::mouseClick(Control<TPrzycisk>("Przycisk1"), Qt::LeftButton);
    QPointer<TEdytorF> editor =
        qobject_cast<TEdytorF*>(Control<TPrzycisk>("Przycisk1")->LastEditorWindow());
    QVERIFY(editor);
    QTest::keyClicks(editor->EdytorFrame->SynEdit1, QStringLiteral("x"));

    bool endedWhileAsking = false;
    dialogs_->answers = {QMessageBox::Cancel};
    dialogs_->whileAsking = [&] {
        input.Release();
        endedWhileAsking = QTest::qWaitFor([&] { return QFile::exists(WorkPath("OBSBIEG")); });
    };
    bool closeRefused = false;
    QTimer::singleShot(0, [&] {
        QTest::keyClicks(Control<QPlainTextEdit>("Memo1"), QStringLiteral("x"));
        QTest::mouseClick(Control<QPushButton>("Button3"), Qt::LeftButton);
        closeRefused = !form_->close();
        editor->close();
    });
    Execute();

    QVERIFY(closeRefused);
    QCOMPARE(MemoText(), input.Path());
    QCOMPARE(dialogs_->questions.size(), 1);
    QCOMPARE(dialogs_->questions.first().caption, QStringLiteral("Warning"));
    QVERIFY(endedWhileAsking);
    QCOMPARE(ReadFile(WorkPath("OBSBIEG")), kConverted);
    QVERIFY(editor && editor->isVisible());
    delete editor;
}

void MainWindowTest::progressDialogDuringAConversion_data() {
    QTest::addColumn<bool>("cancel");
    QTest::newRow("Anuluj keeps the previous OBSBIEG") << true;
    QTest::newRow("a failure is shown once the dialog is gone") << false;
}

void MainWindowTest::progressDialogDuringAConversion() {
    QFETCH(bool, cancel);
    WriteFile(WorkPath("OBSBIEG"), "poprzedni wynik\r\n");
    HeldInput input(WorkPath("pomiar.txt"));
    const QString missing = WorkPath("brak.txt");
    Control<QPlainTextEdit>("Memo1")->setPlainText(input.Path() + "\n" + missing);
    form_->show();
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* progress = form_->findChild<QProgressDialog*>();
        shown = progress && QTest::qWaitFor([&] { return progress->isVisible(); });
        if (shown && cancel) {
            QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton); // "Anuluj"
        }
        input.Release();
    });
    bool progressUnderMessage = false;
    dialogs_->whileAsking = [&] {
        for (const QProgressDialog* progress : form_->findChildren<QProgressDialog*>()) {
            progressUnderMessage = progressUnderMessage || progress->isVisible();
        }
    };
    Execute();

    QVERIFY(shown);
    QCOMPARE(ReadFile(WorkPath("OBSBIEG")), QByteArray("poprzedni wynik\r\n"));
    QCOMPARE(Control<QLabel>("StatusSummary")->text(), QString());
    QVERIFY(form_->findChildren<QProgressDialog*>().isEmpty());
    QStringList files = QDir(work_->path()).entryList(QDir::Files | QDir::System);
    files.sort();
    QCOMPARE(files, QStringList({"OBSBIEG", "kavero.ini", "pomiar.txt"}));
    if (cancel) {
        QVERIFY2(dialogs_->questions.isEmpty(), "a cancel is no failure");
        return;
    }
    QCOMPARE(dialogs_->questions.size(), 1);
    QCOMPARE(dialogs_->questions.first().text,
             QStringLiteral("Błąd podczas przetwarzania plików!"));
    QVERIFY2(dialogs_->questions.first().detail.contains(missing),
             qPrintable(dialogs_->questions.first().detail));
    QVERIFY(!progressUnderMessage);
}

void MainWindowTest::progressAppearsAfterHalfASecond() {
    using std::chrono::milliseconds;
    milliseconds now{0};
    form_->show();
    ConversionProgress progress(form_.get(), [&] { return now; });
    now = ConversionProgress::kShowAfter - milliseconds(1);
    progress.Update(50, 200);
    QVERIFY(!progress.Dialog().isVisible());
    QCOMPARE(progress.Dialog().value(), 25);
    now = ConversionProgress::kShowAfter;
    progress.Tick();
    QVERIFY(progress.Dialog().isVisible());
}

// Several help windows: the order in which windows are visited changes from run
// to run, and none of them may close before every editor has agreed.
void MainWindowTest::closingAsksEveryEditorBeforeClosingAnything() {
    form_->show();
    auto* help = Control<TInfoBtn>("InfoBtn1");
    auto* obsbieg = Control<TPrzycisk>("Przycisk1");
    QList<QPointer<QWidget>> windows;
    for (int i = 0; i < 8; ++i) {
        QTest::mouseClick(help, Qt::LeftButton);
        windows.append(help->LastHelpWindow());
    }
    QTest::mouseClick(obsbieg, Qt::LeftButton);
    QPointer<TEdytorF> edited = qobject_cast<TEdytorF*>(obsbieg->LastEditorWindow());
    QTest::mouseClick(obsbieg, Qt::LeftButton);
    windows.append(obsbieg->LastEditorWindow());
    QTest::keyClicks(edited->EdytorFrame->SynEdit1, QStringLiteral("x"));
    windows.append(edited.data());

    dialogs_->answers = {QMessageBox::Cancel};
    QTest::mouseClick(Control<QPushButton>("BitBtn2"), Qt::LeftButton);
    QCOMPARE(dialogs_->questions.size(), 1);
    QVERIFY(form_->isVisible());
    for (const QPointer<QWidget>& window : windows) {
        QVERIFY(window && window->isVisible());
    }

    dialogs_->answers = {QMessageBox::No};
    QTest::mouseClick(Control<QPushButton>("BitBtn2"), Qt::LeftButton);
    QCOMPARE(dialogs_->questions.size(), 2);
    QVERIFY(!form_->isVisible());
    QVERIFY(!QFile::exists(WorkPath("OBSBIEG")));
    for (const QPointer<QWidget>& window : windows) {
        QVERIFY(!window);
    }
}

QTEST_MAIN(MainWindowTest)
#include "tst_URejKMXF.moc"
