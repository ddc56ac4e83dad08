#include "editor/text/TextLayer.h"
#include "common/Cp1250.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using textlayer::EolStyle;

namespace {

std::string AllBytes() {
    std::string s;
    for (int b = 0; b < 256; ++b) {
        s.push_back(static_cast<char>(b));
    }
    return s;
}

struct EolCase {
    const char* name;
    std::string bytes;
    EolStyle eol;
    bool finalLineEnd;
    std::size_t longestLine;
};

class EolDetection : public testing::TestWithParam<EolCase> {};

TEST_P(EolDetection, FindsStyleFinalLineEndAndLongestLine) {
    const EolCase& c = GetParam();
    const textlayer::DecodedText decoded = textlayer::FromBytes(c.bytes);
    EXPECT_EQ(decoded.eol, c.eol);
    EXPECT_EQ(decoded.hadFinalLineEnd, c.finalLineEnd);
    EXPECT_EQ(decoded.longestLine, c.longestLine);
}

INSTANTIATE_TEST_SUITE_P(
    Files, EolDetection,
    testing::Values(EolCase{"Empty", "", EolStyle::CrLf, false, 0},
                    EolCase{"NoLineEnd", "abc", EolStyle::CrLf, false, 3},
                    EolCase{"LfOnly", "a\nb\n", EolStyle::Lf, true, 1},
                    EolCase{"LfNoFinal", "a\nbc", EolStyle::Lf, false, 2},
                    EolCase{"CrOnly", "a\rbcd\r", EolStyle::Cr, true, 3},
                    EolCase{"CrLfOnly", "ab\r\nb\r\n", EolStyle::CrLf, true, 2},
                    EolCase{"CrLfNoFinal", "a\r\nb", EolStyle::CrLf, false, 1},
                    EolCase{"LfThenCrLf", "a\nb\r\nc", EolStyle::CrLf, false, 1},
                    EolCase{"CrThenLf", "a\rb\nc\n", EolStyle::CrLf, true, 1},
                    EolCase{"LfCrIsTwoEnds", "a\n\r\xB3\xF3", EolStyle::CrLf, false, 2},
                    EolCase{"CrLfThenCr", "a\r\nb\r", EolStyle::CrLf, true, 1},
                    EolCase{"OnlyFinalCr", std::string("x\0y\r", 4), EolStyle::Cr, true, 3}),
    [](const testing::TestParamInfo<EolCase>& info) { return std::string(info.param.name); });

TEST(TextLayer, DecodesLikeTheCodec) {
    const std::string bytes = AllBytes() + "Zażółć gęślą jaźń";
    EXPECT_EQ(textlayer::FromBytes(bytes).text, cp1250::Decode(bytes));
}

TEST(TextLayer, DecodesRandomBytesLikeTheCodec) {
    std::mt19937 random(1250);
    for (int round = 0; round < 500; ++round) {
        std::string bytes(random() % 64, '\0');
        for (char& c : bytes) {
            // Mostly ASCII with runs of high bytes, as in real files.
            c = static_cast<char>(random() % 4 == 0 ? 0x80 + random() % 128 : random() % 128);
        }
        EXPECT_EQ(textlayer::FromBytes(bytes).text, cp1250::Decode(bytes));
    }
}

TEST(TextLayer, PolishLettersBecomeUtf8) {
    // "łŁ" in Windows-1250 is B3 A3.
    EXPECT_EQ(textlayer::FromBytes("\xB3\xA3").text, "\xC5\x82\xC5\x81");
}

TEST(TextLayer, UnencodableCharactersBecomeQuestionMarks) {
    // U+4E2D and U+1F600 are not in the code page, U+20AC and U+0142 are.
    const textlayer::EncodedText encoded =
        textlayer::ToBytes("a\xE4\xB8\xAD\xE2\x82\xAC\xC5\x82\xF0\x9F\x98\x80z");
    EXPECT_EQ(encoded.bytes, "a?\x80\xB3?z");
    EXPECT_EQ(encoded.unencodable, 2u);
}

TEST(TextLayer, EolChars) {
    EXPECT_STREQ(textlayer::EolChars(EolStyle::CrLf), "\r\n");
    EXPECT_STREQ(textlayer::EolChars(EolStyle::Lf), "\n");
    EXPECT_STREQ(textlayer::EolChars(EolStyle::Cr), "\r");
}

} // namespace
