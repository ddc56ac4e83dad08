// The frame's own operations: Open with tab expansion, PasteText, the
// modified flag, the toolbar, selection modes.
#include "EditorTestSupport.h"
#include "editor/SynEdit.h"
#include "editor/UEdytorF.h"
#include "editor/UEdytorFrame.h"
#include "editor/search/Szukaj.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

#include <algorithm>

Q_DECLARE_METATYPE(SelectionMode)

class EdytorFrameTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QPointer<TEdytorF> window;

    QString Path(const QString& name) const { return dir.filePath(name); }
    TEdytorFrame* Frame() const { return window->EdytorFrame; }
    SynEdit* Editor() const { return window->EdytorFrame->SynEdit1; }
    QByteArray Text() const {
        const std::string_view text = Editor()->Utf8Text();
        return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    }
    long Caret() const { return Editor()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS); }
    bool CanUndo() const { return Editor()->SendScintilla(QsciScintillaBase::SCI_CANUNDO) != 0; }
    long Sci(unsigned int message) const { return Editor()->SendScintilla(message); }
    long Sci(unsigned int message, unsigned long wParam, const char* text) const {
        return Editor()->SendScintilla(message, wParam, text);
    }
    // selectedText() can overrun its buffer on a rectangular selection: ask for the size.
    QByteArray Selected() const {
        QByteArray text(Editor()->SendScintilla(QsciScintillaBase::SCI_GETSELTEXT, 0UL,
                                                static_cast<void*>(nullptr)),
                        '\0');
        Editor()->SendScintilla(QsciScintillaBase::SCI_GETSELTEXT, 0UL, text.data());
        text.chop(1); // the terminating NUL
        return text;
    }

    // A window on `bytes`, focus in SynEdit1, caret at `caret`.
    void OpenWindow(const QByteArray& bytes, long caret = 0) {
        WriteFile(Path("OBSBIEG"), bytes);
        window = new TEdytorF;
        window->OpenFile(Path("OBSBIEG"));
        QApplication::setActiveWindow(window);
        Editor()->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QVERIFY(Editor()->hasFocus());
        Editor()->SetSelStart(caret);
    }
    // Presses a mouse button at a text position (line, column) of SynEdit1.
    QPoint PointOf(int line, int column) const {
        const long position = Editor()->positionFromLineIndex(line, column);
        return {
            int(Editor()->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, position)),
            int(Editor()->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, position)) +
                2};
    }
    void Drag(QPoint from, QPoint to) const {
        QWidget* view = Editor()->viewport();
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(view, to);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, to);
    }

private slots:
    void cleanup() { delete window; }

    void Toolbar_data();
    void Toolbar();
    void PasteActionAndPopup();
    void OpenExpandsTabs_data();
    void OpenExpandsTabs();
    void OpenSecondFileSavesIntoOwnFile();
    void OpenCancelledChangesNothing();
    void OpenFailureKeepsText();
    void PasteWithoutTab_data();
    void PasteWithoutTab();
    void PasteWithTabExpandsAll_data();
    void PasteWithTabExpandsAll();
    void PopupPasteKeepsTab();
    void ShiftInsertPastesDirectly();
    void PasteNeedsFocus();
    void EmptyClipboardPastesNothing();
    void ModifiedFlag();
    void ClearAll();
    void SelectionModeButtons_data();
    void SelectionModeButtons();
    void ColumnModeSticksAfterRawSwitch();
    void LinesModeSelectsWholeLines();
    void TrailingBlanksOfEditedLinesDropped();
    void ReadOnlySwitchesButtons();
    void TabKeyInsertsNothing();
    void ContextHelpOnCtrlF1();
    void RightClickOpensPopupMenu1();
    void UndoKeyStepsBackOneKey();
    void ScrollHintShowsTopLine();
    void ScrollBarsFollowTheLongestLine();
    void SearchButtonShowsOneDialog();
    void PrintButtonPrints();
};

