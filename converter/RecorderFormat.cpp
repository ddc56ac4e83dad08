#include "converter/RecorderFormat.h"

#include "converter/GsiReader.h"
#include "converter/NikonRawReader.h"
#include "converter/SdrReader.h"

#include <array>
#include <vector>

namespace {

bool LooksLikeKmx685(std::string_view line) {
    const std::string_view type = line.substr(0, line.find(','));
    return type.size() < line.size() && (type == "C" || type == "E" || type == "D");
}

RecorderFormat LineFormat(std::string_view line) {
    // GSI first: an SDR record never has a sign in column 7 after digits and dots.
    if (recorders::LooksLikeGsi(line)) {
        return RecorderFormat::Gsi;
    }
    if (recorders::LooksLikeSdr(line)) {
        return RecorderFormat::Sdr;
    }
    if (recorders::LooksLikeNikonRaw(line)) {
        return RecorderFormat::NikonRaw;
    }
    return LooksLikeKmx685(line) ? RecorderFormat::Kmx685 : RecorderFormat::Unknown;
}

} // namespace

RecorderFormat RecogniseFormat(std::span<const std::string_view> lines) {
    constexpr std::size_t kFormats = std::size_t(RecorderFormat::Unknown);
    std::array<std::size_t, kFormats> votes{};
    std::array<std::size_t, kFormats> firstSeen{};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const RecorderFormat format = LineFormat(lines[i]);
        if (format != RecorderFormat::Unknown && votes[std::size_t(format)]++ == 0) {
            firstSeen[std::size_t(format)] = i;
        }
    }
    RecorderFormat best = RecorderFormat::Unknown;
    for (std::size_t f = 0; f < kFormats; ++f) {
        const std::size_t bestVotes =
            best == RecorderFormat::Unknown ? 0 : votes[std::size_t(best)];
        if (votes[f] > bestVotes || (votes[f] > 0 && votes[f] == bestVotes &&
                                     firstSeen[f] < firstSeen[std::size_t(best)])) {
            best = RecorderFormat(f);
        }
    }
    return best;
}

std::string_view FormatName(RecorderFormat format) {
    switch (format) {
    case RecorderFormat::Kmx685:
        return "KMX 685";
    case RecorderFormat::NikonRaw:
        return "Nikon RAW";
    case RecorderFormat::Sdr:
        return "Sokkia SDR";
    case RecorderFormat::Gsi:
        return "Leica GSI";
    case RecorderFormat::Unknown:
        break;
    }
    return "nieznany format";
}

FileStart RecogniseStart(std::string_view head) {
    head = head.substr(0, head.find('\x1a'));
    FileStart start;
    std::vector<std::string> lines;
    std::string line;
    std::uint64_t number = 1;
    std::uint64_t lineFeeds = 0;
    const auto endLine = [&] {
        if (!line.empty()) {
            lines.push_back(std::move(line));
        }
        line.clear();
    };
    for (std::size_t i = 0; i < head.size() && lines.size() < FileStart::kRecognisedLines; ++i) {
        const char c = head[i];
        if (c == '\x02' || c == '\x03') {
            continue;
        }
        if (c != '\r' && c != '\n') {
            if (line.empty() && lines.empty()) {
                start.kmxLine = lineFeeds + 1;
                start.recorderLine = number;
            }
            line += c;
            continue;
        }
        endLine();
        ++number;
        if (c == '\r' && i + 1 < head.size() && head[i + 1] == '\n') {
            ++i;
        }
        lineFeeds += head[i] == '\n' ? 1 : 0;
    }
    if (lines.size() < FileStart::kRecognisedLines) {
        endLine(); // the last line, or as much of it as the head holds
    }
    start.empty = lines.empty();
    const std::vector<std::string_view> views(lines.begin(), lines.end());
    start.format = RecogniseFormat(views);
    return start;
}

std::string LooksLikeNote(RecorderFormat looksLike, RecorderFormat chosen) {
    return "plik wygląda na format " + std::string(FormatName(looksLike)) + ", a wybrano " +
           std::string(FormatName(chosen));
}
