#include "converter/Units.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace {

using units::AngleUnit;
using units::LengthUnit;

units::Number Parsed(const char* text, int impliedDecimals = 0) {
    const auto number = units::ParseNumber(text, impliedDecimals);
    EXPECT_TRUE(number) << text;
    return number.value_or(units::Number{});
}

struct AngleCase {
    const char* text;
    AngleUnit unit;
    bool fromHorizon;
    const char* gon;
};

TEST(Units, AnglesInGonRoundHalfAwayFromZero) {
    const AngleCase cases[] = {
        {"123.45678", AngleUnit::Gon, false, "123.4568"},
        {"0.00005", AngleUnit::Gon, false, "0.0001"},     // a tie goes away from zero
        {"-0.00005", AngleUnit::Gon, false, "-0.0001"},   // on both sides
        {"-0.00004", AngleUnit::Gon, false, "0.0000"},    // no minus on a zero
        {"399.99995", AngleUnit::Gon, false, "400.0000"}, // no wrap-around
        {" +7. ", AngleUnit::Gon, false, "7.0000"},
        {".5", AngleUnit::Gon, false, "0.5000"},
        {"0000000000000000000000000000123.45674999999999999999999999999999", AngleUnit::Gon, false,
         "123.4567"},
        {"123456789012345678901234567890", AngleUnit::Gon, false,
         "123456789012345678901234567890.0000"},
        {"90", AngleUnit::Degree, false, "100.0000"},
        {"1", AngleUnit::Degree, false, "1.1111"},
        {"0.000045", AngleUnit::Degree, false, "0.0001"}, // exactly 0.00005 gon
        {"-0.000045", AngleUnit::Degree, false, "-0.0001"},
        {"359.99996", AngleUnit::Degree, false, "400.0000"},
        {"12.3", AngleUnit::Sexagesimal, false, "13.8889"}, // 12°30′: digits by position
        {"123.45120", AngleUnit::Sexagesimal, false, "137.5037"},
        {"0.0001", AngleUnit::Sexagesimal, false, "0.0003"},    // one second
        {"0.00005", AngleUnit::Sexagesimal, false, "0.0002"},   // half a second
        {"0.0099", AngleUnit::Sexagesimal, false, "0.0306"},    // 99″ as it stands
        {"0.0000162", AngleUnit::Sexagesimal, false, "0.0001"}, // 0.162″ = 0.00005 gon
        {"-10.3", AngleUnit::Sexagesimal, false, "-11.6667"},
        {"1600", AngleUnit::Mil, false, "100.0000"},
        {"0.0008", AngleUnit::Mil, false, "0.0001"},
        {"6399.9993", AngleUnit::Mil, false, "400.0000"},
        {"0", AngleUnit::Gon, true, "100.0000"}, // from the horizon: 100 - v
        {"-5", AngleUnit::Gon, true, "105.0000"},
        {"195", AngleUnit::Gon, true, "305.0000"},       // face II: +400 when negative
        {"100.00004", AngleUnit::Gon, true, "400.0000"}, // -0.00004 + 400
        {"100", AngleUnit::Gon, true, "0.0000"},
        {"99.99996", AngleUnit::Gon, true, "0.0000"},
        {"10", AngleUnit::Degree, true, "88.8889"},
        {"-2.3", AngleUnit::Sexagesimal, true, "102.7778"},
    };
    for (const AngleCase& c : cases) {
        EXPECT_EQ(units::AngleToGon(Parsed(c.text), c.unit, c.fromHorizon), c.gon)
            << c.text << " unit " << int(c.unit) << (c.fromHorizon ? " from the horizon" : "");
    }
}

