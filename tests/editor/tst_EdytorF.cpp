// The editor window: creation, OpenFile, the closing question, failed saves.
#include "EditorTestSupport.h"
#include "editor/SynEdit.h"
#include "editor/UEdytorF.h"
#include "editor/UEdytorFrame.h"

#include <QDir>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class EdytorFTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QPointer<TEdytorF> window;

    QString Path(const QString& name) const { return dir.filePath(name); }
    SynEdit* Editor() const { return window->EdytorFrame->SynEdit1; }
    TEdytorF* OpenWindow(const QString& name) {
        window = new TEdytorF;
        window->SetTextSize(8);
        window->OpenFile(name);
        return window;
    }
    // Asks the window to close as its close box does; true when it closed.
    bool Close() {
        QSignalSpy closed(window.data(), &TEdytorF::Closed);
        const bool accepted = window->close();
        if (accepted) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        return accepted && closed.count() == 1 && window.isNull(); // deleted on close
    }

private slots:
    void cleanup() { delete window; }

    void StartsEmptyWithPlaceholderCaption();
    void OpenFileBindsToPath();
    void OpenMissingFileCreatesItOnSave();
    void OpenFileFailureLeavesWindowUnbound();
    void ClosesWithoutQuestionWhenUnchanged();
    void UndoneChangeClosesWithoutQuestion();
    void ClearAllThenCloseLeavesFileAlone();
    void ClosingQuestion_data();
    void ClosingQuestion();
    void FailedSaveKeepsWindowOpen_data();
    void FailedSaveKeepsWindowOpen();
    void VeryLongLineAsksFirst_data();
    void VeryLongLineAsksFirst();
};

void EdytorFTest::StartsEmptyWithPlaceholderCaption() {
    window = new TEdytorF;
    QVERIFY(window->isVisible());
    QVERIFY(window->isWindow());
    QVERIFY(window->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(window->windowTitle(), QString("---"));
    QCOMPARE(window->size(), QSize(447, 345));
    QCOMPARE(window->pos(), window->screen()->geometry().topLeft());
    QCOMPARE(Editor()->SendScintilla(QsciScintillaBase::SCI_GETLENGTH), 0L);
    QVERIFY(window->EdytorFrame->FixedFileName);
    QVERIFY(window->EdytorFrame->FileName.isEmpty());
    QCOMPARE(window->EdytorFrame->minimumHeight(), 70);
    QCOMPARE(Editor()->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE,
                                     QsciScintillaBase::STYLE_DEFAULT),
             10L);
    window->SetTextSize(8);
    QCOMPARE(Editor()->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE,
                                     QsciScintillaBase::STYLE_DEFAULT),
             8L);
    QVERIFY(QStringList({"Courier New", "Liberation Mono"})
                .contains(QFontInfo(Editor()->font()).family()));
    QCOMPARE(Editor()->tabWidth(), 8);
    QVERIFY(Editor()->autoIndent());
    QVERIFY(!Editor()->indentationsUseTabs());
    QCOMPARE(Editor()->SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 1UL), 0L);
    QCOMPARE(Editor()->SendScintilla(QsciScintillaBase::SCI_GETVIRTUALSPACEOPTIONS) &
                 QsciScintillaBase::SCVS_USERACCESSIBLE,
             long(QsciScintillaBase::SCVS_USERACCESSIBLE));
}

void EdytorFTest::OpenFileBindsToPath() {
    WriteFile(Path("OBSBIEG"), "a\tb\r\n");
    OpenWindow(Path("OBSBIEG"));
    QCOMPARE(window->windowTitle(), Path("OBSBIEG"));
    QCOMPARE(window->EdytorFrame->FileName, Path("OBSBIEG"));
    QCOMPARE(Editor()->text(), QString("a\tb\r\n")); // tabs kept when opened by the button
    QVERIFY(!Editor()->Modified());
}

