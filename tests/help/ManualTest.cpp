#include "support/QtFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kManual = QStringLiteral(REJKMX_MANUAL_PDF);
const QString kSource = QStringLiteral(REJKMX_MANUAL_SOURCE);
const QString kBuilder = QStringLiteral(REJKMX_MANUAL_BUILDER);

// Text of every page, with runs of blanks and line ends made single spaces.
QString DocumentText(const QString& path) {
    QPdfDocument doc;
    doc.load(path);
    QString text;
    for (int page = 0; page < doc.pageCount(); ++page) {
        text += doc.getAllText(page).text() + ' ';
    }
    return text.simplified();
}

// The manual's file examples, as a user reads them.
QStringList PreformattedBlocks(const QString& html) {
    static const QRegularExpression pre(QStringLiteral("<pre>(.*?)</pre>"),
                                        QRegularExpression::DotMatchesEverythingOption);
    QStringList blocks;
    for (auto it = pre.globalMatch(html); it.hasNext();) {
        QString block = it.next().captured(1);
        block.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
        block.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
        block.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        blocks << block;
    }
    return blocks;
}

// A golden file of the converter's tests as lines joined by LF, without the final line end.
QString GoldenText(const char* name) {
    QString text = QString::fromUtf8(ReadFile(QStringLiteral(REJKMX_TEST_DATA "/") + name));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    while (text.endsWith('\n')) {
        text.chop(1);
    }
    return text;
}

struct BuildRun {
    int exitCode = -1;
    QString errors;
};

BuildRun RunBuilder(const QString& source, const QString& output) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(kBuilder, {source, output});
    if (!process.waitForFinished(60000)) {
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardError())};
}

// The text of a page as lines, without the running title and the page number.
QStringList BodyLines(QPdfDocument& doc, int page) {
    static const QRegularExpression breaks(QStringLiteral("[\\r\\n]+"));
    static const QRegularExpression pageNumber(QStringLiteral("^Strona \\d+ z \\d+$"));
    const QString title = doc.metaData(QPdfDocument::MetaDataField::Title).toString();
    QStringList lines;
    for (const QString& raw : doc.getAllText(page).text().split(breaks)) {
        const QString line = raw.simplified();
        if (!line.isEmpty() && line != title && !pageNumber.match(line).hasMatch()) {
            lines << line;
        }
    }
    return lines;
}

