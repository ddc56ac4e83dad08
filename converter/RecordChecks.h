#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

// What the report says about KMX 685 records: the checks of the numeric columns
// and the reasons, worded once for the conversion and for its plain rendering.
namespace records {

enum class NumberProblem { None, Empty, NotPlain, OutOfRange };

// A plain decimal number: digits with an optional sign and at most one decimal
// point ("nan", "inf", "0x10", "1e3" and " 1.5" are not plain). An angle must
// also lie in 0 to 400 gon, both ends included.
NumberProblem CheckNumber(std::string_view field, bool angle);

// The same for a field followed by at least 16 readable bytes, as every field of
// a line from the reader is: a field of up to 16 bytes is looked at in one piece.
inline NumberProblem CheckPaddedNumber(std::string_view field, bool angle) {
#if defined(__SSE2__) || defined(_M_X64)
    const std::size_t size = field.size();
    if (size == 0 || size > 16) {
        return CheckNumber(field, angle);
    }
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(field.data()));
    const __m128i values = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
    const __m128i digit = _mm_cmpeq_epi8(_mm_min_epu8(values, _mm_set1_epi8(9)), values);
    const unsigned all = (1u << size) - 1;
    const unsigned digits = unsigned(_mm_movemask_epi8(digit)) & all;
    const unsigned dots = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('.')))) &
                          all;
    const unsigned other = all & ~(digits | dots);
    const bool signed_ = other == 1 && (field[0] == '-' || field[0] == '+');
    if ((other != 0 && !signed_) || digits == 0 || (dots & (dots - 1)) != 0) {
        return NumberProblem::NotPlain;
    }
    if (!angle) {
        return NumberProblem::None;
    }
    const unsigned zeros =
        unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('0')))) & all;
    const unsigned nonZero = digits & ~zeros;
    if (field[0] == '-') {
        return nonZero == 0 ? NumberProblem::None : NumberProblem::OutOfRange;
    }
    // The whole part without its leading zeros: fewer than three digits is below 400.
    const unsigned wholeEnd = dots != 0 ? unsigned(std::countr_zero(dots)) : unsigned(size);
    const unsigned whole = nonZero & ((1u << wholeEnd) - 1);
    if (whole == 0) {
        return NumberProblem::None;
    }
    const unsigned first = unsigned(std::countr_zero(whole));
    const unsigned length = wholeEnd - first;
    if (length != 3) {
        return length < 3 ? NumberProblem::None : NumberProblem::OutOfRange;
    }
    const std::string_view hundreds = field.substr(first, 3);
    if (hundreds != "400") {
        return hundreds < "400" ? NumberProblem::None : NumberProblem::OutOfRange;
    }
    return (nonZero >> wholeEnd) == 0 ? NumberProblem::None : NumberProblem::OutOfRange;
#else
    return CheckNumber(field, angle);
#endif
}

// The reasons, in UTF-8; quoted text is the file's raw Windows-1250 bytes.
namespace reasons {

std::string UnknownType(std::string_view type);
std::string EmptyType();
// A record with `fields` fields of the `needed` its type uses; `used` lists the
// fields the type writes (bit k for field k), so the missing ones can be named.
std::string TooFewFields(char type, std::size_t fields, std::size_t needed, unsigned used);
std::string NoStationValue();
std::string NoStationNumber();
std::string NoPointNumber();
std::string OutsideStation();
std::string BadNumber(int field, std::string_view text, NumberProblem problem);
std::string RepeatedPoint(std::string_view point, std::uint64_t firstLine);
std::string NulByte();
std::string TextAfterCtrlZ();

} // namespace reasons
} // namespace records
