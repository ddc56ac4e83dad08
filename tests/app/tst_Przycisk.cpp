#include "app/ButtonPictures.h"
#include "app/Przycisk.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

bool HasPaintedPixels(const QIcon& icon, QSize size) {
    const QImage image = icon.pixmap(size).toImage();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 0) {
                return true;
            }
        }
    }
    return false;
}

QStringList Names(const QList<QObject*>& objects) {
    QStringList names;
    for (const QObject* object : objects) {
        names.append(object->objectName());
    }
    return names;
}

template <class T> T* Make(const char* name, QWidget* parent) {
    auto* object = new T(parent);
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

} // namespace

class ButtonsTest : public QObject {
    Q_OBJECT

private slots:
    void picturesAreDrawn_data();
    void picturesAreDrawn();
    void captionFollowsFileName_data();
    void captionFollowsFileName();
    void pictureShowsWhetherTheFileExists();
    void pathJoinsDirectoryAndName();
    void helpButtonPointsBesideTheProgram();
    void findComponentsInOwnershipOrder();
    void findDoesNotSearchInsideFoundComponents();
    void refreshReachesButtonsOnPanelsOfEveryWindow();
};

void ButtonsTest::picturesAreDrawn_data() {
    QTest::addColumn<QIcon>("picture");
    QTest::addColumn<QSize>("size");
    QTest::newRow("PLIK_JEST_24") << LoadButtonPictures().filePresent << QSize(24, 24);
    QTest::newRow("INFO") << LoadButtonPictures().help << QSize(87, 32);
}

void ButtonsTest::picturesAreDrawn() {
    QFETCH(QIcon, picture);
    QFETCH(QSize, size);
    QVERIFY(picture.availableSizes().contains(size));
    QVERIFY(HasPaintedPixels(picture, size));
}

void ButtonsTest::captionFollowsFileName_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("firstName");
    QTest::addColumn<QString>("secondName");
    QTest::addColumn<QString>("expected");
    QTest::newRow("caption is the button's name") << "Przycisk1"
                                                  << "OBSBIEG"
                                                  << ""
                                                  << "OBSBIEG";
    QTest::newRow("new button, empty caption") << ""
                                               << "OBSBIEG"
                                               << ""
                                               << "OBSBIEG";
    QTest::newRow("follows a second change") << "Przycisk1"
                                             << "OBSBIEG"
                                             << "Err.rej"
                                             << "Err.rej";
    QTest::newRow("own caption stays") << "Obserwacje"
                                       << "OBSBIEG"
                                       << "Err.rej"
                                       << "Obserwacje";
}

void ButtonsTest::captionFollowsFileName() {
    QFETCH(QString, caption);
    QFETCH(QString, firstName);
    QFETCH(QString, secondName);
    QFETCH(QString, expected);
    TPrzycisk button;
    button.setObjectName(QStringLiteral("Przycisk1"));
    button.setText(caption);
    button.setNazwaPliku(firstName);
    if (!secondName.isEmpty()) {
        button.setNazwaPliku(secondName);
    }
    QCOMPARE(button.text(), expected);
    QCOMPARE(button.NazwaPliku(), secondName.isEmpty() ? firstName : secondName);
}

void ButtonsTest::pictureShowsWhetherTheFileExists() {
    QTemporaryDir work;
    TPrzycisk button;
    button.SetDirectory(work.path());
    button.setNazwaPliku(QStringLiteral("OBSBIEG"));
    button.Repaint();
    QVERIFY(button.icon().isNull());

    QFile file(QDir(work.path()).filePath("OBSBIEG"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY2(button.icon().isNull(), "the picture changes only when refreshed");
    button.Repaint();
    QCOMPARE(button.icon().cacheKey(), LoadButtonPictures().filePresent.cacheKey());

    QVERIFY(file.remove());
    QVERIFY(QDir(work.path()).mkdir("OBSBIEG"));
    button.Repaint();
    QVERIFY2(button.icon().isNull(), "a folder is no result file");
}

void ButtonsTest::pathJoinsDirectoryAndName() {
    TPrzycisk button;
    button.SetDirectory(QStringLiteral("/dane/geodezja"));
    button.setNazwaPliku(QStringLiteral("Err.rej"));
    QCOMPARE(QDir::fromNativeSeparators(button.FilePath()),
             QStringLiteral("/dane/geodezja/Err.rej"));
}

void ButtonsTest::helpButtonPointsBesideTheProgram() {
    TInfoBtn button;
    button.setScPlikPDF(QStringLiteral("RejKMX.pdf"));
    QCOMPARE(QDir::cleanPath(button.ManualPath()),
             QDir(QCoreApplication::applicationDirPath()).filePath("RejKMX.pdf"));
    QCOMPARE(button.icon().cacheKey(), LoadButtonPictures().help.cacheKey());
    QCOMPARE(button.focusPolicy(), Qt::NoFocus);
}

void ButtonsTest::findComponentsInOwnershipOrder() {
    QWidget window;
    auto* panel = Make<QFrame>("panel", &window);
    Make<TPrzycisk>("first", panel);
    Make<TPrzycisk>("second", &window);
    auto* group = Make<QGroupBox>("group", &window);
    Make<TInfoBtn>("help", group);
    Make<TPrzycisk>("third", Make<QFrame>("inner", group));
    QCOMPARE(Names(FindComponentsOfClass(&window, TPrzycisk::staticMetaObject)),
             QStringList({"first", "second", "third"}));
    QCOMPARE(Names(FindComponentsOfClass(&window, QToolButton::staticMetaObject)),
             QStringList({"first", "second", "help", "third"}));
    QCOMPARE(FindComponentsOfClass<TPrzycisk>(&window).size(), 3);
}

void ButtonsTest::findDoesNotSearchInsideFoundComponents() {
    QWidget window;
    auto* outer = Make<QFrame>("outer", &window);
    Make<QFrame>("nested", outer);
    QCOMPARE(Names(FindComponentsOfClass(&window, QFrame::staticMetaObject)),
             QStringList({"outer"}));
}

void ButtonsTest::refreshReachesButtonsOnPanelsOfEveryWindow() {
    QTemporaryDir work;
    QFile file(QDir(work.path()).filePath("OBSBIEG"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    QWidget first;
    QWidget second;
    auto* onPanel = Make<TPrzycisk>("onPanel", Make<QFrame>("panel", &first));
    auto* hidden = Make<TPrzycisk>("hidden", &first);
    auto* onGroup = Make<TPrzycisk>("onGroup", Make<QGroupBox>("group", &second));
    // A window with a parent is reached through its parent, and only once.
    QWidget childWindow(&second, Qt::Window);
    auto* inChildWindow = Make<TPrzycisk>("inChildWindow", &childWindow);
    hidden->hide();
    for (TPrzycisk* button : {onPanel, hidden, onGroup, inChildWindow}) {
        button->SetDirectory(work.path());
        button->setNazwaPliku(QStringLiteral("OBSBIEG"));
    }

    const QList<TPrzycisk*> all = FindComponentsOfClass<TPrzycisk>(QCoreApplication::instance());
    QCOMPARE(all.count(inChildWindow), 1);
    QCOMPARE(all.size(), 4);

    RefreshFileButtons();
    QVERIFY(!onPanel->icon().isNull());
    QVERIFY(!onGroup->icon().isNull());
    QVERIFY(!inChildWindow->icon().isNull());
    QVERIFY(hidden->icon().isNull());
}

QTEST_MAIN(ButtonsTest)
#include "tst_Przycisk.moc"