QString RunTool(const QString& program, const QStringList& args, int* exitCode = nullptr) {
    QProcess process;
    process.start(program, args);
    const bool done = process.waitForFinished(60000);
    if (exitCode) {
        *exitCode = done && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

struct PageLink {
    QRectF area; // PDF user space: points from the page's bottom-left corner
    int target = -1;
};

// A PDF's structure as another program than ours (qpdf) reads it.
QJsonObject PdfStructure(const QString& pdf) {
    return QJsonDocument::fromJson(
               RunTool(QStringLiteral("qpdf"),
                       {QStringLiteral("--json=2"), QStringLiteral("--json-key=pages"),
                        QStringLiteral("--json-key=outlines"), QStringLiteral("--json-key=qpdf"),
                        pdf})
                   .toUtf8())
        .object();
}

// The top level of the outline: each bookmark's title and the page (from 0) it leads to.
QList<std::pair<QString, int>> Outline(const QJsonObject& pdf) {
    QList<std::pair<QString, int>> bookmarks;
    for (const QJsonValue& item : pdf[QStringLiteral("outlines")].toArray()) {
        bookmarks.append({item[QStringLiteral("title")].toString(),
                          item[QStringLiteral("destpageposfrom1")].toInt() - 1});
    }
    return bookmarks;
}

// The links of the first page, with the page (from 0) each leads to.
QList<PageLink> LinksOfFirstPage(const QJsonObject& json) {
    const QJsonArray pages = json[QStringLiteral("pages")].toArray();
    const QJsonObject objects = json[QStringLiteral("qpdf")][1].toObject();
    const auto resolve = [&](const QJsonValue& value) {
        return value.isString()
                   ? objects[QStringLiteral("obj:") + value.toString()][QStringLiteral("value")]
                   : value;
    };
    QHash<QString, int> pageNumbers;
    for (int i = 0; i < pages.size(); ++i) {
        pageNumbers.insert(pages[i][QStringLiteral("object")].toString(), i);
    }
    QList<PageLink> links;
    const QJsonObject first = resolve(pages[0][QStringLiteral("object")]).toObject();
    for (const QJsonValue& ref : resolve(first[QStringLiteral("/Annots")]).toArray()) {
        const QJsonObject link = resolve(ref).toObject();
        const QJsonArray r = link[QStringLiteral("/Rect")].toArray();
        links.append({QRectF(QPointF(r[0].toDouble(), r[1].toDouble()),
                             QPointF(r[2].toDouble(), r[3].toDouble())),
                      pageNumbers.value(link[QStringLiteral("/Dest")][0].toString(), -1)});
    }
    return links;
}

// A document made to be cut often: long paragraphs, tall table rows and long
// listings, each line of text marked so that it can be found on its page.
QByteArray StressDocument() {
    QString html = QStringLiteral("<html><body>");
    for (int chapter = 1; chapter <= 6; ++chapter) {
        html += QStringLiteral("<h1>Rozdział %1</h1>").arg(chapter);
        for (int p = 0; p < 4; ++p) {
            const QString id = QStringLiteral("p%1x%2").arg(chapter).arg(p);
            html += QStringLiteral("<h2>Sekcja akapitu %1</h2><p>").arg(p);
            for (int w = 0; w < 90; ++w) {
                html += QStringLiteral("%1w%2 słowo ").arg(id).arg(w);
            }
            html += QStringLiteral("</p>");
        }
        html += QStringLiteral(
            "<h2>Sekcja tabeli</h2><table border=\"1\" cellpadding=\"4\" width=\"100%\">"
            "<thead><tr><th>Wiersz</th><th>Opis</th></tr></thead>");
        for (int r = 0; r < 14; ++r) {
            const QString id = QStringLiteral("r%1x%2").arg(chapter).arg(r);
            html += QStringLiteral("<tr><td>%1start</td><td>").arg(id);
            for (int w = 0; w < 12 + 10 * (r % 3); ++w) {
                html += QStringLiteral("treść wiersza ");
            }
            html += QStringLiteral("%1koniec</td></tr>").arg(id);
        }
        html += QStringLiteral("</table><h2>Sekcja listingu</h2><pre>");
        for (int l = 0; l < 25; ++l) {
            html += QStringLiteral("l%1x%2 wiersz listingu\n").arg(chapter).arg(l);
        }
        html += QStringLiteral("</pre>");
    }
    return (html + QStringLiteral("</body></html>")).toUtf8();
}

const QByteArray kFigurePage = R"(<html><body><h1>Okno główne</h1>
<p class="rysunek"><img src="okno.png"><br/>Podpis rysunku</p>
<p>Tekst za rysunkiem: zażółć gęślą jaźń.</p></body></html>)";

} // namespace

class ManualTest : public QObject {
    Q_OBJECT

private slots:
    void builtManualIsA4WithSeveralPages();
    void contentsGiveTheRightPages_data();
    void contentsGiveTheRightPages();
    void outlineAndContentsLeadToChapters();
    void noLineTwiceAtPageBreaks();
    void pageBreaksKeepLinesRowsAndHeadingsWhole();
    void manualExplainsEveryMessage_data();
    void manualExplainsEveryMessage();
    void manualSaysNothingUntrue_data();
    void manualSaysNothingUntrue();
    void workedExampleMatchesConverter_data();
    void workedExampleMatchesConverter();
    void builderLeavesOutMissingFigure();
    void builderShowsPresentFigure();
    void builderFailureKeepsOldOutput_data();
    void builderFailureKeepsOldOutput();

private:
    QTemporaryDir dir_;
};

void ManualTest::builtManualIsA4WithSeveralPages() {
    QPdfDocument doc;
    QCOMPARE(doc.load(kManual), QPdfDocument::Error::None);
    QVERIFY2(doc.pageCount() >= 10, qPrintable(QString::number(doc.pageCount())));
    for (int page = 0; page < doc.pageCount(); ++page) {
        const QSizeF size = doc.pagePointSize(page);
        QVERIFY(qAbs(size.width() - 595.3) < 1.0 && qAbs(size.height() - 841.9) < 1.0);
        QVERIFY2(doc.getAllText(page).text().contains(
                     QStringLiteral("Strona %1 z %2").arg(page + 1).arg(doc.pageCount())),
                 qPrintable(QString::number(page + 1)));
    }
}

void ManualTest::contentsGiveTheRightPages_data() {
    QTest::addColumn<QString>("title");
    static const QRegularExpression heading(QStringLiteral("<h1[^>]*>(.*?)</h1>"));
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    const QString html = QString::fromUtf8(ReadFile(kSource));
    for (auto it = heading.globalMatch(html); it.hasNext();) {
        const QString title = it.next().captured(1).remove(tag);
        QTest::newRow(qPrintable(title)) << title;
    }
}

