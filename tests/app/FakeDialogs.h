#pragma once

#include "Dialogs.h"

#include <QList>

#include <functional>

// Answers the program's dialogs in tests and remembers what was asked.
class FakeDialogs : public DialogProvider {
public:
    struct Question {
        QMessageBox::Icon icon;
        QString caption;
        QString text;
        QString detail;
    };

    FakeDialogs() { previous_ = SetDialogs(this); }
    ~FakeDialogs() override { SetDialogs(previous_); }

    QMessageBox::StandardButton Ask(QWidget*, QMessageBox::Icon icon, const QString& caption,
                                    const QString& text, QMessageBox::StandardButtons,
                                    const QString& detail) override {
        questions.append({icon, caption, text, detail});
        if (whileAsking) {
            whileAsking();
        }
        return QMessageBox::Ok;
    }

    QStringList GetOpenFileNames(QWidget*, const QString& folder) override {
        openFolders.append(folder);
        return filesToOpen;
    }

    std::function<void()> whileAsking; // runs as if the box were open
    QStringList filesToOpen;
    QStringList openFolders;
    QList<Question> questions;

private:
    DialogProvider* previous_ = nullptr;
};
