// Prints from an editor frame's print command through Qt's print system to
// whatever printer the print service offers. Qt's own print dialog is shown
// and filled in through its widgets, as a user would, so Qt sets the job up
// exactly as after a real click on its print button. Run by cups-test.sh
// against a spooler of its own.
//
//   cups_print_probe all     all pages, one copy
//   cups_print_probe range   pages 2 to 3, two copies
//
// Prints "printer=<name>" and "maxPage=<n>" for the script; exits non-zero
// if the dialog was not shown, could not be filled in, or a message was shown.

#include "FakePrintDialogs.h"
#include "PrintTestText.h"
#include "editor/print/EditorPrinting.h"

#include <QApplication>
#include <QPrinter>
#include <QRadioButton>
#include <QSpinBox>

#include <cstdio>

namespace {

class UserAtTheDialog : public FakePrintDialogs {
public:
    int ExecPrintDialog(QPrintDialog& dialog) override {
        Record(dialog);
        dialog.show();
        if (answer.range == QAbstractPrintDialog::PageRange) {
            Check(dialog, "printRange");
            SetNumber(dialog, "from", answer.from);
            SetNumber(dialog, "to", answer.to);
        }
        SetNumber(dialog, "copies", answer.copies);
        if (!filledIn) {
            return QDialog::Rejected;
        }
        dialog.accept();
        return dialog.result();
    }

    bool filledIn = true;

private:
    template <typename Widget> Widget* Find(QPrintDialog& dialog, const char* name) {
        auto* widget = dialog.findChild<Widget*>(QLatin1String(name));
        if (!widget) {
            std::fprintf(stderr, "print dialog has no widget '%s'\n", name);
            filledIn = false;
        }
        return widget;
    }
    void Check(QPrintDialog& dialog, const char* name) {
        if (auto* button = Find<QRadioButton>(dialog, name)) {
            button->setChecked(true);
        }
    }
    void SetNumber(QPrintDialog& dialog, const char* name, int value) {
        if (auto* box = Find<QSpinBox>(dialog, name)) {
            box->setValue(value);
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    UserAtTheDialog dialogs;
    if (mode == QLatin1String("range")) {
        dialogs.answer = {true, QAbstractPrintDialog::PageRange, 2, 3, 2};
    } else if (mode != QLatin1String("all")) {
        std::fprintf(stderr, "usage: cups_print_probe all|range\n");
        return 2;
    }

    auto editor = print_test::MakeEditor(print_test::NumberedLines(280).join('\n'));
    EditorPrinting printing;
    printing.Print(nullptr, editor.get());

    for (const auto& message : dialogs.messages) {
        std::fprintf(stderr, "message: %s\n", qPrintable(message.text));
    }
    if (dialogs.shown.size() != 1 || !dialogs.messages.empty() || !dialogs.filledIn) {
        return 1;
    }
    std::printf("printer=%s\nmaxPage=%d\n", qPrintable(printing.Printer().printerName()),
                dialogs.shown.front().maxPage);
    return 0;
}
