#include "RecorderLines.h"

std::vector<RecorderLine> SplitRecorderLines(std::string_view bytes, bool dropFraming) {
    std::string text(bytes.substr(0, bytes.find('\x1a')));
    if (dropFraming) { // before the line ends are found: CR STX LF is one line end
        std::erase_if(text, [](char c) { return c == '\x02' || c == '\x03'; });
    }
    std::vector<RecorderLine> lines;
    RecorderLine line{1, {}};
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\n' && text[i] != '\r') {
            line.text.push_back(text[i]);
            continue;
        }
        if (!line.text.empty()) {
            lines.push_back(line);
        }
        line.text.clear();
        ++line.number;
        if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') {
            ++i;
        }
    }
    return lines;
}
