#pragma once

#include "converter/RecorderReader.h"
#include "converter/RecorderRecord.h"
#include "converter/Units.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Nikon RAW (v2.00): comma-separated records. The CO header lines give the units
// (defaults metres, gon, zenith); ST is a station set-up; SS, F1, F2, CP and SO are
// observations. Coordinates (UP, MP, CC, RE) and other comments are skipped.
namespace recorders {

class NikonRawDecoder {
public:
    using Fields = std::array<std::string_view, 8>; // 1..7; [0] unused

    void Decode(std::string_view line, Record& record);
    void Reset() { *this = NikonRawDecoder(); }

private:
    void DecodeComment(std::string_view text, Record& record);
    void DecodeObservation(const Fields& fields, std::size_t firstValue, Record& record);

    units::AngleUnit angle_ = units::AngleUnit::Gon;
    units::LengthUnit length_ = units::LengthUnit::Metre;
    bool fromHorizon_ = false;
    std::optional<std::string> targetHeight_; // the last one given in this file
};

template <typename Output, typename Notes>
using NikonRawReader = RecorderReader<NikonRawDecoder, Output, Notes>;

// Whether a line reads as a Nikon RAW record (for recognising a file by content).
bool LooksLikeNikonRaw(std::string_view line);

} // namespace recorders
