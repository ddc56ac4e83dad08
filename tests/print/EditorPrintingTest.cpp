#include "editor/print/EditorPrinting.h"
#include "FakePrintDialogs.h"
#include "PrintTestText.h"
#include "PrintedPdf.h"
#include "editor/print/SelectionText.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

using print_test::MakeEditor;
using print_test::NumberedLines;
using Range = QAbstractPrintDialog::PrintRange;
using Sci = QsciScintillaBase;

Q_DECLARE_METATYPE(Range)

namespace {

enum class SelectionKind { None, Stream, Column, Lines };

// Selects from (line1, index1) to (line2, index2) in the given mode; indices are ASCII columns.
void Select(QsciScintilla& editor, SelectionKind kind, int line1, int index1, int line2,
            int index2) {
    const long anchor = editor.positionFromLineIndex(line1, index1);
    const long caret = editor.positionFromLineIndex(line2, index2);
    switch (kind) {
    case SelectionKind::None:
        editor.SendScintilla(Sci::SCI_SETEMPTYSELECTION, anchor);
        break;
    case SelectionKind::Stream:
        editor.SendScintilla(Sci::SCI_SETSEL, anchor, caret);
        break;
    case SelectionKind::Column:
        editor.SendScintilla(Sci::SCI_SETRECTANGULARSELECTIONANCHOR, anchor);
        editor.SendScintilla(Sci::SCI_SETRECTANGULARSELECTIONCARET, caret);
        break;
    case SelectionKind::Lines:
        editor.SendScintilla(Sci::SCI_SETSEL, anchor, caret);
        editor.SendScintilla(Sci::SCI_SETSELECTIONMODE, Sci::SC_SEL_LINES);
        break;
    }
}

} // namespace

class EditorPrintingTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cancelPrintsNothing();
    void dialogOffersWhatTheTextAllows_data();
    void dialogOffersWhatTheTextAllows();
    void dialogLeavesNoPageChoiceToTheSpooler();
    void printsTheChosenPages_data();
    void printsTheChosenPages();
    void selectedTextForPrint_data();
    void selectedTextForPrint();
    void selectionPrintsAsADocumentOfItsOwn_data();
    void selectionPrintsAsADocumentOfItsOwn();
    void resultFileWindowPrintsAt8ptSelectionAt10pt();
    void selectionPrintsWithDefaultTabWidth();
    void choicesKeptBetweenPrints();
    void noPrinterSaysSoInPolish();
    void printingFailureShowsTheError();

private:
    QString Output() const { return dir_.filePath(QStringLiteral("out.pdf")); }
    void PrintTo(EditorPrinting& printing, QsciScintilla& editor, const QString& path);

    QTemporaryDir dir_;
    std::unique_ptr<FakePrintDialogs> dialogs_;
};

void EditorPrintingTest::init() {
    QFile::remove(Output());
    dialogs_.reset(); // the old fake puts back its predecessor first
    dialogs_ = std::make_unique<FakePrintDialogs>();
}

void EditorPrintingTest::PrintTo(EditorPrinting& printing, QsciScintilla& editor,
                                 const QString& path) {
    printing.Printer().setOutputFileName(path);
    printing.Print(nullptr, &editor);
}

void EditorPrintingTest::cancelPrintsNothing() {
    auto editor = MakeEditor(NumberedLines(100).join('\n'));
    EditorPrinting printing;
    dialogs_->answer.accept = false;
    PrintTo(printing, *editor, Output());
    QCOMPARE(dialogs_->shown.size(), 1u);
    QVERIFY(!QFile::exists(Output()));
    QVERIFY(dialogs_->messages.empty());
}

void EditorPrintingTest::dialogOffersWhatTheTextAllows_data() {
    QTest::addColumn<SelectionKind>("selection");
    QTest::addColumn<bool>("offered");
    QTest::newRow("no selection") << SelectionKind::None << false;
    QTest::newRow("stream selection") << SelectionKind::Stream << true;
    QTest::newRow("column selection") << SelectionKind::Column << true;
    QTest::newRow("line selection") << SelectionKind::Lines << true;
}

