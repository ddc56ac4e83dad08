#include "common/ProfileReader.h"

#include "common/Cp1250.h"

#include <charconv>
#include <cstdint>

namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view s) {
    const std::size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (cp1250::ToLower(cp1250::NextCodePoint(a, i)) !=
            cp1250::ToLower(cp1250::NextCodePoint(b, j))) {
            return false;
        }
    }
    return i == a.size() && j == b.size();
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// Calls `visit(line)` for each line; stops when it returns true.
template <typename Visit> void ForEachLine(std::string_view text, Visit visit) {
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        if (visit(line) || end == std::string_view::npos) {
            return;
        }
        text.remove_prefix(end + 1);
    }
}

// Strict UTF-8 (no overlong forms, surrogates or code points past U+10FFFF)
// with at least one multi-byte sequence; plain ASCII says nothing either way.
bool IsMultiByteUtf8(std::string_view bytes) {
    bool multiByte = false;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t start = pos;
        const char32_t cp = cp1250::NextCodePoint(bytes, pos);
        if (cp == 0xFFFD && pos == start + 1) {
            return false; // not a sequence: an encoded U+FFFD takes three bytes
        }
        multiByte = multiByte || cp >= 0x80;
    }
    return multiByte;
}

} // namespace

std::optional<std::string> ReadProfileString(std::string_view text, std::string_view section,
                                             std::string_view key) {
    bool inSection = false;
    bool sectionSeen = false;
    std::optional<std::string> found;
    ForEachLine(text, [&](std::string_view raw) {
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == ';') {
            return false;
        }
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            const std::string_view name =
                Trim(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
            if (inSection) {
                return true; // the first matching section has ended
            }
            inSection = !sectionSeen && SameName(name, section);
            sectionSeen = sectionSeen || inSection;
            return false;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string_view::npos) {
            return false;
        }
        if (SameName(Trim(line.substr(0, equals)), key)) {
            found = std::string(Unquote(Trim(line.substr(equals + 1))));
            return true;
        }
        return false;
    });
    return found;
}

std::string DecodeIniBytes(std::string_view bytes) {
    constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        return std::string(bytes.substr(kUtf8Bom.size()));
    }
    // Written by an editor that saves UTF-8: Polish text in Windows-1250 is
    // practically never valid UTF-8 (its letters are lone bytes above 127).
    if (IsMultiByteUtf8(bytes)) {
        return std::string(bytes);
    }
    return cp1250::Decode(bytes);
}

std::optional<int> ParseInt32(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}
