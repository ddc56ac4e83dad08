#include "editor/search/Szukaj.h"
#include "support/FakeDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <Qsci/qsciscintilla.h>

#include <memory>

using Sci = QsciScintillaBase;

namespace {

const QString kNotFound = QStringLiteral("Tekstu nie znaleziono.");
const QString kWrap = QStringLiteral("Koniec pliku. Szukać od początku?");

} // namespace

class SzukajTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void windowAndStartState();
    void wholeTextDecision_data();
    void wholeTextDecision();
    void wrapQuestion_data();
    void wrapQuestion();
    void lastCharacterFoundAfterWrapUpwards();
    void emptyTextFindsNothing_data();
    void emptyTextFindsNothing();
    void selectedOnlyNoMatchThenOkSearchesFromTheStart();
    void boxesBecomeOptions_data();
    void boxesBecomeOptions();
    void selectionModeRestored_data();
    void selectionModeRestored();
    void columnSelectionKeptWhenNothingFound();
    void columnSelectionSearchedRowByRow();
    void enterInEdit1Searches();
    void anulujAndCloseBoxHideAndKeepValues_data();
    void anulujAndCloseBoxHideAndKeepValues();
    void viewScrollsToMatch();

private:
    template <typename T> T* Child(const char* name) const {
        T* child = dialog->findChild<T*>(name);
        Q_ASSERT(child);
        return child;
    }
    void Load(const QByteArray& utf8);
    void Prepare(const QString& text, bool up, bool matchCase = false, bool wholeWord = false,
                 bool selectedOnly = false);
    void Press() { QTest::mouseClick(Child<QPushButton>("Button1"), Qt::LeftButton); }
    long Send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const {
        return editor->SendScintilla(message, wParam, lParam);
    }
    long Caret() const { return Send(Sci::SCI_GETCURRENTPOS); }
    long Anchor() const { return Send(Sci::SCI_GETANCHOR); }

    // The messages shown, in order.
    QStringList Texts() const {
        QStringList texts;
        for (const FakeDialogs::Question& question : dialogs->questions) {
            texts.append(question.text);
        }
        return texts;
    }

    std::unique_ptr<QsciScintilla> editor;
    std::unique_ptr<TForm_Szukaj> dialog;
    std::unique_ptr<FakeDialogs> dialogs;
};

void SzukajTest::init() {
    editor = std::make_unique<QsciScintilla>();
    editor->setUtf8(true);
    editor->setFont(QFont(QStringLiteral("Courier New"), 10));
    Send(Sci::SCI_SETVIRTUALSPACEOPTIONS, Sci::SCVS_USERACCESSIBLE);
    dialog = std::make_unique<TForm_Szukaj>();
    dialog->SetEditor(editor.get());
    dialogs = std::make_unique<FakeDialogs>();
}

void SzukajTest::cleanup() {
    dialogs.reset();
    dialog.reset();
    editor.reset();
}

void SzukajTest::Load(const QByteArray& utf8) {
    Send(Sci::SCI_CLEARALL);
    editor->SendScintilla(Sci::SCI_APPENDTEXT, utf8.size(), utf8.constData());
    Send(Sci::SCI_GOTOPOS, 0);
}

void SzukajTest::Prepare(const QString& text, bool up, bool matchCase, bool wholeWord,
                         bool selectedOnly) {
    Child<QLineEdit>("Edit1")->setText(text);
    Child<QRadioButton>(up ? "kierunekUp" : "kierunekDown")->setChecked(true);
    Child<QCheckBox>("CheckBox1")->setChecked(matchCase);
    Child<QCheckBox>("CheckBox2")->setChecked(wholeWord);
    Child<QCheckBox>("CheckBox3")->setChecked(selectedOnly);
}

