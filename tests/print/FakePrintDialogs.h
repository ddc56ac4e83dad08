#pragma once

#include "Dialogs.h"

#include <QPrintDialog>
#include <QPrinter>

#include <vector>

// Answers the print dialog as a user would and records what the dialog
// offered and every message shown.
class FakePrintDialogs : public DialogProvider {
public:
    struct Answer {
        bool accept = true;
        QAbstractPrintDialog::PrintRange range = QAbstractPrintDialog::AllPages;
        int from = 0;
        int to = 0;
        int copies = 1;
    };

    // The dialog as the user saw it.
    struct Shown {
        QAbstractPrintDialog::PrintDialogOptions options;
        int minPage = 0;
        int maxPage = 0;
        QAbstractPrintDialog::PrintRange range = QAbstractPrintDialog::AllPages;
        int from = 0;
        int to = 0;
        int copies = 0;
    };

    struct Message {
        QMessageBox::Icon icon;
        QString text;
    };

    FakePrintDialogs() : previous_(SetDialogs(this)) {}
    ~FakePrintDialogs() override { SetDialogs(previous_); }
    FakePrintDialogs(const FakePrintDialogs&) = delete;
    FakePrintDialogs& operator=(const FakePrintDialogs&) = delete;

    int ExecPrintDialog(QPrintDialog& dialog) override {
        QPrinter* printer = dialog.printer();
        shown.push_back({dialog.options(), dialog.minPage(), dialog.maxPage(), dialog.printRange(),
                         dialog.fromPage(), dialog.toPage(), printer->copyCount()});
        if (!answer.accept)
            return QDialog::Rejected;
        dialog.setPrintRange(answer.range);
        if (answer.range == QAbstractPrintDialog::PageRange)
            dialog.setFromTo(answer.from, answer.to);
        printer->setCopyCount(answer.copies);
        return QDialog::Accepted;
    }

    QMessageBox::StandardButton Ask(QWidget*, QMessageBox::Icon icon, const QString&,
                                    const QString& text, QMessageBox::StandardButtons,
                                    const QString&) override {
        messages.push_back({icon, text});
        return QMessageBox::Ok;
    }

    Answer answer;
    std::vector<Shown> shown;
    std::vector<Message> messages;

private:
    DialogProvider* previous_;
};
