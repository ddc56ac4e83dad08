#include "editor/print/SynEditPrint.h"
#include "PrintTestText.h"
#include "PrintedPdf.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

using print_test::MakeEditor;
using print_test::NumberedLines;

namespace {

constexpr double kMm = PrintedPdf::kPointsPerMm;

std::unique_ptr<QPrinter> PdfPrinter(const QString& path) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setPageSize(QPageSize(QPageSize::A4));
    return printer;
}

} // namespace

class SynEditPrintTest : public QObject {
    Q_OBJECT

private slots:
    void pageCountMatchesPrintedPages_data();
    void pageCountMatchesPrintedPages();
    void copiesAreWholeRunsOfTheRange_data();
    void copiesAreWholeRunsOfTheRange();
    void longLineContinuesOnNextRow();
    void tabsExpandToTheControlsTabWidth_data();
    void tabsExpandToTheControlsTabWidth();
    void nothingPrintedInMarginsHeaderOrFooter();
    void printsInTheControlsFont_data();
    void printsInTheControlsFont();
    void finalLineEndAddsNoPage();
    void bindingAgainRecountsPages();
    void jobHasNoTitleAndKeepsTheUsersCopyCount();
    void failedStartNamesTheTarget();

private:
    QString Pdf(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
};

void SynEditPrintTest::pageCountMatchesPrintedPages_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("one line") << QStringLiteral("OBSBIEG");
    QTest::newRow("300 lines") << NumberedLines(300).join(QLatin1Char('\n'));
    QTest::newRow("CR LF lines") << NumberedLines(130).join(QStringLiteral("\r\n"));
    QTest::newRow("long lines") << QStringList(40, QString(450, QLatin1Char('m'))).join('\n');
    QTest::newRow("empty lines") << QString(200, QLatin1Char('\n'));
}

void SynEditPrintTest::pageCountMatchesPrintedPages() {
    QFETCH(QString, text);
    auto editor = MakeEditor(text);
    auto printer = PdfPrinter(Pdf(QStringLiteral("count.pdf")));
    SynEditPrint engine;
    engine.Bind(*editor);
    const int counted = engine.PageCount(*printer);
    QVERIFY(engine.Print(*printer).ok);
    PrintedPdf pdf(Pdf(QStringLiteral("count.pdf")));
    QVERIFY(pdf.IsReady());
    QCOMPARE(pdf.PageCount(), counted);
}

void SynEditPrintTest::copiesAreWholeRunsOfTheRange_data() {
    QTest::addColumn<int>("copies");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("collate");
    QTest::addColumn<bool>("duplex");
    QTest::addColumn<QList<int>>("pages"); // 0: a blank page
    QTest::newRow("2 copies of 2-3, collated")
        << 2 << 2 << 3 << true << false << QList<int>{2, 3, 2, 3};
    QTest::newRow("2 copies of 2-3, not collated")
        << 2 << 2 << 3 << false << false << QList<int>{2, 3, 2, 3};
    QTest::newRow("1 copy of 1-4") << 1 << 1 << 4 << false << false << QList<int>{1, 2, 3, 4};
    QTest::newRow("3 copies of 3") << 3 << 3 << 3 << true << false << QList<int>{3, 3, 3};
    QTest::newRow("range past the end is cut")
        << 2 << 4 << 99 << false << false << QList<int>{4, 5, 4, 5};
    QTest::newRow("both sides, even run") << 2 << 2 << 3 << false << true << QList<int>{2, 3, 2, 3};
    QTest::newRow("both sides, odd run starts each copy on a new sheet")
        << 2 << 2 << 4 << false << true << QList<int>{2, 3, 4, 0, 2, 3, 4};
}

void SynEditPrintTest::copiesAreWholeRunsOfTheRange() {
    QFETCH(int, copies);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, collate);
    QFETCH(bool, duplex);
    QFETCH(QList<int>, pages);
    auto editor = MakeEditor(NumberedLines(280).join('\n'));
    SynEditPrint engine;
    engine.Bind(*editor);
    auto reference = PdfPrinter(Pdf(QStringLiteral("reference.pdf")));
    QVERIFY(engine.Print(*reference).ok);
    PrintedPdf referencePdf(Pdf(QStringLiteral("reference.pdf")));
    QCOMPARE(referencePdf.PageCount(), 5);
    const QList<QStringList> referencePages = referencePdf.WordsOfPages();
    QStringList everyWord;
    for (const QStringList& words : referencePages) {
        everyWord += words;
    }
    QCOMPARE(everyWord, WordsOf(NumberedLines(280).join('\n')));

    auto printer = PdfPrinter(Pdf(QStringLiteral("copies.pdf")));
    printer->setCollateCopies(collate);
    engine.SetTwoSided(duplex);
    engine.SetCopies(copies);
    QVERIFY(engine.PrintRange(*printer, from, to).ok);
    PrintedPdf pdf(Pdf(QStringLiteral("copies.pdf")));
    QList<QStringList> expected;
    for (int page : pages) {
        expected << (page == 0 ? QStringList() : referencePages.at(page - 1));
    }
    QCOMPARE(pdf.WordsOfPages(), expected);
}

