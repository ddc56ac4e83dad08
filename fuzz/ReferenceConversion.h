#pragma once

// The record rules written out plainly on ExtractField, line by line, with no
// buffering or speed tricks: the oracle the streaming converter and its report
// are checked against.
#include "converter/RecordChecks.h"
#include "converter/RecorderRecord.h"
#include "converter/URejestratorKMX685.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace reference {

struct Note {
    std::uint64_t line = 0;
    std::string reason;
    bool operator==(const Note&) const = default;
};

struct Rendering {
    std::string text;
    std::size_t skippedLines = 0; // non-empty lines of no known type
    std::vector<Note> notes;
    bool operator==(const Rendering&) const = default;
};

// Digits with an optional sign and one decimal point; angles in 0 to 400 gon.
inline records::NumberProblem CheckNumber(const std::string& field, bool angle) {
    using records::NumberProblem;
    if (field.empty()) {
        return NumberProblem::Empty;
    }
    const bool negative = field[0] == '-';
    std::string whole;
    std::string fraction;
    int dots = 0;
    for (std::size_t i = negative || field[0] == '+' ? 1 : 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '.') {
            ++dots;
        } else if (c >= '0' && c <= '9') {
            (dots == 0 ? whole : fraction) += c;
        } else {
            return NumberProblem::NotPlain;
        }
    }
    if (dots > 1 || whole.size() + fraction.size() == 0) {
        return NumberProblem::NotPlain;
    }
    if (!angle) {
        return NumberProblem::None;
    }
    whole.erase(0, whole.find_first_not_of('0'));
    const bool wholeFraction = fraction.find_first_not_of('0') == std::string::npos;
    const bool above = whole.size() > 3 || (whole.size() == 3 && whole > "400") ||
                       (whole == "400" && !wholeFraction);
    const bool below = negative && !(whole.empty() && wholeFraction);
    return above || below ? NumberProblem::OutOfRange : NumberProblem::None;
}

// The report's checks of one C, E or D record (`fields` holds fields 1 to 7).
class RecordNotes {
public:
    void Station(const std::vector<std::string>& f, int count, std::uint64_t line) {
        points_.clear();
        if (f[2].empty()) {
            Add(line, std::string(recorders::kNoStationId));
        }
        if (count < 7) {
            Add(line, records::reasons::NoStationValue());
        } else if (const auto problem = CheckNumber(f[7], false);
                   problem != records::NumberProblem::None) {
            Add(line, records::reasons::BadNumber(7, f[7], problem));
        }
    }

    void Observation(char type, const std::vector<std::string>& f, int count, bool open,
                     std::uint64_t line) {
        const int needed = type == 'E' ? 7 : 6;
        if (!open) {
            Add(line, records::reasons::OutsideStation());
        }
        if (count < needed) {
            const unsigned used = type == 'E' ? 0xF4u : 0x74u; // fields 2, 4-7 or 2, 4-6
            Add(line, records::reasons::TooFewFields(type, std::size_t(count), std::size_t(needed),
                                                     used));
        }
        if (count >= 2 && f[2].empty()) {
            Add(line, std::string(recorders::kNoPointId));
        }
        for (int i = 4; i <= std::min(count, needed); ++i) {
            const bool angle = i == 5 || (i == 7 && type == 'E');
            if (const auto problem = CheckNumber(f[i], angle);
                problem != records::NumberProblem::None) {
                Add(line, records::reasons::BadNumber(i, f[i], problem));
            }
        }
        if (!f[2].empty()) {
            if (const auto [at, first] = points_.try_emplace(f[2], line); !first) {
                Add(line, records::reasons::RepeatedPoint(f[2], at->second));
            }
        }
    }

    void EndOfFile() { points_.clear(); }
    void Add(std::uint64_t line, std::string reason) { notes.push_back({line, std::move(reason)}); }

    std::vector<Note> notes;

private:
    std::map<std::string, std::uint64_t> points_;
};

inline Rendering Convert(std::string_view input) {
    std::uint64_t ctrlZLine = 0;
    if (const auto eof = input.find('\x1a'); eof != std::string_view::npos) {
        if (input.find_first_not_of('\x1a', eof) != std::string_view::npos) {
            ctrlZLine = 1 + std::uint64_t(std::count(input.begin(), input.begin() + eof, '\n'));
        }
        input = input.substr(0, eof);
    }
    Rendering out;
    RecordNotes notes;
    bool open = false;
    std::string station;
    const auto field = [](const std::string& line, int i) { return ExtractField(line, i, ","); };
    for (std::uint64_t number = 1; !input.empty(); ++number) {
        const std::size_t lf = input.find('\n');
        std::string line(input.substr(0, lf));
        input = lf == std::string_view::npos ? std::string_view() : input.substr(lf + 1);
        if (line.find('\0') != std::string::npos) {
            notes.Add(number, records::reasons::NulByte());
        }
        std::erase(line, '\r');
        std::vector<std::string> f(8);
        for (int i = 1; i <= 7; ++i) {
            f[i] = field(line, i);
        }
        const int count =
            int(std::min<std::size_t>(7, 1 + std::count(line.begin(), line.end(), ',')));
        const std::string& type = f[1];
        if (type == "C") {
            if (open) {
                out.text += "0 0 0 0 " + station + "\r\n";
            }
            out.text += f[2] + "    42\r\n";
            station = f[7];
            open = true;
            notes.Station(f, count, number);
        } else if (type == "E") {
            out.text += f[2] + "  " + f[5] + "  " + f[7] + "  " + f[4] + "  " + f[6] + "\r\n";
            notes.Observation('E', f, count, open, number);
        } else if (type == "D") {
            out.text += f[2] + "  " + f[5] + "  -1     " + f[4] + "  " + f[6] + "\r\n";
            notes.Observation('D', f, count, open, number);
        } else if (!line.empty()) {
            ++out.skippedLines;
            notes.Add(number, type.empty() ? records::reasons::EmptyType()
                                           : records::reasons::UnknownType(type));
        }
    }
    if (ctrlZLine != 0) {
        notes.Add(ctrlZLine, records::reasons::TextAfterCtrlZ());
    }
    if (open) {
        out.text += "0 0 0 0 " + station + "\r\n";
    }
    notes.EndOfFile();
    out.notes = std::move(notes.notes);
    return out;
}

} // namespace reference
