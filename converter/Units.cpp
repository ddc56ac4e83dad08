// Parsing, and the conversions from fixed-width integers: a number of up to 18
// significant digits is exact in 64 bits, and every product and sum below stays
// under 10^29, exact in 128 bits. Longer numbers take the digit-string path.
#include "converter/Units.h"

#include <array>
#include <cstdint>

namespace units {
namespace {

__extension__ using Wide = unsigned __int128;

constexpr std::size_t kGonDecimals = 4;
constexpr std::size_t kMetreDecimals = 3;

constexpr std::array<std::uint64_t, 20> kPowersOfTen = [] {
    std::array<std::uint64_t, 20> powers{};
    std::uint64_t power = 1;
    for (std::uint64_t& p : powers) {
        p = power;
        power *= 10;
    }
    return powers;
}();

std::uint64_t TenTo(std::size_t n) {
    return kPowersOfTen[n];
}

// The value ± p / q, scaled by 10^decimals of the result.
struct Ratio {
    bool negative = false;
    Wide p = 0;
    Wide q = 1;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view WithoutLeadingZeros(std::string_view digits) {
    while (!digits.empty() && digits.front() == '0') {
        digits.remove_prefix(1);
    }
    return digits;
}

std::uint64_t Accumulate(std::uint64_t value, std::string_view digits) {
    for (const char c : digits) {
        value = value * 10 + std::uint64_t(c - '0');
    }
    return value;
}

// Whether the fixed-width path takes `number`.
bool FitsFixedWidth(const Number& number) {
    const std::string_view whole = WithoutLeadingZeros(number.whole);
    const std::string_view fraction =
        whole.empty() ? WithoutLeadingZeros(number.fraction) : number.fraction;
    return whole.size() + fraction.size() <= kFixedWidthDigits &&
           number.exponent <= kFixedWidthDigits;
}

// The digits of a number that fits, as an integer.
std::uint64_t Digits(const Number& number) {
    return Accumulate(Accumulate(0, number.whole), number.fraction);
}

// DDD.MMSSs read by position, in 1/(3240 * 10^t) gon, 3240 seconds of arc to the
// gon: the digits are walked once, with no division.
Ratio Sexagesimal(const Number& number) {
    std::uint64_t parts[4] = {}; // degrees, minutes, seconds, t decimals of a second
    const auto point = std::ptrdiff_t(number.whole.size() + number.fraction.size()) -
                       std::ptrdiff_t(number.exponent); // where the decimals start
    std::ptrdiff_t index = 0;
    const auto take = [&](char digit) {
        const std::ptrdiff_t k = index++ - point;
        std::uint64_t& part = parts[k < 0 ? 0 : k < 2 ? 1 : k < 4 ? 2 : 3];
        part = part * 10 + std::uint64_t(digit - '0');
    };
    for (const std::string_view digits : {number.whole, number.fraction}) {
        for (const char c : digits) {
            take(c);
        }
    }
    while (index - point < 4) { // minutes and seconds the text leaves out are zeros
        take('0');
    }
    const std::size_t t = number.exponent > 4 ? number.exponent - 4 : 0;
    const Wide seconds = ((Wide(parts[0]) * 60 + parts[1]) * 60 + parts[2]) * TenTo(t) + parts[3];
    return {false, seconds * TenTo(kGonDecimals), Wide(3240) * TenTo(t)};
}

Ratio AngleRatio(const Number& number, AngleUnit unit) {
    if (unit == AngleUnit::Sexagesimal) {
        return Sexagesimal(number);
    }
    const Wide scaled = Wide(Digits(number)) * TenTo(kGonDecimals);
    switch (unit) {
    case AngleUnit::Degree: // 360 degrees to 400 gon
        return {false, scaled * 10, Wide(9) * TenTo(number.exponent)};
    case AngleUnit::Mil: // 6400 mil to 400 gon
        return {false, scaled, Wide(16) * TenTo(number.exponent)};
    case AngleUnit::Gon:
    case AngleUnit::Sexagesimal:
        break;
    }
    return {false, scaled, TenTo(number.exponent)};
}

// 100 gon - v, plus 400 gon when that is negative; p and q scaled to 4 decimals.
void FromHorizon(Ratio& angle) {
    const Wide hundred = angle.q * 100 * TenTo(kGonDecimals);
    if (angle.negative) {
        angle = {false, hundred + angle.p, angle.q};
    } else if (angle.p <= hundred) {
        angle.p = hundred - angle.p;
    } else {
        const Wide below = angle.p - hundred;
        const Wide circle = 4 * hundred;
        angle.negative = below > circle;
        angle.p = angle.negative ? below - circle : circle - below;
    }
}

// p / q rounded half away from zero; 64-bit division where the numbers allow.
Wide Rounded(Wide p, Wide q) {
    if ((p >> 64) == 0 && (q >> 64) == 0) {
        const auto p64 = std::uint64_t(p);
        const auto q64 = std::uint64_t(q);
        const std::uint64_t rest = p64 % q64;
        return p64 / q64 + (rest >= q64 - rest ? 1 : 0);
    }
    const Wide rest = p % q;
    return p / q + (rest >= q - rest ? 1 : 0);
}

// Two digits at a time: the chain of divisions is what takes the time here.
constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t i = 0; i < 100; ++i) {
        pairs[2 * i] = char('0' + i / 10);
        pairs[2 * i + 1] = char('0' + i % 10);
    }
    return pairs;
}();

// `value` in at least `width` digits, before `end`.
template <typename Integer> char* WriteInteger(char* end, Integer value, std::ptrdiff_t width) {
    char* begin = end;
    for (; value >= 100; value /= 100) {
        const auto pair = 2 * std::size_t(value % 100);
        *--begin = kDigitPairs[pair + 1];
        *--begin = kDigitPairs[pair];
    }
    if (value >= 10) {
        *--begin = kDigitPairs[2 * std::size_t(value) + 1];
        *--begin = kDigitPairs[2 * std::size_t(value)];
    } else {
        *--begin = char('0' + int(value));
    }
    while (end - begin < width) {
        *--begin = '0';
    }
    return begin;
}

template <std::size_t decimals, typename Integer> char* WriteDecimal(char* end, Integer value) {
    constexpr Integer kUnit = kPowersOfTen[decimals];
    char* begin = WriteInteger(end, value % kUnit, std::ptrdiff_t(decimals));
    *--begin = '.';
    return WriteInteger(begin, value / kUnit, 1);
}

template <std::size_t decimals> std::string Written(const Ratio& value) {
    const Wide rounded = Rounded(value.p, value.q);
    char text[48];
    char* const end = text + sizeof text;
    char* begin = (rounded >> 64) == 0 ? WriteDecimal<decimals>(end, std::uint64_t(rounded))
                                       : WriteDecimal<decimals>(end, rounded);
    if (value.negative && rounded != 0) {
        *--begin = '-';
    }
    return std::string(begin, end);
}

} // namespace

