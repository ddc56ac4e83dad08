// Faults any user can cause, each checked for lost or damaged files: a working
// folder that is gone, an input file deleted after it was listed. (A binary
// file opened in the editor and saved is among the editor's byte round trips.)
#include "FaultTestSupport.h"

#include <QTemporaryDir>

class FaultsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { MainWindowFixture::SetUpApplication(); }

    void missingWorkingFolderNamesItAndCreatesNothing();
    void inputDeletedAfterAddingKeepsTheOldObsbieg_data();
    void inputDeletedAfterAddingKeepsTheOldObsbieg();
};

void FaultsTest::missingWorkingFolderNamesItAndCreatesNothing() {
    QTemporaryDir parent;
    const QString work = parent.filePath(QStringLiteral("Pomiary Łódź"));
    const QString input = parent.filePath(QStringLiteral("pomiar.txt"));
    WriteFile(input, kRecorderFile);
    MainWindowFixture window(work);
    window.SetList(input);
    window.Execute();

    QCOMPARE(window.dialogs.questions.size(), 1);
    const FakeDialogs::Question& message = window.dialogs.questions.first();
    QCOMPARE(message.text, QStringLiteral("Błąd podczas przetwarzania plików!"));
    QCOMPARE(message.icon, QMessageBox::Critical);
    QVERIFY2(message.detail.contains(work), qPrintable(message.detail));
    QVERIFY(!QFileInfo::exists(work));
    QCOMPARE(FilesIn(parent.path()), QStringList({"pomiar.txt"}));
    QCOMPARE(ReadFile(input), kRecorderFile);
}

void FaultsTest::inputDeletedAfterAddingKeepsTheOldObsbieg_data() {
    QTest::addColumn<int>("deleted");
    QTest::newRow("first of three") << 0;
    QTest::newRow("middle of three") << 1;
    QTest::newRow("last of three") << 2;
}

// The files come in through "+" (the open dialog), as a user adds them; one of
// them is deleted before "WYKONAJ".
void FaultsTest::inputDeletedAfterAddingKeepsTheOldObsbieg() {
    QFETCH(int, deleted);
    QTemporaryDir work;
    WriteFile(work.filePath(QStringLiteral("OBSBIEG")), kOldObsbieg);
    QStringList inputs;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        inputs.append(work.filePath(QString::fromLatin1(name)));
        WriteFile(inputs.last(), kRecorderFile);
    }
    MainWindowFixture window(work.path());
    window.dialogs.filesToOpen = inputs;
    window.Add();
    QVERIFY(QFile::remove(inputs[deleted]));
    window.Execute();

    QCOMPARE(window.dialogs.questions.size(), 1);
    const FakeDialogs::Question& message = window.dialogs.questions.first();
    QCOMPARE(message.text, QStringLiteral("Błąd podczas przetwarzania plików!"));
    QVERIFY2(message.detail.contains(inputs[deleted]), qPrintable(message.detail));
    QCOMPARE(ReadFile(work.filePath(QStringLiteral("OBSBIEG"))), kOldObsbieg);
    QStringList expected{"OBSBIEG", "a.txt", "b.txt", "c.txt"};
    expected.removeOne(QFileInfo(inputs[deleted]).fileName());
    QCOMPARE(FilesIn(work.path()), expected);
}

QTEST_MAIN(FaultsTest)
#include "tst_Faults.moc"
