#pragma once

#include "gui/Dialogs.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <functional>

// Answers the program's questions and dialogs in tests and remembers them.
class FakeDialogs : public DialogProvider {
public:
    struct Question {
        QMessageBox::Icon icon;
        QString caption;
        QString text;
        QString detail;
        QMessageBox::StandardButtons buttons;
    };

    FakeDialogs() { previous_ = SetDialogs(this); }
    ~FakeDialogs() override { SetDialogs(previous_); }
    FakeDialogs(const FakeDialogs&) = delete;
    FakeDialogs& operator=(const FakeDialogs&) = delete;

    QMessageBox::StandardButton Ask(QWidget*, QMessageBox::Icon icon, const QString& caption,
                                    const QString& text, QMessageBox::StandardButtons buttons,
                                    const QString& detail) override {
        questions.append({icon, caption, text, detail, buttons});
        if (whileAsking) {
            whileAsking();
        }
        return answers.isEmpty() ? QMessageBox::Ok : answers.takeFirst();
    }
    QStringList GetOpenFileNames(QWidget*, const QString& folder) override {
        openFolders.append(folder);
        return filesToOpen;
    }
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

    std::function<void()> whileAsking;          // runs as if the box were open
    QList<QMessageBox::StandardButton> answers; // given in turn; then OK
    QList<Question> questions;
    QStringList filesToOpen; // the multiple-selection open dialog's choice
    QStringList openFolders;
    QString openName; // the single-file open dialog's choice
    QString openFolder;
    QString saveName;
    int openDialogs = 0;
    int saveDialogs = 0;
    int printDialogs = 0;

private:
    DialogProvider* previous_ = nullptr;
};
