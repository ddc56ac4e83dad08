#include "editor/text/TabExpansion.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

struct TabCase {
    const char* name;
    std::string text;
    std::string expected;
};

class TabExpansion : public testing::TestWithParam<TabCase> {};

TEST_P(TabExpansion, GivesTheNextTabStop) {
    const tabs::Expanded result = tabs::ExpandTabs(GetParam().text, 8);
    EXPECT_TRUE(result.changed);
    EXPECT_EQ(result.text, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TabExpansion,
    testing::Values(
        TabCase{"TabAfterOneLetter", "a\tb", "a       b"},
        TabCase{"SevenCharactersThenTab", "abcdefg\tx", "abcdefg x"},
        TabCase{"EightCharactersThenTab", "abcdefgh\tx", "abcdefgh        x"},
        TabCase{"TwoTabs", "\t\t", std::string(16, ' ')},
        TabCase{"TabsAfterEarlierExpansions", "ab\tc\td\t", "ab      c       d       "},
        TabCase{"PolishLettersCountOnce", "\xC5\x82\xC3\xB3\tx", "\xC5\x82\xC3\xB3      x"},
        TabCase{"NulCountsAsCharacter", std::string("\0\tx", 3), std::string("\0       x", 9)},
        TabCase{"CrLfStartsLine", "abc\r\n\tx\r\n", "abc\r\n        x\r\n"},
        TabCase{"LfStartsLine", "abcdefghij\n\tx", "abcdefghij\n        x"},
        TabCase{"CrStartsLine", "abcde\r\tx", "abcde\r        x"},
        TabCase{"TabOnLaterLineOnly", "abc\rdef\n1234567890\t.", "abc\rdef\n1234567890      ."}),
    [](const testing::TestParamInfo<TabCase>& info) { return std::string(info.param.name); });

TEST(TabExpansionRules, TextWithoutTabIsLeftAlone) {
    const tabs::Expanded result = tabs::ExpandTabs("abc\r\ndef", 8, 4);
    EXPECT_FALSE(result.changed);
    EXPECT_TRUE(result.text.empty());
    EXPECT_EQ(result.position, 4u);
}

TEST(TabExpansionRules, PositionFollowsTheText) {
    //                          0123 4 5 6 7
    const std::string text = "a\tb\r\n\tc";
    EXPECT_EQ(tabs::ExpandTabs(text, 8, 0).position, 0u);
    EXPECT_EQ(tabs::ExpandTabs(text, 8, 1).position, 1u);  // on the tab: its first space
    EXPECT_EQ(tabs::ExpandTabs(text, 8, 2).position, 8u);  // the b
    EXPECT_EQ(tabs::ExpandTabs(text, 8, 6).position, 19u); // the c
    EXPECT_EQ(tabs::ExpandTabs(text, 8, 7).position, 20u); // end of text
}

TEST(TabExpansionRules, OtherTabWidths) {
    EXPECT_EQ(tabs::ExpandTabs("a\tb\t", 4).text, "a   b   ");
    EXPECT_EQ(tabs::ExpandTabs("a\tb", 1).text, "a b");
}

// The step-by-step rule: walk the line by 1-based position, re-reading the
// line, and replace its first tab by the spaces up to the next stop.
std::string ExpandLineStepByStep(std::string line, int tabWidth) {
    std::size_t length = line.size();
    std::size_t p = 0;
    while (p < length) {
        ++p;
        if (line[p - 1] == '\t') {
            const std::size_t n = tabWidth - ((p - 1) % tabWidth);
            line.replace(line.find('\t'), 1, std::string(n, ' '));
            length += n - 1;
        }
    }
    return line;
}

TEST(TabExpansionRules, SameAsStepByStepRuleOnRandomLines) {
    std::mt19937 random(1250);
    const std::string alphabet = "\t\t\tab c,.\n\r";
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i) {
            text.push_back(alphabet[random() % alphabet.size()]);
        }
        std::string expected;
        std::string line;
        for (const char c : text) {
            if (c == '\r' || c == '\n') {
                expected += ExpandLineStepByStep(line, 8) + c;
                line.clear();
            } else {
                line.push_back(c);
            }
        }
        expected += ExpandLineStepByStep(line, 8);
        const tabs::Expanded result = tabs::ExpandTabs(text, 8);
        EXPECT_EQ(result.changed ? result.text : text, expected) << "text: " << text;
    }
}

} // namespace