void ManualTest::contentsGiveTheRightPages() {
    QFETCH(QString, title);
    QPdfDocument doc;
    QCOMPARE(doc.load(kManual), QPdfDocument::Error::None);
    const QString contents = doc.getAllText(0).text().simplified();
    const QRegularExpressionMatch entry =
        QRegularExpression(QRegularExpression::escape(title) + QStringLiteral(" (\\d+)"))
            .match(contents);
    QVERIFY2(entry.hasMatch(), qPrintable(contents));
    const int page = entry.captured(1).toInt();
    QVERIFY(page >= 2 && page <= doc.pageCount());
    for (int p = 1; p < page - 1; ++p) {
        QVERIFY2(!doc.getAllText(p).text().simplified().contains(title),
                 qPrintable(QString::number(p + 1)));
    }
    QVERIFY(doc.getAllText(page - 1).text().simplified().contains(title));
}

// Every chapter is a bookmark, and its entry in the table of contents a link,
// both leading to the page where the chapter begins; the added outline and
// links keep the file sound for another PDF reader.
void ManualTest::outlineAndContentsLeadToChapters() {
    static const QRegularExpression heading(QStringLiteral("<h1[^>]*>(.*?)</h1>"));
    QStringList chapters;
    const QString html = QString::fromUtf8(ReadFile(kSource));
    for (auto it = heading.globalMatch(html); it.hasNext();) {
        chapters << it.next().captured(1);
    }
    QPdfDocument doc;
    QCOMPARE(doc.load(kManual), QPdfDocument::Error::None);
    const QJsonObject structure = PdfStructure(kManual);
    QHash<QString, int> pageOf;
    QStringList titles;
    for (const auto& [title, page] : Outline(structure)) {
        QVERIFY2(doc.getAllText(page).text().simplified().contains(title), qPrintable(title));
        titles << title;
        pageOf.insert(title, page);
    }
    QCOMPARE(titles.mid(1), chapters); // after the contents' own entry

    int status = -1;
    RunTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), kManual}, &status);
    QVERIFY2(status == 0, "qpdf --check fails (scripts/setup.sh installs qpdf)");
    QStringList linked;
    for (const PageLink& link : LinksOfFirstPage(structure)) {
        const double middle = doc.pagePointSize(0).height() - link.area.center().y();
        const QString entry = doc.getSelection(0, QPointF(link.area.left() + 1, middle),
                                               QPointF(link.area.right() - 1, middle))
                                  .text()
                                  .simplified();
        for (const QString& chapter : chapters) {
            if (entry.startsWith(chapter)) {
                QVERIFY2(link.target == pageOf.value(chapter), qPrintable(entry));
                linked << chapter;
            }
        }
    }
    QCOMPARE(linked, chapters);
}

// Text cut by a page break shows once: search and copy find it once.
void ManualTest::noLineTwiceAtPageBreaks() {
    constexpr int kNear = 3; // lines on either side of a break
    QPdfDocument doc;
    QCOMPARE(doc.load(kManual), QPdfDocument::Error::None);
    for (int page = 1; page < doc.pageCount(); ++page) {
        const QStringList before = BodyLines(doc, page - 1);
        const QStringList after = BodyLines(doc, page);
        for (const QString& line : before.mid(before.size() - kNear)) {
            QVERIFY2(
                line.size() < 8 || !after.mid(0, kNear).contains(line),
                qPrintable(QStringLiteral("pages %1-%2: %3").arg(page).arg(page + 1).arg(line)));
        }
    }
}

