#include "editor/search/TextSearch.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using textsearch::SearchOptions;
using textsearch::Selection;
using textsearch::Span;

SearchOptions Options(bool matchCase, bool wholeWord, bool backwards = false) {
    SearchOptions options;
    options.matchCase = matchCase;
    options.wholeWord = wholeWord;
    options.backwards = backwards;
    return options;
}

Selection CaretAt(std::size_t caret) {
    Selection selection;
    selection.caret = caret;
    return selection;
}

// Byte offset of the n-th occurrence (from 0) of `what`, to keep expectations readable.
std::size_t Nth(std::string_view text, std::string_view what, int n = 0) {
    std::size_t pos = text.find(what);
    while (n-- > 0) {
        pos = text.find(what, pos + 1);
    }
    return pos;
}

std::optional<Span> Find(std::string_view text, std::string_view needle, SearchOptions options,
                         std::size_t caret = 0) {
    return textsearch::Search(text, needle, CaretAt(caret), options);
}

TEST(TextSearch, ForwardFindsFirstMatchStartingAtOrAfterCaret) {
    const std::string text = "ab xab\nab";
    EXPECT_EQ(Find(text, "ab", {}, 0), (Span{0, 2}));
    EXPECT_EQ(Find(text, "ab", {}, 1), (Span{4, 6})); // the match under the caret has begun
    EXPECT_EQ(Find(text, "ab", {}, 6), (Span{7, 9}));
    EXPECT_EQ(Find(text, "ab", {}, 8), std::nullopt);
}

TEST(TextSearch, BackwardFindsLastMatchEndingAtOrBeforeCaret) {
    const std::string text = "ab xab\nab";
    const SearchOptions up = Options(false, false, true);
    EXPECT_EQ(Find(text, "ab", up, text.size()), (Span{7, 9}));
    EXPECT_EQ(Find(text, "ab", up, 8), (Span{4, 6})); // the match under the caret runs past it
    EXPECT_EQ(Find(text, "ab", up, 4), (Span{0, 2}));
    EXPECT_EQ(Find(text, "ab", up, 1), std::nullopt);
}

TEST(TextSearch, EmptyTextFindsNothing) {
    for (const bool backwards : {false, true}) {
        for (const bool matchCase : {false, true}) {
            const SearchOptions options = Options(matchCase, false, backwards);
            EXPECT_EQ(Find("abc", "", options, backwards ? 3 : 0), std::nullopt);
        }
    }
}

TEST(TextSearch, NoMatchAcrossLineEnds) {
    for (const std::string eol : {"\n", "\r\n", "\r"}) {
        const std::string text = "xab" + eol + "cd";
        EXPECT_EQ(Find(text, "bc", {}), std::nullopt) << "eol size " << eol.size();
        EXPECT_EQ(Find(text, "b" + eol + "c", {}), std::nullopt);
        EXPECT_EQ(Find(text, "b" + eol + "c", Options(true, false)), std::nullopt);
        EXPECT_EQ(Find(text, "cd", Options(false, true)), (Span{3 + eol.size(), 5 + eol.size()}));
    }
}

struct CaseRow {
    const char* name;
    std::string needle;
    std::string text;
    bool foundIgnoringCase;
    bool foundMatchingCase;
};

void PrintTo(const CaseRow& row, std::ostream* out) {
    *out << row.name;
}

class CaseFolding : public testing::TestWithParam<CaseRow> {};

TEST_P(CaseFolding, LowerCasesByTheCodePage) {
    const CaseRow& row = GetParam();
    EXPECT_EQ(Find(row.text, row.needle, Options(false, false)).has_value(), row.foundIgnoringCase);
    EXPECT_EQ(Find(row.text, row.needle, Options(true, false)).has_value(), row.foundMatchingCase);
}