void SynEditPrintTest::longLineContinuesOnNextRow() {
    QString line;
    for (int i = 0; line.size() < 330; ++i) {
        line += QString::number(i % 10);
    }
    auto editor = MakeEditor(QStringLiteral("początek\n") + line + QStringLiteral("\nkoniec"));
    auto printer = PdfPrinter(Pdf(QStringLiteral("wrap.pdf")));
    SynEditPrint engine;
    engine.Bind(*editor);
    QVERIFY(engine.Print(*printer).ok);
    PrintedPdf pdf(Pdf(QStringLiteral("wrap.pdf")));
    const QStringList rows = pdf.Words(0);
    QVERIFY2(rows.size() >= 5, qPrintable(rows.join('|')));
    QCOMPARE(rows.first(), QStringLiteral("początek"));
    QCOMPARE(rows.last(), QStringLiteral("koniec"));
    const QStringList pieces = rows.mid(1, rows.size() - 2);
    QCOMPARE(pieces.join(QString()), line);
    for (qsizetype i = 1; i + 1 < pieces.size(); ++i) {
        QCOMPARE(pieces.at(i).size(), pieces.first().size());
    }
    // Rows are cut at the right margin, not earlier: one more character would cross it.
    const double rightMargin = pdf.PageSize(0).width() - 15 * kMm;
    const double pitch = pdf.Pitch(QLatin1Char('0'), 1);
    QVERIFY(pdf.InkBounds(0).right() <= rightMargin);
    QVERIFY2(pdf.InkBounds(0).right() + pitch > rightMargin,
             qPrintable(QString::number(pdf.InkBounds(0).right())));
}

void SynEditPrintTest::tabsExpandToTheControlsTabWidth_data() {
    QTest::addColumn<int>("tabWidth");
    QTest::addColumn<int>("afterOneTab");
    QTest::addColumn<int>("afterTwoTabs");
    QTest::newRow("tab width 8") << 8 << 8 << 16;
    QTest::newRow("tab width 4") << 4 << 4 << 8;
    QTest::newRow("tab width 1") << 1 << 2 << 4;
}

void SynEditPrintTest::tabsExpandToTheControlsTabWidth() {
    QFETCH(int, tabWidth);
    QFETCH(int, afterOneTab);
    QFETCH(int, afterTwoTabs);
    // Row 1: X at 0 and after a tab; row 2: a ruler of X; row 3: X, X, two tabs, X.
    const QString ruler(24, QLatin1Char('X'));
    auto editor =
        MakeEditor(QStringLiteral("X\tX\n") + ruler + QStringLiteral("\nXX\t\tX"), 8, tabWidth);
    auto printer = PdfPrinter(Pdf(QStringLiteral("tabs.pdf")));
    SynEditPrint engine;
    engine.Bind(*editor);
    QVERIFY(engine.Print(*printer).ok);
    PrintedPdf pdf(Pdf(QStringLiteral("tabs.pdf")));
    auto column = [&](int occurrence) {
        return pdf.GlyphBox(0, QLatin1Char('X'), occurrence).left();
    };
    const int rulerStart = 2;
    const int thirdRow = rulerStart + ruler.size();
    QCOMPARE(column(0), column(rulerStart));
    QVERIFY(qAbs(column(1) - column(rulerStart + afterOneTab)) < 0.01);
    QVERIFY(qAbs(column(thirdRow + 2) - column(rulerStart + afterTwoTabs)) < 0.01);
}

