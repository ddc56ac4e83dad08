#include "support/QtFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPdfDocument>
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
    void manualExplainsEveryMessage_data();
    void manualExplainsEveryMessage();
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
        "kmx685-convert [-v] [-o WYNIK] PLIK...",
        "Zapisano D:\\WYNIKI\\OBSBIEG",
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

void ManualTest::workedExampleMatchesConverter_data() {
    QTest::addColumn<QString>("expected");
    const QString output = GoldenText("worked-example.expected");
    QTest::newRow("recorder file") << GoldenText("worked-example.txt");
    QTest::newRow("OBSBIEG") << output;
    QTest::newRow("OBSBIEG, spaces shown as dots") << QString(output).replace(' ', QChar(0x00B7));
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