INSTANTIATE_TEST_SUITE_P(
    TextSearch, CaseFolding,
    testing::Values(CaseRow{"PolishCapitals", "ŁÓDŹ", "miasto łódź", true, false},
                    CaseRow{"AllPolishLetters", "ĄĆĘŁŃÓŚŹŻ", "x ąćęłńóśźż", true, false},
                    CaseRow{"SmallFindsCapital", "żółw", "ŻÓŁW", true, false},
                    CaseRow{"OtherCodePageLetters", "ŘÍŠŤ", "říšť", true, false},
                    CaseRow{"SameCase", "Łódź", "Łódź", true, true},
                    CaseRow{"AsciiMixed", "PuNkT", "punkt", true, false},
                    CaseRow{"DifferentLetter", "łodz", "łódź", false, false},
                    CaseRow{"OutsideCodePageUnfolded", "ЖУК", "жук", false, false}),
    [](const testing::TestParamInfo<CaseRow>& info) { return std::string(info.param.name); });

struct WordRow {
    const char* name;
    std::string text;
    int found; // byte offset of the whole-word match, -1 for none
};

void PrintTo(const WordRow& row, std::ostream* out) {
    *out << row.name;
}

class WholeWord : public testing::TestWithParam<WordRow> {};

TEST_P(WholeWord, NeighboursWithinTheLineAreNoWordCharacters) {
    const WordRow& row = GetParam();
    for (const bool backwards : {false, true}) {
        const auto match =
            Find(row.text, "ab", Options(false, true, backwards), backwards ? row.text.size() : 0);
        EXPECT_EQ(match ? int(match->begin) : -1, row.found) << (backwards ? "up" : "down");
    }
}

INSTANTIATE_TEST_SUITE_P(
    TextSearch, WholeWord,
    testing::Values(WordRow{"InsideWord", "abc", -1}, WordRow{"AfterUnderscore", "a_ab", -1},
                    WordRow{"AfterDigit", "7ab", -1}, WordRow{"BeforePolishLetter", "abł", -1},
                    WordRow{"AfterPolishCapital", "Żab", -1}, WordRow{"BeforeComma", "ab,", 0},
                    WordRow{"BeforeBlank", "x ab y", 2},
                    WordRow{"BeforeMultiplicationSign", "ab×2", 0},
                    WordRow{"AtLineStart", "xy\nab c", 3}, WordRow{"AtLineEndLf", "c ab\nxy", 2},
                    WordRow{"AtLineEndCrLf", "c ab\r\nxy", 2},
                    WordRow{"AtLineEndCr", "c ab\rxy", 2}, WordRow{"WholeText", "ab", 0},
                    WordRow{"CapitalsIgnoringCase", "(AB)", 1}),
    [](const testing::TestParamInfo<WordRow>& info) { return std::string(info.param.name); });

TEST(TextSearch, WholeWordSkipsPartsOfWordsToTheNextWholeOne) {
    const std::string text = "abc a_ab ab xab";
    EXPECT_EQ(Find(text, "ab", Options(false, true)), (Span{9, 11}));
    EXPECT_EQ(Find(text, "ab", Options(false, true, true), text.size()), (Span{9, 11}));
}

TEST(TextSearch, RepeatedSearchesWalkThroughMatchesBothWays) {
    const std::string text = "Ab ab\naB\r\nxx AB";
    std::vector<std::size_t> down;
    std::size_t caret = 0;
    while (auto match = Find(text, "ab", {}, caret)) {
        down.push_back(match->begin);
        caret = match->end;
    }
    EXPECT_EQ(down, (std::vector<std::size_t>{0, 3, 6, 13}));

    std::vector<std::size_t> up;
    caret = text.size();
    while (auto match = Find(text, "ab", Options(false, false, true), caret)) {
        up.push_back(match->begin);
        caret = match->begin;
    }
    EXPECT_EQ(up, (std::vector<std::size_t>{13, 6, 3, 0}));
}

TEST(TextSearch, OverlappingCandidatesPickTheFirstOrLastStart) {
    const std::string text = "aaaa";
    EXPECT_EQ(Find(text, "aa", {}, 1), (Span{1, 3}));
    EXPECT_EQ(Find(text, "aa", Options(false, false, true), 4), (Span{2, 4}));
}

