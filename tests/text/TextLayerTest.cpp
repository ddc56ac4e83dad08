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
};

class EolDetection : public testing::TestWithParam<EolCase> {};

TEST_P(EolDetection, FindsStyleAndFinalLineEnd) {
    const EolCase& c = GetParam();
    const textlayer::DecodedText decoded = textlayer::FromBytes(c.bytes);
    EXPECT_EQ(decoded.eol, c.eol);
    EXPECT_EQ(decoded.hadFinalLineEnd, c.finalLineEnd);
}

INSTANTIATE_TEST_SUITE_P(
    Files, EolDetection,
    testing::Values(EolCase{"Empty", "", EolStyle::CrLf, false},
                    EolCase{"NoLineEnd", "abc", EolStyle::CrLf, false},
                    EolCase{"LfOnly", "a\nb\n", EolStyle::Lf, true},
                    EolCase{"LfNoFinal", "a\nb", EolStyle::Lf, false},
                    EolCase{"CrOnly", "a\rb\r", EolStyle::Cr, true},
                    EolCase{"CrLfOnly", "a\r\nb\r\n", EolStyle::CrLf, true},
                    EolCase{"CrLfNoFinal", "a\r\nb", EolStyle::CrLf, false},
                    EolCase{"LfThenCrLf", "a\nb\r\nc", EolStyle::CrLf, false},
                    EolCase{"CrThenLf", "a\rb\nc\n", EolStyle::CrLf, true},
                    EolCase{"LfCrIsTwoEnds", "a\n\rb", EolStyle::CrLf, false},
                    EolCase{"CrLfThenCr", "a\r\nb\r", EolStyle::CrLf, true},
                    EolCase{"OnlyFinalCr", std::string("x\0y\r", 4), EolStyle::Cr, true}),
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
