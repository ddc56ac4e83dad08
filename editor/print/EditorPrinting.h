#pragma once

#include "editor/print/SynEditPrint.h"

#include <QString>

#include <memory>

class QPrinter;
class QWidget;
class QsciScintilla;

// Printing of one editor frame: its print engine and the state of its print
// dialog, which lives in one QPrinter so the chosen printer, range and copies
// are offered again at the next print from the same frame.
class EditorPrinting {
public:
    static const QString kNoPrinterMessage;

    EditorPrinting();
    ~EditorPrinting();
    EditorPrinting(const EditorPrinting&) = delete;
    EditorPrinting& operator=(const EditorPrinting&) = delete;

    // ToolbarButton977Click: the print dialog, then all pages, a page range or the selection.
    void Print(QWidget* parent, QsciScintilla* SynEdit1);

    // The dialog's printer, made on first use (asking the print system takes a moment).
    QPrinter& Printer();

private:
    bool FindPrinter();
    bool ExecPrintDialog(QWidget* parent, int pageCount, bool offerSelection);
    PrintResult PrintChosenRange(const QsciScintilla& SynEdit1);
    PrintResult PrintSelection(const QsciScintilla& SynEdit1);

    SynEditPrint SynEditPrint1;
    std::unique_ptr<QPrinter> printer_;
};