void EdytorFrameTest::Toolbar_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("left");
    QTest::addColumn<QString>("hint");
    const char* names[] = {"ToolbarButton974",  "ToolbarButton975",  "ToolbarButton976",
                           "ToolbarButton977",  "ToolbarButton971",  "ToolbarButton972",
                           "ToolbarButton973",  "ToolbarButton978",  "ToolbarButton979",
                           "ToolbarButton9710", "ToolbarButton9711", "ToolbarButton9712"};
    const char* hints[] = {"Wyczyść",
                           "Otwórz",
                           "Zapisz",
                           "Drukuj",
                           "Zaznaczanie zwykłe",
                           "Zaznaczanie całych linii",
                           "Zaznacznie kolumnowe",
                           "Kopiuj",
                           "Wytnij",
                           "Wklej",
                           "Cofnij",
                           "Szukaj"};
    for (int i = 0; i < 12; ++i) {
        QTest::newRow(names[i]) << names[i] << 25 * i << QString::fromUtf8(hints[i]);
    }
}

void EdytorFrameTest::Toolbar() {
    QFETCH(QString, button);
    QFETCH(int, left);
    QFETCH(QString, hint);
    OpenWindow("");
    auto* b = Frame()->Panel1->findChild<QToolButton*>(button);
    QVERIFY(b);
    QCOMPARE(b->geometry(), QRect(left, 0, 25, 25));
    QCOMPARE(b->toolTip(), hint);
    QVERIFY(!b->icon().isNull());
    QVERIFY(!b->icon().pixmap(16, 16).isNull());
    QCOMPARE(b->focusPolicy(), Qt::NoFocus);
    QCOMPARE(Frame()->Panel1->height(), 25);
}

void EdytorFrameTest::PasteActionAndPopup() {
    OpenWindow("");
    QCOMPARE(Frame()->ImageList1.size(), 12);
    QCOMPARE(Frame()->wklejaj->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_V));
    QCOMPARE(Frame()->wklejaj->text(), QString("Wklej"));
    QCOMPARE(Frame()->ToolbarButton9710->defaultAction(), Frame()->wklejaj);
    // Undo, cut and copy: one action each for the toolbar and the popup.
    QCOMPARE(Frame()->ToolbarButton9711->defaultAction(), Frame()->Cofnij1);
    QCOMPARE(Frame()->ToolbarButton979->defaultAction(), Frame()->Wytnij1);
    QCOMPARE(Frame()->ToolbarButton978->defaultAction(), Frame()->Kopiuj1);
    QVERIFY(Frame()->ToolbarButton971->isChecked());
    QStringList items;
    for (QAction* action : Frame()->PopupMenu1->actions()) {
        items << action->text();
    }
    QCOMPARE(items, QStringList({"Cofnij", "Wytnij", "Kopiuj", "Wklej"}));
    QCOMPARE(Editor()->contextMenuPolicy(), Qt::CustomContextMenu);
}

void EdytorFrameTest::OpenExpandsTabs_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("a tab b") << QByteArray("a\tb") << QByteArray("a       b");
    QTest::newRow("seven then tab") << QByteArray("abcdefg\tx") << QByteArray("abcdefg x");
    QTest::newRow("two tabs") << QByteArray("\t\t\r\n") << QByteArray(16, ' ') + "\r\n";
    QTest::newRow("after earlier expansions")
        << QByteArray("ab\tc\td\nx\ty") << QByteArray("ab      c       d\nx       y");
    QTest::newRow("Polish letters") << QByteArray("\xB3\xF3\tx") << QByteArray("łó      x");
}

void EdytorFrameTest::OpenExpandsTabs() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, expected);
    FakeDialogs dialogs;
    OpenWindow("old");
    WriteFile(Path("second"), bytes);
    dialogs.openName = Path("second");
    QTest::mouseClick(Frame()->ToolbarButton975, Qt::LeftButton);
    QCOMPARE(dialogs.openDialogs, 1);
    QCOMPARE(dialogs.openFolder, QString());
    QCOMPARE(Text(), expected);
    QVERIFY(Editor()->Modified());
    QVERIFY(!CanUndo());
}

void EdytorFrameTest::OpenSecondFileSavesIntoOwnFile() {
    FakeDialogs dialogs;
    OpenWindow("OBS\r\n");
    WriteFile(Path("second"), "a\tb\r\nc\r\n");
    dialogs.openName = Path("second");
    Frame()->ToolbarButton975Click();
    QTest::mouseClick(Frame()->ToolbarButton976, Qt::LeftButton);
    QCOMPARE(ReadFile(Path("OBSBIEG")), QByteArray("a       b\r\nc\r\n"));
    QCOMPARE(ReadFile(Path("second")), QByteArray("a\tb\r\nc\r\n"));
    QCOMPARE(window->windowTitle(), Path("OBSBIEG"));
    QCOMPARE(Frame()->FileName, Path("OBSBIEG"));
    QVERIFY(!Editor()->Modified());
    QVERIFY(dialogs.questions.isEmpty());
}

