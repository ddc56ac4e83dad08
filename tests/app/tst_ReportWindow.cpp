// The conversion report in the program: the status summary counts its entries and
// a window of its own, beside the main window, lists, sorts, copies and saves them
// and opens an input file at a line.
#include "app/ApplicationSetup.h"
#include "app/ButtonPictures.h"
#include "app/ReportModel.h"
#include "app/ReportWindow.h"
#include "app/URejKMXF.h"
#include "app/WindowOpeners.h"
#include "common/UPlikIni.h"
#include "converter/URejestratorKMX685.h"
#include "editor/SynEdit.h"
#include "editor/UEdytorF.h"
#include "editor/UEdytorFrame.h"
#include "support/FakeDialogs.h"
#include "support/QtFiles.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class ReportWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void entriesShowBesideTheMainWindow();
    void sortedRowsAreCopiedAndSavedAsShown();
    void doubleClickOpensTheFileAtTheLine();
    void cleanConversionClosesTheReport();

private:
    QString WorkPath(const QString& name) const { return QDir(work_->path()).filePath(name); }
    void Convert(const QStringList& files);
    ReportWindow* Report() const;
    QTableView* Entries() const { return Report()->findChild<QTableView*>("Entries"); }
    QStringList Rows() const;

    std::unique_ptr<QTemporaryDir> work_;
    std::unique_ptr<FakeDialogs> dialogs_;
    std::unique_ptr<TPlikIni> settings_;
    std::unique_ptr<TRejestratorKMX685> converter_;
    std::unique_ptr<TForm1> form_;
};

void ReportWindowTest::initTestCase() {
    SetUpApplication(*qApp);
    InstallFontFallbacks();
    LoadButtonPictures();
}

// a.txt: an unknown type on line 3, a bad number and a repeated point on line 4;
// b.txt: an observation before any station, with a lone CR that the editor
// would take for a line end.
void ReportWindowTest::init() {
    work_ = std::make_unique<QTemporaryDir>();
    dialogs_ = std::make_unique<FakeDialogs>();
    WriteFile(WorkPath("kavero.ini"),
              QStringLiteral("[General]\r\nPath=%1\r\n").arg(work_->path()).toUtf8());
    WriteFile(WorkPath("a.txt"), "C,10,,,,,1.56\r\nE,11,,22.50,101.2345,1.50,99.8765\r\n"
                                 "X,uwaga\r\nE,11,,1e3,101.2345,1.50,99.8765\r\n");
    WriteFile(WorkPath("b.txt"), "I,n\rag\xb3\xF3wek\r\nE,1,,1,1,1,1\r\n");
    settings_ = std::make_unique<TPlikIni>(WorkPath("kavero.ini").toStdString());
    converter_ = std::make_unique<TRejestratorKMX685>();
    form_ = std::make_unique<TForm1>(*settings_, *converter_);
    form_->show();
}

void ReportWindowTest::cleanup() {
    form_.reset();
    DestroyEditorAndHelpWindows();
    converter_.reset();
    settings_.reset();
    dialogs_.reset();
    work_.reset();
}

void ReportWindowTest::Convert(const QStringList& files) {
    form_->findChild<QPlainTextEdit*>("Memo1")->setPlainText(files.join('\n'));
    QTest::mouseClick(form_->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
}

ReportWindow* ReportWindowTest::Report() const {
    return form_->findChild<ReportWindow*>();
}

QStringList ReportWindowTest::Rows() const {
    QStringList rows;
    const QAbstractItemModel* model = Entries()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        rows << QStringLiteral("%1:%2: %3")
                    .arg(QDir(work_->path())
                             .relativeFilePath(model->index(row, 0).data().toString()),
                         model->index(row, 1).data().toString(),
                         model->index(row, 2).data().toString());
    }
    return rows;
}