void SzukajTest::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");

    QTest::newRow("Edit1") << "Edit1" << QRect(8, 24, 265, 21) << "";
    QTest::newRow("Button1") << "Button1" << QRect(280, 24, 73, 25) << "Szukaj";
    QTest::newRow("Button2") << "Button2" << QRect(280, 64, 75, 25) << "Anuluj";
    QTest::newRow("CheckBox1") << "CheckBox1" << QRect(8, 56, 145, 17)
                               << "Uwzględniaj wielkość liter";
    QTest::newRow("CheckBox2") << "CheckBox2" << QRect(8, 72, 137, 17) << "Tylko całe wyrazy";
    QTest::newRow("CheckBox3") << "CheckBox3" << QRect(8, 88, 137, 17) << "Tylko zaznaczenie";
    QTest::newRow("Label1") << "Label1" << QRect(8, 8, 30, 13) << "Tekst:";
    QTest::newRow("kierunek") << "kierunek" << QRect(160, 48, 113, 65) << "Kierunek szukania";
}

void SzukajTest::layout() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    auto* widget = dialog->findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
    const char* property = qobject_cast<QGroupBox*>(widget) ? "title" : "text";
    QCOMPARE(widget->property(property).toString(), caption);
}

void SzukajTest::windowAndStartState() {
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isModal());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Szukaj..."));
    QCOMPARE(dialog->size(), QSize(368, 119));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    QVERIFY(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(dialog->Editor(), editor.get());

    QVERIFY(Child<QLineEdit>("Edit1")->text().isEmpty());
    for (const char* box : {"CheckBox1", "CheckBox2", "CheckBox3"}) {
        QVERIFY2(!Child<QCheckBox>(box)->isChecked(), box);
    }
    QCOMPARE(Child<QRadioButton>("kierunekUp")->text(), QStringLiteral("Do góry"));
    QCOMPARE(Child<QRadioButton>("kierunekDown")->text(), QStringLiteral("Do dołu"));
    QVERIFY(Child<QRadioButton>("kierunekDown")->isChecked());

    QStringList order;
    QWidget* widget = Child<QLineEdit>("Edit1");
    do {
        if (widget->focusPolicy() & Qt::TabFocus) {
            order.append(widget->objectName());
        }
        widget = widget->nextInFocusChain();
    } while (widget != Child<QLineEdit>("Edit1"));
    QCOMPARE(order, QStringList({"Edit1", "Button1", "Button2", "CheckBox1", "CheckBox2",
                                 "CheckBox3", "kierunekUp", "kierunekDown"}));
}

void SzukajTest::wholeTextDecision_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("virtualSpace");
    QTest::addColumn<bool>("up");
    QTest::addColumn<bool>("asks");

    QTest::newRow("down from line 1 column 1") << QByteArray("ab\ncd") << 0 << 0 << false << false;
    QTest::newRow("down from column 2") << QByteArray("ab\ncd") << 1 << 0 << false << true;
    QTest::newRow("down from beyond an empty line 1")
        << QByteArray("\ncd") << 0 << 3 << false << true;
    QTest::newRow("up from the end") << QByteArray("ab\ncd") << 5 << 0 << true << false;
    QTest::newRow("up from beyond the end") << QByteArray("ab\ncd") << 5 << 4 << true << false;
    QTest::newRow("up from the empty last line")
        << QByteArray("ab\ncd\r\n") << 7 << 0 << true << false;
    QTest::newRow("up from before the last character")
        << QByteArray("ab\ncd") << 4 << 0 << true << true;
    QTest::newRow("up from the end of line 1") << QByteArray("ab\ncd") << 2 << 0 << true << true;
}

