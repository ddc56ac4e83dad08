#include "converter/NikonRawReader.h"

#include <array>
#include <initializer_list>

namespace recorders {
namespace {

// Fields 1..7 of a comma-separated line; a field the line does not have is empty.
NikonRawDecoder::Fields SplitFields(std::string_view line) {
    NikonRawDecoder::Fields fields;
    std::size_t k = 1;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size() && k + 1 < fields.size(); ++i) {
        if (line[i] == ',') {
            fields[k++] = line.substr(start, i - start);
            start = i + 1;
        }
    }
    fields[k] = line.substr(start, line.find(',', start) - start);
    return fields;
}

bool IsOneOf(std::string_view type, std::initializer_list<std::string_view> types) {
    for (const std::string_view t : types) {
        if (type == t) {
            return true;
        }
    }
    return false;
}

// The value of a header comment "Key: value", if the text is that comment.
std::optional<std::string_view> HeaderValue(std::string_view text, std::string_view key) {
    text = TrimBlanks(text);
    if (text.substr(0, key.size()) != key) {
        return std::nullopt;
    }
    return TrimBlanks(text.substr(key.size()));
}

} // namespace

void NikonRawDecoder::Decode(std::string_view line, Record& record) {
    if (line.empty()) {
        return;
    }
    const auto fields = SplitFields(line);
    const std::string_view type = TrimBlanks(fields[1]);
    if (type == "CO") {
        DecodeComment(line.substr(line.find(',') + 1), record);
    } else if (type == "ST") {
        record.kind = RecordKind::Station;
        record.id = TrimBlanks(fields[2]);
        if (record.id.empty()) {
            record.Note(kNoStationId);
        }
        ReadLength(fields[6], length_, Quantity::InstrumentHeight, record, record.instrumentHeight);
    } else if (IsOneOf(type, {"SS", "F1", "F2"})) {
        DecodeObservation(fields, 3, record);
    } else if (IsOneOf(type, {"CP", "SO"})) {
        DecodeObservation(fields, 4, record); // one more id after the point
    } else {
        record.kind = RecordKind::Skipped;
        if (!IsOneOf(type, {"UP", "MP", "CC", "RE"})) {
            record.Note(UnknownRecordNote(type));
        }
    }
}

void NikonRawDecoder::DecodeComment(std::string_view text, Record& record) {
    record.kind = RecordKind::Used;
    if (const auto value = HeaderValue(text, "Dist Units:")) {
        if (*value == "Metres") {
            length_ = units::LengthUnit::Metre;
        } else if (*value == "Feet") {
            length_ = units::LengthUnit::Foot;
        } else if (*value == "US Feet" || *value == "Feet US") {
            length_ = units::LengthUnit::UsSurveyFoot;
        } else {
            record.Note(UnknownUnitNote(*value));
        }
    } else if (const auto angle = HeaderValue(text, "Angle Units:")) {
        if (*angle == "Gons") {
            angle_ = units::AngleUnit::Gon;
        } else if (*angle == "DDDMMSS") {
            angle_ = units::AngleUnit::Sexagesimal;
        } else if (*angle == "Degrees") {
            angle_ = units::AngleUnit::Degree;
        } else if (*angle == "Mils") {
            angle_ = units::AngleUnit::Mil;
        } else {
            record.Note(UnknownUnitNote(*angle));
        }
    } else if (const auto zero = HeaderValue(text, "Zero VA:")) {
        if (*zero == "Zenith" || *zero == "Horizontal") {
            fromHorizon_ = *zero == "Horizontal";
        } else {
            record.Note(UnknownUnitNote(*zero));
        }
    } else {
        record.kind = RecordKind::Skipped;
    }
}

// pt, then ht, sd, ha, va from field `firstValue` on.
void NikonRawDecoder::DecodeObservation(const Fields& fields, std::size_t firstValue,
                                        Record& record) {
    record.kind = RecordKind::Observation;
    record.id = TrimBlanks(fields[2]);
    if (record.id.empty()) {
        record.Note(kNoPointId);
    }
    ReadAngle(fields[firstValue + 2], angle_, false, Quantity::HorizontalAngle, record,
              record.horizontal);
    ReadAngle(fields[firstValue + 3], angle_, fromHorizon_, Quantity::VerticalAngle, record,
              record.zenith);
    record.hasZenith = !record.zenith.empty();
    ReadLength(fields[firstValue + 1], length_, Quantity::SlopeDistance, record, record.distance);

    const std::string_view height = fields[firstValue];
    if (const auto number = ReadNumber(height, Quantity::TargetHeight, record, false)) {
        targetHeight_ = units::LengthToMetres(*number, length_);
    } else if (TrimBlanks(height).empty()) {
        record.Note(targetHeight_ ? kTargetHeightCarried : MissingNote(Quantity::TargetHeight));
    }
    record.targetHeight = targetHeight_.value_or(std::string());
}

bool LooksLikeNikonRaw(std::string_view line) {
    const std::size_t comma = line.find(',');
    return comma != std::string_view::npos &&
           IsOneOf(TrimBlanks(line.substr(0, comma)),
                   {"CO", "ST", "SS", "F1", "F2", "CP", "SO", "UP", "MP", "CC", "RE"});
}

} // namespace recorders
