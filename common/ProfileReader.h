#pragma once

#include <optional>
#include <string>
#include <string_view>

// Reads values from the text of an INI file by the rules of the Windows profile
// service: section and key names match in any letter case, the first matching
// section and key win, blanks around a value and then one pair of enclosing
// quotes are removed, lines starting with ';' are comments, and backslashes are
// ordinary characters. `text` is UTF-8.
std::optional<std::string> ReadProfileString(std::string_view text, std::string_view section,
                                             std::string_view key);

// The bytes of an INI file as UTF-8 text: UTF-8 when the file starts with a
// UTF-8 byte-order mark, or is valid UTF-8 with at least one letter beyond ASCII;
// Windows-1250 otherwise.
std::string DecodeIniBytes(std::string_view bytes);

// Decimal text as a 32-bit signed integer, as the settings expect it; nothing
// when the text is empty, not a number or out of range.
std::optional<int> ParseInt32(std::string_view text);
