#include "editor/print/PageLayout.h"

#include <algorithm>
#include <utility>

namespace print_layout {

PageLayout::PageLayout(std::vector<std::size_t> lineLengths, std::size_t charsPerLine,
                       std::size_t linesPerPage)
    : lineLengths_(std::move(lineLengths)), charsPerLine_(std::max<std::size_t>(charsPerLine, 1)),
      linesPerPage_(std::max<std::size_t>(linesPerPage, 1)) {
    std::size_t rowsLeft = linesPerPage_;
    for (std::size_t line = 0; line < lineLengths_.size(); ++line) {
        const std::size_t rows = RowsOfLine(line);
        for (std::size_t row = 0; row < rows;) {
            if (rowsLeft == 0) {
                pageStarts_.push_back({line, row});
                rowsLeft = linesPerPage_;
            }
            // Skip through the rows that fit on this page in one step.
            const std::size_t taken = std::min(rows - row, rowsLeft);
            row += taken;
            rowsLeft -= taken;
        }
    }
}

std::size_t PageLayout::RowsOfLine(std::size_t line) const {
    const std::size_t length = lineLengths_[line];
    return length == 0 ? 1 : (length + charsPerLine_ - 1) / charsPerLine_;
}

std::vector<PrintedRow> PageLayout::Page(int page) const {
    std::vector<PrintedRow> rows;
    if (page < 1 || page > PageCount() || lineLengths_.empty()) {
        return rows;
    }
    RowPosition at = pageStarts_[static_cast<std::size_t>(page - 1)];
    while (rows.size() < linesPerPage_ && at.line < lineLengths_.size()) {
        const std::size_t start = at.row * charsPerLine_;
        const std::size_t length = std::min(charsPerLine_, lineLengths_[at.line] - start);
        rows.push_back({at.line, start, length});
        if (++at.row == RowsOfLine(at.line)) {
            at = {at.line + 1, 0};
        }
    }
    return rows;
}

} // namespace print_layout
