#pragma once

#include "converter/Units.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One line of another recorder's file, decoded into what the observation file
// needs, with the report's reasons for whatever did not convert cleanly.
namespace recorders {

enum class RecordKind {
    Nothing,     // an empty line
    Used,        // a header or setting that writes nothing
    Skipped,     // a record that is not converted
    Station,     // a station set-up: a station line, closing the open block
    Observation, // an observation line
};

struct Record {
    RecordKind kind = RecordKind::Nothing;
    std::string_view id; // point or station id, a view into the line
    // Columns as written; an empty string is an empty column.
    std::string horizontal;
    std::string zenith;
    bool hasZenith = false; // without it the partial line, -1 for the zenith angle
    std::string distance;
    std::string targetHeight;
    std::string instrumentHeight; // of a station

    void Clear();
    // A report reason for this line. The strings stay for the lines after, so
    // that a note costs no allocation once a line has had as many.
    void Note(std::string_view reason);
    std::span<const std::string> Notes() const { return {notes_.data(), noteCount_}; }

private:
    std::vector<std::string> notes_;
    std::size_t noteCount_ = 0;
};

enum class Quantity {
    HorizontalAngle,
    VerticalAngle,
    SlopeDistance,
    TargetHeight,
    InstrumentHeight
};

// Report reasons; the first two are also the KMX 685 records'.
inline constexpr std::string_view kNoPointId = "brak numeru punktu";
inline constexpr std::string_view kNoStationId = "brak numeru stanowiska";
inline constexpr std::string_view kHorizontalDistanceOnly = "tylko odległość pozioma";
inline constexpr std::string_view kTargetHeightCarried = "brak wysokości celu, przyjęto poprzednią";
inline constexpr std::string_view kOutsideStation = "obserwacja przed pierwszym stanowiskiem";
inline constexpr std::string_view kLineTooLong = "wiersz dłuższy niż 1024 znaki, pominięty";
std::string_view MissingNote(Quantity quantity);
// `text` is shown cut to 16 characters, as every quoted piece of a line.
std::string UnreadableNote(Quantity quantity, std::string_view text);
std::string UnknownRecordNote(std::string_view type);
std::string UnknownUnitNote(std::string_view unit);
std::string UnreadableWordNote(std::string_view word); // a GSI word

std::string_view TrimBlanks(std::string_view text);

// The number in `text`; when there is none, notes why on `record` (an empty text
// is missing, anything else unreadable) unless `noteMissing` is false.
std::optional<units::Number> ReadNumber(std::string_view text, Quantity quantity, Record& record,
                                        bool noteMissing = true);

// Reads and converts one column of an observation or station.
void ReadAngle(std::string_view text, units::AngleUnit unit, bool fromHorizon, Quantity quantity,
               Record& record, std::string& column);
void ReadLength(std::string_view text, units::LengthUnit unit, Quantity quantity, Record& record,
                std::string& column);

} // namespace recorders
