#include "editor/search/TextSearch.h"

#include "common/Cp1250.h"

#include <algorithm>
#include <cstring>

namespace textsearch {
namespace {

// Backward searches scan blocks of this size from the end forwards, so a match
// near the caret is found without reading the whole text before it.
constexpr std::size_t kBackwardBlock = std::size_t(1) << 16;

bool IsLineEnd(char c) {
    return c == '\n' || c == '\r';
}

std::size_t LineStartAt(std::string_view text, std::size_t pos) {
    while (pos > 0 && !IsLineEnd(text[pos - 1])) {
        --pos;
    }
    return pos;
}

std::size_t LineEndAt(std::string_view text, std::size_t pos) {
    const std::size_t end = text.find_first_of("\r\n", pos);
    return end == std::string_view::npos ? text.size() : end;
}

// A whole-line selection that stops right behind a line end does not take in the next line.
std::size_t LinesSelectionEnd(std::string_view text, Span selected) {
    std::size_t end = selected.end;
    if (end > selected.begin && IsLineEnd(text[end - 1])) {
        --end;
        if (end > selected.begin && text[end] == '\n' && text[end - 1] == '\r') {
            --end;
        }
        return end;
    }
    return LineEndAt(text, end);
}

// Every first UTF-8 byte of a code point that lower-cases to `lowered`.
std::string LeadBytesOf(char32_t lowered) {
    std::string leads;
    const auto add = [&leads](char32_t codePoint) {
        std::string utf8;
        cp1250::AppendUtf8(utf8, codePoint);
        if (leads.find(utf8.front()) == std::string::npos) {
            leads.push_back(utf8.front());
        }
    };
    add(lowered);
    for (int byte = 0; byte < 256; ++byte) {
        const char32_t codePoint = cp1250::ToUnicode(static_cast<unsigned char>(byte));
        if (cp1250::ToLower(codePoint) == lowered) {
            add(codePoint);
        }
    }
    return leads;
}

std::size_t Utf8Length(char32_t codePoint) {
    return codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
}

// Roughly how often a byte starts a character in a survey file: blanks and digits
// fill most lines, and Polish letters share a few first bytes. Scanning for the
// rarest character of the needle keeps the candidates few.
int Commonness(std::string_view leads) {
    int sum = 0;
    for (const char c : leads) {
        const auto byte = static_cast<unsigned char>(c);
        const bool letter = (byte | 0x20) >= 'a' && (byte | 0x20) <= 'z';
        sum += byte == ' ' ? 4 : (byte >= '0' && byte <= '9') ? 3 : letter ? 1 : 2;
    }
    return sum;
}

// Finds the next byte the scanned character may begin with: each lead byte (one,
// or two for a letter and its capital) is found with memchr, and the next hit of each is
// remembered, so the scan runs at memchr's speed.
class LeadScanner {
public:
    LeadScanner(std::string_view text, std::string_view leads, std::size_t end)
        : data(text.data()), end(end), leads(leads), next(leads.size()),
          known(leads.size(), false) {}

