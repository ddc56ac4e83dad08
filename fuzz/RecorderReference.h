#pragma once

// A plain second rendering of the other recorders' rules, written apart from the
// readers and as simply as possible (whole-line copies, every field split out),
// for differential checks: the readers must give the same bytes, the same
// report entries and the same counts. Numbers go through the shared conversion,
// which has its own checks.
#include "converter/GsiReader.h"
#include "converter/NikonRawReader.h"
#include "converter/RecorderLineReader.h"
#include "converter/RecorderRecord.h"
#include "converter/RecorderStream.h"
#include "converter/SdrReader.h"
#include "converter/Units.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace reference {

using recorders::Quantity;

struct Entry {
    std::size_t file = 0;
    std::size_t line = 0;
    std::string reason;
    bool operator==(const Entry&) const = default;
};

struct Result {
    std::string obsbieg;
    std::vector<Entry> entries;
    std::size_t stations = 0;
    std::size_t observations = 0;
    std::size_t skipped = 0;
    bool operator==(const Result&) const = default;
};

// The program's way: each file streamed through RecorderLineReader in blocks of
// `blockSize` bytes, its lines through the reader.
template <template <typename, typename> typename Reader>
Result Convert(const std::vector<std::string>& files, bool framing, std::size_t blockSize) {
    struct Output {
        std::string text;
        void Append(std::string_view bytes) { text.append(bytes); }
    } out;
    struct Notes {
        std::vector<Entry> entries;
        std::size_t file = 0;
        std::size_t line = 0;
        void SetLine(std::uint64_t number) { line = std::size_t(number); }
        void Note(std::string_view reason) { entries.push_back({file, line, std::string(reason)}); }
    } notes;
    Reader<Output, Notes> reader(out, notes);
    for (notes.file = 0; notes.file < files.size(); ++notes.file) {
        StringByteSource source(files[notes.file]);
        RecorderLineReader lines(source, framing, blockSize);
        recorders::ConvertFileLines(lines, reader, notes, [] { return true; });
    }
    const ConversionSummary& summary = reader.Summary();
    return {out.text, notes.entries, summary.stations, summary.observations, summary.skippedLines};
}

// A fuzz input as several input files: byte 0xFF separates them.
inline std::vector<std::string> FilesOf(std::string_view input) {
    std::vector<std::string> files(1);
    for (const char c : input) {
        if (c == '\xff') {
            files.emplace_back();
        } else {
            files.back() += c;
        }
    }
    return files;
}

// A fuzz input of the recorders' targets: the first byte picks the block size
// (1 to 64 bytes), so that lines split across blocks everywhere; the rest is files.
struct FuzzInput {
    std::size_t blockSize = 1;
    std::vector<std::string> files;
};

inline FuzzInput ReadFuzzInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return {1, {}};
    }
    return {1 + data[0] % 64u,
            FilesOf(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1))};
}

inline std::string Trim(const std::string& s) {
    const std::size_t first = s.find_first_not_of(" \t");
    return first == std::string::npos ? "" : s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Numbered non-empty lines: Ctrl-Z ends the file, framing bytes go first, then CR LF,
// CR and LF all end a line. A line longer than any record is skipped with a note.
inline std::vector<std::pair<std::size_t, std::string>> Lines(std::string bytes, bool framing) {
    bytes = bytes.substr(0, bytes.find('\x1a'));
    std::string kept;
    for (const char c : bytes) {
        if (!framing || (c != '\x02' && c != '\x03')) {
            kept += c;
        }
    }
    std::vector<std::pair<std::size_t, std::string>> lines;
    std::string current;
    std::size_t number = 1;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (kept[i] == '\r' && i + 1 < kept.size() && kept[i + 1] == '\n') {
            continue;
        }
        if (kept[i] == '\r' || kept[i] == '\n') {
            if (!current.empty()) {
                lines.push_back({number, current});
            }
            current.clear();
            ++number;
        } else {
            current += kept[i];
        }
    }
    if (!current.empty()) {
        lines.push_back({number, current});
    }
    return lines;
}

