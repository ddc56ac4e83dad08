#pragma once

#include "editor/print/PageLayout.h"

#include <QFont>
#include <QRect>
#include <QString>

#include <string>
#include <vector>

class QFontMetricsF;
class QPainter;
class QPrinter;
class QsciScintilla;

// Margins of the printed page in millimetres, measured from the paper's edge.
// Header and footer lie inside the top and bottom margins and stay blank.
struct PrintMargins {
    double left = 25;
    double right = 15;
    double top = 25;
    double bottom = 25;
    double header = 15;
    double footer = 15;
};

// Whether the text control had a selection when the engine was bound to it.
struct BoundSelection {
    bool present = false;
};

struct PrintResult {
    bool ok = true;
    QString error; // in Polish, for the user
};

// The frame's print engine: plain monospaced text on white paper, long lines
// broken at the right margin, copies made here as whole runs of the chosen
// pages inside one job, so the spooler's collation never reorders them.
class SynEditPrint {
public:
    // Copies the control's lines with tabs expanded, its font, tab width and whether
    // it has a selection.
    void Bind(const QsciScintilla& editor);

    const QFont& Font() const { return font_; }
    int TabWidth() const { return tabWidth_; }
    const BoundSelection& Selection() const { return selection_; }
    const PrintMargins& Margins() const { return margins_; }

    int Copies() const { return copies_; }
    void SetCopies(int copies);
    // Sheets printed on both sides: each copy then starts on a sheet of its own.
    bool TwoSided() const { return twoSided_; }
    void SetTwoSided(bool twoSided) { twoSided_ = twoSided; }

    // Pages the bound text fills on the printer's current paper; nothing is printed.
    int PageCount(QPrinter& printer);
    PrintResult Print(QPrinter& printer);
    // One job: each copy in turn prints pages from..to, clipped to the page count.
    PrintResult PrintRange(QPrinter& printer, int from, int to);

private:
    struct Geometry {
        QRectF text; // area between the margins, device pixels
        double lineHeight = 1;
        double ascent = 0;
        std::size_t charsPerLine = 1;
        std::size_t linesPerPage = 1;
    };

    Geometry Measure(QPrinter& printer) const;
    double WidestCharacter(const QFontMetricsF& metrics) const;
    const print_layout::PageLayout& Layout(QPrinter& printer);
    void DrawPage(QPainter& painter, int page) const;

    std::vector<std::u32string> lines_;
    QFont font_;
    int tabWidth_ = 8;
    BoundSelection selection_;
    PrintMargins margins_;
    int copies_ = 1;
    bool twoSided_ = false;

    // The layout is kept until the text, font or page geometry changes.
    Geometry geometry_;
    print_layout::PageLayout layout_;
    bool layoutValid_ = false;
    QRect layoutPaper_;
    int layoutResolution_ = 0;
};
