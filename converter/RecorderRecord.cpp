#include "converter/RecorderRecord.h"

#include "converter/ConversionReport.h"

namespace recorders {
namespace {

// The file's Windows-1250 bytes as UTF-8, so that no byte of the file is taken for UTF-8.
std::string Quoted(std::string_view text) {
    std::string quoted = " ";
    quoted += report::Quoted(text);
    return quoted;
}

} // namespace

void Record::Clear() {
    kind = RecordKind::Nothing;
    id = {};
    horizontal.clear();
    zenith.clear();
    hasZenith = false;
    distance.clear();
    targetHeight.clear();
    instrumentHeight.clear();
    noteCount_ = 0;
}

void Record::Note(std::string_view reason) {
    if (noteCount_ == notes_.size()) {
        notes_.emplace_back();
    }
    notes_[noteCount_++].assign(reason);
}

std::string_view MissingNote(Quantity quantity) {
    switch (quantity) {
    case Quantity::HorizontalAngle:
        return "brak kąta poziomego";
    case Quantity::VerticalAngle:
        return "brak kąta pionowego";
    case Quantity::SlopeDistance:
        return "brak odległości skośnej";
    case Quantity::TargetHeight:
        return "brak wysokości celu";
    case Quantity::InstrumentHeight:
        return "brak wysokości instrumentu";
    }
    return {};
}

std::string UnreadableNote(Quantity quantity, std::string_view text) {
    switch (quantity) {
    case Quantity::HorizontalAngle:
        return "nieczytelny kąt poziomy" + Quoted(text);
    case Quantity::VerticalAngle:
        return "nieczytelny kąt pionowy" + Quoted(text);
    case Quantity::SlopeDistance:
        return "nieczytelna odległość skośna" + Quoted(text);
    case Quantity::TargetHeight:
        return "nieczytelna wysokość celu" + Quoted(text);
    case Quantity::InstrumentHeight:
        return "nieczytelna wysokość instrumentu" + Quoted(text);
    }
    return {};
}

std::string UnknownRecordNote(std::string_view type) {
    return "nieznany rekord" + Quoted(type);
}

std::string UnknownUnitNote(std::string_view unit) {
    return "nieznana jednostka" + Quoted(unit);
}

std::string UnreadableWordNote(std::string_view word) {
    return "nieczytelne słowo GSI" + Quoted(word);
}

std::string_view TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<units::Number> ReadNumber(std::string_view text, Quantity quantity, Record& record,
                                        bool noteMissing) {
    const std::string_view value = TrimBlanks(text);
    if (value.empty()) {
        if (noteMissing) {
            record.Note(MissingNote(quantity));
        }
        return std::nullopt;
    }
    auto number = units::ParseNumber(value);
    if (!number) {
        record.Note(UnreadableNote(quantity, value));
    }
    return number;
}

void ReadAngle(std::string_view text, units::AngleUnit unit, bool fromHorizon, Quantity quantity,
               Record& record, std::string& column) {
    if (const auto number = ReadNumber(text, quantity, record)) {
        column = units::AngleToGon(*number, unit, fromHorizon);
    }
}

void ReadLength(std::string_view text, units::LengthUnit unit, Quantity quantity, Record& record,
                std::string& column) {
    if (const auto number = ReadNumber(text, quantity, record)) {
        column = units::LengthToMetres(*number, unit);
    }
}

} // namespace recorders
