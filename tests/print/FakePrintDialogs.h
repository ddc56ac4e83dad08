#pragma once

#include "gui/Dialogs.h"

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
        // Choices of Qt's dialog left visible, when `showDialog` is on.
        QStringList visibleChoices;
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
        Record(dialog);
        QPrinter* printer = dialog.printer();
        if (!answer.accept) {
            return QDialog::Rejected;
        }
        dialog.setPrintRange(answer.range);
        if (answer.range == QAbstractPrintDialog::PageRange) {
            dialog.setFromTo(answer.from, answer.to);
        }
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
    bool showDialog = false;
    std::vector<Shown> shown;
    std::vector<Message> messages;

protected:
    void Record(QPrintDialog& dialog) {
        shown.push_back({dialog.options(), dialog.minPage(), dialog.maxPage(), dialog.printRange(),
                         dialog.fromPage(), dialog.toPage(), dialog.printer()->copyCount(),
                         showDialog ? VisibleChoices(dialog) : QStringList()});
    }

private:
    static QStringList VisibleChoices(QPrintDialog& dialog) {
        dialog.show();
        QStringList visible;
        for (const char* name : {"printAll", "printRange", "from", "to", "pagesRadioButton",
                                 "pagesLineEdit", "printSelection", "pageSetCombo", "copies"}) {
            const auto* widget = dialog.findChild<QWidget*>(QLatin1String(name));
            if (widget && !widget->isHidden()) {
                visible << QLatin1String(name);
            }
        }
        dialog.hide();
        return visible;
    }

    DialogProvider* previous_;
};