void EdytorFTest::OpenMissingFileCreatesItOnSave() {
    FakeDialogs dialogs;
    OpenWindow(Path("Err.rej"));
    QCOMPARE(window->windowTitle(), Path("Err.rej"));
    QCOMPARE(window->EdytorFrame->FileName, Path("Err.rej"));
    QVERIFY(dialogs.questions.isEmpty());
    QTest::keyClicks(Editor(), "x");
    QVERIFY(window->EdytorFrame->SaveFile());
    QCOMPARE(ReadFile(Path("Err.rej")), QByteArray("x"));
}

void EdytorFTest::OpenFileFailureLeavesWindowUnbound() {
#if defined(Q_OS_LINUX)
    FakeDialogs dialogs;
    OpenWindow("/proc/self/mem"); // exists, but reading it from the start fails
    QCOMPARE(dialogs.questions.size(), 1);
    QCOMPARE(dialogs.questions[0].icon, QMessageBox::Critical);
    QVERIFY(dialogs.questions[0].text.contains("/proc/self/mem"));
    QCOMPARE(window->windowTitle(), QString("---"));
    QVERIFY(window->EdytorFrame->FileName.isEmpty());
    // With no name to write to, Save asks for one and writes there.
    QTest::keyClicks(Editor(), "y");
    dialogs.saveName = Path("chosen");
    QVERIFY(window->EdytorFrame->SaveFile());
    QCOMPARE(dialogs.saveDialogs, 1);
    QCOMPARE(ReadFile(Path("chosen")), QByteArray("y"));
    QVERIFY(!Editor()->Modified());
    dialogs.saveName.clear(); // cancelled: nothing written, flag kept
    QTest::keyClicks(Editor(), "z");
    QVERIFY(!window->EdytorFrame->SaveFile());
    QVERIFY(Editor()->Modified());
    QCOMPARE(ReadFile(Path("chosen")), QByteArray("y"));
#else
    QSKIP("needs a file that exists and cannot be read");
#endif
}

void EdytorFTest::ClosesWithoutQuestionWhenUnchanged() {
    FakeDialogs dialogs;
    WriteFile(Path("OBSBIEG"), "abc");
    OpenWindow(Path("OBSBIEG"));
    QVERIFY(Close());
    QVERIFY(dialogs.questions.isEmpty());
}

void EdytorFTest::UndoneChangeClosesWithoutQuestion() {
    FakeDialogs dialogs;
    WriteFile(Path("OBSBIEG"), "abc");
    OpenWindow(Path("OBSBIEG"));
    QTest::keyClicks(Editor(), "xy");
    Editor()->undo();
    Editor()->undo();
    QVERIFY(Close());
    QVERIFY(dialogs.questions.isEmpty());
}

void EdytorFTest::ClearAllThenCloseLeavesFileAlone() {
    FakeDialogs dialogs;
    WriteFile(Path("OBSBIEG"), "abc");
    OpenWindow(Path("OBSBIEG"));
    QTest::keyClicks(Editor(), "x");
    window->EdytorFrame->ToolbarButton974Click();
    QVERIFY(Close());
    QVERIFY(dialogs.questions.isEmpty());
    QCOMPARE(ReadFile(Path("OBSBIEG")), QByteArray("abc"));
}

void EdytorFTest::ClosingQuestion_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QByteArray>("onDisk");
    QTest::newRow("Yes saves and closes") << int(QMessageBox::Yes) << true << QByteArray("xabc");
    QTest::newRow("No closes without saving") << int(QMessageBox::No) << true << QByteArray("abc");
    QTest::newRow("Cancel keeps the window")
        << int(QMessageBox::Cancel) << false << QByteArray("abc");
}

