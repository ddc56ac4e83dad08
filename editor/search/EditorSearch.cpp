#include "editor/search/EditorSearch.h"

#include <Qsci/qsciscintilla.h>

namespace editorsearch {
namespace {

using Sci = QsciScintillaBase;

bool IsColumnMode(long mode) {
    return mode == Sci::SC_SEL_RECTANGLE || mode == Sci::SC_SEL_THIN;
}

// Selecting through the API resets the control to stream mode; this puts the
// mode back afterwards without letting it widen the new selection to whole lines.
class SelectionModeKeeper {
public:
    explicit SelectionModeKeeper(QsciScintilla& editor)
        : editor(editor), mode(editor.SendScintilla(Sci::SCI_GETSELECTIONMODE)),
          extends(editor.SendScintilla(Sci::SCI_GETMOVEEXTENDSSELECTION)) {}

    void Restore(long anchor, long caret) {
        editor.SendScintilla(Sci::SCI_SETSELECTIONMODE, mode);
        // Setting the mode again toggles whether keys extend the selection.
        if (editor.SendScintilla(Sci::SCI_GETMOVEEXTENDSSELECTION) != extends) {
            editor.SendScintilla(Sci::SCI_SETSELECTIONMODE, mode);
        }
        if (IsColumnMode(mode)) {
            editor.SendScintilla(Sci::SCI_SETRECTANGULARSELECTIONANCHOR, anchor);
            editor.SendScintilla(Sci::SCI_SETRECTANGULARSELECTIONCARET, caret);
        } else {
            editor.SendScintilla(Sci::SCI_SETSELECTION, caret, anchor);
        }
    }

private:
    QsciScintilla& editor;
    long mode;
    long extends;
};

SelectionMode ModeOf(long mode) {
    if (IsColumnMode(mode)) {
        return SelectionMode::Column;
    }
    return mode == Sci::SC_SEL_LINES ? SelectionMode::Lines : SelectionMode::Normal;
}

std::size_t Position(long position) {
    return position < 0 ? 0 : std::size_t(position);
}

} // namespace

std::string_view DocumentText(QsciScintilla& editor) {
    const long length = editor.SendScintilla(Sci::SCI_GETLENGTH);
    if (length <= 0) {
        return {};
    }
    const auto* data =
        static_cast<const char*>(editor.SendScintillaPtrResult(Sci::SCI_GETCHARACTERPOINTER));
    return {data, std::size_t(length)};
}

textsearch::Selection ReadSelection(QsciScintilla& editor) {
    textsearch::Selection selection;
    selection.caret = Position(editor.SendScintilla(Sci::SCI_GETCURRENTPOS));
    selection.mode = ModeOf(editor.SendScintilla(Sci::SCI_GETSELECTIONMODE));
    if (editor.SendScintilla(Sci::SCI_GETSELECTIONEMPTY) != 0) {
        return selection;
    }
    const long rows = editor.SendScintilla(Sci::SCI_GETSELECTIONS);
    for (long row = 0; row < rows; ++row) {
        selection.ranges.push_back(
            {Position(editor.SendScintilla(Sci::SCI_GETSELECTIONNSTART, row)),
             Position(editor.SendScintilla(Sci::SCI_GETSELECTIONNEND, row))});
    }
    return selection;
}

bool Search(QsciScintilla& editor, std::string_view text,
            const textsearch::SearchOptions& options) {
    const auto match =
        textsearch::Search(DocumentText(editor), text, ReadSelection(editor), options);
    if (!match) {
        return false;
    }
    const long anchor = long(options.backwards ? match->end : match->begin);
    const long caret = long(options.backwards ? match->begin : match->end);
    SelectionModeKeeper keeper(editor);
    editor.SendScintilla(Sci::SCI_SETSEL, anchor, caret);
    keeper.Restore(anchor, caret);
    editor.SendScintilla(Sci::SCI_SCROLLRANGE, anchor, caret);
    return true;
}

bool CaretAtStart(QsciScintilla& editor) {
    const long main = editor.SendScintilla(Sci::SCI_GETMAINSELECTION);
    return editor.SendScintilla(Sci::SCI_GETCURRENTPOS) == 0 &&
           editor.SendScintilla(Sci::SCI_GETSELECTIONNCARETVIRTUALSPACE, main) == 0;
}

bool CaretAtEnd(QsciScintilla& editor) {
    return editor.SendScintilla(Sci::SCI_GETCURRENTPOS) == editor.SendScintilla(Sci::SCI_GETLENGTH);
}

void MoveCaretTo(QsciScintilla& editor, long position) {
    SelectionModeKeeper keeper(editor);
    editor.SendScintilla(Sci::SCI_GOTOPOS, position);
    keeper.Restore(position, position);
}

} // namespace editorsearch
