#pragma once

#include "converter/ObsbiegLayout.h"
#include "converter/RecorderRecord.h"
#include "converter/URejestratorKMX685.h"

#include <string>
#include <string_view>

// Writes the lines of another recorder, decoded by `Decoder`, as the same
// observation-file lines that the KMX 685 records give: a station line for each
// set-up, the observations under it, and a closing line with the instrument
// height when the next station comes or the file ends. Observations before a
// file's first station stand outside any block.
//
// Decoder: void Decode(std::string_view line, recorders::Record&); void Reset().
// Output: Append(bytes) (the line's bytes are never read past its end).
// Notes: void Note(std::string_view reason), about the line being converted.
namespace recorders {

template <typename Decoder, typename Output, typename Notes> class RecorderReader {
public:
    RecorderReader(Output& out, Notes& notes) : out_(out), notes_(notes) {}

    void ConvertLine(std::string_view line) {
        record_.Clear();
        decoder_.Decode(line, record_);
        if (record_.kind == RecordKind::Observation && !stationOpen_) {
            record_.Note(kOutsideStation);
        }
        for (const std::string& reason : record_.Notes()) {
            notes_.Note(reason);
        }
        switch (record_.kind) {
        case RecordKind::Station:
            WriteStation();
            break;
        case RecordKind::Observation:
            WriteObservation();
            break;
        case RecordKind::Skipped:
            ++summary_.skippedLines;
            break;
        case RecordKind::Nothing:
        case RecordKind::Used:
            break;
        }
    }

    // A line too long to be a record of any of these formats, handed out cut.
    void SkipTooLongLine() {
        notes_.Note(kLineTooLong);
        ++summary_.skippedLines;
    }

    // Units, the carried target height and the open block start afresh with each file.
    void EndOfFile() {
        if (stationOpen_) {
            WriteClosingLine();
        }
        decoder_.Reset();
        ++summary_.files;
    }

    const ConversionSummary& Summary() const { return summary_; }

private:
    void WriteStation() {
        if (stationOpen_) {
            WriteClosingLine();
        }
        out_.Append(record_.id);
        out_.Append(obsbieg::kStationEnd);
        instrumentHeight_ = record_.instrumentHeight;
        stationOpen_ = true;
        ++summary_.stations;
    }

    void WriteObservation() {
        out_.Append(record_.id);
        out_.Append(obsbieg::kColumnGap);
        out_.Append(record_.horizontal);
        out_.Append(obsbieg::kColumnGap);
        // Without a zenith angle its column has no value.
        out_.Append(record_.hasZenith ? std::string_view(record_.zenith) : obsbieg::kNoValue);
        out_.Append(obsbieg::kColumnGap);
        out_.Append(record_.distance);
        out_.Append(obsbieg::kColumnGap);
        out_.Append(record_.targetHeight);
        out_.Append(obsbieg::kLineEnd);
        ++summary_.observations;
    }

    void WriteClosingLine() {
        out_.Append(obsbieg::kClosingPrefix);
        out_.Append(instrumentHeight_);
        out_.Append(obsbieg::kLineEnd);
        stationOpen_ = false;
    }

    Output& out_;
    Notes& notes_;
    Decoder decoder_;
    Record record_;
    bool stationOpen_ = false;
    std::string instrumentHeight_;
    ConversionSummary summary_;
};

} // namespace recorders
