#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The lines of another recorder's file, split all at once as a reference for
// RecorderLineReader, by the rules it keeps for these formats: LF, CR LF and a
// lone CR each end a line, empty lines are left out (but counted), a Ctrl-Z
// ends the file, and with `dropFraming` (SDR downloads) the framing bytes STX
// and ETX are dropped wherever they stand.
struct RecorderLine {
    std::size_t number = 0; // counted from 1
    std::string text;
};

std::vector<RecorderLine> SplitRecorderLines(std::string_view bytes, bool dropFraming);