void EdytorFrameTest::OpenCancelledChangesNothing() {
    FakeDialogs dialogs;
    OpenWindow("a\tb");
    Frame()->ToolbarButton975Click();
    QCOMPARE(dialogs.openDialogs, 1);
    QCOMPARE(Text(), QByteArray("a\tb"));
    QVERIFY(!Editor()->Modified());
}

void EdytorFrameTest::OpenFailureKeepsText() {
    FakeDialogs dialogs;
    OpenWindow("keep");
    QTest::keyClicks(Editor(), "x");
    dialogs.openName = Path("no such file");
    Frame()->ToolbarButton975Click();
    QCOMPARE(Text(), QByteArray("xkeep"));
    QVERIFY(CanUndo());
    QCOMPARE(Frame()->FileName, Path("OBSBIEG"));
    QCOMPARE(dialogs.questions.size(), 1);
    QCOMPARE(dialogs.questions[0].icon, QMessageBox::Critical);
    QVERIFY(dialogs.questions[0].text.contains(Path("no such file")));
}

void EdytorFrameTest::PasteWithoutTab_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("Ctrl+V") << "ctrl+v";
    QTest::newRow("toolbar") << "toolbar";
}

void EdytorFrameTest::PasteWithoutTab() {
    QFETCH(QString, way);
    OpenWindow("0123\r\n\tend", 2);
    QApplication::clipboard()->setText("xy\r\nz");
    if (way == "ctrl+v") {
        QTest::keyClick(Editor(), Qt::Key_V, Qt::ControlModifier);
    } else {
        QTest::mouseClick(Frame()->ToolbarButton9710, Qt::LeftButton);
    }
    QCOMPARE(Text(), QByteArray("01xy\r\nz23\r\n\tend"));
    QCOMPARE(Caret(), 2L);
    QVERIFY(Sci(QsciScintillaBase::SCI_GETSELECTIONEMPTY));
    QVERIFY(Editor()->Modified());
    Editor()->undo();
    QCOMPARE(Text(), QByteArray("0123\r\n\tend"));
    QVERIFY(!Editor()->Modified());
}

void EdytorFrameTest::PasteWithTabExpandsAll_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("Ctrl+V") << "ctrl+v";
    QTest::newRow("toolbar") << "toolbar";
}

void EdytorFrameTest::PasteWithTabExpandsAll() {
    QFETCH(QString, way);
    OpenWindow("\tq\r\nab", 6);
    QApplication::clipboard()->setText("1\t2");
    if (way == "ctrl+v") {
        QTest::keyClick(Editor(), Qt::Key_V, Qt::ControlModifier);
    } else {
        Frame()->wklejaj->trigger();
    }
    QCOMPARE(Text(), QByteArray("        q\r\nab1     2"));
    QCOMPARE(Caret(), 13L); // before the pasted "1"
    QVERIFY(Editor()->Modified());
    QVERIFY(!CanUndo());
}

void EdytorFrameTest::PopupPasteKeepsTab() {
    OpenWindow("ab", 1);
    QApplication::clipboard()->setText("1\t2");
    Frame()->Wklej1->trigger();
    QCOMPARE(Text(), QByteArray("a1\t2b"));
    QCOMPARE(Caret(), 4L);
    QVERIFY(CanUndo());
}