void EditorPrintingTest::dialogOffersWhatTheTextAllows() {
    QFETCH(SelectionKind, selection);
    QFETCH(bool, offered);
    auto editor = MakeEditor(NumberedLines(200).join('\n'), 8);
    Select(*editor, selection, 3, 2, 5, 9);
    EditorPrinting printing;
    PrintTo(printing, *editor, Output());
    QCOMPARE(dialogs_->shown.size(), 1u);
    const auto& shown = dialogs_->shown.front();
    QCOMPARE(shown.options.testFlag(QAbstractPrintDialog::PrintSelection), offered);
    QVERIFY(shown.options.testFlag(QAbstractPrintDialog::PrintPageRange));
    QVERIFY(!shown.options.testFlag(QAbstractPrintDialog::PrintToFile));
    QCOMPARE(shown.minPage, 1);
    QCOMPARE(shown.range, Range::AllPages);
    QCOMPARE(shown.from, 1);
    QCOMPARE(shown.to, shown.maxPage);
    // The maximum is the page count of the whole text, as "all pages" prints it.
    PrintedPdf pdf(Output());
    QVERIFY(pdf.PageCount() >= 3);
    QCOMPARE(shown.maxPage, pdf.PageCount());
}

// Page lists and odd/even sets would be applied by the spooler to the sheets
// of a job that already holds all copies.
void EditorPrintingTest::dialogLeavesNoPageChoiceToTheSpooler() {
    auto editor = MakeEditor(NumberedLines(200).join('\n'));
    Select(*editor, SelectionKind::Stream, 3, 2, 5, 9);
    EditorPrinting printing;
    dialogs_->showDialog = true;
    dialogs_->answer.accept = false;
    PrintTo(printing, *editor, Output());
    QCOMPARE(dialogs_->shown.size(), 1u);
    QCOMPARE(dialogs_->shown.front().visibleChoices,
             (QStringList{"printAll", "printRange", "from", "to", "printSelection", "copies"}));
}

void EditorPrintingTest::printsTheChosenPages_data() {
    QTest::addColumn<Range>("range");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("copies");
    QTest::addColumn<QList<int>>("pages");
    QTest::newRow("all pages") << Range::AllPages << 0 << 0 << 1 << QList<int>{1, 2, 3, 4, 5};
    QTest::newRow("2 copies of 2-3") << Range::PageRange << 2 << 3 << 2 << QList<int>{2, 3, 2, 3};
    QTest::newRow("page 4") << Range::PageRange << 4 << 4 << 1 << QList<int>{4};
    QTest::newRow("2 copies of all")
        << Range::AllPages << 0 << 0 << 2 << QList<int>{1, 2, 3, 4, 5, 1, 2, 3, 4, 5};
}

void EditorPrintingTest::printsTheChosenPages() {
    QFETCH(Range, range);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, copies);
    QFETCH(QList<int>, pages);
    auto editor = MakeEditor(NumberedLines(280).join('\n'));
    EditorPrinting printing;
    const QString reference = dir_.filePath(QStringLiteral("reference.pdf"));
    PrintTo(printing, *editor, reference);
    PrintedPdf referencePdf(reference);
    QCOMPARE(referencePdf.PageCount(), 5);
    const QList<QStringList> referencePages = referencePdf.WordsOfPages();

    dialogs_->answer = {true, range, from, to, copies};
    PrintTo(printing, *editor, Output());
    PrintedPdf pdf(Output());
    QList<QStringList> expected;
    for (int page : pages) {
        expected.append(referencePages.at(page - 1));
    }
    QCOMPARE(pdf.WordsOfPages(), expected);
    QVERIFY(dialogs_->messages.empty());
}

