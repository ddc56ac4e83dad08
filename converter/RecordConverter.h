#pragma once

#include "converter/ConversionReport.h"
#include "converter/LineReader.h"
#include "converter/ObsbiegLayout.h"
#include "converter/PointSet.h"
#include "converter/RecordChecks.h"
#include "converter/RecorderRecord.h"
#include "converter/URejestratorKMX685.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

// The record rules of the conversion, on lines from LineReader, written to any
// output with Append and AppendField (a file in the program, a string in tests
// and fuzzing), with what did not convert cleanly told to a report (a
// ConversionReport, or NoReport for none). The report changes no output byte.
namespace records {

inline constexpr int kFieldsUsed = 7;

// The fields each record type writes, as the reader's FieldsKept rule: a line
// of any other type is skipped, so nothing of it is needed.
inline unsigned FieldsWritten(std::string_view type) {
    constexpr auto bits = [](auto... fields) { return ((1u << fields) | ...); };
    if (type.size() != 1) {
        return 0;
    }
    switch (type[0]) {
    case 'C':
        return bits(1, 2, 7);
    case 'E':
        return bits(1, 2, 4, 5, 6, 7);
    case 'D':
        return bits(1, 2, 4, 5, 6);
    default:
        return 0;
    }
}

// Fields 1..7 of a comma-separated line, the same as ExtractField gives, without copies.
using Fields = std::array<std::string_view, kFieldsUsed + 1>;

// Fields are cut at commas found 16 bytes at a time; the reader guarantees
// 16 readable bytes after every line, so the last chunk may run past its end.
// Returns how many fields the line has, up to kFieldsUsed.
inline int SplitFields(std::string_view line, Fields& fields) {
    const char* const data = line.data();
    const std::size_t size = line.size();
    std::size_t start = 0;
    int k = 1;
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i comma = _mm_set1_epi8(',');
    for (std::size_t chunk = 0; chunk < size && k <= kFieldsUsed; chunk += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + chunk));
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, comma)));
        if (size - chunk < 16) {
            mask &= (1u << (size - chunk)) - 1;
        }
        while (mask != 0 && k <= kFieldsUsed) {
            const std::size_t end = chunk + std::size_t(std::countr_zero(mask));
            mask &= mask - 1;
            fields[k++] = std::string_view(data + start, end - start);
            start = end + 1;
        }
    }
#else
    for (std::size_t pos = 0; pos < size && k <= kFieldsUsed; ++pos) {
        if (data[pos] == ',') {
            fields[k++] = std::string_view(data + start, pos - start);
            start = pos + 1;
        }
    }
#endif
    if (k <= kFieldsUsed) {
        fields[k++] = std::string_view(data + start, size - start);
    }
    const int count = k - 1;
    for (; k <= kFieldsUsed; ++k) {
        fields[k] = std::string_view(data + size, 0); // keeps the padding guarantee
    }
    return count;
}

// Output into memory, for tests and fuzzing.
struct StringOutput {
    std::string text;
    void Append(std::string_view bytes) { text.append(bytes); }
    void AppendField(std::string_view field) { text.append(field); }
};

// The same fields from comma offsets already found by the reader.
inline int FieldsFromCommas(std::string_view line, const std::uint32_t* commas, int count,
                            Fields& fields) {
    std::size_t start = 0;
    int k = 1;
    for (int j = 0; j < count; ++j) {
        fields[k++] = line.substr(start, commas[j] - start);
        start = commas[j] + 1;
    }
    if (k <= kFieldsUsed) {
        fields[k++] = line.substr(start);
    }
    const int fieldCount = k - 1;
    for (; k <= kFieldsUsed; ++k) {
        fields[k] = std::string_view(line.data() + line.size(), 0); // keeps the padding guarantee
    }
    return fieldCount;
}