void EdytorFrameTest::ShiftInsertPastesDirectly() {
    OpenWindow("ab", 1);
    QApplication::clipboard()->setText("1\t2");
    QTest::keyClick(Editor(), Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(Text(), QByteArray("a1\t2b"));
    QCOMPARE(Caret(), 4L);
}

void EdytorFrameTest::PasteNeedsFocus() {
    OpenWindow("ab", 1);
    Editor()->clearFocus();
    QApplication::clipboard()->setText("1\t2");
    Frame()->PasteText();
    QCOMPARE(Text(), QByteArray("ab"));
}

void EdytorFrameTest::EmptyClipboardPastesNothing() {
    OpenWindow("a\tb", 1);
    QApplication::clipboard()->clear();
    QTest::keyClick(Editor(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Text(), QByteArray("a\tb"));
    QVERIFY(!Editor()->Modified());
}

void EdytorFrameTest::ModifiedFlag() {
    OpenWindow("a\tb\r\n", 3);
    QVERIFY(!Editor()->Modified());
    QTest::keyClicks(Editor(), "x");
    QVERIFY(Editor()->Modified());
    Editor()->undo();
    QVERIFY(!Editor()->Modified());

    QTest::keyClicks(Editor(), "x");
    Frame()->ExpandTabs(); // neither sets nor clears
    QVERIFY(Editor()->Modified());
    QVERIFY(!CanUndo());
    Editor()->SetModified(false);
    QVERIFY(!Editor()->Modified());
    QTest::keyClick(Editor(), Qt::Key_Backspace);
    Frame()->ExpandTabs(); // no tab left: only the undo history goes
    QVERIFY(Editor()->Modified());
    QVERIFY(!CanUndo());
    Editor()->SetModified(true);
    Frame()->ExpandTabs();
    QVERIFY(Editor()->Modified());
    QCOMPARE(Text(), QByteArray("a       b\r\n"));
    Editor()->SetModified(false);
    Frame()->ExpandTabs();
    QVERIFY(!Editor()->Modified());

    QTest::keyClicks(Editor(), "y");
    QVERIFY(Frame()->SaveFile());
    QVERIFY(!Editor()->Modified());
    QTest::keyClicks(Editor(), "z");
    QVERIFY(Editor()->Modified());
    Editor()->undo();
    QVERIFY(!Editor()->Modified()); // back at the state that was saved
}

void EdytorFrameTest::ClearAll() {
    OpenWindow("abc");
    QTest::keyClicks(Editor(), "x");
    QTest::mouseClick(Frame()->ToolbarButton974, Qt::LeftButton);
    QCOMPARE(Text(), QByteArray());
    QVERIFY(!Editor()->Modified());
    QVERIFY(!CanUndo());
    QVERIFY(!Sci(QsciScintillaBase::SCI_CANREDO));
}

void EdytorFrameTest::SelectionModeButtons_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<SelectionMode>("mode");
    QTest::newRow("normal") << "ToolbarButton971" << SelectionMode::Normal;
    QTest::newRow("lines") << "ToolbarButton972" << SelectionMode::Lines;
    QTest::newRow("column") << "ToolbarButton973" << SelectionMode::Column;
}

void EdytorFrameTest::SelectionModeButtons() {
    QFETCH(QString, button);
    QFETCH(SelectionMode, mode);
    OpenWindow("abcdef\r\nabcdef\r\nabcdef\r\n");
    QTest::mouseClick(Frame()->ToolbarButton973, Qt::LeftButton);
    QTest::mouseClick(Frame()->Panel1->findChild<QToolButton*>(button), Qt::LeftButton);
    QVERIFY(Frame()->Panel1->findChild<QToolButton*>(button)->isChecked());
    const int checked = int(Frame()->ToolbarButton971->isChecked()) +
                        int(Frame()->ToolbarButton972->isChecked()) +
                        int(Frame()->ToolbarButton973->isChecked());
    QCOMPARE(checked, 1);
    QCOMPARE(Editor()->GetSelectionMode(), mode);
    // In every mode a click and the arrow keys leave a bare caret, which they move.
    QTest::mouseClick(Editor()->viewport(), Qt::LeftButton, Qt::NoModifier, PointOf(1, 2));
    QTest::keyClick(Editor(), Qt::Key_Right);
    QTest::keyClick(Editor(), Qt::Key_Down);
    QVERIFY(Sci(QsciScintillaBase::SCI_GETSELECTIONEMPTY));
    QCOMPARE(Caret(), long(Editor()->positionFromLineIndex(2, 3)));
    QCOMPARE(Editor()->GetSelectionMode(), mode);
}

void EdytorFrameTest::ColumnModeSticksAfterRawSwitch() {
    OpenWindow("abcdef\r\nabcdef\r\nabcdef\r\n");
    Frame()->ToolbarButton973Click();
    // A search selects its match in Scintilla's stream mode.
    Editor()->SendScintilla(QsciScintillaBase::SCI_SETSELECTIONMODE,
                            QsciScintillaBase::SC_SEL_STREAM);
    Editor()->SendScintilla(QsciScintillaBase::SCI_SETSEL, 1UL, 3L);
    Drag(PointOf(0, 1), PointOf(2, 3));
    QVERIFY(Sci(QsciScintillaBase::SCI_SELECTIONISRECTANGLE));
    QTest::mouseClick(Frame()->ToolbarButton978, Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(), QString("bc\r\nbc\r\nbc"));
}

void EdytorFrameTest::LinesModeSelectsWholeLines() {
    OpenWindow("abcdef\r\nabcdef\r\nabcdef");
    Frame()->ToolbarButton972Click();
    Drag(PointOf(0, 3), PointOf(1, 2));
    QCOMPARE(Selected(), QByteArray("abcdef\r\nabcdef\r\n"));
    QTest::mouseClick(Frame()->ToolbarButton978, Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(), QString("abcdef\r\nabcdef\r\n"));
    // Upwards, to the last line, which has no line end; cut whole.
    Drag(PointOf(2, 1), PointOf(1, 5));
    QCOMPARE(Selected(), QByteArray("abcdef\r\nabcdef"));
    QCOMPARE(Caret(), 8L); // on the side the mouse went
    QTest::mouseClick(Frame()->ToolbarButton979, Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(), QString("abcdef\r\nabcdef"));
    QCOMPARE(Text(), QByteArray("abcdef\r\n"));
    // A double click takes the word's line.
    QTest::mouseClick(Editor()->viewport(), Qt::LeftButton, Qt::NoModifier, PointOf(0, 2));
    QTest::mouseDClick(Editor()->viewport(), Qt::LeftButton, Qt::NoModifier, PointOf(0, 2));
    QCOMPARE(Selected(), QByteArray("abcdef\r\n"));
    // Typed over, whole lines become one line and the line below stays apart.
    Frame()->SynEdit1->setText("abcd\r\nefgh\r\nijkl\r\nmnop");
    Drag(PointOf(1, 2), PointOf(2, 1));
    QTest::keyClicks(Editor(), "X");
    QCOMPARE(Text(), QByteArray("abcd\r\nX\r\nmnop"));
}

void EdytorFrameTest::TrailingBlanksOfEditedLinesDropped() {
    OpenWindow("keep  \r\nab\r\n", 10);
    QTest::keyClicks(Editor(), "c  ");
    QVERIFY(Sci(QsciScintillaBase::SCI_GETMODIFY));
    QCOMPARE(Text(), QByteArray("keep  \r\nabc\r\n"));
    QTest::keyClicks(Editor(), "d");
    QCOMPARE(Text(), QByteArray("keep  \r\nabc  d\r\n"));
    QTest::keyClicks(Editor(), "  ");
    QTest::keyClick(Editor(), Qt::Key_Return);
    QCOMPARE(Text(), QByteArray("keep  \r\nabc  d\r\n\r\n"));
    Editor()->undo();
    QCOMPARE(Text(), QByteArray("keep  \r\nabc  d\r\n"));
}

void EdytorFrameTest::ReadOnlySwitchesButtons() {
    OpenWindow("abc");
    Frame()->SetReadOnly(true);
    QVERIFY(Editor()->isReadOnly());
    for (QToolButton* b :
         {Frame()->ToolbarButton974, Frame()->ToolbarButton975, Frame()->ToolbarButton979,
          Frame()->ToolbarButton9710, Frame()->ToolbarButton9711}) {
        QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
    }
    for (QToolButton* b :
         {Frame()->ToolbarButton976, Frame()->ToolbarButton977, Frame()->ToolbarButton978,
          Frame()->ToolbarButton9712, Frame()->ToolbarButton971, Frame()->ToolbarButton973}) {
        QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
    }
    QTest::keyClicks(Editor(), "x");
    QCOMPARE(Text(), QByteArray("abc"));
    Frame()->SetReadOnly(false);
    QVERIFY(Frame()->ToolbarButton9710->isEnabled());
    QVERIFY(!Frame()->ReadOnly);
}

void EdytorFrameTest::TabKeyInsertsNothing() {
    OpenWindow("abc", 1);
    QTest::keyClick(Editor(), Qt::Key_Tab);
    QCOMPARE(Text(), QByteArray("abc"));
    QVERIFY(!Editor()->Modified());
}

void EdytorFrameTest::ContextHelpOnCtrlF1() {
    OpenWindow("abc");
    QSignalSpy help(Editor(), &SynEdit::ContextHelp);
    QTest::keyClick(Editor(), Qt::Key_F1);
    QCOMPARE(help.count(), 0);
    QTest::keyClick(Editor(), Qt::Key_F1, Qt::ControlModifier);
    QCOMPARE(help.count(), 1);
}

void EdytorFrameTest::RightClickOpensPopupMenu1() {
    OpenWindow("abc");
    const QPoint point = PointOf(0, 1);
    QContextMenuEvent event(QContextMenuEvent::Mouse, point,
                            Editor()->viewport()->mapToGlobal(point));
    QApplication::sendEvent(Editor()->viewport(), &event);
    QTRY_VERIFY(Frame()->PopupMenu1->isVisible());
    QMenu* shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QCOMPARE(shown, Frame()->PopupMenu1);
    Frame()->PopupMenu1->close();
}

void EdytorFrameTest::UndoKeyStepsBackOneKey() {
    OpenWindow("abc\r\n", 3);
    QTest::keyClicks(Editor(), "xy");
    QTest::keyClick(Editor(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Text(), QByteArray("abcx\r\n"));
    QVERIFY(Editor()->Modified());
    QTest::keyClick(Editor(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Text(), QByteArray("abc\r\n"));
    QVERIFY(!Editor()->Modified());
    QTest::keyClicks(Editor(), "q");
    QTest::mouseClick(Frame()->ToolbarButton9711, Qt::LeftButton);
    QCOMPARE(Text(), QByteArray("abc\r\n"));
    QVERIFY(!Editor()->Modified());
}

void EdytorFrameTest::ScrollHintShowsTopLine() {
    QByteArray lines;
    for (int i = 0; i < 500; ++i) {
        lines += "line\r\n";
    }
    OpenWindow(lines);
    QScrollBar* bar = Editor()->verticalScrollBar();
    bar->setSliderDown(true);
    bar->setSliderPosition(41);
    bar->setSliderDown(false);
    QCOMPARE(Sci(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE), 41L);
    QCOMPARE(QToolTip::text(), QString("Linia: 42"));
}

void EdytorFrameTest::ScrollBarsFollowTheLongestLine() {
    OpenWindow("short\r\nlines\r\n");
    QScrollBar* bar = Editor()->horizontalScrollBar();
    Editor()->viewport()->repaint();
    QVERIFY(bar->isVisible());
    QVERIFY(Editor()->verticalScrollBar()->isVisible());
    QCOMPARE(bar->maximum(), 0);
    // The range spans the longest line, also one far below the first screen,
    // and widens with a longer line typed.
    const auto rangeFits = [this](int characters) {
        QScrollBar* bar = Editor()->horizontalScrollBar();
        const QByteArray line(characters, 'x');
        const long width = Sci(QsciScintillaBase::SCI_TEXTWIDTH, QsciScintillaBase::STYLE_DEFAULT,
                               line.constData());
        return qAbs(bar->maximum() + bar->pageStep() - width) <= 2 * width / characters;
    };
    delete window;
    OpenWindow(QByteArray("short\r\n").repeated(300) + QByteArray(120, 'x') + "\r\nend");
    Editor()->viewport()->repaint();
    QVERIFY(rangeFits(120));
    Editor()->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    QTest::keyClicks(Editor(), QByteArray(147, 'x').constData());
    Editor()->viewport()->repaint();
    QVERIFY(rangeFits(150));
}

void EdytorFrameTest::SearchButtonShowsOneDialog() {
    OpenWindow("abc");
    QVERIFY(!Frame()->SearchForm);
    QTest::mouseClick(Frame()->ToolbarButton9712, Qt::LeftButton);
    QPointer<TForm_Szukaj> first = Frame()->SearchForm;
    QVERIFY(first);
    QVERIFY(first->isVisible());
    QCOMPARE(first->Editor(), static_cast<QsciScintilla*>(Editor()));
    first->hide();
    QTest::mouseClick(Frame()->ToolbarButton9712, Qt::LeftButton);
    QCOMPARE(Frame()->SearchForm, first);
    QVERIFY(first->isVisible());
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.begin(), windows.end(),
                           [](QWidget* w) { return qobject_cast<TForm_Szukaj*>(w) != nullptr; }),
             1);
    delete window; // the frame takes its search dialog along
    QVERIFY(first.isNull());
}

void EdytorFrameTest::PrintButtonPrints() {
    FakeDialogs dialogs;
    OpenWindow("abc");
    QTest::mouseClick(Frame()->ToolbarButton977, Qt::LeftButton);
    // The print dialog, or the message that there is no printer to print on.
    QCOMPARE(dialogs.printDialogs + dialogs.questions.size(), 1);
}

QTEST_MAIN(EdytorFrameTest)
#include "tst_EdytorFrame.moc"
