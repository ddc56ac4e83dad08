// Faults that need root to stage: a working folder that refuses new files and a
// disk that fills up during a conversion or an editor save (a 64 KiB tmpfs
// mounted by the test). Without the privileges the program says why and exits 77, which CTest
// counts as skipped.
#include "FaultTestSupport.h"
#include "app/Przycisk.h"
#include "editor/SynEdit.h"
#include "editor/UEdytorF.h"
#include "editor/UEdytorFrame.h"

#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

bool Run(const QString& program, const QStringList& arguments, QString* output = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ok = process.waitForFinished(10000) &&
                    process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (output) {
        *output = QString::fromLocal8Bit(process.readAll()).trimmed();
    }
    return ok;
}

// A tmpfs of the given size on a fresh folder, unmounted when it goes.
class SmallDisk {
public:
    explicit SmallDisk(const QString& size = QStringLiteral("64k")) {
        mounted_ =
            Run("mount", {"-t", "tmpfs", "-o", "size=" + size, "tmpfs", dir_.path()}, &error_);
    }
    ~SmallDisk() {
        if (mounted_) {
            Run("umount", {dir_.path()});
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return mounted_; }
    QString Error() const { return error_; }
    QString Path() const { return dir_.path(); }
    QString FilePath(const QString& name) const { return dir_.filePath(name); }
    bool Resize(const QString& size) const {
        return Run("mount", {"-o", "remount,size=" + size, dir_.path()});
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    QString error_;
};

// A folder that refuses new files even to root, in one of two ways: the
// immutable attribute (not every file system has it) or a read-only bind mount.
class ReadOnlyFolder {
public:
    enum Method { Immutable, ReadOnlyMount };

    ReadOnlyFolder(const QString& path, Method method) : path_(path), method_(method) {
        if (method_ == Immutable) {
            locked_ = Run("chattr", {"+i", path_}, &error_);
        } else if (Run("mount", {"--bind", path_, path_}, &error_)) {
            locked_ = true;
            Run("mount", {"-o", "remount,bind,ro", path_}, &error_);
        }
    }
    ~ReadOnlyFolder() { Unlock(); }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    // True when the folder really refuses new files.
    bool Locked() const {
        QFile probe(path_ + "/probe");
        if (locked_ && probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            return false;
        }
        return locked_;
    }
    QString Error() const { return error_; }
    void Unlock() {
        if (locked_) {
            Run(method_ == Immutable ? "chattr" : "umount",
                method_ == Immutable ? QStringList{"-i", path_} : QStringList{path_});
            locked_ = false;
        }
    }

private:
    QString path_;
    Method method_;
    bool locked_ = false;
    QString error_;
};

// Why this machine cannot stage the faults; empty when it can.
QString MissingPrivileges() {
    SmallDisk disk;
    if (!disk.Mounted()) {
        return "cannot mount a tmpfs (" + disk.Error() + ")";
    }
    return {};
}

// Recorder records whose conversion is about `outputBytes` long.
QByteArray RecorderFileFor(qsizetype outputBytes) {
    QByteArray records = "C,1,,,,,1.50\r\n";
    for (int i = 0; records.size() < outputBytes; ++i) {
        records += "E," + QByteArray::number(i) + ",,22.50,101.2345,1.50,99.8765\r\n";
    }
    return records;
}

// The converter's output for `input`, written on a disk with room.
QByteArray ConvertedElsewhere(const QString& input) {
    QTemporaryDir folder;
    const std::vector<std::string> files{input.toStdString()};
    TRejestratorKMX685 converter;
    converter.SetInputFiles(files);
    const QString output = folder.filePath(QStringLiteral("OBSBIEG"));
    converter.ConvertFiles(output.toStdString());
    return ReadFile(output);
}

} // namespace

class PrivilegedFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { MainWindowFixture::SetUpApplication(); }

    void readOnlyWorkingFolderKeepsTheOldObsbieg_data();
    void readOnlyWorkingFolderKeepsTheOldObsbieg();
    void fullDiskDuringConversionKeepsTheOldObsbieg_data();
    void fullDiskDuringConversionKeepsTheOldObsbieg();
    void fullDiskDuringEditorSaveKeepsFileAndText();
};

void PrivilegedFaultsTest::readOnlyWorkingFolderKeepsTheOldObsbieg_data() {
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("cause");
    QTest::newRow("immutable folder") << int(ReadOnlyFolder::Immutable) << "brak uprawnień";
    QTest::newRow("read-only mount")
        << int(ReadOnlyFolder::ReadOnlyMount) << "nośnik tylko do odczytu";
}