void SzukajTest::wholeTextDecision() {
    QFETCH(QByteArray, text);
    QFETCH(int, caret);
    QFETCH(int, virtualSpace);
    QFETCH(bool, up);
    QFETCH(bool, asks);
    Load(text);
    Send(Sci::SCI_GOTOPOS, caret);
    Send(Sci::SCI_SETSELECTIONNCARETVIRTUALSPACE, 0, virtualSpace);
    Send(Sci::SCI_SETSELECTIONNANCHORVIRTUALSPACE, 0, virtualSpace);
    Prepare("zz", up);
    dialogs->answers = {QMessageBox::Cancel};
    Press();
    QCOMPARE(Texts(), asks ? QStringList{kWrap} : QStringList{kNotFound});
    const FakeDialogs::Question& call = dialogs->questions.front();
    if (asks) {
        QCOMPARE(call.caption, QStringLiteral("KAVERO Edytor"));
        QCOMPARE(call.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    } else {
        QCOMPARE(call.caption, ProgramTitle());
        QCOMPARE(call.buttons, QMessageBox::Ok);
    }
    QCOMPARE(Caret(), long(caret));
}

void SzukajTest::wrapQuestion_data() {
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("caret");

    const QStringList question{kWrap};
    const QStringList notFound{kWrap, kNotFound};
    // Text "one two\nthree four\nfive", caret before "four" (byte 14).
    QTest::newRow("down, match above, OK")
        << false << "two" << int(QMessageBox::Ok) << question << 4 << 7;
    QTest::newRow("down, match above, Cancel")
        << false << "two" << int(QMessageBox::Cancel) << question << 14 << 14;
    QTest::newRow("up, match below, OK")
        << true << "five" << int(QMessageBox::Ok) << question << 23 << 19;
    QTest::newRow("down, absent, OK")
        << false << "six" << int(QMessageBox::Ok) << notFound << 0 << 0;
    QTest::newRow("up, absent, OK")
        << true << "six" << int(QMessageBox::Ok) << notFound << 23 << 23;
}

void SzukajTest::wrapQuestion() {
    QFETCH(bool, up);
    QFETCH(QString, needle);
    QFETCH(int, answer);
    QFETCH(QStringList, messages);
    QFETCH(int, anchor);
    QFETCH(int, caret);
    Load("one two\nthree four\nfive");
    Send(Sci::SCI_GOTOPOS, 14);
    Prepare(needle, up);
    dialogs->answers = {QMessageBox::StandardButton(answer)};
    Press();
    QCOMPARE(Texts(), messages);
    QCOMPARE(Anchor(), long(anchor));
    QCOMPARE(Caret(), long(caret));
}

void SzukajTest::lastCharacterFoundAfterWrapUpwards() {
    Load("x\nab");
    Prepare("b", true);
    dialogs->answers = {QMessageBox::Ok};
    Press();
    QCOMPARE(Texts(), QStringList{kWrap});
    QCOMPARE(Anchor(), 4L);
    QCOMPARE(Caret(), 3L);
}

void SzukajTest::emptyTextFindsNothing_data() {
    QTest::addColumn<int>("caret");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("from the start") << 0 << QStringList{kNotFound};
    QTest::newRow("from the middle") << 3 << QStringList{kWrap, kNotFound};
}

void SzukajTest::emptyTextFindsNothing() {
    QFETCH(int, caret);
    QFETCH(QStringList, messages);
    Load("abc def");
    Send(Sci::SCI_GOTOPOS, caret);
    Prepare("", false);
    dialogs->answers = {QMessageBox::Ok};
    Press();
    QCOMPARE(Texts(), messages);
    QCOMPARE(Caret(), 0L);
    QCOMPARE(Send(Sci::SCI_GETSELECTIONEMPTY), 1L);
}

void SzukajTest::selectedOnlyNoMatchThenOkSearchesFromTheStart() {
    Load("target\nxxxx yyyy\nzzz");
    Send(Sci::SCI_SETSEL, 7, 16); // "xxxx yyyy"
    Prepare("target", false, false, false, true);
    dialogs->answers = {QMessageBox::Ok};
    Press();
    QCOMPARE(Texts(), QStringList{kWrap});
    QCOMPARE(Anchor(), 0L);
    QCOMPARE(Caret(), 6L);
}

// The match rules themselves are the engine's (TextSearchTest); here only that
// each box reaches the search.
void SzukajTest::boxesBecomeOptions_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<int>("anchor");
    const QString polish = QStringLiteral("ŁÓDŹ, łódź");
    QTest::newRow("case ignored") << polish << QStringLiteral("łódź") << false << false << 0;
    QTest::newRow("case matched") << polish << QStringLiteral("łódź") << true << false << 9;
    QTest::newRow("any part") << QStringLiteral("abc ab") << QStringLiteral("ab") << false << false
                              << 0;
    QTest::newRow("whole words") << QStringLiteral("abc ab") << QStringLiteral("ab") << false
                                 << true << 4;
}

