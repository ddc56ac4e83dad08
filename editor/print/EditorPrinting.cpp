#include "editor/print/EditorPrinting.h"

#include "editor/print/SelectionText.h"
#include "gui/Dialogs.h"
#include "gui/WaitCursor.h"

#include <Qsci/qsciscintilla.h>

#include <QEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cstdint>

namespace {

// A choice kept from the previous print may not fit this text: no selection
// now, or a range past its last page. Before any range was chosen the dialog
// offers the whole text, from 1 to the last page.
void FitKeptChoice(QPrinter& printer, int pageCount, bool offerSelection) {
    if (printer.printRange() == QPrinter::CurrentPage ||
        (printer.printRange() == QPrinter::Selection && !offerSelection)) {
        printer.setPrintRange(QPrinter::AllPages);
    }
    if (printer.fromPage() == 0) {
        printer.setFromTo(1, pageCount);
    } else if (printer.fromPage() > pageCount || printer.toPage() > pageCount) {
        printer.setFromTo(std::min(printer.fromPage(), pageCount),
                          std::min(printer.toPage(), pageCount));
    }
}

// Qt's dialog also offers page lists and odd or even pages, which the spooler
// would apply to the sheets of the job. With copies made inside the job those
// sheets are not the text's pages, so these choices are hidden once the dialog
// has arranged itself for showing.
class ServerSidePageChoiceHider : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            for (const char* name :
                 {"pagesRadioButton", "pagesLineEdit", "pageSetLabel", "pageSetCombo"}) {
                if (auto* widget = watched->findChild<QWidget*>(QLatin1String(name))) {
                    widget->hide();
                }
            }
        }
        return false;
    }
};

// The control a selection print is laid out in: the text control's defaults.
void SetUpSelectionControl(QsciScintilla& control, const QByteArray& text) {
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::TypeWriter);
    control.setFont(font);
    control.setTabWidth(8);
    control.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<uintptr_t>(text.size()),
                          text.constData());
}

} // namespace

const QString EditorPrinting::kNoPrinterMessage =
    QStringLiteral("Nie zainstalowano żadnej drukarki.");

EditorPrinting::EditorPrinting() = default;
EditorPrinting::~EditorPrinting() = default;

QPrinter& EditorPrinting::Printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *printer_;
}

void EditorPrinting::Print(QWidget* parent, QsciScintilla* SynEdit1) {
    if (!SynEdit1) {
        return;
    }
    if (!FindPrinter()) {
        ShowError(parent, kNoPrinterMessage);
        return;
    }
    int pageCount = 0;
    {
        WaitCursor wait;
        SynEditPrint1.Bind(*SynEdit1);
        pageCount = SynEditPrint1.PageCount(Printer());
    }
    if (!ExecPrintDialog(parent, pageCount, SynEditPrint1.Selection().present)) {
        return;
    }
    SynEditPrint1.SetCopies(Printer().copyCount());
    SynEditPrint1.SetTwoSided(Printer().duplex() != QPrinter::DuplexNone);
    const PrintResult result = PrintChosenRange(*SynEdit1);
    if (!result.ok) {
        ShowError(parent, result.error);
    }
}

// Qt falls back to writing PDF when no printer existed as the QPrinter was
// made; a printer installed since then is taken up here. A printer told to
// write a file needs no printer at all.
bool EditorPrinting::FindPrinter() {
    QPrinter& printer = Printer();
    if (printer.outputFormat() == QPrinter::NativeFormat || !printer.outputFileName().isEmpty()) {
        return true;
    }
    QString name = QPrinterInfo::defaultPrinterName();
    if (name.isEmpty()) {
        const QStringList names = QPrinterInfo::availablePrinterNames();
        if (names.isEmpty()) {
            return false;
        }
        name = names.front();
    }
    printer.setPrinterName(name);
    return printer.outputFormat() == QPrinter::NativeFormat;
}

bool EditorPrinting::ExecPrintDialog(QWidget* parent, int pageCount, bool offerSelection) {
    FitKeptChoice(Printer(), pageCount, offerSelection);
    QPrintDialog PrintDialog1(&Printer(), parent);
    PrintDialog1.setMinMax(1, pageCount);
    // Copies are whole runs made by the engine, so a collate choice would do nothing.
    QAbstractPrintDialog::PrintDialogOptions options =
        QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintShowPageSize;
    if (offerSelection) {
        options |= QAbstractPrintDialog::PrintSelection;
    }
    PrintDialog1.setOptions(options);
    ServerSidePageChoiceHider hider;
    PrintDialog1.installEventFilter(&hider);
    return Dialogs().ExecPrintDialog(PrintDialog1) == QDialog::Accepted;
}

PrintResult EditorPrinting::PrintChosenRange(const QsciScintilla& SynEdit1) {
    QPrinter& printer = Printer();
    WaitCursor wait;
    switch (printer.printRange()) {
    case QPrinter::Selection:
        return PrintSelection(SynEdit1);
    case QPrinter::PageRange:
        if (printer.fromPage() > 0) {
            return SynEditPrint1.PrintRange(printer, printer.fromPage(), printer.toPage());
        }
        break;
    default:
        break;
    }
    return SynEditPrint1.Print(printer);
}

// The selection is a document of its own, laid out afresh from page 1.
PrintResult EditorPrinting::PrintSelection(const QsciScintilla& SynEdit1) {
    QsciScintilla selectionControl;
    SetUpSelectionControl(selectionControl, SelectedTextForPrint(SynEdit1));
    SynEditPrint1.Bind(selectionControl);
    return SynEditPrint1.Print(Printer());
}