template <typename Output, typename Notes = NoReport> class RecordConverter {
public:
    RecordConverter(Output& out, Notes& notes) : out_(out), notes_(notes) {}
    explicit RecordConverter(Output& out) requires std::is_same_v<Notes, NoReport>
        : out_(out), notes_(noReport_) {}

    // One line as LineReader hands it out (16 readable bytes after it).
    void ConvertLine(std::string_view line, const LineReader& reader) {
        if constexpr (Notes::kEnabled) {
            if (reader.LineHasNul()) {
                notes_.Note(reasons::NulByte());
            }
        }
        const int fieldCount = reader.CommasKnown() ? FieldsFromCommas(line, reader.CommaOffsets(),
                                                                       reader.CommaCount(), fields_)
                                                    : SplitFields(line, fields_);
        ConvertFields(line, fieldCount);
    }

    // Every station block is closed in the file in which it began.
    void EndOfFile() {
        if (stationOpen_) {
            WriteClosingLine();
        }
        if constexpr (Notes::kEnabled) {
            points_.Clear();
        }
        ++summary_.files;
    }

    const ConversionSummary& Summary() const { return summary_; }

private:
    void ConvertFields(std::string_view line, int fieldCount);
    void WriteClosingLine() {
        out_.Append(obsbieg::kClosingPrefix);
        out_.AppendField(stationValue_);
        out_.Append(obsbieg::kLineEnd);
        stationOpen_ = false;
    }

    // Columns 2, 5, third, 4, 6 of an observation line, two spaces apart.
    void WriteObservation(std::string_view third) {
        out_.AppendField(fields_[2]);
        out_.Append(obsbieg::kColumnGap);
        out_.AppendField(fields_[5]);
        out_.Append(obsbieg::kColumnGap);
        out_.AppendField(third);
        out_.Append(obsbieg::kColumnGap);
        out_.AppendField(fields_[4]);
        out_.Append(obsbieg::kColumnGap);
        out_.AppendField(fields_[6]);
        out_.Append(obsbieg::kLineEnd);
        ++summary_.observations;
    }

    // Padded like a line from the reader; a huge value is held once, and only
    // until the next station.
    void KeepStationValue(std::string_view value) {
        constexpr std::size_t kSmall = std::size_t(1) << 16;
        if (stationValue_.capacity() > kSmall && value.size() <= kSmall) {
            std::string().swap(stationValue_);
        }
        stationValue_.clear();
        stationValue_.reserve(value.size() + LineReader::kPadding);
        stationValue_.append(value);
    }

    void NoteSkipped(std::string_view type);
    void CheckStation(int fieldCount);
    template <char kType> void CheckObservation(int fieldCount);

    struct NoPoints {};
    inline static NoReport noReport_;

    Output& out_;
    Notes& notes_;
    bool stationOpen_ = false;
    std::string stationValue_;
    Fields fields_;
    ConversionSummary summary_;
    [[no_unique_address]] std::conditional_t<Notes::kEnabled, PointSet, NoPoints> points_;
};

template <typename Output, typename Notes>
void RecordConverter<Output, Notes>::ConvertFields(std::string_view line, int fieldCount) {
    const std::string_view type = fields_[1];
    if (type.size() != 1) {
        if (!line.empty()) {
            ++summary_.skippedLines;
            NoteSkipped(type);
        }
        return;
    }
    switch (type[0]) {
    case 'C':
        if (stationOpen_) {
            WriteClosingLine();
        }
        out_.AppendField(fields_[2]);
        out_.Append(obsbieg::kStationEnd);
        KeepStationValue(fields_[7]);
        stationOpen_ = true;
        ++summary_.stations;
        CheckStation(fieldCount);
        break;
    case 'E':
        WriteObservation(fields_[7]);
        CheckObservation<'E'>(fieldCount);
        break;
    case 'D': // no value for the third column
        WriteObservation(obsbieg::kNoValue);
        CheckObservation<'D'>(fieldCount);
        break;
    default:
        ++summary_.skippedLines;
        NoteSkipped(type);
    }
}

template <typename Output, typename Notes>
void RecordConverter<Output, Notes>::NoteSkipped(std::string_view type) {
    if constexpr (Notes::kEnabled) {
        notes_.NoteLazily(
            [&] { return type.empty() ? reasons::EmptyType() : reasons::UnknownType(type); });
    }
}