void EditorPrintingTest::selectedTextForPrint_data() {
    QTest::addColumn<SelectionKind>("selection");
    QTest::addColumn<QList<int>>("bounds");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("within a line")
        << SelectionKind::Stream << QList<int>{1, 2, 1, 6} << QByteArray("cdef");
    QTest::newRow("across lines, LF made CR LF")
        << SelectionKind::Stream << QList<int>{0, 11, 1, 4} << QByteArray("12 zażółć\r\nabcd");
    QTest::newRow("backwards") << SelectionKind::Stream << QList<int>{1, 4, 0, 11}
                               << QByteArray("12 zażółć\r\nabcd");
    QTest::newRow("column, short line left empty")
        << SelectionKind::Column << QList<int>{1, 2, 3, 6} << QByteArray("cdef\r\n\r\n2345");
    QTest::newRow("column, upwards")
        << SelectionKind::Column << QList<int>{3, 6, 1, 2} << QByteArray("cdef\r\n\r\n2345");
    // The rectangle spans screen columns, and NUL shows as a wide block.
    QTest::newRow("column keeps NUL")
        << SelectionKind::Column << QList<int>{4, 0, 5, 3} << QByteArray("x\0\r\nend", 7);
    QTest::newRow("whole lines") << SelectionKind::Lines << QList<int>{1, 3, 2, 1}
                                 << QByteArray("abcdefghij\r\nab");
}

void EditorPrintingTest::selectedTextForPrint() {
    QFETCH(SelectionKind, selection);
    QFETCH(QList<int>, bounds);
    QFETCH(QByteArray, expected);
    auto editor = MakeEditor(QString());
    static const char raw[] = "Stanowisko 12 zażółć\nabcdefghij\nab\n0123456789\nx\0yz\nend";
    const QByteArray text(raw, sizeof(raw) - 1);
    editor->SendScintilla(Sci::SCI_APPENDTEXT, static_cast<unsigned long>(text.size()),
                          text.constData());
    Select(*editor, selection, bounds[0], bounds[1], bounds[2], bounds[3]);
    QCOMPARE(SelectedTextForPrint(*editor), expected);
}

void EditorPrintingTest::selectionPrintsAsADocumentOfItsOwn_data() {
    QTest::addColumn<SelectionKind>("selection");
    QTest::addColumn<QList<int>>("bounds");
    QTest::addColumn<QString>("expected");
    // Lines 201 to 203 lie on the fourth page of the whole text.
    QTest::newRow("stream") << SelectionKind::Stream << QList<int>{200, 7, 202, 11}
                            << QStringLiteral("0201 stanowisko 14 odczyt 123.4567 "
                                              "Wiersz 0202 stanowisko 15 odczyt 123.4567 "
                                              "Wiersz 0203");
    QTest::newRow("column") << SelectionKind::Column << QList<int>{200, 7, 202, 11}
                            << QStringLiteral("0201 0202 0203");
}

void EditorPrintingTest::selectionPrintsAsADocumentOfItsOwn() {
    QFETCH(SelectionKind, selection);
    QFETCH(QList<int>, bounds);
    QFETCH(QString, expected);
    auto editor = MakeEditor(NumberedLines(280).join('\n'), 8);
    Select(*editor, selection, bounds[0], bounds[1], bounds[2], bounds[3]);
    EditorPrinting printing;
    dialogs_->answer = {true, Range::Selection, 0, 0, 2};
    PrintTo(printing, *editor, Output());
    PrintedPdf pdf(Output());
    QCOMPARE(pdf.PageCount(), 2);
    QCOMPARE(pdf.Words(0), WordsOf(expected));
    QCOMPARE(pdf.Words(1), WordsOf(expected));
    QCOMPARE(pdf.Title(), QString());
}

void EditorPrintingTest::resultFileWindowPrintsAt8ptSelectionAt10pt() {
    auto editor = MakeEditor(QString(60, QLatin1Char('H')) + '\n' + NumberedLines(5).join('\n'), 8);
    EditorPrinting printing;
    PrintTo(printing, *editor, Output());
    PrintedPdf pages(Output());
    QVERIFY2(qAbs(pages.Pitch(QLatin1Char('H'), 40) - 0.6 * 8) < 0.05,
             qPrintable(QString::number(pages.Pitch(QLatin1Char('H'), 40))));

    Select(*editor, SelectionKind::Stream, 0, 0, 0, 50);
    dialogs_->answer.range = Range::Selection;
    const QString selectionPdf = dir_.filePath(QStringLiteral("selection.pdf"));
    PrintTo(printing, *editor, selectionPdf);
    PrintedPdf selection(selectionPdf);
    QVERIFY2(qAbs(selection.Pitch(QLatin1Char('H'), 40) - 0.6 * 10) < 0.05,
             qPrintable(QString::number(selection.Pitch(QLatin1Char('H'), 40))));
}

