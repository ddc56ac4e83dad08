#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Exact conversion of recorded numbers into the observation file's units: angles
// in gon with 4 decimals, lengths in metres with 3. The digits of the file are
// carried as decimal digits through every step (no binary floating point), and
// the result is rounded half away from zero once, at the end.
namespace units {

enum class AngleUnit {
    Gon,
    Degree,
    Sexagesimal, // DDD.MMSSs: degrees, then two digits of minutes, then seconds
    Mil,         // 6400 to the circle
};

enum class LengthUnit {
    Metre,
    Foot,         // international foot, 0.3048 m
    UsSurveyFoot, // 1200/3937 m
};

// A number as the file wrote it, seen in the text it was read from: the value is
// ±(whole followed by fraction) × 10^-exponent, and no digits at all are zero.
struct Number {
    bool negative = false;
    std::string_view whole;    // the digits before the decimal point
    std::string_view fraction; // the digits after it
    std::size_t exponent = 0;  // the length of fraction, plus implied decimals
};

// A plain decimal number: optional sign, digits with at most one decimal point
// and at least one digit, blanks around it allowed. `impliedDecimals` moves the
// decimal point further left, for formats whose digits carry an implied point.
// The result views `text`, and is valid as long as the text is.
std::optional<Number> ParseNumber(std::string_view text, int impliedDecimals = 0);

bool IsZero(const Number& number);

// Gon with 4 decimals. `fromHorizon`: the number is a vertical angle measured from
// the horizon and becomes the zenith angle 100 - v, plus 400 when that is negative.
// No wrap-around: what rounds to 400.0000 stays so.
std::string AngleToGon(const Number& number, AngleUnit unit, bool fromHorizon = false);

// Metres with 3 decimals.
std::string LengthToMetres(const Number& number, LengthUnit unit);

// The same conversions on digit strings of any length. The two above give the
// same results, from fixed-width integers when a number has at most
// kFixedWidthDigits significant digits and kFixedWidthDigits decimals.
inline constexpr std::size_t kFixedWidthDigits = 18;
namespace general {
std::string AngleToGon(const Number& number, AngleUnit unit, bool fromHorizon = false);
std::string LengthToMetres(const Number& number, LengthUnit unit);
} // namespace general

} // namespace units