void PrivilegedFaultsTest::readOnlyWorkingFolderKeepsTheOldObsbieg() {
    QFETCH(int, method);
    QFETCH(QString, cause);
    QTemporaryDir work;
    QTemporaryDir inputs;
    const QString obsbieg = work.filePath(QStringLiteral("OBSBIEG"));
    const QString input = inputs.filePath(QStringLiteral("pomiar.txt"));
    WriteFile(obsbieg, kOldObsbieg);
    WriteFile(input, kRecorderFile);
    MainWindowFixture window(work.path());
    window.SetList(input);
    ReadOnlyFolder lock(work.path(), ReadOnlyFolder::Method(method));
    if (method == ReadOnlyFolder::Immutable && !lock.Locked()) {
        QSKIP(qPrintable("this file system has no immutable attribute: " + lock.Error()));
    }
    QVERIFY2(lock.Locked(), qPrintable(lock.Error()));
    window.Execute();
    lock.Unlock();

    QCOMPARE(window.dialogs.questions.size(), 1);
    const FakeDialogs::Question& message = window.dialogs.questions.first();
    QCOMPARE(message.text, QStringLiteral("Błąd podczas przetwarzania plików!"));
    QVERIFY2(message.detail.contains(obsbieg), qPrintable(message.detail));
    QVERIFY2(message.detail.contains(cause), qPrintable(message.detail));
    QCOMPARE(ReadFile(obsbieg), kOldObsbieg);
    QCOMPARE(FilesIn(work.path()), QStringList({"OBSBIEG"}));
    QVERIFY(!window.Control<TPrzycisk>("Przycisk1")->icon().isNull());
}

void PrivilegedFaultsTest::fullDiskDuringConversionKeepsTheOldObsbieg_data() {
    QTest::addColumn<int>("outputBytes");
    // The converter buffers 1 MiB: a short output fails when the file is closed,
    // a long one while it is being written.
    QTest::newRow("fails on close") << 200 * 1024;
    QTest::newRow("fails while writing") << 3 * 1024 * 1024;
}

void PrivilegedFaultsTest::fullDiskDuringConversionKeepsTheOldObsbieg() {
    QFETCH(int, outputBytes);
    SmallDisk disk;
    QVERIFY2(disk.Mounted(), qPrintable(disk.Error()));
    QTemporaryDir inputs;
    const QString obsbieg = disk.FilePath(QStringLiteral("OBSBIEG"));
    const QString input = inputs.filePath(QStringLiteral("pomiar.txt"));
    WriteFile(obsbieg, kOldObsbieg);
    WriteFile(input, RecorderFileFor(outputBytes));
    MainWindowFixture window(disk.Path());
    window.SetList(input);
    window.Execute();

    QCOMPARE(window.dialogs.questions.size(), 1);
    const FakeDialogs::Question& message = window.dialogs.questions.first();
    QCOMPARE(message.text, QStringLiteral("Błąd podczas przetwarzania plików!"));
    QVERIFY2(message.detail.contains(obsbieg), qPrintable(message.detail));
    QVERIFY2(message.detail.contains(QStringLiteral("brak miejsca na dysku")),
             qPrintable(message.detail));
    QCOMPARE(ReadFile(obsbieg), kOldObsbieg);
    QCOMPARE(FilesIn(disk.Path()), QStringList({"OBSBIEG"}));
    QVERIFY(window.Control<QLabel>("StatusSummary")->text().isEmpty());

    // With room made, the same list converts whole: the failure left nothing in the way.
    QVERIFY(disk.Resize(QStringLiteral("16m")));
    window.Execute();
    QCOMPARE(window.dialogs.questions.size(), 1);
    const QByteArray whole = ConvertedElsewhere(input);
    QVERIFY(whole.size() > outputBytes / 2);
    QVERIFY(ReadFile(obsbieg) == whole);
}

void PrivilegedFaultsTest::fullDiskDuringEditorSaveKeepsFileAndText() {
    SmallDisk disk;
    QVERIFY2(disk.Mounted(), qPrintable(disk.Error()));
    FakeDialogs dialogs;
    const QString path = disk.FilePath(QStringLiteral("OBSBIEG"));
    WriteFile(path, kOldObsbieg);
    QPointer<TEdytorF> editor = new TEdytorF;
    editor->OpenFile(path);
    SynEdit* text = editor->EdytorFrame->SynEdit1;
    QByteArray added;
    while (added.size() < 200 * 1024) {
        added += "11  101.2345  99.8765  22.50  1.50 \xC5\x82\xC3\xB3\xC5\xBC\r\n"; // łóż
    }
    text->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    text->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, added.size(), added.constData());
    QVERIFY(text->Modified());

    QTest::mouseClick(editor->EdytorFrame->ToolbarButton976, Qt::LeftButton); // "Zapisz"
    QCOMPARE(dialogs.questions.size(), 1);
    QCOMPARE(dialogs.questions.first().icon, QMessageBox::Critical);
    QVERIFY2(dialogs.questions.first().text.contains(path),
             qPrintable(dialogs.questions.first().text));
    QVERIFY(text->Modified());
    QCOMPARE(ReadFile(path), kOldObsbieg);
    QCOMPARE(FilesIn(disk.Path()), QStringList({"OBSBIEG"}));

    // The text in the window is whole: once there is room, it saves.
    QVERIFY(disk.Resize(QStringLiteral("16m")));
    QVERIFY(editor->EdytorFrame->SaveFile());
    QVERIFY(!text->Modified());
    QByteArray expected = kOldObsbieg + added;
    expected.replace("\xC5\x82\xC3\xB3\xC5\xBC", "\xB3\xF3\xBF"); // łóż in Windows-1250
    QVERIFY(ReadFile(path) == expected);
    QCOMPARE(FilesIn(disk.Path()), QStringList({"OBSBIEG"}));
    delete editor;
}

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString missing = MissingPrivileges();
    if (!missing.isEmpty()) {
        std::fprintf(stderr, "SKIP: %s; run as root to stage these faults\n", qPrintable(missing));
        return 77;
    }
    PrivilegedFaultsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_PrivilegedFaults.moc"