// Station blocks, notes and counts.
struct Writer {
    Result result;
    std::size_t file = 0;
    std::size_t line = 0;
    bool open = false;
    std::string height;

    void Note(std::string_view reason) {
        result.entries.push_back({file, line, std::string(reason)});
    }
    // False, with the line noted and skipped, when it is too long to read.
    bool Readable(const std::pair<std::size_t, std::string>& numbered) {
        line = numbered.first;
        if (numbered.second.size() <= RecorderLineReader::kMaxLineBytes) {
            return true;
        }
        Note(recorders::kLineTooLong);
        ++result.skipped;
        return false;
    }
    void Station(const std::string& id, const std::string& instrumentHeight) {
        Close();
        result.obsbieg += id + "    42\r\n";
        height = instrumentHeight;
        open = true;
        ++result.stations;
    }
    // An empty zenith gives -1.
    void Observation(const std::string& id, const std::string& hz, const std::string& v,
                     const std::string& sd, const std::string& ht) {
        if (!open) {
            Note(std::string(recorders::kOutsideStation));
        }
        result.obsbieg +=
            id + "  " + hz + "  " + (v.empty() ? "-1   " : v) + "  " + sd + "  " + ht + "\r\n";
        ++result.observations;
    }
    void Close() {
        if (open) {
            result.obsbieg += "0 0 0 0 " + height + "\r\n";
        }
        open = false;
    }
    std::string Id(const std::string& text, std::string_view missing) {
        const std::string id = Trim(text);
        if (id.empty()) {
            Note(std::string(missing));
        }
        return id;
    }
    // "" with a note when the text is empty or no plain decimal.
    std::string Number(const std::string& text, Quantity q, bool missingNoted,
                       const std::function<std::string(const units::Number&)>& convert) {
        const std::string value = Trim(text);
        if (value.empty()) {
            if (missingNoted) {
                Note(recorders::MissingNote(q));
            }
            return "";
        }
        const auto number = units::ParseNumber(value);
        if (!number) {
            Note(recorders::UnreadableNote(q, value));
            return "";
        }
        return convert(*number);
    }
    std::string Angle(const std::string& text, units::AngleUnit unit, bool horizon, Quantity q) {
        return Number(text, q, true,
                      [&](const units::Number& n) { return units::AngleToGon(n, unit, horizon); });
    }
    std::string Length(const std::string& text, units::LengthUnit unit, Quantity q,
                       bool missingNoted = true) {
        return Number(text, q, missingNoted,
                      [&](const units::Number& n) { return units::LengthToMetres(n, unit); });
    }
};