// Cut often, the pages still hold every line once, every table row whole, no
// heading at the foot of a page and at least two lines of a cut paragraph or
// listing on either side of the cut.
void ManualTest::pageBreaksKeepLinesRowsAndHeadingsWhole() {
    const QString source = dir_.filePath(QStringLiteral("ciecia.html"));
    const QString output = dir_.filePath(QStringLiteral("ciecia.pdf"));
    WriteFile(source, StressDocument());
    const BuildRun run = RunBuilder(source, output);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(!run.errors.contains(QStringLiteral("manual:")), qPrintable(run.errors));

    QPdfDocument doc;
    QCOMPARE(doc.load(output), QPdfDocument::Error::None);
    QVERIFY(doc.pageCount() > 8);
    static const QRegularExpression mark(
        QStringLiteral("\\b([prl]\\d+x\\d+)(w\\d+|start|koniec)?"));
    QHash<QString, int> seen;           // each marked word: how often
    QHash<QString, QList<int>> pagesOf; // each paragraph, row or listing: lines per page
    for (int page = 0; page < doc.pageCount(); ++page) {
        const QStringList lines = BodyLines(doc, page);
        QVERIFY2(!lines.last().startsWith(QStringLiteral("Rozdział")) &&
                     !lines.last().startsWith(QStringLiteral("Sekcja")),
                 qPrintable(lines.last()));
        QHash<QString, int> linesHere;
        for (const QString& line : lines) {
            QSet<QString> inLine;
            for (auto it = mark.globalMatch(line); it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                ++seen[m.captured()];
                inLine.insert(m.captured(1));
            }
            for (const QString& unit : inLine) {
                ++linesHere[unit];
            }
        }
        for (auto it = linesHere.cbegin(); it != linesHere.cend(); ++it) {
            pagesOf[it.key()].append(it.value());
        }
    }
    QCOMPARE(seen.size(), 6 * (4 * 90 + 14 * 2 + 25));
    for (auto it = seen.cbegin(); it != seen.cend(); ++it) {
        QVERIFY2(it.value() == 1, qPrintable(it.key()));
    }
    for (auto it = pagesOf.cbegin(); it != pagesOf.cend(); ++it) {
        const QList<int>& lines = it.value();
        if (it.key().startsWith('r')) {
            QVERIFY2(lines.size() == 1, qPrintable(it.key())); // a row on one page
        } else if (lines.size() > 1) {
            QVERIFY2(lines.size() == 2 && lines[0] >= 2 && lines[1] >= 2, qPrintable(it.key()));
        }
    }
}

void ManualTest::manualExplainsEveryMessage_data() {
    QTest::addColumn<QString>("text");
    const char* const texts[] = {
        "Błąd podczas przetwarzania plików!",
        "Nie można otworzyć pliku „…”: plik lub folder nie istnieje.",
        "Nie można utworzyć pliku wynikowego",
        "Błąd zapisu pliku wynikowego",
        "Wybierz typ rejestratora",
        "Plik nie został zapisany. Zapisać?",
        "Koniec pliku. Szukać od początku?",
        "Tekstu nie znaleziono.",
        "Nie można otworzyć podręcznika:",
        "KAVERO Edytor",
        "Uwzględniaj wielkość liter",
        "Tylko całe wyrazy",
        "Tylko zaznaczenie",
        "Lista plików do przetworzenia:",
        "Zbiory wynikowe:",
        "WYKONAJ",
        "Konwersja plików formatu KMX 685 1.0",
        "kavero.ini",
        "[General]",
        "Path=",
        "Err.rej",
        "kmx685-convert [--format FORMAT] [-v] [--strict] [--report RAPORT] [-o WYNIK] PLIK...",
        "plik wygląda na format Leica GSI, a wybrano KMX 685",
        "wiersz dłuższy niż 1024 znaki, pominięty",
        "Nie rozpoznano formatu pliku „…”: jego pierwsze wiersze nie wyglądają na KMX 685, "
        "Nikon RAW, Sokkia SDR ani Leica GSI.",
        "Raport konwersji",
        "pominięte wiersze: 2, uwagi: 12",
        "Zapisz raport…",
        "Nie można zapisać raportu.",
        "powtórzony numer punktu „12” (pierwszy raz w wierszu 5)",
        "z kodem 3",
        "Zapisano /tmp/wyniki/OBSBIEG",
        "kmx685-convert.exe C:\\POMIARY\\ST1.TXT",
        "Przetwarzanie plików…",
        "Anuluj przerywa konwersję: plik OBSBIEG pozostaje taki, jaki był",
        "Pliki: 3, stanowiska: 12, obserwacje: 14 896, pominięte wiersze: 2",
        "niepuste wiersze plików wejściowych, które nie są rekordami C, E ani D",
        "skracana w środku",
        "przeciągnąć myszą z menedżera plików",
        "Przyjmowane są tylko pliki z dysków tego komputera",
        "Plik „…” nie wskazuje folderu roboczego (brak klucza Path w sekcji [General]).",
        "/opt/rejkmx/bin/kavero.ini",
        "poleceniem rejkmx",
        "Konwersja plików KMX 685",
        "Anuluj przerywa zamykanie: program i wszystkie jego okna",
        "Ctrl + F",
        "0 0 0 0 1.56",
        "12 205.0000 -1 30.00 1.50",
    };
    for (const char* text : texts) {
        QTest::newRow(text) << QString::fromUtf8(text);
    }
}

void ManualTest::manualExplainsEveryMessage() {
    static const QString manualText = DocumentText(kManual);
    QFETCH(QString, text);
    QVERIFY2(manualText.contains(text), qPrintable(text));
}