template <typename Output, typename Notes>
void RecordConverter<Output, Notes>::CheckStation(int fieldCount) {
    if constexpr (Notes::kEnabled) {
        points_.Clear();
        if (fields_[2].empty()) {
            notes_.NoteLazily([] { return recorders::kNoStationId; });
        }
        if (fieldCount < kFieldsUsed) {
            notes_.NoteLazily([] { return reasons::NoStationValue(); });
        } else if (const auto problem = CheckPaddedNumber(fields_[7], false);
                   problem != NumberProblem::None) {
            notes_.NoteLazily([&] { return reasons::BadNumber(7, fields_[7], problem); });
        }
    }
}

// E records use fields 2 and 4 to 7, D records 2 and 4 to 6; the angles are E
// fields 5 and 7 and D field 5.
template <typename Output, typename Notes>
template <char kType>
void RecordConverter<Output, Notes>::CheckObservation(int fieldCount) {
    if constexpr (Notes::kEnabled) {
        constexpr int needed = kType == 'E' ? kFieldsUsed : kFieldsUsed - 1;
        constexpr char type = kType;
        if (!stationOpen_) {
            notes_.NoteLazily([] { return reasons::OutsideStation(); });
        }
        if (fieldCount < needed) {
            notes_.NoteLazily([&] {
                return reasons::TooFewFields(type, std::size_t(fieldCount), std::size_t(needed),
                                             FieldsWritten(std::string_view(&type, 1)));
            });
        }
        const std::string_view point = fields_[2];
        if (point.empty() && fieldCount >= 2) {
            notes_.NoteLazily([] { return recorders::kNoPointId; });
        }
        constexpr unsigned angles = kType == 'E' ? (1u << 5) | (1u << 7) : 1u << 5;
        const int last = std::min(fieldCount, needed);
        const bool plain = last == needed && PlainColumns<4, needed, angles>(fields_.data());
        for (int field = 4; !plain && field <= last; ++field) {
            const bool angle = ((angles >> field) & 1u) != 0;
            const NumberProblem problem = CheckPaddedNumber(fields_[field], angle);
            if (problem != NumberProblem::None) [[unlikely]] {
                notes_.NoteLazily(
                    [&] { return reasons::BadNumber(field, fields_[field], problem); });
            }
        }
        if (!point.empty()) {
            if (const std::uint64_t first = points_.Insert(point, notes_.Line())) {
                notes_.NoteLazily([&] { return reasons::RepeatedPoint(point, first); });
            }
        }
    }
}

// After the last line of a file: text after its Ctrl-Z goes to the line that holds the Ctrl-Z.
template <typename Notes>
void NoteTextAfterCtrlZ(LineReader& reader, std::uint64_t lines, Notes& notes) {
    if constexpr (Notes::kEnabled) {
        if (reader.TextAfterCtrlZ()) {
            notes.NoteAt(lines + (reader.CtrlZBeginsLine() ? 1 : 0), reasons::TextAfterCtrlZ());
        }
    }
}

// Converts one file: its lines from `reader` through `converter`, each line's
// number told to `notes` (SetLine) first; after each line `afterLine()` says
// whether to go on. True when the whole file was read, text after its Ctrl-Z
// noted and its last block closed; false when stopped or on a read error
// (reader.Error()).
template <typename Output, typename Notes, typename AfterLine>
bool ConvertFileLines(LineReader& reader, RecordConverter<Output, Notes>& converter, Notes& notes,
                      AfterLine&& afterLine) {
    std::uint64_t lines = 0;
    std::string_view line;
    while (reader.Next(line)) {
        notes.SetLine(++lines);
        converter.ConvertLine(line, reader);
        if (!afterLine()) {
            return false;
        }
    }
    if (reader.Error()) {
        return false;
    }
    NoteTextAfterCtrlZ(reader, lines, notes);
    converter.EndOfFile();
    return true;
}

} // namespace records