Selection Selected(std::size_t begin, std::size_t end, SelectionMode mode = SelectionMode::Normal) {
    Selection selection;
    selection.caret = end;
    selection.mode = mode;
    selection.ranges = {{begin, end}};
    return selection;
}

SearchOptions InSelection(bool backwards = false) {
    SearchOptions options;
    options.selectedOnly = true;
    options.backwards = backwards;
    return options;
}

TEST(TextSearch, SelectedOnlyKeepsToTheSelection) {
    const std::string text = "ab ab ab ab";
    const Selection middle = Selected(2, 9); // " ab ab a"
    EXPECT_EQ(textsearch::Search(text, "ab", middle, InSelection()), (Span{3, 5}));
    EXPECT_EQ(textsearch::Search(text, "ab", middle, InSelection(true)), (Span{6, 8}));
    EXPECT_EQ(textsearch::Search(text, "ab", Selected(7, 10), InSelection()), std::nullopt);
}

TEST(TextSearch, SelectedOnlyWithoutSelectionSearchesFromTheCaret) {
    const std::string text = "ab ab";
    Selection none = CaretAt(1);
    none.ranges = {{1, 1}};
    EXPECT_EQ(textsearch::Search(text, "ab", none, InSelection()), (Span{3, 5}));
    EXPECT_EQ(textsearch::Search(text, "ab", none, InSelection(true)), std::nullopt);
}

TEST(TextSearch, SelectedOnlyNeighboursOutsideTheSelectionStillCount) {
    const std::string text = "xabc";
    SearchOptions options = InSelection();
    options.wholeWord = true;
    EXPECT_EQ(textsearch::Search(text, "ab", Selected(1, 3), options), std::nullopt);
}

TEST(TextSearch, WholeLinesSelectionTakesInItsLinesAndNoMore) {
    const std::string text = "ab 1\nx 2 ab\r\nab 3\nab 4";
    const std::size_t line2 = Nth(text, "x 2");
    const std::size_t line3 = Nth(text, "ab 3");
    // From inside line 2 to inside line 3: both lines whole.
    const Selection partial = Selected(line2 + 2, line3 + 1, SelectionMode::Lines);
    EXPECT_EQ(textsearch::Search(text, "ab", partial, InSelection()),
              (Span{Nth(text, "ab", 1), Nth(text, "ab", 1) + 2}));
    EXPECT_EQ(textsearch::Search(text, "ab", partial, InSelection(true)), (Span{line3, line3 + 2}));
    // Ending right behind line 2's line end: line 3 is not part of it.
    const Selection lineTwo = Selected(line2, line3, SelectionMode::Lines);
    EXPECT_EQ(textsearch::Search(text, "3", lineTwo, InSelection()), std::nullopt);
    EXPECT_EQ(textsearch::Search(text, "2", lineTwo, InSelection()), (Span{line2 + 2, line2 + 3}));
}

TEST(TextSearch, ColumnSelectionSearchesEachRowOnItsOwn) {
    // Column 2..5 of each row: "cdef", "klmn", "ab" ("ab" sits in row 3's columns).
    const std::string text = "abcdefgh\nijklmnab\nxxab\n";
    Selection block;
    block.mode = SelectionMode::Column;
    block.ranges = {{20, 22}, {11, 15}, {2, 6}}; // any order
    block.caret = 22;
    // Row 2's "ab" lies right of the block; row 1's "ab" left of it.
    EXPECT_EQ(textsearch::Search(text, "ab", block, InSelection()), (Span{20, 22}));
    EXPECT_EQ(textsearch::Search(text, "ab", block, InSelection(true)), (Span{20, 22}));
    EXPECT_EQ(textsearch::Search(text, "fk", block, InSelection()), std::nullopt);
    EXPECT_EQ(textsearch::Search(text, "LM", block, InSelection(true)), (Span{12, 14}));
    EXPECT_EQ(textsearch::Search(text, "na", block, InSelection()), std::nullopt); // runs out
}

