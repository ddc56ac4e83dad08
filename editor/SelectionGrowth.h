#pragma once

#include "editor/text/SelectionMode.h"

class QKeyEvent;
class QMouseEvent;
class QsciScintilla;

// How the user's selecting grows a selection in the toolbar's mode. Whole
// lines: every line the selection touches is taken whole, with its line end,
// so copying and pasting moves whole lines. Column: a rectangular block.
// A click or a plain key leaves a bare caret in every mode, and the keys move
// it as in normal mode. Scintilla's own whole-line and rectangle modes are
// not used for this: they widen a bare caret to its line and stop the arrows.
class SelectionGrowth {
public:
    explicit SelectionGrowth(QsciScintilla& editor) : editor(editor) {}

    SelectionMode Mode() const { return mode; }
    void SetMode(SelectionMode value);

    // Shift with a movement key, in whole-line or column mode: the caret moves
    // as the key moves it without Shift, and the selection grows from where
    // it began. False, and nothing done, for any other key.
    bool GrowByKey(const QKeyEvent& event);
    // Before the control takes a key: a block of no width (left by typing in
    // column mode) becomes a bare caret, so a movement key moves it.
    void BeforeKey(const QKeyEvent& event);

    // Around the control's own handling of the mouse.
    void BeforeMousePress(const QMouseEvent& event);
    void AfterMousePress(const QMouseEvent& event);
    void AfterMouseMove(const QMouseEvent& event);
    void AfterMouseRelease(const QMouseEvent& event);

private:
    // A place of the caret or anchor; beyond a line's end in virtual space.
    struct Spot {
        long position = 0;
        long space = 0;
        bool operator==(const Spot&) const = default;
    };
    // Whole lines as last selected here: where the user's selecting began and
    // where the caret went, and the line bounds that were selected for them.
    struct GrownLines {
        Spot anchor;
        Spot caret;
        long selectedAnchor = -1;
        long selectedCaret = -1;
    };

    long Send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;
    Spot Anchor() const;
    Spot Caret() const;
    bool IsRectangle() const;
    bool IsEmptyRectangle() const;
    bool StillGrownLines() const;
    void PlaceCaret(Spot caret);
    void SelectBlock(Spot anchor, Spot caret);
    void SelectLinesOrCaret(Spot anchor, Spot caret);
    long NextLineStart(long line) const;
    void KeepLastLineEnd();

    QsciScintilla& editor;
    SelectionMode mode = SelectionMode::Normal;
    GrownLines grown;
    bool pressedInSelection = false;
    bool draggingLines = false;
    Spot dragAnchor;
};
