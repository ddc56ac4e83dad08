#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

enum class RecorderFormat { Kmx685, NikonRaw, Sdr, Gsi, Unknown };

// Which format the first non-empty lines of a file look like: the format most of
// them read as (the earlier one on a tie), Unknown when none reads as any.
RecorderFormat RecogniseFormat(std::span<const std::string_view> lines);

// The format's name for the user.
std::string_view FormatName(RecorderFormat format);

// How the start of a file looks: the format of its first kRecognisedLines
// non-empty lines (any line end ends a line, framing bytes are left out), and
// where the first of them stands.
struct FileStart {
    static constexpr std::size_t kRecognisedLines = 10;

    RecorderFormat format = RecorderFormat::Unknown;
    bool empty = true; // no non-empty line at all
    // The number of the first non-empty line, as `format` counts lines (the
    // KMX 685 only at LF, the others at any line end); 1 in an empty file.
    std::uint64_t FirstLine(RecorderFormat in) const {
        return in == RecorderFormat::Kmx685 ? kmxLine : recorderLine;
    }

    std::uint64_t kmxLine = 1;
    std::uint64_t recorderLine = 1;
};

// `head` is the start of a file, or all of it; a Ctrl-Z ends it.
FileStart RecogniseStart(std::string_view head);

// The report's reason for a file that looks like another format than the chosen one.
std::string LooksLikeNote(RecorderFormat looksLike, RecorderFormat chosen);
