#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

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
// a line from the reader is. A field of up to 16 bytes of digits and one dot is
// judged in one piece; anything else (a sign, an angle from 400 on, a leading
// zero before three more digits) goes the long way.
inline NumberProblem CheckPaddedNumber(std::string_view field, bool angle) {
#if defined(__SSE2__) || defined(_M_X64)
    const std::size_t size = field.size();
    if (size - 1 < 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(field.data()));
        const __m128i values = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
        const __m128i digit = _mm_cmpeq_epi8(_mm_min_epu8(values, _mm_set1_epi8(9)), values);
        const __m128i dot = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('.'));
        const unsigned all = (1u << size) - 1;
        const unsigned digits = unsigned(_mm_movemask_epi8(digit)) & all;
        const unsigned dots = unsigned(_mm_movemask_epi8(dot)) & all;
        if (digits != 0 && (digits | dots) == all && (dots & (dots - 1)) == 0) {
            if (!angle) {
                return NumberProblem::None;
            }
            // Up to three digits before the point, the first below 4: below 400.
            const unsigned whole = unsigned(std::countr_zero(dots | (1u << size)));
            if (whole < 3 || (whole == 3 && field[0] < '4')) {
                return NumberProblem::None;
            }
        }
    }
#endif
    return CheckNumber(field, angle);
}

#if defined(__SSE2__) || defined(_M_X64)
namespace detail {

// Digits, dots and commas of 16 bytes, as bits.
inline void Classify(const char* bytes, std::uint64_t& digits, std::uint64_t& dots,
                     std::uint64_t& commas) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    const __m128i values = _mm_sub_epi8(chunk, _mm_set1_epi8('0'));
    const __m128i digit = _mm_cmpeq_epi8(_mm_min_epu8(values, _mm_set1_epi8(9)), values);
    digits = unsigned(_mm_movemask_epi8(digit));
    dots = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('.'))));
    commas = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, _mm_set1_epi8(','))));
}

} // namespace detail
#endif

// Whether fields kFirst to kLast of a line (one after another with commas
// between, 16 readable bytes after the last) are all plain numbers without a
// sign, the fields of kAngles (a bit each) with at most three digits before the
// point, the first of three below 4. Judged in one look at up to 32 bytes;
// false only means "look at each field".
template <int kFirst, int kLast, unsigned kAngles>
inline bool PlainColumns(const std::string_view* fields) {
#if defined(__SSE2__) || defined(_M_X64)
    const char* const start = fields[kFirst].data();
    const std::size_t size = std::size_t(fields[kLast].data() + fields[kLast].size() - start);
    if (size - 1 >= 32) {
        return false;
    }
    std::uint64_t digits, dots, commas;
    detail::Classify(start, digits, dots, commas);
    if (size > 16) {
        std::uint64_t moreDigits, moreDots, moreCommas;
        detail::Classify(start + 16, moreDigits, moreDots, moreCommas);
        digits |= moreDigits << 16;
        dots |= moreDots << 16;
        commas |= moreCommas << 16;
    }
    const std::uint64_t end = std::uint64_t(1) << size;
    if (((digits | dots | commas) & (end - 1)) != end - 1) {
        return false;
    }
    dots &= end - 1;
    commas &= end - 1;
    const std::uint64_t separators = commas | dots | end;
    const bool emptyField = (commas & ((commas << 1) | 1 | (end >> 1))) != 0;
    const bool onlyADot = (dots & ((commas << 1) | 1) & ((commas | end) >> 1)) != 0;
    // Subtracting the bit after each dot clears the next separator above it:
    // in one field with two dots, that is the second dot.
    const bool twoDots = (dots & separators & (separators ^ (separators - (dots << 1)))) != 0;
    if (emptyField || onlyADot || twoDots) {
        return false;
    }
    // Without branches: angles below 100 and above are equally common.
    const auto below400 = [&](int field) {
        const int whole = std::countr_zero(separators >> (fields[field].data() - start));
        return (whole < 3) | ((whole == 3) & (fields[field][0] < '4'));
    };
    return [&]<int... kOffsets>(std::integer_sequence<int, kOffsets...>) {
        return ((((kAngles >> (kFirst + kOffsets)) & 1u) == 0 || below400(kFirst + kOffsets)) &
                ...);
    }
    (std::make_integer_sequence<int, kLast - kFirst + 1>());
#else
    (void)fields;
    return false;
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
std::string OutsideStation();
std::string BadNumber(int field, std::string_view text, NumberProblem problem);
std::string RepeatedPoint(std::string_view point, std::uint64_t firstLine);
std::string NulByte();
std::string TextAfterCtrlZ();

} // namespace reasons
} // namespace records