TEST(Units, LengthsInMetres) {
    const struct {
        const char* text;
        LengthUnit unit;
        const char* metres;
    } cases[] = {
        {"1.2345", LengthUnit::Metre, "1.235"},
        {"-1.2345", LengthUnit::Metre, "-1.235"},
        {"-0.0004", LengthUnit::Metre, "0.000"},
        {"10000000000000000000000000000000000000000.0005", LengthUnit::Metre,
         "10000000000000000000000000000000000000000.001"},
        {"0.625", LengthUnit::Foot, "0.191"}, // 0.1905 exactly
        {"-0.625", LengthUnit::Foot, "-0.191"},
        {"1000", LengthUnit::UsSurveyFoot, "304.801"},
        {"3937", LengthUnit::UsSurveyFoot, "1200.000"},
        {"0.00492125", LengthUnit::UsSurveyFoot, "0.002"}, // 0.0015 exactly
        {"-0.00492125", LengthUnit::UsSurveyFoot, "-0.002"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(units::LengthToMetres(Parsed(c.text), c.unit), c.metres) << c.text;
    }
    // Formats with an implied decimal point: GSI millimetres, DDD.MMSSs with 5 decimals.
    EXPECT_EQ(units::LengthToMetres(Parsed("00003387", 3), LengthUnit::Metre), "3.387");
    EXPECT_EQ(units::AngleToGon(Parsed("12345120", 5), AngleUnit::Sexagesimal), "137.5037");
    EXPECT_EQ(units::AngleToGon(Parsed("5", 5), AngleUnit::Sexagesimal), "0.0002"); // 0.5″
}

TEST(Units, OnlyPlainDecimalsAreNumbers) {
    for (const char* text : {"", "  ", "+", "-", ".", "1.2.3", "1e3", "nan", "inf", "0x10", "1,5",
                             "- 1", "1 2", "--1", "١"}) {
        EXPECT_FALSE(units::ParseNumber(text)) << '"' << text << '"';
    }
}

// Against a plain fixed-width rendering where the numbers fit 128 bits.
__extension__ typedef __int128 Int128;

std::string RoundedReference(Int128 numerator, Int128 denominator, int decimals) {
    for (int i = 0; i < decimals; ++i) {
        numerator *= 10;
    }
    const bool negative = numerator < 0;
    const Int128 magnitude = negative ? -numerator : numerator;
    Int128 quotient = magnitude / denominator;
    quotient += 2 * (magnitude % denominator) >= denominator ? 1 : 0;
    std::string reversed; // built from the last digit on
    int count = 0;
    for (Int128 q = quotient; count <= decimals || q > 0; q /= 10, ++count) {
        if (count == decimals) {
            reversed += '.';
        }
        reversed += char('0' + int(q % 10));
    }
    if (negative && quotient != 0) {
        reversed += '-';
    }
    return std::string(reversed.rbegin(), reversed.rend());
}

TEST(Units, AgreeWithFixedWidthArithmetic) {
    std::mt19937 random(20240611);
    const auto digits = [&](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            text += char('0' + random() % 10);
        }
        return text;
    };
    for (int i = 0; i < 20000; ++i) {
        const std::string whole = digits(1 + int(random() % 9));
        const std::string decimals = digits(int(random() % 9));
        const bool negative = random() % 2 == 0;
        std::string text = negative ? "-" : "";
        text.append(whole).append(".").append(decimals);
        const units::Number number = Parsed(text.c_str());
        Int128 tenth = 1; // 10^decimals
        for (std::size_t k = 0; k < decimals.size(); ++k) {
            tenth *= 10;
        }
        const Int128 sign = negative ? -1 : 1;
        const Int128 value = sign * Int128(std::stoll(whole + decimals));
        std::string padded = decimals + "0000";
        const Int128 fractionOfSecond = std::stoll(std::string("0").append(padded, 4));
        const Int128 seconds = (std::stoll(whole) * 60 + std::stoll(padded.substr(0, 2))) * 60 +
                               std::stoll(padded.substr(2, 2));
        const Int128 sexagesimal = sign * (seconds * tenth + fractionOfSecond);
        // v / d from the horizon: 100 - v/d, plus 400 when negative.
        const auto zenith = [](Int128 v, Int128 d) {
            const Int128 z = 100 * d - v;
            return z < 0 ? z + 400 * d : z;
        };
        const std::string shown = text;
        EXPECT_EQ(units::AngleToGon(number, AngleUnit::Gon), RoundedReference(value, tenth, 4))
            << shown;
        EXPECT_EQ(units::AngleToGon(number, AngleUnit::Degree),
                  RoundedReference(10 * value, 9 * tenth, 4))
            << shown;
        EXPECT_EQ(units::AngleToGon(number, AngleUnit::Mil), RoundedReference(value, 16 * tenth, 4))
            << shown;
        EXPECT_EQ(units::AngleToGon(number, AngleUnit::Sexagesimal),
                  RoundedReference(sexagesimal, 3240 * tenth, 4))
            << shown;
        EXPECT_EQ(units::AngleToGon(number, AngleUnit::Gon, true),
                  RoundedReference(zenith(value, tenth), tenth, 4))
            << shown;
        EXPECT_EQ(units::AngleToGon(number, AngleUnit::Sexagesimal, true),
                  RoundedReference(zenith(sexagesimal, 3240 * tenth), 3240 * tenth, 4))
            << shown;
        EXPECT_EQ(units::LengthToMetres(number, LengthUnit::Metre),
                  RoundedReference(value, tenth, 3))
            << shown;
        EXPECT_EQ(units::LengthToMetres(number, LengthUnit::Foot),
                  RoundedReference(3048 * value, 10000 * tenth, 3))
            << shown;
        EXPECT_EQ(units::LengthToMetres(number, LengthUnit::UsSurveyFoot),
                  RoundedReference(1200 * value, 3937 * tenth, 3))
            << shown;
    }
}