inline Result NikonRaw(const std::vector<std::string>& files) {
    using units::AngleUnit;
    using units::LengthUnit;
    Writer w;
    for (w.file = 0; w.file < files.size(); ++w.file) {
        AngleUnit angle = AngleUnit::Gon;
        LengthUnit length = LengthUnit::Metre;
        bool horizon = false;
        std::string carried = "-"; // "-": none yet
        for (const auto& numbered : Lines(files[w.file], false)) {
            if (!w.Readable(numbered)) {
                continue;
            }
            const std::string& text = numbered.second;
            std::vector<std::string> f{""};
            for (const char c : text) {
                if (c == ',') {
                    f.push_back("");
                } else {
                    f.back() += c;
                }
            }
            f.resize(std::max<std::size_t>(f.size(), 8));
            const std::string type = Trim(f[0]);
            const std::string comment = Trim(text.substr(text.find(',') + 1));
            const auto key = [&](const std::string& k) { return comment.rfind(k, 0) == 0; };
            const std::string value = comment.substr(comment.find(':') + 1);
            const std::string v = Trim(value);
            if (type == "CO" && key("Dist Units:")) {
                const std::map<std::string, LengthUnit> units{
                    {"Metres", LengthUnit::Metre},
                    {"Feet", LengthUnit::Foot},
                    {"US Feet", LengthUnit::UsSurveyFoot},
                    {"Feet US", LengthUnit::UsSurveyFoot}};
                units.count(v) ? void(length = units.at(v)) : w.Note(recorders::UnknownUnitNote(v));
            } else if (type == "CO" && key("Angle Units:")) {
                const std::map<std::string, AngleUnit> units{{"Gons", AngleUnit::Gon},
                                                             {"DDDMMSS", AngleUnit::Sexagesimal},
                                                             {"Degrees", AngleUnit::Degree},
                                                             {"Mils", AngleUnit::Mil}};
                units.count(v) ? void(angle = units.at(v)) : w.Note(recorders::UnknownUnitNote(v));
            } else if (type == "CO" && key("Zero VA:")) {
                v == "Zenith" || v == "Horizontal" ? void(horizon = v == "Horizontal")
                                                   : w.Note(recorders::UnknownUnitNote(v));
            } else if (type == "ST") {
                const std::string id = w.Id(f[1], recorders::kNoStationId);
                w.Station(id, w.Length(f[5], length, Quantity::InstrumentHeight));
            } else if (type == "SS" || type == "F1" || type == "F2" || type == "CP" ||
                       type == "SO") {
                const std::size_t h = type == "CP" || type == "SO" ? 3 : 2; // target height
                const std::string id = w.Id(f[1], recorders::kNoPointId);
                const std::string hz = w.Angle(f[h + 2], angle, false, Quantity::HorizontalAngle);
                const std::string zenith =
                    w.Angle(f[h + 3], angle, horizon, Quantity::VerticalAngle);
                const std::string sd = w.Length(f[h + 1], length, Quantity::SlopeDistance);
                if (Trim(f[h]).empty()) {
                    w.Note(carried != "-" ? std::string(recorders::kTargetHeightCarried)
                                          : recorders::MissingNote(Quantity::TargetHeight));
                } else if (const std::string ht = w.Length(f[h], length, Quantity::TargetHeight);
                           !ht.empty()) {
                    carried = ht;
                }
                w.Observation(id, hz, zenith, sd, carried == "-" ? "" : carried);
            } else {
                ++w.result.skipped;
                if (type != "CO" && type != "UP" && type != "MP" && type != "CC" && type != "RE") {
                    w.Note(recorders::UnknownRecordNote(type));
                }
            }
        }
        w.Close();
    }
    return w.result;
}

