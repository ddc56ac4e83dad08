#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tabs {

struct Expanded {
    bool changed = false; // false: no tab in the text, `text` left empty
    std::string text;
    std::size_t position = 0; // the given position, carried into `text`
};

// Replaces every tab by 1 to tabWidth spaces, so that the character after it
// stands at the next column that is a multiple of tabWidth. Columns count
// characters (not UTF-8 bytes) from the start of the line; CR and LF both end
// a line. `position` is a byte offset into `utf8`; a position on a tab maps to
// the first of its spaces.
Expanded ExpandTabs(std::string_view utf8, int tabWidth, std::size_t position = 0);

} // namespace tabs
