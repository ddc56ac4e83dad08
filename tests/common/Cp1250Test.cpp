#include "common/Cp1250.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1250, AllBytesRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(char(b));
    }
    const std::string utf8 = cp1250::Decode(all);
    const cp1250::Encoded back = cp1250::Encode(utf8);
    EXPECT_EQ(back.bytes, all);
    EXPECT_EQ(back.unencodable, 0u);
}

TEST(Cp1250, PolishLetters) {
    EXPECT_EQ(
        cp1250::Decode("\xa5\xc6\xca\xa3\xd1\xd3\x8c\x8f\xaf\xb9\xe6\xea\xb3\xf1\xf3\x9c\x9f\xbf"),
        "ĄĆĘŁŃÓŚŹŻąćęłńóśźż");
    EXPECT_EQ(cp1250::Encode("zażółć gęślą jaźń").bytes,
              "za\xbf\xf3\xb3\xe6 g\xea\x9cl\xb9 ja\x9f\xf1");
}

TEST(Cp1250, UndefinedBytesMapToC1Controls) {
    for (unsigned char b : {0x81, 0x83, 0x88, 0x90, 0x98}) {
        EXPECT_EQ(cp1250::ToUnicode(b), char32_t(b));
        EXPECT_EQ(cp1250::FromUnicode(char32_t(b)), b);
    }
}

TEST(Cp1250, UnencodableBecomesReplacementAndIsCounted) {
    const cp1250::Encoded e = cp1250::Encode("a\xe2\x82\xac"
                                             "b\xe4\xb8\xad\xf0\x9f\x98\x80");
    EXPECT_EQ(e.bytes, "a\x80"
                       "b??"); // euro sign is in the code page, the others are not
    EXPECT_EQ(e.unencodable, 2u);
}

TEST(Cp1250, InvalidUtf8BytesAreReplacedOneByOne) {
    const cp1250::Encoded e = cp1250::Encode("a\xff\xc3");
    EXPECT_EQ(e.bytes, "a??");
    EXPECT_EQ(e.unencodable, 2u);
}

TEST(Cp1250, LowerCaseAndWordClasses) {
    EXPECT_EQ(cp1250::ToLower(U'Ł'), U'ł');
    EXPECT_EQ(cp1250::ToLower(U'Ó'), U'ó');
    EXPECT_EQ(cp1250::ToLower(U'Ź'), U'ź');
    EXPECT_EQ(cp1250::ToLower(U'Ś'), U'ś');
    EXPECT_EQ(cp1250::ToLower(U'A'), U'a');
    EXPECT_EQ(cp1250::ToLower(U'×'), U'×');
    EXPECT_EQ(cp1250::ToLower(U'Ж'), U'Ж'); // outside the code page: unchanged
    EXPECT_TRUE(cp1250::IsWordChar(U'ż'));
    EXPECT_TRUE(cp1250::IsWordChar(U'_'));
    EXPECT_TRUE(cp1250::IsWordChar(U'7'));
    EXPECT_FALSE(cp1250::IsWordChar(U','));
    EXPECT_FALSE(cp1250::IsWordChar(U' '));
    EXPECT_FALSE(cp1250::IsWordChar(U'÷'));
}

} // namespace
