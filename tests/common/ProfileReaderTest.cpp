#include "common/ProfileReader.h"
#include "common/UPlikIni.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

struct ProfileCase {
    const char* name;
    const char* text;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

void PrintTo(const ProfileCase& c, std::ostream* os) {
    *os << c.name;
}

class ProfileRules : public testing::TestWithParam<ProfileCase> {};

TEST_P(ProfileRules, ReadsTheValue) {
    const ProfileCase& c = GetParam();
    EXPECT_EQ(ReadProfileString(c.text, c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ProfileRules,
    testing::Values(
        ProfileCase{"Plain", "[General]\r\nPath=C:\\Kavero\\Dane\r\n", "General", "Path",
                    "C:\\Kavero\\Dane"},
        ProfileCase{"KeyInOtherCase", "[General]\nPATH=x\n", "General", "Path", "x"},
        ProfileCase{"SectionInOtherCase", "[general]\nPath=x\n", "GENERAL", "path", "x"},
        ProfileCase{"BlanksAroundRemoved", "[General]\n  Path \t=  a b  \n", "General", "Path",
                    "a b"},
        ProfileCase{"DoubleQuotesRemoved", "[General]\nPath = \" a \"\n", "General", "Path", " a "},
        ProfileCase{"SingleQuotesRemoved", "[General]\nPath='x'\n", "General", "Path", "x"},
        ProfileCase{"OnlyOnePairRemoved", "[General]\nPath=\"\"x\"\"\n", "General", "Path",
                    "\"x\""},
        ProfileCase{"UnmatchedQuoteKept", "[General]\nPath=\"x\n", "General", "Path", "\"x"},
        ProfileCase{"BackslashesLiteral", "[General]\nPath=\\\\srv\\n\\t\n", "General", "Path",
                    "\\\\srv\\n\\t"},
        ProfileCase{"EqualsInValue", "[General]\nPath=a=b\n", "General", "Path", "a=b"},
        ProfileCase{"FirstKeyWins", "[General]\nPath=1\nPath=2\n", "General", "Path", "1"},
        ProfileCase{"FirstSectionWins", "[General]\nObiekty=1\n[General]\nPath=2\n", "General",
                    "Path", std::nullopt},
        ProfileCase{"OtherSectionIgnored", "[User]\nPath=x\n[General]\nObiekty=y\n", "General",
                    "Path", std::nullopt},
        ProfileCase{"KeyBeforeAnySection", "Path=x\n[General]\n", "General", "Path", std::nullopt},
        ProfileCase{"CommentSkipped", "[General]\n;Path=x\nPath=y\n", "General", "Path", "y"},
        ProfileCase{"EmptyValue", "[General]\nPath=\n", "General", "Path", ""},
        ProfileCase{"MissingKey", "[General]\nObiekty=1\n", "General", "Path", std::nullopt},
        ProfileCase{"NoLineEndAtEnd", "[General]\nPath=x", "General", "Path", "x"},
        ProfileCase{"PolishKeyCase", "[Ogólne]\nŚcieżka=x\n", "OGÓLNE", "ścieżka", "x"}));

TEST(DecodeIniBytes, Utf8WhenMarkedOrValidBeyondAsciiElseWindows1250) {
    EXPECT_EQ(DecodeIniBytes("Path=/w/praca"), "Path=/w/praca");
    EXPECT_EQ(DecodeIniBytes("\xEF\xBB\xBF\xC5\x81\xC3\xB3\x64\xC5\xBA"), "Łódź");
    EXPECT_EQ(DecodeIniBytes("/w/\xC5\x81\xC3\xB3\x64\xC5\xBA"), "/w/Łódź");
    // Windows-1250: every Polish letter, and the shapes UTF-8 forbids.
    EXPECT_EQ(DecodeIniBytes("\xa3\xf3\x64\x9f"), "Łódź");
    EXPECT_EQ(
        DecodeIniBytes("\xb9\xe6\xea\xb3\xf1\xf3\x9c\x9f\xbf \xa5\xc6\xca\xa3\xd1\xd3\x8c\x8f\xaf"),
        "ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ");
    EXPECT_EQ(DecodeIniBytes("\xc0\xaf"), "ŔŻ");                 // an overlong "/"
    EXPECT_EQ(DecodeIniBytes("\xed\xa0\x80"), "í\u00a0€");       // a surrogate
    EXPECT_EQ(DecodeIniBytes("/w/\xc5\x81\xa3"), "/w/Ĺ\u0081Ł"); // valid, then not
    // Valid both ways: read as UTF-8 ("Ăł" in Windows-1250).
    EXPECT_EQ(DecodeIniBytes("\xC3\xB3"), "ó");
}

TEST(ParseInt32, DecimalTextOnly) {
    EXPECT_EQ(ParseInt32("42"), 42);
    EXPECT_EQ(ParseInt32("-7"), -7);
    EXPECT_EQ(ParseInt32("+7"), 7);
    EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
    EXPECT_EQ(ParseInt32("2147483648"), std::nullopt);
    EXPECT_EQ(ParseInt32(""), std::nullopt);
    EXPECT_EQ(ParseInt32("12a"), std::nullopt);
    EXPECT_EQ(ParseInt32("abc"), std::nullopt);
    EXPECT_EQ(ParseInt32("+-1"), std::nullopt);
}

TEST(TPlikIni, ReadsTheFourValues) {
    TempDir dir;
    const std::string ini = dir.Write("kavero.ini", "[General]\r\nObiekty=obiekty.dat\r\n"
                                                    "Path=C:\\Kavero\\Robocze\r\n"
                                                    "Programy=C:\\Kavero\r\n"
                                                    "[User]\r\nLastIndex=3\r\n");
    const TPlikIni settings(ini);
    EXPECT_EQ(settings.Obiekty, "obiekty.dat");
    EXPECT_EQ(settings.Path, "C:\\Kavero\\Robocze");
    EXPECT_EQ(settings.Programy, "C:\\Kavero");
    EXPECT_EQ(settings.LastIndex, 3);
}

TEST(TPlikIni, MissingFileGivesEmptyValues) {
    TempDir dir;
    const TPlikIni settings(dir.File("kavero.ini"));
    EXPECT_EQ(settings.Obiekty, "");
    EXPECT_EQ(settings.Path, "");
    EXPECT_EQ(settings.Programy, "");
    EXPECT_EQ(settings.LastIndex, 0);
}

TEST(TPlikIni, BadLastIndexKeepsTheOtherValues) {
    TempDir dir;
    const std::string ini = dir.Write(
        "kavero.ini", "[general]\nPATH=/praca\nObiekty=o\nProgramy=p\n[User]\nLastIndex=x1\n");
    const TPlikIni settings(ini);
    EXPECT_EQ(settings.Path, "/praca");
    EXPECT_EQ(settings.Obiekty, "o");
    EXPECT_EQ(settings.Programy, "p");
    EXPECT_EQ(settings.LastIndex, 0);
}

TEST(TPlikIni, PolishPathDecodedFromWindows1250) {
    TempDir dir;
    const std::string ini = dir.Write("kavero.ini", "[General]\nPath=/dane/\xa3\xb9ka\n");
    EXPECT_EQ(TPlikIni(ini).Path, "/dane/Łąka");
}

TEST(TPlikIni, UnusableWorkingFolders) {
    TempDir dir;
    const auto problem = [&](std::string_view path) {
        const std::string ini = dir.Write("kavero.ini", "[General]\nPath=" + std::string(path));
        return WorkingFolderProblem(TPlikIni(ini));
    };
    EXPECT_EQ(problem("/dane/\xa3\xb9ka"), std::nullopt);
    EXPECT_NE(problem("")->find("brak klucza Path"), std::string::npos);
    EXPECT_NE(problem(std::string("/dane\0/inne", 12))->find("(kod 0)"), std::string::npos);
    EXPECT_NE(problem("/dane\t/inne")->find("(kod 9)"), std::string::npos);
    EXPECT_NE(problem("/dane\x81")->find("(kod 129)"), std::string::npos);
}

} // namespace
