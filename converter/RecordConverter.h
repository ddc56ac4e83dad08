#pragma once

#include "converter/LineReader.h"
#include "converter/URejestratorKMX685.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

// The record rules of the conversion, on lines from LineReader, written to any
// output with Append and AppendField (a file in the program, a string in tests
// and fuzzing).
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

inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr std::string_view kClosingPrefix = "0 0 0 0 ";

// A D record has no value for the third column: -1 and three blanks stand there.
// Padded like a field from the reader, so it is copied the same way.
inline constexpr char kNoValueBytes[32] = "-1   ";
inline constexpr std::string_view kNoValue(kNoValueBytes, 5);

// Fields 1..7 of a comma-separated line, the same as ExtractField gives, without copies.
using Fields = std::array<std::string_view, kFieldsUsed + 1>;

// Fields are cut at commas found 16 bytes at a time; the reader guarantees
// 16 readable bytes after every line, so the last chunk may run past its end.
inline void SplitFields(std::string_view line, Fields& fields) {
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
    for (; k <= kFieldsUsed; ++k) {
        fields[k] = std::string_view(data + size, 0); // keeps the padding guarantee
    }
}

// Output into memory, for tests and fuzzing.
struct StringOutput {
    std::string text;
    void Append(std::string_view bytes) { text.append(bytes); }
    void AppendField(std::string_view field) { text.append(field); }
};

// The same fields from comma offsets already found by the reader.
inline void FieldsFromCommas(std::string_view line, const std::uint32_t* commas, int count,
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
    for (; k <= kFieldsUsed; ++k) {
        fields[k] = std::string_view(line.data() + line.size(), 0); // keeps the padding guarantee
    }
}

template <typename Output> class RecordConverter {
public:
    explicit RecordConverter(Output& out) : out_(out) {}

    // One line as LineReader hands it out (16 readable bytes after it).
    void ConvertLine(std::string_view line) {
        SplitFields(line, fields_);
        ConvertFields(line);
    }
    void ConvertLine(std::string_view line, const LineReader& reader) {
        if (reader.CommasKnown()) {
            FieldsFromCommas(line, reader.CommaOffsets(), reader.CommaCount(), fields_);
        } else {
            SplitFields(line, fields_);
        }
        ConvertFields(line);
    }

    // Every station block is closed in the file in which it began.
    void EndOfFile() {
        if (stationOpen_) {
            WriteClosingLine();
        }
        ++summary_.files;
    }

    const ConversionSummary& Summary() const { return summary_; }

private:
    void ConvertFields(std::string_view line);
    void WriteClosingLine() {
        out_.Append(kClosingPrefix);
        out_.AppendField(stationValue_);
        out_.Append(kLineEnd);
        stationOpen_ = false;
    }

    // Columns 2, 5, third, 4, 6 of an observation line, two spaces apart.
    void WriteObservation(std::string_view third) {
        out_.AppendField(fields_[2]);
        out_.Append("  ");
        out_.AppendField(fields_[5]);
        out_.Append("  ");
        out_.AppendField(third);
        out_.Append("  ");
        out_.AppendField(fields_[4]);
        out_.Append("  ");
        out_.AppendField(fields_[6]);
        out_.Append(kLineEnd);
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

    Output& out_;
    bool stationOpen_ = false;
    std::string stationValue_;
    Fields fields_;
    ConversionSummary summary_;
};

template <typename Output> void RecordConverter<Output>::ConvertFields(std::string_view line) {
    const std::string_view type = fields_[1];
    if (type.size() != 1) {
        summary_.skippedLines += line.empty() ? 0 : 1;
        return;
    }
    switch (type[0]) {
    case 'C':
        if (stationOpen_) {
            WriteClosingLine();
        }
        out_.AppendField(fields_[2]);
        out_.Append("    42\r\n");
        KeepStationValue(fields_[7]);
        stationOpen_ = true;
        ++summary_.stations;
        break;
    case 'E':
        WriteObservation(fields_[7]);
        break;
    case 'D':
        WriteObservation(kNoValue);
        break;
    default:
        ++summary_.skippedLines;
    }
}

} // namespace records
