// Files through an editor window: loaded, edited, saved, compared byte for byte.
#include "EditorTestSupport.h"
#include "editor/SynEdit.h"
#include "editor/UEdytorF.h"
#include "editor/UEdytorFrame.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QPointer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class TextFilesTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QPointer<TEdytorF> window;

    QString Path(const QString& name) const { return dir.filePath(name); }

    TEdytorF* Open(const QString& name) {
        window = new TEdytorF;
        window->OpenFile(name);
        return window;
    }
    SynEdit* Editor() const { return window->EdytorFrame->SynEdit1; }
    void GoToEnd() const { Editor()->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND); }
    QByteArray EditorText() const {
        const std::string_view text = Editor()->Utf8Text();
        return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    }

private slots:
    void cleanup() { delete window; }

    void SavedUneditedIsSameBytes_data();
    void SavedUneditedIsSameBytes();
    void NewLineBreaksTakeTheFileStyle_data();
    void NewLineBreaksTakeTheFileStyle();
    void EditKeepsOtherLineEnds();
    void PasteTakesTheFileStyle();
    void NulBytesSurviveEditing();
    void SaveKeepsLinkModeAndOwner();
    void UnencodableCharacterAsksFirst();
    void PolishLettersShowAsLetters();
};

// Every byte round trip in one table: through the codec, the text control and
// the save, a file opened and saved unedited is the same bytes.
void TextFilesTest::SavedUneditedIsSameBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QByteArray every;
    for (int b = 0; b < 256; ++b) {
        every.append(static_cast<char>(b));
    }
    QRandomGenerator random(685);
    QByteArray noise(1 << 20, Qt::Uninitialized);
    for (char& byte : noise) {
        byte = static_cast<char>(random.bounded(256));
    }
    QTest::newRow("all 256 byte values") << every + every;
    QTest::newRow("every byte value between random bytes")
        << noise.left(4096) + every + noise.right(4096);
    QTest::newRow("random MiB") << noise;
    QTest::newRow("NUL bytes") << QByteArray("a\0b\r\n\0\0\r\n\0", 10);
    QTest::newRow("NULs only") << QByteArray(70000, '\0');
    QTest::newRow("lone CRs and LFs between NULs") << QByteArray("\r\0\n\0\r\r\n\n\0\r", 10);
    QTest::newRow("LF only") << QByteArray("STN 1\nOBS 2\n");
    QTest::newRow("CR only") << QByteArray("STN 1\rOBS 2\r");
    QTest::newRow("CR LF") << QByteArray("STN 1\r\nOBS 2\r\n");
    QTest::newRow("mixed") << QByteArray("a\r\nb\nc\rd\r\n\n\r");
    QTest::newRow("LF CR is two line ends") << QByteArray("a\n\rb");
    QTest::newRow("no final line end") << QByteArray("a\r\nb");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("tabs stay") << QByteArray("a\tb\r\n");
    QByteArray line;
    while (line.size() < 10 * 1024 * 1024) {
        line += "1,2,3 \xB3\xF3\xBF\xEA\xA3 ";
    }
    QTest::newRow("10 MB single line") << line;
    QFile self(QCoreApplication::applicationFilePath());
    QVERIFY(self.open(QIODevice::ReadOnly));
    QTest::newRow("this test program") << self.readAll();
}

void TextFilesTest::SavedUneditedIsSameBytes() {
    QFETCH(QByteArray, bytes);
    FakeDialogs dialogs;
    dialogs.answers = {QMessageBox::Yes}; // open a file with a very long line anyway
    QTemporaryDir work;
    const QString path = work.filePath("OBSBIEG");
    WriteFile(path, bytes);
    Open(path);
    QCOMPARE(window->windowTitle(), path);
    QVERIFY(!Editor()->Modified());
    QVERIFY(window->EdytorFrame->SaveFile());
    QVERIFY(ReadFile(path) == bytes);
    QCOMPARE(QDir(work.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
             QStringList({"OBSBIEG"}));
    // No question but the one about a very long line: nothing was unencodable.
    QVERIFY(dialogs.questions.size() <= 1);
    for (const FakeDialogs::Question& question : dialogs.questions) {
        QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
    }
}

void TextFilesTest::NewLineBreaksTakeTheFileStyle_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("LF only") << QByteArray("a\nb") << QByteArray("a\nb\nx\n");
    QTest::newRow("CR only") << QByteArray("a\rb\r") << QByteArray("a\rb\r\rx\r");
    QTest::newRow("CR LF") << QByteArray("a\r\nb") << QByteArray("a\r\nb\r\nx\r\n");
    QTest::newRow("mixed") << QByteArray("a\nb\rc") << QByteArray("a\nb\rc\r\nx\r\n");
    QTest::newRow("no line end") << QByteArray("ab") << QByteArray("ab\r\nx\r\n");
    QTest::newRow("missing file") << QByteArray() << QByteArray("\r\nx\r\n");
}