void EditorPrintingTest::selectionPrintsWithDefaultTabWidth() {
    auto editor = MakeEditor(QStringLiteral("X\tX\n") + QString(12, QLatin1Char('X')), 8, 4);
    Select(*editor, SelectionKind::Stream, 0, 0, 1, 12);
    EditorPrinting printing;
    dialogs_->answer.range = Range::Selection;
    PrintTo(printing, *editor, Output());
    PrintedPdf pdf(Output());
    const double afterTab = pdf.GlyphBox(0, QLatin1Char('X'), 1).left();
    const double column8 = pdf.GlyphBox(0, QLatin1Char('X'), 2 + 8).left();
    QVERIFY2(qAbs(afterTab - column8) < 0.01, qPrintable(QString::number(afterTab - column8)));
}

void EditorPrintingTest::choicesKeptBetweenPrints() {
    auto editor = MakeEditor(NumberedLines(280).join('\n'));
    EditorPrinting printing;
    dialogs_->answer = {true, Range::PageRange, 2, 3, 2};
    PrintTo(printing, *editor, Output());
    PrintTo(printing, *editor, Output());
    QCOMPARE(dialogs_->shown.size(), 2u);
    const auto& again = dialogs_->shown.back();
    QCOMPARE(again.range, Range::PageRange);
    QCOMPARE(again.from, 2);
    QCOMPARE(again.to, 3);
    QCOMPARE(again.copies, 2);

    // A kept choice that no longer fits falls back: no selection now, a shorter text.
    Select(*editor, SelectionKind::Stream, 0, 0, 0, 5);
    dialogs_->answer = {true, Range::Selection, 0, 0, 1};
    PrintTo(printing, *editor, Output());
    auto shortText = MakeEditor(NumberedLines(70).join('\n'));
    PrintTo(printing, *shortText, Output());
    QCOMPARE(dialogs_->shown.back().range, Range::AllPages);
    dialogs_->answer = {true, Range::PageRange, 4, 5, 1};
    PrintTo(printing, *editor, Output());
    PrintTo(printing, *shortText, Output());
    QCOMPARE(dialogs_->shown.back().maxPage, 2);
    QVERIFY(dialogs_->shown.back().to <= 2);
    QVERIFY(dialogs_->messages.empty());
}

void EditorPrintingTest::noPrinterSaysSoInPolish() {
    auto editor = MakeEditor(NumberedLines(10).join('\n'));
    EditorPrinting printing;
    printing.Print(nullptr, editor.get());
    QVERIFY(dialogs_->shown.empty());
    QCOMPARE(dialogs_->messages.size(), 1u);
    QCOMPARE(dialogs_->messages.front().text, QStringLiteral("Nie zainstalowano żadnej drukarki."));
    QCOMPARE(dialogs_->messages.front().icon, QMessageBox::Critical);
}

void EditorPrintingTest::printingFailureShowsTheError() {
    auto editor = MakeEditor(NumberedLines(10).join('\n'));
    EditorPrinting printing;
    const QString target = dir_.filePath(QStringLiteral("brak folderu/wydruk.pdf"));
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    PrintTo(printing, *editor, target);
    QCOMPARE(dialogs_->shown.size(), 1u);
    QCOMPARE(dialogs_->messages.size(), 1u);
    QVERIFY2(dialogs_->messages.front().text.contains(target),
             qPrintable(dialogs_->messages.front().text));
    QCOMPARE(dialogs_->messages.front().icon, QMessageBox::Critical);
    QVERIFY(!QFile::exists(target));
}

// No print service is reachable in this test: printers come only from files
// the tests name, so "no printer installed" can be tried for real.
int main(int argc, char** argv) {
    QTemporaryDir nowhere;
    qputenv("CUPS_SERVER", nowhere.filePath(QStringLiteral("no-cups.sock")).toLocal8Bit());
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
    QApplication app(argc, argv);
    EditorPrintingTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "EditorPrintingTest.moc"
