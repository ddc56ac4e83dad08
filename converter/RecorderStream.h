#pragma once

#include "converter/RecorderLineReader.h"

#include <string_view>

namespace recorders {

// Converts one file of another recorder: its lines from `lines` through `reader`
// (a RecorderReader), with each line's number told to `notes` (SetLine) first;
// a line too long for any record is skipped and noted. After each line
// `afterLine()` says whether to go on. True when the whole file was read and the
// reader has closed it; false when stopped or on a read error (lines.Error()).
template <typename Reader, typename Notes, typename AfterLine>
bool ConvertFileLines(RecorderLineReader& lines, Reader& reader, Notes& notes,
                      AfterLine&& afterLine) {
    std::string_view line;
    while (lines.Next(line)) {
        notes.SetLine(lines.LineNumber());
        if (lines.TooLong()) {
            reader.SkipTooLongLine();
        } else {
            reader.ConvertLine(line);
        }
        if (!afterLine()) {
            return false;
        }
    }
    if (lines.Error()) {
        return false;
    }
    reader.EndOfFile();
    return true;
}

} // namespace recorders
