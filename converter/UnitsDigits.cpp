// The conversions on digit strings, for numbers of any length.
#include "converter/Units.h"

#include <algorithm>
#include <cstdint>

namespace units {
namespace {

// Natural numbers as decimal digits, most significant first, without leading
// zeros ("0" for zero). Every step is linear in the number of digits.
using Digits = std::string;

void Normalize(Digits& n) {
    const std::size_t first = n.find_first_not_of('0');
    if (first == Digits::npos) {
        n.assign(1, '0');
    } else if (first > 0) {
        n.erase(0, first);
    }
}

bool IsZeroDigits(const Digits& n) {
    return n == "0";
}

void MultiplySmall(Digits& n, std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (auto it = n.rbegin(); it != n.rend(); ++it) {
        const std::uint64_t product = std::uint64_t(*it - '0') * factor + carry;
        *it = char('0' + product % 10);
        carry = product / 10;
    }
    while (carry > 0) {
        n.insert(n.begin(), char('0' + carry % 10));
        carry /= 10;
    }
    Normalize(n);
}

void AppendZeros(Digits& n, std::size_t count) {
    if (!IsZeroDigits(n)) {
        n.append(count, '0');
    }
}

int Compare(const Digits& a, const Digits& b) {
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

Digits Add(const Digits& a, const Digits& b) {
    Digits sum(std::max(a.size(), b.size()) + 1, '0');
    int carry = 0;
    auto ai = a.rbegin();
    auto bi = b.rbegin();
    for (auto si = sum.rbegin(); si != sum.rend(); ++si) {
        int digit = carry;
        if (ai != a.rend()) {
            digit += *ai++ - '0';
        }
        if (bi != b.rend()) {
            digit += *bi++ - '0';
        }
        *si = char('0' + digit % 10);
        carry = digit / 10;
    }
    Normalize(sum);
    return sum;
}

// a - b for a >= b.
Digits Subtract(const Digits& a, const Digits& b) {
    Digits difference = a;
    int borrow = 0;
    auto bi = b.rbegin();
    for (auto di = difference.rbegin(); di != difference.rend(); ++di) {
        int digit = (*di - '0') - borrow;
        if (bi != b.rend()) {
            digit -= *bi++ - '0';
        }
        borrow = digit < 0 ? 1 : 0;
        *di = char('0' + digit + 10 * borrow);
    }
    Normalize(difference);
    return difference;
}

Digits DivideSmall(std::string_view n, std::uint32_t divisor, std::uint32_t& remainder) {
    Digits quotient(n.size(), '0');
    std::uint64_t rest = 0;
    for (std::size_t i = 0; i < n.size(); ++i) {
        rest = rest * 10 + std::uint64_t(n[i] - '0');
        quotient[i] = char('0' + rest / divisor);
        rest %= divisor;
    }
    remainder = std::uint32_t(rest);
    Normalize(quotient);
    return quotient.empty() ? Digits("0") : quotient;
}

Digits FromSmall(std::uint64_t value) {
    return std::to_string(value);
}

struct Signed {
    bool negative = false;
    Digits magnitude;
};

Signed AddSigned(const Signed& a, const Signed& b) {
    if (a.negative == b.negative) {
        return {a.negative, Add(a.magnitude, b.magnitude)};
    }
    if (Compare(a.magnitude, b.magnitude) >= 0) {
        return {a.negative, Subtract(a.magnitude, b.magnitude)};
    }
    return {b.negative, Subtract(b.magnitude, a.magnitude)};
}

// The exact value numerator / (denominator * 10^scale).
struct Fraction {
    Signed numerator;
    std::uint32_t denominator = 1;
    std::size_t scale = 0;

    // `value` in the same denominator.
    Signed Whole(std::uint32_t value) const {
        Digits n = FromSmall(std::uint64_t(value) * denominator);
        AppendZeros(n, scale);
        return {false, n};
    }
};

// The digits of a number, whole and fraction together.
Digits AllDigits(const Number& number) {
    Digits digits;
    digits.append(number.whole).append(number.fraction);
    return digits.empty() ? Digits("0") : digits;
}

Fraction Exact(const Number& number) {
    Digits digits = AllDigits(number);
    Normalize(digits);
    return {{number.negative, digits}, 1, number.exponent};
}

// DDD.MMSSs read by position: the first two decimals are minutes, the next two
// whole seconds, the rest decimals of a second. The result counts 1/(3240*10^t)
// gon, 1/3240 gon being one second of arc.
Fraction FromSexagesimal(const Number& number) {
    const std::string all = AllDigits(number);
    std::string whole;
    std::string decimals;
    if (number.exponent <= all.size()) {
        whole = all.substr(0, all.size() - number.exponent);
        decimals = all.substr(all.size() - number.exponent);
    } else {
        decimals = std::string(number.exponent - all.size(), '0') + all;
    }
    if (decimals.size() < 4) {
        decimals.append(4 - decimals.size(), '0');
    }
    Digits seconds = whole.empty() ? Digits("0") : whole;
    Normalize(seconds);
    MultiplySmall(seconds, 60);
    seconds = Add(seconds, decimals.substr(0, 2));
    MultiplySmall(seconds, 60);
    seconds = Add(seconds, decimals.substr(2, 2));
    const std::size_t scale = decimals.size() - 4;
    AppendZeros(seconds, scale);
    if (scale > 0) {
        seconds = Add(seconds, decimals.substr(4));
    }
    return {{number.negative, seconds}, 3240, scale};
}

// Rounds half away from zero to `decimals` places and writes the result.
std::string Round(const Fraction& value, std::size_t decimals) {
    Digits scaled = value.numerator.magnitude;
    AppendZeros(scaled, decimals);
    // scaled / (denominator * 10^scale): first the power of ten by cutting digits,
    // then the small denominator; the cut digits decide the rounding with the remainder.
    const std::size_t k = value.scale;
    const std::string_view all(scaled);
    const std::string_view high = k < all.size() ? all.substr(0, all.size() - k) : "0";
    const char lowFirst = k == 0 ? '0' : (k <= all.size() ? all[all.size() - k] : '0');
    std::uint32_t remainder = 0;
    Digits result = DivideSmall(high, value.denominator, remainder);
    // The remainder is remainder * 10^k + the cut digits, the divisor denominator * 10^k.
    // Half or more when 2 * remainder - denominator is at least 0; at -1 the cut digits
    // decide: half or more when they are at least 5 * 10^(k-1).
    const std::int64_t twice = 2 * std::int64_t(remainder) - std::int64_t(value.denominator);
    if (twice >= 0 || (twice == -1 && lowFirst >= '5')) {
        result = Add(result, "1");
    }
    const bool negative = value.numerator.negative && !IsZeroDigits(result);
    if (result.size() <= decimals) {
        result.insert(0, decimals + 1 - result.size(), '0');
    }
    result.insert(result.size() - decimals, 1, '.');
    return negative ? "-" + result : result;
}

} // namespace

namespace general {

std::string AngleToGon(const Number& number, AngleUnit unit, bool fromHorizon) {
    Fraction gon;
    switch (unit) {
    case AngleUnit::Gon:
        gon = Exact(number);
        break;
    case AngleUnit::Degree: // 360 degrees to 400 gon
        gon = Exact(number);
        MultiplySmall(gon.numerator.magnitude, 10);
        gon.denominator = 9;
        break;
    case AngleUnit::Sexagesimal:
        gon = FromSexagesimal(number);
        break;
    case AngleUnit::Mil: // 6400 mil to 400 gon
        gon = Exact(number);
        gon.denominator = 16;
        break;
    }
    if (fromHorizon) {
        Signed v = gon.numerator;
        v.negative = !v.negative;
        gon.numerator = AddSigned(gon.Whole(100), v);
        if (gon.numerator.negative && !IsZeroDigits(gon.numerator.magnitude)) {
            gon.numerator = AddSigned(gon.numerator, gon.Whole(400));
        }
    }
    return Round(gon, 4);
}

std::string LengthToMetres(const Number& number, LengthUnit unit) {
    Fraction metres = Exact(number);
    switch (unit) {
    case LengthUnit::Metre:
        break;
    case LengthUnit::Foot: // 0.3048 m exactly
        MultiplySmall(metres.numerator.magnitude, 3048);
        metres.scale += 4;
        break;
    case LengthUnit::UsSurveyFoot: // 1200/3937 m
        MultiplySmall(metres.numerator.magnitude, 1200);
        metres.denominator = 3937;
        break;
    }
    return Round(metres, 3);
}

} // namespace general
} // namespace units