// What the old manual said and the program does not do.
void ManualTest::manualSaysNothingUntrue_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("a program we do not ship") << QStringLiteral("RejKMX.exe");
    QTest::newRow("closing without asking")
        << QStringLiteral("zamknięcie programu zamyka wszystkie jego okna.");
}

void ManualTest::manualSaysNothingUntrue() {
    static const QString manualText = DocumentText(kManual);
    QFETCH(QString, text);
    QVERIFY2(!manualText.contains(text), qPrintable(text));
}

void ManualTest::workedExampleMatchesConverter_data() {
    QTest::addColumn<QString>("expected");
    const QString output = GoldenText("worked-example.expected");
    QTest::newRow("recorder file") << GoldenText("worked-example.txt");
    QTest::newRow("OBSBIEG") << output;
    QTest::newRow("OBSBIEG, spaces shown as dots") << QString(output).replace(' ', QChar(0x00B7));
    // The examples of the other formats' chapters, converted by the recorder tests.
    for (const char* name : {"manual-nikon.raw", "manual-nikon.expected", "manual-sdr.sdr",
                             "manual-sdr.expected", "manual-gsi.gsi", "manual-gsi.expected"}) {
        QTest::newRow(name) << GoldenText((std::string("recorders/") + name).c_str());
    }
}

void ManualTest::workedExampleMatchesConverter() {
    QFETCH(QString, expected);
    QVERIFY(!expected.isEmpty());
    const QStringList blocks = PreformattedBlocks(QString::fromUtf8(ReadFile(kSource)));
    QVERIFY2(blocks.contains(expected), qPrintable(expected));
}

void ManualTest::builderLeavesOutMissingFigure() {
    const QString source = dir_.filePath(QStringLiteral("brak-rysunku.html"));
    const QString output = dir_.filePath(QStringLiteral("brak-rysunku.pdf"));
    WriteFile(source, kFigurePage);

    const BuildRun run = RunBuilder(source, output);
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.errors.contains(QStringLiteral("okno.png")));
    const QString text = DocumentText(output);
    QVERIFY(text.contains(QStringLiteral("zażółć gęślą jaźń")));
    QVERIFY(!text.contains(QStringLiteral("Podpis rysunku")));
}

void ManualTest::builderShowsPresentFigure() {
    QTemporaryDir folder;
    const QString source = folder.filePath(QStringLiteral("z-rysunkiem.html"));
    const QString output = folder.filePath(QStringLiteral("z-rysunkiem.pdf"));
    WriteFile(source, kFigurePage);
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    QVERIFY(picture.save(folder.filePath(QStringLiteral("okno.png"))));

    const BuildRun run = RunBuilder(source, output);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(!run.errors.contains(QStringLiteral("okno.png")), qPrintable(run.errors));
    QVERIFY(DocumentText(output).contains(QStringLiteral("Podpis rysunku")));

    // The picture is on the page: a rendered page holds a large dark blue area.
    QPdfDocument doc;
    doc.load(output);
    const QImage page = doc.render(0, QSize(595, 842));
    int blue = 0;
    for (int y = 0; y < page.height(); y += 4) {
        for (int x = 0; x < page.width(); x += 4) {
            const QColor c = page.pixelColor(x, y);
            blue += c.blue() > 100 && c.red() < 40 && c.green() < 40;
        }
    }
    QVERIFY2(blue > 1000, qPrintable(QString::number(blue)));
}

void ManualTest::builderFailureKeepsOldOutput_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("output");
    const QString good = dir_.filePath(QStringLiteral("dobry.html"));
    WriteFile(good, "<html><body><p>Tekst</p></body></html>");
    QTest::newRow("missing source")
        << dir_.filePath(QStringLiteral("nie-ma.html")) << dir_.filePath(QStringLiteral("a.pdf"));
    QTest::newRow("output folder missing") << good << dir_.filePath(QStringLiteral("nie-ma/b.pdf"));
}

void ManualTest::builderFailureKeepsOldOutput() {
    QFETCH(QString, source);
    QFETCH(QString, output);
    const bool folderExists = QFileInfo(output).dir().exists();
    if (folderExists) {
        WriteFile(output, "stary podręcznik");
    }
    const BuildRun run = RunBuilder(source, output);
    QCOMPARE(run.exitCode, 1);
    QVERIFY(!run.errors.isEmpty());
    if (folderExists) {
        QCOMPARE(ReadFile(output), QByteArray("stary podręcznik"));
    } else {
        QVERIFY(!QFileInfo::exists(output));
    }
}

QTEST_MAIN(ManualTest)
#include "ManualTest.moc"
