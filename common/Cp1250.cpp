#include "common/Cp1250.h"

#include <array>
#include <vector>

namespace cp1250 {
namespace {

constexpr std::array<char16_t, 128> kHighHalf = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, //
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, //
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, //
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, //
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, //
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, //
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, //
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, //
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, //
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, //
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, //
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, //
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, //
};

// Byte -> its lower-case byte; identity except for the upper-case letters.
constexpr std::array<unsigned char, 256> MakeLowerTable() {
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b) {
        t[b] = static_cast<unsigned char>(b);
    }
    for (int b = 'A'; b <= 'Z'; ++b) {
        t[b] = static_cast<unsigned char>(b + 0x20);
    }
    for (int b : {0x8A, 0x8C, 0x8D, 0x8E, 0x8F}) {
        t[b] = static_cast<unsigned char>(b + 0x10);
    }
    t[0xA3] = 0xB3; // Ł
    t[0xA5] = 0xB9; // Ą
    t[0xAA] = 0xBA; // Ş
    t[0xAF] = 0xBF; // Ż
    t[0xBC] = 0xBE; // Ľ
    for (int b = 0xC0; b <= 0xDE; ++b) {
        if (b != 0xD7) { // multiplication sign
            t[b] = static_cast<unsigned char>(b + 0x20);
        }
    }
    return t;
}

constexpr std::array<bool, 256> MakeWordTable() {
    std::array<bool, 256> t{};
    for (int b = 0; b < 256; ++b) {
        t[b] =
            (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_';
    }
    for (int b : {0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x9A, 0x9C, 0x9D, 0x9E, 0x9F, 0xA3,
                  0xA5, 0xAA, 0xAF, 0xB3, 0xB5, 0xB9, 0xBA, 0xBC, 0xBE, 0xBF}) {
        t[b] = true;
    }
    for (int b = 0xC0; b <= 0xFE; ++b) {
        t[b] = b != 0xD7 && b != 0xF7; // × and ÷ are no letters
    }
    return t;
}

constexpr auto kLower = MakeLowerTable();
constexpr auto kWord = MakeWordTable();

} // namespace

char32_t ToUnicode(unsigned char byte) {
    return byte < 0x80 ? char32_t(byte) : char32_t(kHighHalf[byte - 0x80]);
}

int FromUnicode(char32_t cp) {
    if (cp < 0x80) {
        return int(cp);
    }
    if (cp > 0xFFFF) {
        return -1;
    }
    // Reverse table over the Basic Multilingual Plane, built on first use.
    static const std::vector<short> reverse = [] {
        std::vector<short> r(0x10000, -1);
        for (int i = 0; i < 128; ++i) {
            r[kHighHalf[i]] = short(0x80 + i);
        }
        return r;
    }();
    return reverse[cp];
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

char32_t NextCodePoint(std::string_view s, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = byte(pos);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    int extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, cp = b0 & 0x07, min = 0x10000;
    } else {
        ++pos;
        return 0xFFFD;
    }
    if (pos + extra >= s.size()) {
        ++pos;
        return 0xFFFD;
    }
    for (int i = 1; i <= extra; ++i) {
        const unsigned char b = byte(pos + i);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return 0xFFFD;
    }
    pos += extra + 1;
    return cp;
}

std::string Decode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out.push_back(c);
        } else {
            AppendUtf8(out, ToUnicode(b));
        }
    }
    return out;
}

Encoded Encode(std::string_view utf8, char replacement) {
    Encoded result;
    result.bytes.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[pos]);
        if (b < 0x80) {
            result.bytes.push_back(char(b));
            ++pos;
            continue;
        }
        const std::size_t start = pos;
        const char32_t cp = NextCodePoint(utf8, pos);
        const int encoded = (cp == 0xFFFD && pos == start + 1) ? -1 : FromUnicode(cp);
        if (encoded < 0) {
            result.bytes.push_back(replacement);
            ++result.unencodable;
        } else {
            result.bytes.push_back(char(encoded));
        }
    }
    return result;
}

char32_t ToLower(char32_t cp) {
    if (cp < 0x80) {
        return (cp >= 'A' && cp <= 'Z') ? cp + 0x20 : cp;
    }
    const int b = FromUnicode(cp);
    return b < 0 ? cp : ToUnicode(kLower[b]);
}

bool IsWordChar(char32_t cp) {
    const int b = FromUnicode(cp);
    return b >= 0 && kWord[b];
}

} // namespace cp1250