inline Result Sdr(const std::vector<std::string>& files) {
    using units::AngleUnit;
    using units::LengthUnit;
    Writer w;
    for (w.file = 0; w.file < files.size(); ++w.file) {
        AngleUnit angle = AngleUnit::Degree;
        LengthUnit length = LengthUnit::Metre;
        bool horizon = false;
        bool narrow = false;
        std::string carried = "-";
        for (const auto& numbered : Lines(files[w.file], true)) {
            if (!w.Readable(numbered)) {
                continue;
            }
            const std::string& text = numbered.second;
            const auto at = [&](std::size_t c) { return c <= text.size() ? text[c - 1] : ' '; };
            // Columns from..to of SDR33, or of SDR2x when the job says so.
            const auto cut = [&](std::size_t from33, std::size_t to33, std::size_t from2x,
                                 std::size_t to2x) {
                const std::size_t from = narrow ? from2x : from33;
                const std::size_t to = narrow ? to2x : to33;
                return from <= text.size() ? text.substr(from - 1, to - from + 1) : "";
            };
            const int type = text.size() >= 2 && IsDigit(text[0]) && IsDigit(text[1])
                                 ? std::stoi(text.substr(0, 2))
                                 : -1;
            if (type == 0) {
                const char a = at(41);
                a == '1'   ? void(angle = AngleUnit::Degree)
                : a == '2' ? void(angle = AngleUnit::Gon)
                : a == '4' ? void(angle = AngleUnit::Mil)
                : a == ' ' ? void()
                           : w.Note(recorders::UnknownUnitNote(std::string(1, a)));
                const char d = at(42);
                d == '1'   ? void(length = LengthUnit::Metre)
                : d == '2' ? void(length = LengthUnit::Foot)
                : d == ' ' ? void()
                           : w.Note(recorders::UnknownUnitNote(std::string(1, d)));
            } else if (type == 1) {
                horizon = at(51) == '2';
            } else if (type == 10) {
                narrow = at(21) != '1';
            } else if (type == 2) {
                const std::string id = w.Id(cut(5, 20, 5, 8), recorders::kNoStationId);
                w.Station(id, w.Length(cut(69, 84, 39, 48), length, Quantity::InstrumentHeight));
            } else if (type == 3) {
                const std::string ht =
                    w.Length(cut(5, 20, 5, 14), length, Quantity::TargetHeight, false);
                carried = ht.empty() ? "-" : ht;
            } else if (type == 9) {
                const std::string id = w.Id(cut(21, 36, 9, 12), recorders::kNoPointId);
                const std::string hz =
                    w.Angle(cut(69, 84, 33, 42), angle, false, Quantity::HorizontalAngle);
                const std::string zenith =
                    w.Angle(cut(53, 68, 23, 32), angle, horizon, Quantity::VerticalAngle);
                const std::string sd =
                    w.Length(cut(37, 52, 13, 22), length, Quantity::SlopeDistance);
                if (carried == "-") {
                    w.Note(recorders::MissingNote(Quantity::TargetHeight));
                }
                w.Observation(id, hz, zenith, sd, carried == "-" ? "" : carried);
            } else {
                ++w.result.skipped;
                if (type < 0 || type > 13) {
                    w.Note(recorders::UnknownRecordNote(text.substr(0, 4)));
                }
            }
        }
        w.Close();
    }
    return w.result;
}

// A GSI word's value: 0 absent, 1 unreadable (noted when `noting`), 2 read into `out`.
inline int GsiValue(Writer& w, const std::string* word, bool angle, Quantity q, bool noting,
                    std::string& out, bool& zero) {
    if (word == nullptr) {
        return 0;
    }
    const std::string data = Trim(word->substr(7));
    if (!data.empty() && data.find_first_not_of('-') == std::string::npos) {
        return 0;
    }
    const char unit = (*word)[5];
    const char sign = (*word)[6];
    const std::string fits = angle ? "2345" : "01678";
    const bool digits = !data.empty() && data.find_first_not_of("0123456789") == std::string::npos;
    if ((IsDigit(unit) && fits.find(unit) == std::string::npos) || !digits ||
        (sign != '+' && sign != '-')) {
        if (noting) {
            w.Note(recorders::UnreadableNote(q, *word));
        }
        return 1;
    }
    units::Number n = *units::ParseNumber(data, angle ? (unit == '5' ? 4 : 5)
                                                      : (unit == '6' || unit == '7' ? 4
                                                         : unit == '8'              ? 5
                                                                                    : 3));
    n.negative = sign == '-';
    zero = data.find_first_not_of('0') == std::string::npos;
    const units::AngleUnit au = unit == '3'   ? units::AngleUnit::Degree
                                : unit == '4' ? units::AngleUnit::Sexagesimal
                                : unit == '5' ? units::AngleUnit::Mil
                                              : units::AngleUnit::Gon;
    const units::LengthUnit lu =
        unit == '1' || unit == '7' ? units::LengthUnit::Foot : units::LengthUnit::Metre;
    out = angle ? units::AngleToGon(n, au) : units::LengthToMetres(n, lu);
    return 2;
}

