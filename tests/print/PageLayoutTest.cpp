#include "editor/print/PageLayout.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using print_layout::PageLayout;
using print_layout::PrintedRow;

struct CountCase {
    const char* name;
    std::vector<std::size_t> lengths;
    std::size_t charsPerLine;
    std::size_t linesPerPage;
    int pages;
};

void PrintTo(const CountCase& c, std::ostream* out) {
    *out << c.name;
}

class PageCount : public testing::TestWithParam<CountCase> {};

TEST_P(PageCount, CountsRowsOfWrappedLines) {
    const CountCase& c = GetParam();
    EXPECT_EQ(PageLayout(c.lengths, c.charsPerLine, c.linesPerPage).PageCount(), c.pages);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PageCount,
    testing::Values(CountCase{"NoLinesGivesOneBlankPage", {}, 80, 60, 1},
                    CountCase{"OneEmptyLine", {0}, 80, 60, 1},
                    CountCase{"ExactlyOnePage", std::vector<std::size_t>(60, 10), 80, 60, 1},
                    CountCase{"OneRowOver", std::vector<std::size_t>(61, 10), 80, 60, 2},
                    CountCase{"EmptyLinesTakeRows", std::vector<std::size_t>(121, 0), 80, 60, 3},
                    CountCase{"LineOfExactWidthTakesOneRow", {80, 80, 80}, 80, 3, 1},
                    CountCase{"OneCharacterOverWraps", {81, 80}, 80, 2, 2},
                    CountCase{"LongLineSpansPages", {80 * 7}, 80, 3, 3},
                    CountCase{"ZeroWidthTreatedAsOne", {5}, 0, 2, 3},
                    CountCase{"ZeroHeightTreatedAsOne", {1, 1, 1}, 10, 0, 3}),
    [](const testing::TestParamInfo<CountCase>& info) { return std::string(info.param.name); });

// Every character of every line is printed once, in order, page after page.
std::vector<PrintedRow> AllRows(const PageLayout& layout) {
    std::vector<PrintedRow> rows;
    for (int page = 1; page <= layout.PageCount(); ++page) {
        const auto pageRows = layout.Page(page);
        rows.insert(rows.end(), pageRows.begin(), pageRows.end());
    }
    return rows;
}

TEST(PageRows, CoverEveryCharacterOnceInOrder) {
    const std::vector<std::size_t> lengths{0, 7, 25, 10, 0, 31, 3};
    const PageLayout layout(lengths, 10, 4);
    std::vector<std::size_t> printed(lengths.size(), 0);
    std::size_t previousLine = 0;
    for (const PrintedRow& row : AllRows(layout)) {
        ASSERT_LT(row.line, lengths.size());
        EXPECT_GE(row.line, previousLine);
        EXPECT_LE(row.length, 10u);
        EXPECT_EQ(row.start, printed[row.line]) << "line " << row.line;
        printed[row.line] += row.length;
        previousLine = row.line;
    }
    EXPECT_EQ(printed, lengths);
}

TEST(PageRows, FillEveryPageButTheLast) {
    const PageLayout layout({0, 7, 25, 10, 0, 31, 3, 1}, 10, 4);
    ASSERT_EQ(layout.PageCount(), 4); // 1 + 1 + 3 + 1 + 1 + 4 + 1 + 1 = 13 rows
    for (int page = 1; page < layout.PageCount(); ++page) {
        EXPECT_EQ(layout.Page(page).size(), 4u) << "page " << page;
    }
    EXPECT_EQ(layout.Page(4), (std::vector<PrintedRow>{{7, 0, 1}}));
}

TEST(PageRows, WrappedLineContinuesOnNextPage) {
    const PageLayout layout({5, 25}, 10, 2);
    EXPECT_EQ(layout.Page(1), (std::vector<PrintedRow>{{0, 0, 5}, {1, 0, 10}}));
    EXPECT_EQ(layout.Page(2), (std::vector<PrintedRow>{{1, 10, 10}, {1, 20, 5}}));
}

TEST(PageRows, PagesOutsideTheTextAreEmpty) {
    const PageLayout layout({5, 5, 5}, 10, 2);
    EXPECT_TRUE(layout.Page(0).empty());
    EXPECT_TRUE(layout.Page(3).empty());
    EXPECT_TRUE(layout.Page(-1).empty());
    EXPECT_TRUE(PageLayout().Page(1).empty());
    EXPECT_EQ(PageLayout().PageCount(), 1);
}

} // namespace
