#pragma once

#include "converter/RecorderReader.h"
#include "converter/RecorderRecord.h"
#include "converter/Units.h"

#include <optional>
#include <string>
#include <string_view>

// Sokkia SDR33 and SDR2x: fixed-column records, a 2-digit type and a 2-character
// derivation code in columns 1-4. 00 gives the units, 01 the vertical zero, 10 the
// field widths, 02 is a station set-up, 03 the target height for the observations
// that follow, 09 an observation. Fields run together: they are cut by column only.
namespace recorders {

class SdrDecoder {
public:
    void Decode(std::string_view line, Record& record);
    void Reset() { *this = SdrDecoder(); }

private:
    void DecodeHeader(std::string_view line, Record& record);
    void DecodeStation(std::string_view line, Record& record);
    void DecodeTargetHeight(std::string_view line, Record& record);
    void DecodeObservation(std::string_view line, Record& record);

    units::AngleUnit angle_ = units::AngleUnit::Degree;
    units::LengthUnit length_ = units::LengthUnit::Metre;
    bool fromHorizon_ = false;
    bool shortFields_ = false; // SDR2x widths
    std::optional<std::string> targetHeight_;
};

template <typename Output, typename Notes>
using SdrReader = RecorderReader<SdrDecoder, Output, Notes>;

bool LooksLikeSdr(std::string_view line);

} // namespace recorders