inline Result Gsi(const std::vector<std::string>& files) {
    Writer w;
    for (w.file = 0; w.file < files.size(); ++w.file) {
        std::string carried = "-";
        for (const auto& numbered : Lines(files[w.file], false)) {
            if (!w.Readable(numbered)) {
                continue;
            }
            const std::string& text = numbered.second;
            std::string s = text;
            std::size_t width = 16;
            if (s[0] == '*') {
                s.erase(0, 1);
                width = 24;
            } else if (s.find(' ') == 23 || (s.find(' ') == std::string::npos && s.size() == 23)) {
                width = 24;
            }
            std::map<int, std::string> words; // the first word of each two-digit index
            bool unknown = false;
            for (std::size_t k = 0; k * width < s.size(); ++k) {
                const std::string word = s.substr(k * width, width - 1);
                if (Trim(word).empty()) {
                    continue;
                }
                if (word.size() < 7 || !IsDigit(word[0]) || !IsDigit(word[1])) {
                    unknown = k == 0;
                    if (unknown) {
                        break;
                    }
                    w.Note(recorders::UnreadableWordNote(word));
                    continue;
                }
                const int index = std::stoi(word.substr(0, 2));
                if (index == 11 || index == 41 || !IsDigit(word[2])) {
                    words.emplace(index, word);
                }
            }
            if (unknown) {
                w.Note(recorders::UnknownRecordNote(text));
                ++w.result.skipped;
                continue;
            }
            const auto word = [&](int index) {
                return words.count(index) ? &words.at(index) : nullptr;
            };
            const auto id = [&](int index, std::string_view missing) {
                std::string data = word(index) ? Trim(word(index)->substr(7)) : "";
                while (data.size() > 1 && data[0] == '0') {
                    data.erase(0, 1);
                }
                if (data.empty()) {
                    w.Note(std::string(missing));
                }
                return data;
            };
            std::string value;
            bool zero = false;
            if (GsiValue(w, word(87), false, Quantity::TargetHeight, true, value, zero) == 2) {
                carried = value;
            }
            const bool code = word(41) && word(42);
            if (code || ((word(84) || word(85) || word(86) || word(88)) && !word(21) && !word(22) &&
                         !word(31))) {
                const std::string station = id(code ? 42 : 11, recorders::kNoStationId);
                std::string hi;
                if (GsiValue(w, word(code ? 43 : 88), false, Quantity::InstrumentHeight, true, hi,
                             zero) == 0) {
                    w.Note(recorders::MissingNote(Quantity::InstrumentHeight));
                }
                w.Station(station, hi);
            } else if (word(21) || word(22)) {
                const std::string point = id(11, recorders::kNoPointId);
                std::string hz, zenith, sd;
                if (GsiValue(w, word(21), true, Quantity::HorizontalAngle, true, hz, zero) == 0) {
                    w.Note(recorders::MissingNote(Quantity::HorizontalAngle));
                }
                if (GsiValue(w, word(22), true, Quantity::VerticalAngle, true, zenith, zero) == 0) {
                    w.Note(recorders::MissingNote(Quantity::VerticalAngle));
                }
                const int slope =
                    GsiValue(w, word(31), false, Quantity::SlopeDistance, true, sd, zero);
                if (slope == 2 && zero) {
                    sd.clear();
                }
                if (slope == 0 || (slope == 2 && zero)) {
                    std::string horizontal;
                    bool horizontalZero = false;
                    const bool only = GsiValue(w, word(32), false, Quantity::SlopeDistance, false,
                                               horizontal, horizontalZero) == 2 &&
                                      !horizontalZero;
                    w.Note(only ? std::string(recorders::kHorizontalDistanceOnly)
                                : recorders::MissingNote(Quantity::SlopeDistance));
                }
                if (carried == "-") {
                    w.Note(recorders::MissingNote(Quantity::TargetHeight));
                }
                w.Observation(point, hz, zenith, sd, carried == "-" ? "" : carried);
            } else if (!word(87)) {
                ++w.result.skipped;
            }
        }
        w.Close();
    }
    return w.result;
}

} // namespace reference
