#pragma once

#include <cstddef>
#include <vector>

// The pure part of printing: the division of lines into printed rows and pages. Lengths are in
// characters (code points); the font is treated as a grid of equal cells, which the engine
// measures.
namespace print_layout {

// One printed row: `length` characters of bound line `line` from `start`.
struct PrintedRow {
    std::size_t line = 0;
    std::size_t start = 0;
    std::size_t length = 0;

    bool operator==(const PrintedRow&) const = default;
};

// Lines longer than charsPerLine continue on the next row, broken between
// characters; an empty line still takes a row. A text without lines gives
// one blank page, so there is always a page 1 to print.
class PageLayout {
public:
    PageLayout() = default;
    PageLayout(std::vector<std::size_t> lineLengths, std::size_t charsPerLine,
               std::size_t linesPerPage);

    int PageCount() const { return static_cast<int>(pageStarts_.size()); }
    // Rows of page `page` (1-based); empty for a page outside 1..PageCount().
    std::vector<PrintedRow> Page(int page) const;

private:
    struct RowPosition {
        std::size_t line = 0;
        std::size_t row = 0; // row within the line
    };

    std::size_t RowsOfLine(std::size_t line) const;

    std::vector<std::size_t> lineLengths_;
    std::size_t charsPerLine_ = 1;
    std::size_t linesPerPage_ = 1;
    std::vector<RowPosition> pageStarts_{RowPosition{}};
};

} // namespace print_layout