void SzukajTest::boxesBecomeOptions() {
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QFETCH(int, anchor);
    Load(text.toUtf8());
    Prepare(needle, false, matchCase, wholeWord);
    Press();
    QVERIFY(dialogs->questions.isEmpty());
    QCOMPARE(Anchor(), long(anchor));
    QCOMPARE(editor->selectedText().toLower(), needle.toLower());
}

void SzukajTest::selectionModeRestored_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("keysExtend");
    QTest::newRow("whole lines") << int(Sci::SC_SEL_LINES) << true;
    QTest::newRow("whole lines, keys not extending") << int(Sci::SC_SEL_LINES) << false;
    QTest::newRow("column") << int(Sci::SC_SEL_RECTANGLE) << true;
    QTest::newRow("normal") << int(Sci::SC_SEL_STREAM) << false;
}

void SzukajTest::selectionModeRestored() {
    QFETCH(int, mode);
    QFETCH(bool, keysExtend);
    Load("first line\nsecond target line\nthird target");
    Send(Sci::SCI_SETSELECTIONMODE, mode);
    if (Send(Sci::SCI_GETMOVEEXTENDSSELECTION) != long(keysExtend)) {
        Send(Sci::SCI_SETSELECTIONMODE, mode);
    }
    Prepare("target", false);
    for (const long begin : {18L, 36L}) { // the first search and the one after it
        Press();
        QVERIFY(dialogs->questions.isEmpty());
        QCOMPARE(Send(Sci::SCI_GETSELECTIONSTART), begin);
        QCOMPARE(Send(Sci::SCI_GETSELECTIONEND), begin + 6);
        QCOMPARE(Caret(), begin + 6);
        QCOMPARE(Send(Sci::SCI_GETSELECTIONMODE), long(mode));
        QCOMPARE(Send(Sci::SCI_GETMOVEEXTENDSSELECTION), long(keysExtend));
    }
    // After OK in the wrap question the caret moves; the mode still stays.
    dialogs->answers = {QMessageBox::Ok};
    Prepare("first", false);
    Press();
    QCOMPARE(Texts(), QStringList{kWrap});
    QCOMPARE(Send(Sci::SCI_GETSELECTIONSTART), 0L);
    QCOMPARE(Send(Sci::SCI_GETSELECTIONEND), 5L);
    QCOMPARE(Send(Sci::SCI_GETSELECTIONMODE), long(mode));
}

void SzukajTest::columnSelectionKeptWhenNothingFound() {
    Load("abcdef\nghijkl\nmnopqr");
    Send(Sci::SCI_SETSELECTIONMODE, Sci::SC_SEL_RECTANGLE);
    Send(Sci::SCI_SETRECTANGULARSELECTIONANCHOR, 1);
    Send(Sci::SCI_SETRECTANGULARSELECTIONCARET, 18);
    Prepare("zz", false);
    dialogs->answers = {QMessageBox::Cancel};
    Press();
    QCOMPARE(Texts(), QStringList{kWrap});
    QCOMPARE(Send(Sci::SCI_GETSELECTIONMODE), long(Sci::SC_SEL_RECTANGLE));
    QCOMPARE(Send(Sci::SCI_GETSELECTIONS), 3L);
    QCOMPARE(Send(Sci::SCI_GETRECTANGULARSELECTIONANCHOR), 1L);
    QCOMPARE(Send(Sci::SCI_GETRECTANGULARSELECTIONCARET), 18L);
}

