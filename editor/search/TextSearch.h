#pragma once

#include "editor/text/SelectionMode.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The editor's plain-text search: Windows-1250 lower-casing and word characters,
// first match forwards or last match backwards, never across a line end.
// The text is the control's whole UTF-8 document (lines end in CR LF, LF or CR),
// read in place: a search copies nothing of it.
namespace textsearch {

struct SearchOptions {
    bool matchCase = false;
    bool wholeWord = false;
    bool selectedOnly = false;
    bool backwards = false;
};

// Byte offsets into the text, end exclusive.
struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;

    bool operator==(const Span&) const = default;
};

// The control's caret and selection as byte offsets into the text.
struct Selection {
    std::size_t caret = 0;
    SelectionMode mode = SelectionMode::Normal;
    // One range, or one per row of a column block.
    std::vector<Span> ranges;

    bool HasSelection() const;
};

// The parts of the text a search looks through, in text order: the selection when
// only the selection is wanted and there is one, else from the caret to the end,
// or backwards from the start up to the caret.
std::vector<Span> SearchScope(std::string_view text, const Selection& selection,
                              const SearchOptions& options);

// A search text prepared once for many scans.
class Pattern {
public:
    Pattern(std::string_view needle, bool matchCase, bool wholeWord);

    // The match starting first (FindFirst) or last (FindLast) that lies wholly
    // inside `within`; whole-word neighbours are read from the text around it.
    std::optional<Span> FindFirst(std::string_view text, Span within) const;
    std::optional<Span> FindLast(std::string_view text, Span within) const;

private:
    // Whether the needle stands at `pos`; the caller keeps pos + length inside the text.
    bool MatchesAt(std::string_view text, std::size_t pos) const;
    bool IsWholeWord(std::string_view text, Span match) const;
    std::optional<Span> FindFirstStart(std::string_view text, Span starts) const;

    bool usable = false;
    bool matchCase = false;
    bool wholeWord = false;
    std::string bytes;        // the needle, for match case
    std::u32string lowered;   // lower-cased code points, without match case
    std::size_t length = 0;   // bytes of every match
    std::size_t anchorAt = 0; // byte offset in a match of the character scanned for
    std::string anchorLeads;  // the bytes that character can begin with
};

// The control's search: the match selected next, or none.
std::optional<Span> Search(std::string_view text, std::string_view needle,
                           const Selection& selection, const SearchOptions& options);

} // namespace textsearch
