#pragma once

#include "editor/search/TextSearch.h"

#include <string_view>

class QsciScintilla;

// The text control's search on a QScintilla editor: caret and selection read
// from the control, the document read in place, a match selected and scrolled
// into view. The control's selection mode, and whether keys extend the
// selection, are left as they were.
namespace editorsearch {

// The document in place; valid until the next change of the text.
std::string_view DocumentText(QsciScintilla& editor);
textsearch::Selection ReadSelection(QsciScintilla& editor);

// Selects the match and returns true, or changes nothing and returns false.
bool Search(QsciScintilla& editor, std::string_view text, const textsearch::SearchOptions& options);

// Line 1, column 1.
bool CaretAtStart(QsciScintilla& editor);
// On the last line, at or beyond its end.
bool CaretAtEnd(QsciScintilla& editor);
// Puts the caret at a byte position, removing the selection.
void MoveCaretTo(QsciScintilla& editor, long position);

} // namespace editorsearch
