#include "app/ApplicationSetup.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class ApplicationSetupTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        SetUpApplication(*qApp);
        InstallFontFallbacks();
    }

    // Qt's own Polish texts, with ours over them: the print dialog's choice
    // to print the selected text does not read as a choice of pages.
    void printDialogOffersZaznaczenie() {
        QPrinter printer;
        QPrintDialog dialog(&printer);
        dialog.setOption(QAbstractPrintDialog::PrintSelection);
        auto* selection = dialog.findChild<QRadioButton*>(QStringLiteral("printSelection"));
        QVERIFY(selection);
        QCOMPARE(selection->text(), QStringLiteral("Zaznaczenie"));
        auto* range = dialog.findChild<QRadioButton*>(QStringLiteral("printRange"));
        QVERIFY(range && range->text() != selection->text());
    }

    void standardButtonsArePolish_data() {
        QTest::addColumn<QMessageBox::StandardButton>("button");
        QTest::addColumn<QString>("text");
        QTest::newRow("Yes") << QMessageBox::Yes << "Tak";
        QTest::newRow("No") << QMessageBox::No << "Nie";
        QTest::newRow("Cancel") << QMessageBox::Cancel << "Anuluj";
    }

    void standardButtonsArePolish() {
        QFETCH(QMessageBox::StandardButton, button);
        QFETCH(QString, text);
        QMessageBox box(QMessageBox::Warning, "Warning", "?", button);
        QCOMPARE(box.button(button)->text().remove(QLatin1Char('&')), text);
    }

    void layoutFontsHaveMetricCompatibleStandIns_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("standIn");
        QTest::newRow("Tahoma") << "Tahoma"
                                << "Liberation Sans";
        QTest::newRow("Arial") << "Arial"
                               << "Liberation Sans";
    }

    void layoutFontsHaveMetricCompatibleStandIns() {
        QFETCH(QString, family);
        QFETCH(QString, standIn);
        const QString used = QFontInfo(QFont(family, 8)).family();
        QCOMPARE(used, QFontDatabase::hasFamily(family) ? family : standIn);
    }
};

QTEST_MAIN(ApplicationSetupTest)
#include "tst_ApplicationSetup.moc"