    // The first position at or after `from` holding a lead byte, or `end`.
    std::size_t Next(std::size_t from) {
        if (from >= end) {
            return end;
        }
        std::size_t best = end;
        for (std::size_t i = 0; i < leads.size(); ++i) {
            if (!known[i] || next[i] < from) {
                const void* hit = std::memchr(data + from, leads[i], end - from);
                next[i] = hit ? std::size_t(static_cast<const char*>(hit) - data) : end;
                known[i] = true;
            }
            best = std::min(best, next[i]);
        }
        return best;
    }

private:
    const char* data;
    std::size_t end;
    std::string_view leads;
    std::vector<std::size_t> next;
    std::vector<bool> known;
};

} // namespace

bool Selection::HasSelection() const {
    return std::any_of(ranges.begin(), ranges.end(),
                       [](const Span& range) { return range.begin != range.end; });
}

std::vector<Span> SearchScope(std::string_view text, const Selection& selection,
                              const SearchOptions& options) {
    if (options.selectedOnly && selection.HasSelection()) {
        std::vector<Span> rows;
        for (const Span& range : selection.ranges) {
            const std::size_t a = std::min(range.begin, text.size());
            const std::size_t b = std::min(range.end, text.size());
            rows.push_back({std::min(a, b), std::max(a, b)});
        }
        std::sort(rows.begin(), rows.end(),
                  [](const Span& x, const Span& y) { return x.begin < y.begin; });
        if (selection.mode == SelectionMode::Column) {
            return rows;
        }
        const Span whole{rows.front().begin, rows.back().end};
        if (selection.mode == SelectionMode::Lines) {
            return {{LineStartAt(text, whole.begin), LinesSelectionEnd(text, whole)}};
        }
        return {whole};
    }
    const std::size_t caret = std::min(selection.caret, text.size());
    return {options.backwards ? Span{0, caret} : Span{caret, text.size()}};
}

Pattern::Pattern(std::string_view needle, bool caseSensitive, bool wordsOnly)
    : matchCase(caseSensitive), wholeWord(wordsOnly) {
    usable = !needle.empty() && needle.find_first_of("\r\n") == std::string_view::npos;
    if (!usable) {
        return;
    }
    constexpr std::size_t kAnchorChoices = 16;
    int rarest = 0;
    std::size_t pos = 0;
    while (pos < needle.size()) {
        const std::size_t at = matchCase ? pos : length;
        std::string leads;
        if (matchCase) {
            leads.assign(1, needle[pos]);
            cp1250::NextCodePoint(needle, pos);
        } else {
            lowered.push_back(cp1250::ToLower(cp1250::NextCodePoint(needle, pos)));
            length += Utf8Length(lowered.back());
            leads = LeadBytesOf(lowered.back());
        }
        if (at == 0 || (at < kAnchorChoices && Commonness(leads) < rarest)) {
            rarest = Commonness(leads);
            anchorAt = at;
            anchorLeads = leads;
        }
    }
    if (matchCase) {
        bytes = needle;
        length = bytes.size();
    }
}

bool Pattern::MatchesAt(std::string_view text, std::size_t pos) const {
    if (matchCase) {
        return std::memcmp(text.data() + pos, bytes.data(), bytes.size()) == 0;
    }
    for (const char32_t wanted : lowered) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            if (char32_t((byte >= 'A' && byte <= 'Z') ? byte + 0x20 : byte) != wanted) {
                return false;
            }
            ++pos;
            continue;
        }
        // Lower-casing keeps a character's UTF-8 length, so every match is as long as
        // the needle; an invalid byte read as U+FFFD matches no real character.
        const std::size_t start = pos;
        if (cp1250::ToLower(cp1250::NextCodePoint(text, pos)) != wanted ||
            pos - start != Utf8Length(wanted)) {
            return false;
        }
    }
    return true;
}

bool Pattern::IsWholeWord(std::string_view text, Span match) const {
    if (match.begin > 0) {
        std::size_t start = match.begin - 1;
        while (start > 0 && match.begin - start < 4 &&
               (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) {
            --start;
        }
        std::size_t pos = start;
        const char32_t before = cp1250::NextCodePoint(text, pos);
        if (pos == match.begin && cp1250::IsWordChar(before)) {
            return false;
        }
    }
    std::size_t pos = match.end;
    return pos >= text.size() || !cp1250::IsWordChar(cp1250::NextCodePoint(text, pos));
}

// Candidates start in `starts`, which ends early enough for a whole match to fit.
std::optional<Span> Pattern::FindFirstStart(std::string_view text, Span starts) const {
    LeadScanner scanner(text, anchorLeads, starts.end + anchorAt);
    for (std::size_t at = scanner.Next(starts.begin + anchorAt); at < starts.end + anchorAt;
         at = scanner.Next(at + 1)) {
        const std::size_t pos = at - anchorAt;
        const Span match{pos, pos + length};
        if (MatchesAt(text, pos) && (!wholeWord || IsWholeWord(text, match))) {
            return match;
        }
    }
    return std::nullopt;
}

std::optional<Span> Pattern::FindFirst(std::string_view text, Span within) const {
    within.end = std::min(within.end, text.size());
    if (!usable || within.begin >= within.end || within.end - within.begin < length) {
        return std::nullopt;
    }
    return FindFirstStart(text, {within.begin, within.end - length + 1});
}

std::optional<Span> Pattern::FindLast(std::string_view text, Span within) const {
    within.end = std::min(within.end, text.size());
    if (!usable || within.begin >= within.end || within.end - within.begin < length) {
        return std::nullopt;
    }
    std::size_t blockEnd = within.end - length + 1;
    while (blockEnd > within.begin) {
        const std::size_t blockBegin = blockEnd - std::min(kBackwardBlock, blockEnd - within.begin);
        std::optional<Span> last;
        for (auto match = FindFirstStart(text, {blockBegin, blockEnd}); match;
             match = FindFirstStart(text, {match->begin + 1, blockEnd})) {
            last = match;
        }
        if (last) {
            return last;
        }
        blockEnd = blockBegin;
    }
    return std::nullopt;
}

std::optional<Span> Search(std::string_view text, std::string_view needle,
                           const Selection& selection, const SearchOptions& options) {
    const Pattern pattern(needle, options.matchCase, options.wholeWord);
    const std::vector<Span> scope = SearchScope(text, selection, options);
    if (options.backwards) {
        for (auto part = scope.rbegin(); part != scope.rend(); ++part) {
            if (auto match = pattern.FindLast(text, *part)) {
                return match;
            }
        }
        return std::nullopt;
    }
    for (const Span& part : scope) {
        if (auto match = pattern.FindFirst(text, part)) {
            return match;
        }
    }
    return std::nullopt;
}

} // namespace textsearch
