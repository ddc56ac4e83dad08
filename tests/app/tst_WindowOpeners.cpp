// The result-file and help buttons open real editor and help windows.
#include "app/Przycisk.h"
#include "editor/SynEdit.h"
#include "editor/UEdytorF.h"
#include "editor/UEdytorFrame.h"
#include "help/TAcroPDF.h"
#include "help/UPomocF.h"
#include "support/FakeDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPdfDocument>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

class WindowOpenersTest : public QObject {
    Q_OBJECT

private slots:
    void resultFileOpensAnEditorAtEightPoints();
    void fileSavedInTheEditorShowsOnTheButtonWhenItCloses();
    void everyClickOpensOneMoreEditor();
    void helpButtonOpensTheBuiltManual();
    void twoHelpClicksOpenTwoWindows();
    void cleanup();
};

namespace {

void CloseAllWindows() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        w->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

void WindowOpenersTest::cleanup() {
    CloseAllWindows();
}

void WindowOpenersTest::resultFileOpensAnEditorAtEightPoints() {
    QTemporaryDir work;
    QFile file(QDir(work.path()).filePath("OBSBIEG"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("10    42\r\n0 0 0 0 1.5\xb3\r\n"); // ł in Windows-1250
    file.close();
    QWidget window;
    auto* button = new TPrzycisk(&window);
    button->SetDirectory(work.path());
    button->setNazwaPliku("OBSBIEG");
    window.show();

    QTest::mouseClick(button, Qt::LeftButton);

    auto* editor = qobject_cast<TEdytorF*>(button->LastEditorWindow());
    QVERIFY(editor);
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->windowTitle(), file.fileName());
    QCOMPARE(editor->EdytorFrame->FileName, file.fileName());
    QCOMPARE(editor->EdytorFrame->SynEdit1->font().pointSize(), 8);
    QCOMPARE(QString::fromUtf8(editor->EdytorFrame->SynEdit1->Utf8Text().data(),
                               qsizetype(editor->EdytorFrame->SynEdit1->Utf8Text().size())),
             QString::fromUtf8("10    42\r\n0 0 0 0 1.5ł\r\n"));
}

void WindowOpenersTest::fileSavedInTheEditorShowsOnTheButtonWhenItCloses() {
    QTemporaryDir work;
    QWidget window;
    auto* button = new TPrzycisk(&window);
    button->SetDirectory(work.path());
    button->setNazwaPliku("OBSBIEG");
    window.show();
    button->Repaint();
    QVERIFY(button->icon().isNull());

    QTest::mouseClick(button, Qt::LeftButton);
    QPointer<TEdytorF> editor = qobject_cast<TEdytorF*>(button->LastEditorWindow());
    QVERIFY(editor);
    editor->EdytorFrame->SynEdit1->setText(QStringLiteral("nowy"));
    QVERIFY(editor->EdytorFrame->SaveFile());
    QVERIFY(QFile::exists(button->FilePath()));
    QVERIFY2(button->icon().isNull(), "the picture changes only at a refresh");

    QVERIFY(editor->close());
    QTRY_VERIFY(editor.isNull());
    QTRY_VERIFY(!button->icon().isNull());
}

void WindowOpenersTest::everyClickOpensOneMoreEditor() {
    QTemporaryDir work;
    QWidget window;
    auto* button = new TPrzycisk(&window);
    button->SetDirectory(work.path());
    button->setNazwaPliku("Err.rej");
    window.show();
    QTest::mouseClick(button, Qt::LeftButton);
    QWidget* first = button->LastEditorWindow();
    QTest::mouseClick(button, Qt::LeftButton);
    QWidget* second = button->LastEditorWindow();
    QVERIFY(first && second && first != second);
    QVERIFY(first->isVisible() && second->isVisible());
}

void WindowOpenersTest::helpButtonOpensTheBuiltManual() {
    TInfoBtn button;
    button.setScPlikPDF("RejKMX.pdf");
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    auto* help = qobject_cast<TPomocF*>(button.LastHelpWindow());
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QVERIFY2(!help->AcroPDF1->hasError(), qPrintable(help->AcroPDF1->errorText()));
    QVERIFY(help->AcroPDF1->document()->pageCount() > 0);
}

void WindowOpenersTest::twoHelpClicksOpenTwoWindows() {
    TInfoBtn button;
    button.setScPlikPDF("no-such-manual.pdf");
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    QPointer<QWidget> first = button.LastHelpWindow();
    QTest::mouseClick(&button, Qt::LeftButton);
    QPointer<QWidget> second = button.LastHelpWindow();
    QVERIFY(first && second && first != second);
    auto* help = qobject_cast<TPomocF*>(second.data());
    QVERIFY(help->AcroPDF1->hasError());
    QVERIFY(help->AcroPDF1->errorText().contains("no-such-manual.pdf"));
    first->close();
    QTRY_VERIFY(first.isNull());
    QVERIFY(second);
}

QTEST_MAIN(WindowOpenersTest)
#include "tst_WindowOpeners.moc"