void TextFilesTest::NewLineBreaksTakeTheFileStyle() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, expected);
    if (!bytes.isEmpty()) {
        WriteFile(Path("f.txt"), bytes);
    } else {
        QFile::remove(Path("f.txt"));
    }
    Open(Path("f.txt"));
    GoToEnd();
    QTest::keyClick(Editor(), Qt::Key_Return);
    QTest::keyClicks(Editor(), "x");
    QTest::keyClick(Editor(), Qt::Key_Return);
    QVERIFY(Editor()->Modified());
    QVERIFY(window->EdytorFrame->SaveFile());
    QCOMPARE(ReadFile(Path("f.txt")), expected);
}

void TextFilesTest::EditKeepsOtherLineEnds() {
    WriteFile(Path("m.txt"), "a\r\nb\nc\rd");
    Open(Path("m.txt"));
    Editor()->setCursorPosition(1, 1);
    QTest::keyClicks(Editor(), "X");
    QVERIFY(window->EdytorFrame->SaveFile());
    QCOMPARE(ReadFile(Path("m.txt")), QByteArray("a\r\nbX\nc\rd"));
}

void TextFilesTest::PasteTakesTheFileStyle() {
    WriteFile(Path("lf.txt"), "a\n");
    Open(Path("lf.txt"));
    GoToEnd();
    QApplication::clipboard()->setText("1\r\n2\r3\n4");
    window->EdytorFrame->Wklej1->trigger();
    QVERIFY(window->EdytorFrame->SaveFile());
    QCOMPARE(ReadFile(Path("lf.txt")), QByteArray("a\n1\n2\n3\n4"));
}

void TextFilesTest::NulBytesSurviveEditing() {
    WriteFile(Path("nul.txt"), QByteArray("\0a\0\r\nb\0", 7));
    Open(Path("nul.txt"));
    QCOMPARE(Editor()->SendScintilla(QsciScintillaBase::SCI_GETLENGTH), 7L);
    GoToEnd();
    QTest::keyClicks(Editor(), "z");
    QVERIFY(window->EdytorFrame->SaveFile());
    QCOMPARE(ReadFile(Path("nul.txt")), QByteArray("\0a\0\r\nb\0z", 8));
}

// Saves go through the conversion's writer (tests/common/OutputFileTest.cpp): a
// file shared through a link keeps the link, its group-writable mode and its owner.
void TextFilesTest::SaveKeepsLinkModeAndOwner() {
    QVERIFY(QDir(dir.path()).mkdir("dane"));
    const QByteArray target = Path("dane/OBSBIEG").toLocal8Bit();
    WriteFile(Path("dane/OBSBIEG"), "old\r\n");
    QVERIFY(QFile::link("dane/OBSBIEG", Path("link")));
    QCOMPARE(chmod(target.constData(), 0664), 0);
    const bool root = geteuid() == 0; // only root may give a file away
    QVERIFY(!root || chown(target.constData(), 1234, 5678) == 0);
    Open(Path("link"));
    GoToEnd();
    QTest::keyClicks(Editor(), "z");
    QVERIFY(window->EdytorFrame->SaveFile());

    QVERIFY(QFileInfo(Path("link")).isSymLink());
    QCOMPARE(ReadFile(Path("dane/OBSBIEG")), QByteArray("old\r\nz"));
    struct stat saved = {};
    QCOMPARE(stat(target.constData(), &saved), 0);
    QCOMPARE(saved.st_mode & 07777, 0664u);
    QVERIFY(!root || (saved.st_uid == 1234 && saved.st_gid == 5678));
    QCOMPARE(QDir(Path("dane")).entryList(QDir::Files | QDir::Hidden), QStringList{"OBSBIEG"});
}

void TextFilesTest::UnencodableCharacterAsksFirst() {
    FakeDialogs dialogs;
    WriteFile(Path("u.txt"), "abc");
    Open(Path("u.txt"));
    TypeText(Editor(), QString::fromUtf8("\xE4\xB8\xAD\xC5\x82"));
    dialogs.answers = {QMessageBox::Cancel};
    QVERIFY(!window->EdytorFrame->SaveFile());
    QCOMPARE(ReadFile(Path("u.txt")), QByteArray("abc"));
    QVERIFY(Editor()->Modified());
    QCOMPARE(dialogs.questions.size(), 1);
    QCOMPARE(dialogs.questions[0].icon, QMessageBox::Warning);
    QCOMPARE(dialogs.questions[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);

    dialogs.answers = {QMessageBox::Ok};
    QVERIFY(window->EdytorFrame->SaveFile());
    QCOMPARE(ReadFile(Path("u.txt")), QByteArray("?\xB3"
                                                 "abc"));
    QVERIFY(!Editor()->Modified());
    QCOMPARE(dialogs.questions.size(), 2);
}

void TextFilesTest::PolishLettersShowAsLetters() {
    WriteFile(Path("pl.txt"), "\xA3\xF3\x64\x9F");
    Open(Path("pl.txt"));
    QCOMPARE(Editor()->text(), QString::fromUtf8("Łódź"));
}

QTEST_MAIN(TextFilesTest)
#include "tst_TextFiles.moc"