std::optional<Number> ParseNumber(std::string_view text, int impliedDecimals) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    Number number;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        number.negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::size_t point = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (unsigned(text[i] - '0') <= 9) {
            continue;
        }
        if (text[i] != '.' || point < text.size()) {
            return std::nullopt;
        }
        point = i;
    }
    const bool hasPoint = point < text.size();
    if (text.size() == (hasPoint ? 1u : 0u) || impliedDecimals < 0) {
        return std::nullopt;
    }
    number.whole = text.substr(0, point);
    number.fraction = hasPoint ? text.substr(point + 1) : std::string_view();
    number.exponent = number.fraction.size() + std::size_t(impliedDecimals);
    return number;
}

bool IsZero(const Number& number) {
    for (const std::string_view part : {number.whole, number.fraction}) {
        for (const char c : part) {
            if (c != '0') {
                return false;
            }
        }
    }
    return true;
}

std::string AngleToGon(const Number& number, AngleUnit unit, bool fromHorizon) {
    if (!FitsFixedWidth(number)) {
        return general::AngleToGon(number, unit, fromHorizon);
    }
    Ratio gon = AngleRatio(number, unit);
    gon.negative = number.negative;
    if (fromHorizon) {
        FromHorizon(gon);
    }
    return Written<kGonDecimals>(gon);
}

std::string LengthToMetres(const Number& number, LengthUnit unit) {
    if (!FitsFixedWidth(number)) {
        return general::LengthToMetres(number, unit);
    }
    const Wide scaled = Wide(Digits(number)) * TenTo(kMetreDecimals);
    Ratio metres{number.negative, scaled, TenTo(number.exponent)};
    switch (unit) {
    case LengthUnit::Metre:
        break;
    case LengthUnit::Foot: // 0.3048 m exactly
        metres.p = scaled * 3048;
        metres.q *= TenTo(4);
        break;
    case LengthUnit::UsSurveyFoot: // 1200/3937 m
        metres.p = scaled * 1200;
        metres.q *= 3937;
        break;
    }
    return Written<kMetreDecimals>(metres);
}

} // namespace units