TEST(TextSearch, ColumnSelectionBackwardsTakesTheLastRowFirst) {
    const std::string text = "a1a\na2a\na3a";
    Selection block;
    block.mode = SelectionMode::Column;
    block.ranges = {{0, 2}, {4, 6}, {8, 10}};
    EXPECT_EQ(textsearch::Search(text, "a", block, InSelection(true)), (Span{8, 9}));
    EXPECT_EQ(textsearch::Search(text, "a", block, InSelection()), (Span{0, 1}));
}

TEST(TextSearch, LongTextsAcrossScanBlocks) {
    // Matches around every 64 KiB block edge of the backward scan.
    std::string text(300000, 'x');
    for (const std::size_t at : {65534u, 131071u, 196608u, 262140u}) {
        text.replace(at, 4, "ŁÓ");
    }
    const SearchOptions up = Options(false, false, true);
    std::vector<std::size_t> found;
    std::size_t caret = text.size();
    while (auto match = Find(text, "łó", up, caret)) {
        found.push_back(match->begin);
        caret = match->begin;
    }
    EXPECT_EQ(found, (std::vector<std::size_t>{262140, 196608, 131071, 65534}));
    EXPECT_EQ(Find(text, "łó", {}, 65535), (Span{131071, 131075}));
    EXPECT_EQ(Find(text, "łó", up, 131074), (Span{65534, 65538}));
}

TEST(TextSearch, NeedlesLeadingWithBlanksAndDigits) {
    // The scan keys on a rarer character inside the needle; the match still has
    // to lie wholly in the scope, at its very edges too.
    const std::string text = " 0.0z  0.0Z 1";
    EXPECT_EQ(Find(text, " 0.0z", {}, 0), (Span{0, 5}));
    EXPECT_EQ(Find(text, " 0.0z", {}, 1), (Span{6, 11}));
    EXPECT_EQ(Find(text, " 0.0z", {}, 7), std::nullopt);
    EXPECT_EQ(Find(text, " 0.0z", Options(true, false), 1), std::nullopt);
    const SearchOptions up = Options(false, false, true);
    EXPECT_EQ(Find(text, " 0.0z", up, 11), (Span{6, 11}));
    EXPECT_EQ(Find(text, " 0.0z", up, 10), (Span{0, 5}));
    EXPECT_EQ(Find(text, " 0.0z", up, 4), std::nullopt);

    std::string longText(200000, ' ');
    longText.replace(65530, 9, "12 ab 3x ");
    EXPECT_EQ(Find(longText, "12 AB 3X", up, longText.size()), (Span{65530, 65538}));
    EXPECT_EQ(Find(longText, "12 ab 3x", Options(true, false, true), 65538), (Span{65530, 65538}));
    EXPECT_EQ(Find(longText, "12 ab 3x", up, 65537), std::nullopt);
    EXPECT_EQ(Find(longText, "12 ab 3x", {}, 65530), (Span{65530, 65538}));
}

TEST(TextSearch, LeadByteOfOneCaseFarBehindTheOther) {
    // Case-insensitive scans look for both cases of the first letter.
    std::string text(100000, 'a');
    text += "Ab";
    EXPECT_EQ(Find(text, "ab", {}), (Span{100000, 100002}));
    EXPECT_EQ(Find(text, "AB", {}), (Span{100000, 100002}));
    EXPECT_EQ(Find(text, "ab", Options(true, false)), std::nullopt);
}

TEST(TextSearch, NulAndInvalidBytesAreOrdinaryCharacters) {
    const std::string text = std::string("a\0b \xff\xc5 ab", 9);
    EXPECT_EQ(Find(text, std::string("\0b", 2), {}), (Span{1, 3}));
    EXPECT_EQ(Find(text, "ab", Options(false, true)), (Span{7, 9}));
    EXPECT_EQ(Find(text, "ab", Options(false, true, true), text.size()), (Span{7, 9}));
}

TEST(TextSearch, CaretBeyondTheTextIsTakenAsItsEnd) {
    EXPECT_EQ(Find("ab", "ab", Options(false, false, true), 99), (Span{0, 2}));
    EXPECT_EQ(Find("ab", "ab", {}, 99), std::nullopt);
}

} // namespace
