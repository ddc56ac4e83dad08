#pragma once

#include "Dialogs.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QList>
#include <QString>

// Answers the program's questions and dialogs in tests and remembers them.
class FakeDialogs : public DialogProvider {
public:
    struct Question {
        QMessageBox::Icon icon;
        QString caption;
        QString text;
        QMessageBox::StandardButtons buttons;
    };

    FakeDialogs() { previous = SetDialogs(this); }
    ~FakeDialogs() override { SetDialogs(previous); }
    FakeDialogs(const FakeDialogs&) = delete;
    FakeDialogs& operator=(const FakeDialogs&) = delete;

    QMessageBox::StandardButton Ask(QWidget*, QMessageBox::Icon icon, const QString& caption,
                                    const QString& text, QMessageBox::StandardButtons buttons,
                                    const QString&) override {
        questions.append({icon, caption, text, buttons});
        return answers.isEmpty() ? QMessageBox::Ok : answers.takeFirst();
    }
    QStringList GetOpenFileNames(QWidget*, const QString&) override { return {openName}; }
    QString GetOpenFileName(QWidget*, const QString& folder) override {
        ++openDialogs;
        openFolder = folder;
        return openName;
    }
    QString GetSaveFileName(QWidget*, const QString&) override {
        ++saveDialogs;
        return saveName;
    }

    int ExecPrintDialog(QPrintDialog&) override {
        ++printDialogs;
        return QDialog::Rejected;
    }

    QList<QMessageBox::StandardButton> answers;
    QList<Question> questions;
    QString openName;
    QString openFolder;
    QString saveName;
    int openDialogs = 0;
    int saveDialogs = 0;
    int printDialogs = 0;

private:
    DialogProvider* previous = nullptr;
};

inline void WriteBytes(const QString& name, const QByteArray& bytes) {
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write test file %s", qPrintable(name));
    }
}

inline QByteArray ReadBytes(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Types text that QTest::keyClicks cannot (characters beyond Latin-1).
inline void TypeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
    }
}
