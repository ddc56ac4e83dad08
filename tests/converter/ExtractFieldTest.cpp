#include "converter/URejestratorKMX685.h"

#include <gtest/gtest.h>

namespace {

struct FieldCase {
    const char* line;
    int index;
    const char* delimiters;
    const char* expected;
};

void PrintTo(const FieldCase& c, std::ostream* os) {
    *os << '"' << c.line << "\" field " << c.index;
}

class ExtractFieldRows : public testing::TestWithParam<FieldCase> {};

TEST_P(ExtractFieldRows, GivesTheField) {
    const FieldCase& c = GetParam();
    EXPECT_EQ(ExtractField(c.line, c.index, c.delimiters), c.expected)
        << "line \"" << c.line << "\" field " << c.index;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ExtractFieldRows,
    testing::Values(FieldCase{"C,10,,,,,1.56", 1, ",", "C"},
                    FieldCase{"C,10,,,,,1.56", 2, ",", "10"},
                    FieldCase{"C,10,,,,,1.56", 3, ",", ""},     // consecutive delimiters
                    FieldCase{"C,10,,,,,1.56", 7, ",", "1.56"}, // last field, no delimiter after it
                    FieldCase{"C,10,,,,,1.56", 8, ",", ""},     // a field the line does not have
                    FieldCase{"C,10", 7, ",", ""},
                    FieldCase{"abc", 1, ",", "abc"}, // index 1 without delimiters: whole line
                    FieldCase{"abc", 2, ",", ""},
                    FieldCase{"a,b,", 3, ",", ""}, // delimiter at the very end: empty last field
                    FieldCase{"a,b,", 4, ",", ""}, FieldCase{",x", 1, ",", ""},
                    FieldCase{" a , b ", 2, ",", " b "}, // nothing trimmed
                    FieldCase{"a;b,c", 2, ",;", "b"},    // every delimiter character ends a field
                    FieldCase{"a;b,c", 3, ",;", "c"}, FieldCase{"", 1, ",", ""},
                    FieldCase{"a,b", 0, ",", ""}, FieldCase{"a,b", -3, ",", ""}));

} // namespace
