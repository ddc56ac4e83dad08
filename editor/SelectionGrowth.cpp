#include "editor/SelectionGrowth.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qsciscintilla.h>

#include <QKeyEvent>
#include <QMouseEvent>

namespace {

using Sci = QsciScintillaBase;

bool IsMovementKey(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

// A key that puts its text in place of the selection (not a command key).
bool TypesText(const QKeyEvent& event) {
    const QString text = event.text();
    return !text.isEmpty() && text.at(0).isPrint() &&
           !(event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
}

} // namespace

void SelectionGrowth::SetMode(SelectionMode value) {
    mode = value;
    grown = {};
    draggingLines = false;
}

bool SelectionGrowth::GrowByKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (mode == SelectionMode::Normal || !(modifiers & Qt::ShiftModifier) ||
        (modifiers & (Qt::AltModifier | Qt::MetaModifier)) || !IsMovementKey(event.key())) {
        return false;
    }
    const QKeyCombination plainKey(modifiers & Qt::ControlModifier, Qt::Key(event.key()));
    QsciCommand* move = editor.standardCommands()->boundTo(plainKey.toCombined());
    if (!move) {
        return false;
    }
    Spot anchor = Anchor();
    Spot caret = Caret();
    if (mode == SelectionMode::Column && IsRectangle()) {
        anchor = {Send(Sci::SCI_GETRECTANGULARSELECTIONANCHOR),
                  Send(Sci::SCI_GETRECTANGULARSELECTIONANCHORVIRTUALSPACE)};
        caret = {Send(Sci::SCI_GETRECTANGULARSELECTIONCARET),
                 Send(Sci::SCI_GETRECTANGULARSELECTIONCARETVIRTUALSPACE)};
    } else if (mode == SelectionMode::Lines && StillGrownLines()) {
        anchor = grown.anchor;
        caret = grown.caret;
    }
    PlaceCaret(caret);
    move->execute();
    const Spot moved = Caret();
    if (mode == SelectionMode::Column) {
        if (!(moved == anchor)) {
            SelectBlock(anchor, moved);
        }
    } else {
        SelectLinesOrCaret(anchor, moved);
    }
    return true;
}

void SelectionGrowth::BeforeKey(const QKeyEvent& event) {
    grown = {};
    if (mode == SelectionMode::Column && IsMovementKey(event.key()) && IsEmptyRectangle()) {
        PlaceCaret({Send(Sci::SCI_GETRECTANGULARSELECTIONCARET),
                    Send(Sci::SCI_GETRECTANGULARSELECTIONCARETVIRTUALSPACE)});
    }
    if (mode == SelectionMode::Lines && TypesText(event)) {
        KeepLastLineEnd();
    }
}

// Text typed over whole lines replaces them as one line: the selection's last
// line end stays, so the typed text does not run into the line below.
void SelectionGrowth::KeepLastLineEnd() {
    const long start = Send(Sci::SCI_GETSELECTIONSTART);
    const long end = Send(Sci::SCI_GETSELECTIONEND);
    const long endLine = Send(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(end));
    if (end > start &&
        endLine > Send(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(start)) &&
        end == Send(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(endLine))) {
        Send(Sci::SCI_SETSEL, static_cast<unsigned long>(start),
             Send(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(endLine - 1)));
    }
}

void SelectionGrowth::BeforeMousePress(const QMouseEvent& event) {
    draggingLines = false;
    pressedInSelection = false;
    if (mode != SelectionMode::Lines || event.button() != Qt::LeftButton) {
        return;
    }
    if (event.modifiers() & Qt::ShiftModifier) {
        dragAnchor = StillGrownLines() ? grown.anchor : Anchor();
    } else if (Send(Sci::SCI_GETSELECTIONEMPTY) == 0) {
        // A press on the selection may start dragging it elsewhere.
        const QPoint point = event.position().toPoint();
        const long position =
            Send(Sci::SCI_POSITIONFROMPOINT, static_cast<unsigned long>(point.x()),
                 static_cast<long>(point.y()));
        pressedInSelection = position >= Send(Sci::SCI_GETSELECTIONSTART) &&
                             position < Send(Sci::SCI_GETSELECTIONEND);
    }
}

void SelectionGrowth::AfterMousePress(const QMouseEvent& event) {
    if (mode != SelectionMode::Lines || event.button() != Qt::LeftButton || pressedInSelection) {
        return;
    }
    if (!(event.modifiers() & Qt::ShiftModifier)) {
        dragAnchor = Anchor(); // the click, or the start of a word chosen by a double click
    }
    draggingLines = true;
    SelectLinesOrCaret(dragAnchor, Caret());
}

void SelectionGrowth::AfterMouseMove(const QMouseEvent& event) {
    if (mode == SelectionMode::Lines && draggingLines && (event.buttons() & Qt::LeftButton)) {
        SelectLinesOrCaret(dragAnchor, Caret());
    }
}

void SelectionGrowth::AfterMouseRelease(const QMouseEvent& event) {
    if (event.button() != Qt::LeftButton) {
        return;
    }
    if (mode == SelectionMode::Lines && draggingLines) {
        SelectLinesOrCaret(dragAnchor, Caret());
        draggingLines = false;
    } else if (mode == SelectionMode::Column && IsEmptyRectangle()) {
        // A click: a bare caret, so the arrow keys move it.
        PlaceCaret({Send(Sci::SCI_GETRECTANGULARSELECTIONCARET),
                    Send(Sci::SCI_GETRECTANGULARSELECTIONCARETVIRTUALSPACE)});
    }
}

long SelectionGrowth::Send(unsigned int message, unsigned long wParam, long lParam) const {
    return editor.SendScintilla(message, wParam, lParam);
}

SelectionGrowth::Spot SelectionGrowth::Anchor() const {
    const auto main = static_cast<unsigned long>(Send(Sci::SCI_GETMAINSELECTION));
    return {Send(Sci::SCI_GETSELECTIONNANCHOR, main),
            Send(Sci::SCI_GETSELECTIONNANCHORVIRTUALSPACE, main)};
}

SelectionGrowth::Spot SelectionGrowth::Caret() const {
    const auto main = static_cast<unsigned long>(Send(Sci::SCI_GETMAINSELECTION));
    return {Send(Sci::SCI_GETSELECTIONNCARET, main),
            Send(Sci::SCI_GETSELECTIONNCARETVIRTUALSPACE, main)};
}

// Typing into a block leaves a thin one: a caret on each of its rows.
bool SelectionGrowth::IsRectangle() const {
    return Send(Sci::SCI_SELECTIONISRECTANGLE) != 0 ||
           Send(Sci::SCI_GETSELECTIONMODE) == Sci::SC_SEL_THIN;
}

bool SelectionGrowth::IsEmptyRectangle() const {
    return IsRectangle() && Send(Sci::SCI_GETSELECTIONEMPTY) != 0;
}

// Whole lines selected here and not changed since, so more Shift+keys go on
// from the caret the keys moved rather than from the line bound.
bool SelectionGrowth::StillGrownLines() const {
    return grown.selectedAnchor >= 0 && !IsRectangle() && Send(Sci::SCI_GETSELECTIONS) == 1 &&
           Anchor().position == grown.selectedAnchor && Caret().position == grown.selectedCaret;
}

// An empty stream selection: Scintilla's plain mode, in which keys move the caret.
void SelectionGrowth::PlaceCaret(Spot caret) {
    Send(Sci::SCI_SETEMPTYSELECTION, static_cast<unsigned long>(caret.position));
    Send(Sci::SCI_SETSELECTIONNCARETVIRTUALSPACE, 0, caret.space);
    Send(Sci::SCI_SETSELECTIONNANCHORVIRTUALSPACE, 0, caret.space);
}

void SelectionGrowth::SelectBlock(Spot anchor, Spot caret) {
    Send(Sci::SCI_SETRECTANGULARSELECTIONANCHOR, static_cast<unsigned long>(anchor.position));
    Send(Sci::SCI_SETRECTANGULARSELECTIONANCHORVIRTUALSPACE,
         static_cast<unsigned long>(anchor.space));
    Send(Sci::SCI_SETRECTANGULARSELECTIONCARET, static_cast<unsigned long>(caret.position));
    Send(Sci::SCI_SETRECTANGULARSELECTIONCARETVIRTUALSPACE,
         static_cast<unsigned long>(caret.space));
}

// From the first to the last line touched, each with its line end; the
// selection's caret stays on the side the user's caret went.
void SelectionGrowth::SelectLinesOrCaret(Spot anchor, Spot caret) {
    grown = {};
    if (anchor == caret) {
        return;
    }
    const long anchorLine =
        Send(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(anchor.position));
    const long caretLine =
        Send(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(caret.position));
    long selectedAnchor = Send(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(anchorLine));
    long selectedCaret = NextLineStart(caretLine);
    if (caretLine < anchorLine) {
        selectedAnchor = NextLineStart(anchorLine);
        selectedCaret = Send(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(caretLine));
    }
    Send(Sci::SCI_SETSELECTION, static_cast<unsigned long>(selectedCaret), selectedAnchor);
    grown = {anchor, caret, selectedAnchor, selectedCaret};
}

long SelectionGrowth::NextLineStart(long line) const {
    if (line + 1 >= Send(Sci::SCI_GETLINECOUNT)) {
        return Send(Sci::SCI_GETLENGTH);
    }
    return Send(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line + 1));
}
