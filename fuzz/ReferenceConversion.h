#pragma once

// The record rules written out plainly on ExtractField, line by line, with no
// buffering or speed tricks: the oracle the streaming converter is checked against.
#include "converter/URejestratorKMX685.h"

#include <string>
#include <string_view>

namespace reference {

struct Rendering {
    std::string text;
    std::size_t skippedLines = 0; // non-empty lines of no known type
    bool operator==(const Rendering&) const = default;
};

inline Rendering Convert(std::string_view input) {
    if (const auto eof = input.find('\x1a'); eof != std::string_view::npos) {
        input = input.substr(0, eof);
    }
    Rendering out;
    bool open = false;
    std::string station;
    const auto field = [](const std::string& line, int i) { return ExtractField(line, i, ","); };
    while (!input.empty()) {
        const std::size_t lf = input.find('\n');
        std::string line(input.substr(0, lf));
        input = lf == std::string_view::npos ? std::string_view() : input.substr(lf + 1);
        std::erase(line, '\r');
        const std::string type = field(line, 1);
        if (type == "C") {
            if (open) {
                out.text += "0 0 0 0 " + station + "\r\n";
            }
            out.text += field(line, 2) + "    42\r\n";
            station = field(line, 7);
            open = true;
        } else if (type == "E") {
            out.text += field(line, 2) + "  " + field(line, 5) + "  " + field(line, 7) + "  " +
                        field(line, 4) + "  " + field(line, 6) + "\r\n";
        } else if (type == "D") {
            out.text += field(line, 2) + "  " + field(line, 5) + "  -1     " + field(line, 4) +
                        "  " + field(line, 6) + "\r\n";
        } else if (!line.empty()) {
            ++out.skippedLines;
        }
    }
    if (open) {
        out.text += "0 0 0 0 " + station + "\r\n";
    }
    return out;
}

} // namespace reference