void EdytorFTest::ClosingQuestion() {
    QFETCH(int, answer);
    QFETCH(bool, closes);
    QFETCH(QByteArray, onDisk);
    FakeDialogs dialogs;
    WriteFile(Path("OBSBIEG"), "abc");
    OpenWindow(Path("OBSBIEG"));
    QTest::keyClicks(Editor(), "x");
    dialogs.answers = {QMessageBox::StandardButton(answer)};
    QCOMPARE(Close(), closes);
    QCOMPARE(dialogs.questions.size(), 1);
    QCOMPARE(dialogs.questions[0].icon, QMessageBox::Warning);
    QCOMPARE(dialogs.questions[0].caption, QString("Warning"));
    QCOMPARE(dialogs.questions[0].text, QString::fromUtf8("Plik nie został zapisany. Zapisać?"));
    QCOMPARE(dialogs.questions[0].buttons,
             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(ReadFile(Path("OBSBIEG")), onDisk);
    if (!closes) {
        QVERIFY(window->isVisible());
        QVERIFY(Editor()->Modified());
    }
}

void EdytorFTest::FailedSaveKeepsWindowOpen_data() {
    QTest::addColumn<QString>("folder");
    QTest::newRow("folder removed") << "gone";
    QTest::newRow("read-only folder") << "locked";
}

void EdytorFTest::FailedSaveKeepsWindowOpen() {
    QFETCH(QString, folder);
    FakeDialogs dialogs;
    QVERIFY(QDir(dir.path()).mkpath(folder));
    const QString file = Path(folder + "/OBSBIEG");
    WriteFile(file, "abc");
    OpenWindow(file);
    QTest::keyClicks(Editor(), "x");
    const QString path = Path(folder);
    if (folder == "gone") {
        QVERIFY(QDir(path).removeRecursively());
    } else {
        // Permissions do not stop root; the immutable attribute does.
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
        QProcess::execute("chattr", {"+i", path});
        QFile probe(path + "/probe");
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QSKIP("cannot make a folder read-only here");
        }
    }
    dialogs.answers = {QMessageBox::Yes};
    const bool closed = Close();
    if (folder == "locked") {
        QProcess::execute("chattr", {"-i", path});
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(ReadFile(file), QByteArray("abc"));
        QCOMPARE(QDir(path).entryList(QDir::Files), QStringList({"OBSBIEG"}));
    }
    QVERIFY(!closed);
    QVERIFY(window->isVisible());
    QVERIFY(Editor()->Modified());
    QCOMPARE(window->windowTitle(), file);
    QCOMPARE(dialogs.questions.size(), 2); // the closing question, then the failure
    QCOMPARE(dialogs.questions[1].icon, QMessageBox::Critical);
    QVERIFY(dialogs.questions[1].text.contains(file));
}

void EdytorFTest::VeryLongLineAsksFirst_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asks");
    QTest::addColumn<bool>("opens");
    const QByteArray limit(100000, 'x');
    QTest::newRow("at the limit") << limit + "\r\nab" << int(QMessageBox::No) << false << true;
    QTest::newRow("Polish letters count once")
        << QByteArray(100000, '\xB3') << int(QMessageBox::No) << false << true;
    QTest::newRow("longer, No closes the window")
        << "ab\r\n" + limit + "x" << int(QMessageBox::No) << true << false;
    QTest::newRow("longer, Yes opens it") << limit + "x" << int(QMessageBox::Yes) << true << true;
}

void EdytorFTest::VeryLongLineAsksFirst() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, answer);
    QFETCH(bool, asks);
    QFETCH(bool, opens);
    FakeDialogs dialogs;
    dialogs.answers = {QMessageBox::StandardButton(answer)};
    WriteFile(Path("OBSBIEG"), bytes);
    window = new TEdytorF;
    QSignalSpy closed(window.data(), &TEdytorF::Closed);
    window->OpenFile(Path("OBSBIEG"));
    QCOMPARE(dialogs.questions.size(), int(asks));
    if (asks) {
        QCOMPARE(dialogs.questions[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(dialogs.questions[0].caption,
                 QStringLiteral("Konwersja plików formatu KMX 685 1.0"));
        QVERIFY(dialogs.questions[0].text.contains(
            QStringLiteral("100\u00A0001"))); // grouped as in Polish
    }
    QCOMPARE(closed.count(), int(!opens));
    if (opens) {
        QCOMPARE(window->windowTitle(), Path("OBSBIEG"));
        QVERIFY(Editor()->SendScintilla(QsciScintillaBase::SCI_GETLENGTH) >= bytes.size());
    } else {
        QVERIFY(!window->isVisible());
    }
    QCOMPARE(ReadFile(Path("OBSBIEG")), bytes);
}

QTEST_MAIN(EdytorFTest)
#include "tst_EdytorF.moc"