// Not modal, not in the main window, which keeps its layout and the keyboard.
void ReportWindowTest::entriesShowBesideTheMainWindow() {
    const QList<QWidget*> controls = form_->findChildren<QWidget*>();
    Convert({WorkPath("a.txt"), WorkPath("b.txt")});
    QVERIFY(form_->findChild<QLabel*>("StatusSummary")->text().endsWith(", uwagi: 5"));
    ReportWindow* report = Report();
    QVERIFY(report && report->isVisible() && report->isWindow());
    QCOMPARE(report->windowTitle(), QStringLiteral("Raport konwersji"));
    QCOMPARE(report->windowModality(), Qt::NonModal);
    QVERIFY(!report->windowIcon().isNull());
    QCOMPARE(qApp->activeWindow(), form_.get());
    for (QWidget* control : form_->findChildren<QWidget*>()) {
        QVERIFY(controls.contains(control) || report->isAncestorOf(control) || control == report);
    }
    QCOMPARE(Rows(), (QStringList{
                         "a.txt:3: nieznany typ rekordu „X”, wiersz pominięty",
                         "a.txt:4: pole 4 „1e3” nie jest liczbą dziesiętną",
                         "a.txt:4: powtórzony numer punktu „11” (pierwszy raz w wierszu 2)",
                         "b.txt:1: nieznany typ rekordu „I”, wiersz pominięty",
                         "b.txt:2: obserwacja przed pierwszym rekordem C pliku, zapisana poza "
                         "stanowiskiem",
                     }));
}

void ReportWindowTest::sortedRowsAreCopiedAndSavedAsShown() {
    Convert({WorkPath("a.txt"), WorkPath("b.txt")});
    QHeaderView* header = Entries()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
    QCOMPARE(header->sortIndicatorSection(), 2);
    const QStringList byReason = Rows();
    QVERIFY(byReason.first().contains("nieznany typ rekordu „I”") &&
            byReason.last().contains("powtórzony"));

    QTest::mouseClick(Report()->findChild<QPushButton*>("CopyButton"), Qt::LeftButton);
    const QString copied = QGuiApplication::clipboard()->text();
    QCOMPARE(copied.count('\n'), 5);
    QVERIFY(copied.startsWith(WorkPath("b.txt") + ":1: nieznany typ"));

    dialogs_->saveName = WorkPath("raport.txt");
    QTest::mouseClick(Report()->findChild<QPushButton*>("SaveButton"), Qt::LeftButton);
    QCOMPARE(dialogs_->saveDialogs, 1);
    const QByteArray saved = ReadFile(WorkPath("raport.txt"));
    QVERIFY(saved.startsWith(WorkPath("b.txt").toUtf8() + ":1: nieznany typ rekordu \x84I\x94"));
    QCOMPARE(saved.count("\r\n"), 5);
    QCOMPARE(saved.count('\n'), 5);
    QVERIFY(saved.contains("dziesi\xea"
                           "tn\xb9")); // Windows-1250

    dialogs_->saveName = WorkPath("brak/raport.txt");
    QTest::mouseClick(Report()->findChild<QPushButton*>("SaveButton"), Qt::LeftButton);
    QCOMPARE(dialogs_->questions.size(), 1);
    QVERIFY(dialogs_->questions.first().detail.contains(WorkPath("brak/raport.txt")));
}

// The line as the conversion counts it: in b.txt the lone CR ends no line.
void ReportWindowTest::doubleClickOpensTheFileAtTheLine() {
    Convert({WorkPath("a.txt"), WorkPath("b.txt")});
    const auto openRow = [&](int row) {
        const QRect cell = Entries()->visualRect(Entries()->model()->index(row, 2));
        QTest::mouseClick(Entries()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(Entries()->viewport(), Qt::LeftButton, {}, cell.center());
    };
    openRow(4);
    QList<TEdytorF*> editors;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* editor = qobject_cast<TEdytorF*>(window); editor && editor->isVisible()) {
            editors << editor;
        }
    }
    QCOMPARE(editors.size(), 1);
    SynEdit* text = editors.first()->EdytorFrame->SynEdit1;
    QCOMPARE(editors.first()->EdytorFrame->FileName, WorkPath("b.txt"));
    QCOMPARE(text->selectedText(), QStringLiteral("E,1,,1,1,1,1"));
    QCOMPARE(text->SelStart(), long(QStringLiteral("I,n\ragłówek\r\n").toUtf8().size()));

    openRow(3);
    QCOMPARE(text->selectedText(), QStringLiteral("I,n\ragłówek"));
    int open = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        open += qobject_cast<TEdytorF*>(window) && window->isVisible() ? 1 : 0;
    }
    QCOMPARE(open, 1); // the same file, the same window
}

void ReportWindowTest::cleanConversionClosesTheReport() {
    Convert({WorkPath("a.txt")});
    QPointer<ReportWindow> report = Report();
    QVERIFY(report && report->isVisible());
    WriteFile(WorkPath("clean.txt"), "C,1,,,,,1.5\r\n");
    Convert({WorkPath("clean.txt")});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!report);
    QVERIFY(!form_->findChild<QLabel*>("StatusSummary")->text().contains("uwagi"));
}

QTEST_MAIN(ReportWindowTest)
#include "tst_ReportWindow.moc"
