#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Windows-1250 <-> Unicode, lossless both ways: the five bytes the code page
// leaves undefined map to the C1 controls of the same value and back, so any
// byte sequence survives a decode/encode round trip.
namespace cp1250 {

char32_t ToUnicode(unsigned char byte);

// The byte for a code point, or -1 when Windows-1250 cannot hold it.
int FromUnicode(char32_t codePoint);

// Bytes -> UTF-8.
std::string Decode(std::string_view bytes);

struct Encoded {
    std::string bytes;
    std::size_t unencodable = 0; // code points (or invalid UTF-8 bytes) written as the replacement
};

// UTF-8 -> bytes; what the code page cannot hold becomes `replacement`.
Encoded Encode(std::string_view utf8, char replacement = '?');

// Lower-casing and word characters as the code page's own classes define them;
// code points outside the code page are returned unchanged / are no word characters.
char32_t ToLower(char32_t codePoint);
bool IsWordChar(char32_t codePoint);

// Reads one code point from UTF-8 at `pos` and advances it; an invalid
// sequence yields U+FFFD and advances by one byte.
char32_t NextCodePoint(std::string_view utf8, std::size_t& pos);
void AppendUtf8(std::string& out, char32_t codePoint);

} // namespace cp1250
