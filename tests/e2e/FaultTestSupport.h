#pragma once

// The main window over a working folder, built as the program builds it, for
// tests that break the folder, the disk or the input files under it.
#include "app/ApplicationSetup.h"
#include "app/ButtonPictures.h"
#include "app/URejKMXF.h"
#include "common/Cp1250.h"
#include "common/UPlikIni.h"
#include "converter/URejestratorKMX685.h"
#include "support/FakeDialogs.h"
#include "support/QtFiles.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

// Recorder records and what the converter makes of them.
inline const QByteArray kRecorderFile = "C,10,,,,,1.56\r\n"
                                        "E,11,,22.50,101.2345,1.50,99.8765\r\n"
                                        "D,12,,30.00,205.0000,1.50\r\n";

inline const QByteArray kOldObsbieg = "1    42\r\n"
                                      "2  0.0000  100.0000  10.00  1.50\r\n"
                                      "0 0 0 0 1.50\r\n";

inline QStringList FilesIn(const QString& folder) {
    QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    files.sort();
    return files;
}

class MainWindowFixture {
public:
    // kavero.ini, Windows-1250 text, lives in a folder of its own, so the working
    // folder may be anything.
    explicit MainWindowFixture(const QString& workingFolder) {
        const QString iniPath = ini_.filePath(QStringLiteral("kavero.ini"));
        const std::string path = cp1250::Encode(workingFolder.toStdString()).bytes;
        WriteFile(iniPath, "[General]\r\nPath=" + QByteArray::fromStdString(path) + "\r\n");
        settings_ = std::make_unique<TPlikIni>(iniPath.toStdString());
        converter_ = std::make_unique<TRejestratorKMX685>();
        form_ = std::make_unique<TForm1>(*settings_, *converter_);
        form_->show();
    }

    static void SetUpApplication() {
        ::SetUpApplication(*qApp);
        InstallFontFallbacks();
        LoadButtonPictures();
    }

    template <class T> T* Control(const char* name) const {
        T* control = form_->findChild<T*>(QString::fromLatin1(name));
        if (!control) {
            qFatal("no control %s", name);
        }
        return control;
    }
    void SetList(const QString& text) const {
        Control<QPlainTextEdit>("Memo1")->setPlainText(text);
    }
    void Add() const { QTest::mouseClick(Control<QPushButton>("Button1"), Qt::LeftButton); }
    void Execute() const { QTest::mouseClick(Control<QPushButton>("BitBtn1"), Qt::LeftButton); }

    FakeDialogs dialogs;

private:
    QTemporaryDir ini_;
    std::unique_ptr<TPlikIni> settings_;
    std::unique_ptr<TRejestratorKMX685> converter_;
    std::unique_ptr<TForm1> form_;
};