// ±digits × 10^-e, written out with a decimal point.
std::string Decimal(bool negative, const std::string& digits, std::size_t e) {
    std::ostringstream text;
    text << (negative ? "-" : "");
    const std::size_t pad = e >= digits.size() ? e + 1 - digits.size() : 0;
    for (std::size_t i = 0; i < pad + digits.size(); ++i) {
        text << (i == pad + digits.size() - e ? "." : "") << (i < pad ? '0' : digits[i - pad]);
    }
    return text.str();
}

// The fixed-width path against the digit strings, on numbers it takes: every
// unit, from the horizon or not, ties made for each unit, and the extremes.
TEST(Units, FixedWidthAgreesWithDigitStrings) {
    std::mt19937_64 random(18);
    std::vector<std::string> texts{"0", "-0", "0.000000000000000000"};
    for (std::size_t e = 0; e <= 18; ++e) {
        for (const char* digits : {"999999999999999999", "1", "5", "000000000000000000000123", "90",
                                   "100", "1600", "400", "500"}) {
            texts.push_back(Decimal(false, digits, e));
            texts.push_back(Decimal(true, digits, e));
        }
    }
    // n * 10^-e with a 5 just past the last decimal written, in each unit.
    const struct {
        std::uint64_t base;
        std::size_t exponent;
    } ties[] = {{5, 5}, {5, 4}, {45, 6}, {8, 4}, {625, 3}, {492125, 8}};
    for (int i = 0; i < 4000; ++i) {
        const auto& tie = ties[std::size_t(i) % std::size(ties)];
        const std::uint64_t odd = 2 * (random() % 1000000) + 1;
        texts.push_back(Decimal(i % 2 == 1, std::to_string(tie.base * odd), tie.exponent));
        // A tie of sexagesimal seconds: 0.162″ times an odd number.
        const std::uint64_t millis = 162 * odd;
        const std::uint64_t n =
            millis / 3600000 * 10000000 + millis / 60000 % 60 * 100000 + millis % 60000;
        texts.push_back(Decimal(false, std::to_string(n), 7));
        std::string digits = std::to_string(random() % 1000000000000000000u);
        digits.resize(1 + random() % digits.size());
        texts.push_back(Decimal(i % 3 == 0, digits, random() % 19));
    }
    for (const std::string& text : texts) {
        const units::Number number = Parsed(text.c_str());
        for (const AngleUnit unit :
             {AngleUnit::Gon, AngleUnit::Degree, AngleUnit::Sexagesimal, AngleUnit::Mil}) {
            for (const bool horizon : {false, true}) {
                ASSERT_EQ(units::AngleToGon(number, unit, horizon),
                          units::general::AngleToGon(number, unit, horizon))
                    << text << " unit " << int(unit) << (horizon ? " from the horizon" : "");
            }
        }
        for (const LengthUnit unit :
             {LengthUnit::Metre, LengthUnit::Foot, LengthUnit::UsSurveyFoot}) {
            ASSERT_EQ(units::LengthToMetres(number, unit),
                      units::general::LengthToMetres(number, unit))
                << text << " unit " << int(unit);
        }
    }
}

} // namespace