void SzukajTest::columnSelectionSearchedRowByRow() {
    // Columns 2 to 4 of three rows; "ab" sits left of them in row 1, inside in row 3.
    Load("abxxxab\nyyyyyyy\nzzab");
    Send(Sci::SCI_SETSELECTIONMODE, Sci::SC_SEL_RECTANGLE);
    Send(Sci::SCI_SETRECTANGULARSELECTIONANCHOR, 2);
    Send(Sci::SCI_SETRECTANGULARSELECTIONCARET, 20);
    Prepare("ab", false, false, false, true);
    Press();
    QVERIFY(dialogs->questions.isEmpty());
    QCOMPARE(Anchor(), 18L);
    QCOMPARE(Caret(), 20L);
    QCOMPARE(Send(Sci::SCI_GETSELECTIONMODE), long(Sci::SC_SEL_RECTANGLE));
}

void SzukajTest::enterInEdit1Searches() {
    Load("ab ab ab");
    auto* edit = Child<QLineEdit>("Edit1");
    QTest::keyClicks(edit, "ab");
    QCOMPARE(edit->text(), QStringLiteral("ab"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(Caret(), 2L); // one search per Enter, not two
    QTest::keyClick(edit, Qt::Key_Enter);
    QCOMPARE(Caret(), 5L);
    QCOMPARE(edit->text(), QStringLiteral("ab"));
    QVERIFY(dialogs->questions.isEmpty());
}

void SzukajTest::anulujAndCloseBoxHideAndKeepValues_data() {
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Anuluj") << false;
    QTest::newRow("close box") << true;
}

void SzukajTest::anulujAndCloseBoxHideAndKeepValues() {
    QFETCH(bool, closeBox);
    QPointer<TForm_Szukaj> alive(dialog.get());
    Prepare(QStringLiteral("żółw"), true, true, true, false);
    if (closeBox) {
        QVERIFY(dialog->close());
    } else {
        QTest::mouseClick(Child<QPushButton>("Button2"), Qt::LeftButton);
    }
    QVERIFY(!dialog->isVisible());
    QVERIFY(alive);

    dialog->ShowAgain();
    QVERIFY(dialog->isVisible());
    auto* edit = Child<QLineEdit>("Edit1");
    QCOMPARE(edit->text(), QStringLiteral("żółw"));
    QCOMPARE(edit->selectedText(), QStringLiteral("żółw"));
    QTRY_VERIFY(edit->hasFocus());
    QVERIFY(Child<QRadioButton>("kierunekUp")->isChecked());
    QVERIFY(Child<QCheckBox>("CheckBox1")->isChecked());
    QVERIFY(Child<QCheckBox>("CheckBox2")->isChecked());
    QVERIFY(!Child<QCheckBox>("CheckBox3")->isChecked());
}

void SzukajTest::viewScrollsToMatch() {
    QByteArray text;
    for (int line = 0; line < 2000; ++line) {
        text += QByteArray(line == 1500 ? 200 : 10, 'x') + (line == 1500 ? "target" : "") + '\n';
    }
    Load(text);
    editor->resize(300, 200);
    editor->show();
    QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
    Prepare("TARGET", false);
    Press();
    QVERIFY(dialogs->questions.isEmpty());
    QCOMPARE(editor->selectedText(), QStringLiteral("target"));
    const long first = Send(Sci::SCI_GETFIRSTVISIBLELINE);
    QVERIFY2(first <= 1500 && 1500 < first + Send(Sci::SCI_LINESONSCREEN),
             qPrintable(QString::number(first)));
    QVERIFY(Send(Sci::SCI_GETXOFFSET) > 0);
}

QTEST_MAIN(SzukajTest)
#include "SzukajTest.moc"