void SynEditPrintTest::nothingPrintedInMarginsHeaderOrFooter() {
    auto editor = MakeEditor(QStringList(150, QString(120, QLatin1Char('W'))).join('\n'));
    auto printer = PdfPrinter(Pdf(QStringLiteral("margins.pdf")));
    SynEditPrint engine;
    engine.Bind(*editor);
    QVERIFY(engine.Print(*printer).ok);
    PrintedPdf pdf(Pdf(QStringLiteral("margins.pdf")));
    QVERIFY(pdf.PageCount() >= 3);
    for (int page = 0; page < pdf.PageCount(); ++page) {
        const QSizeF size = pdf.PageSize(page);
        // A tenth of a point for the rounding of glyph boxes to device pixels.
        const QRectF textArea = QRectF(QPointF(25 * kMm, 25 * kMm),
                                       QPointF(size.width() - 15 * kMm, size.height() - 25 * kMm))
                                    .adjusted(-0.1, -0.1, 0.1, 0.1);
        const QRectF ink = pdf.InkBounds(page);
        QVERIFY2(textArea.contains(ink), qPrintable(QStringLiteral("page %1").arg(page + 1)));
    }
    // A full page reaches down to the bottom margin: the check above is not idle.
    const QRectF firstPage = pdf.InkBounds(0);
    QVERIFY(firstPage.bottom() > pdf.PageSize(0).height() - 25 * kMm - 8 * kMm);
    QVERIFY(firstPage.top() < 25 * kMm + 5 * kMm);
}

void SynEditPrintTest::printsInTheControlsFont_data() {
    QTest::addColumn<int>("pointSize");
    QTest::newRow("8 pt") << 8;
    QTest::newRow("10 pt") << 10;
    QTest::newRow("12 pt") << 12;
}

void SynEditPrintTest::printsInTheControlsFont() {
    QFETCH(int, pointSize);
    auto editor = MakeEditor(QString(40, QLatin1Char('H')), pointSize);
    auto printer = PdfPrinter(Pdf(QStringLiteral("font.pdf")));
    SynEditPrint engine;
    engine.Bind(*editor);
    QVERIFY(engine.Print(*printer).ok);
    PrintedPdf pdf(Pdf(QStringLiteral("font.pdf")));
    // A monospaced font advances 0.6 em per character.
    const double pitch = pdf.Pitch(QLatin1Char('H'), 30);
    QVERIFY2(qAbs(pitch - 0.6 * pointSize) < 0.05, qPrintable(QString::number(pitch)));
}

void SynEditPrintTest::finalLineEndAddsNoPage() {
    auto printer = PdfPrinter(Pdf(QStringLiteral("final.pdf")));
    SynEditPrint engine;
    auto pagesOf = [&](const QString& text) {
        auto editor = MakeEditor(text);
        engine.Bind(*editor);
        return engine.PageCount(*printer);
    };
    int fullPage = 1;
    while (pagesOf(NumberedLines(fullPage + 1).join('\n')) == 1) {
        ++fullPage;
    }
    const QString lines = NumberedLines(fullPage).join(QStringLiteral("\r\n"));
    QCOMPARE(pagesOf(lines + QStringLiteral("\r\n")), 1);
    QCOMPARE(pagesOf(lines + QStringLiteral("\n")), 1);
    QCOMPARE(pagesOf(lines + QStringLiteral("\r\n\r\n")), 2);
}

void SynEditPrintTest::bindingAgainRecountsPages() {
    auto printer = PdfPrinter(Pdf(QStringLiteral("rebind.pdf")));
    SynEditPrint engine;
    auto shortText = MakeEditor(QStringLiteral("jeden wiersz"));
    engine.Bind(*shortText);
    QCOMPARE(engine.PageCount(*printer), 1);
    auto longText = MakeEditor(NumberedLines(280).join('\n'));
    engine.Bind(*longText);
    QCOMPARE(engine.PageCount(*printer), 5);
    printer->setPageOrientation(QPageLayout::Landscape);
    QVERIFY(engine.PageCount(*printer) > 5);
}

void SynEditPrintTest::jobHasNoTitleAndKeepsTheUsersCopyCount() {
    auto printer = PdfPrinter(Pdf(QStringLiteral("title.pdf")));
    printer->setDocName(QStringLiteral("OBSBIEG"));
    printer->setCopyCount(3);
    auto editor = MakeEditor(NumberedLines(100).join('\n'));
    SynEditPrint engine;
    engine.Bind(*editor);
    QVERIFY(engine.Print(*printer).ok);
    PrintedPdf pdf(Pdf(QStringLiteral("title.pdf")));
    QCOMPARE(pdf.PageCount(), 2);
    QCOMPARE(pdf.Title(), QString());
    QCOMPARE(printer->copyCount(), 3);
}

void SynEditPrintTest::failedStartNamesTheTarget() {
    const QString target = dir_.filePath(QStringLiteral("no such folder/out.pdf"));
    auto printer = PdfPrinter(target);
    auto editor = MakeEditor(QStringLiteral("tekst"));
    SynEditPrint engine;
    engine.Bind(*editor);
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    const PrintResult result = engine.Print(*printer);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(target), qPrintable(result.error));
    QVERIFY(!QFile::exists(target));
}

QTEST_MAIN(SynEditPrintTest)
#include "SynEditPrintTest.moc"
