#include "converter/SdrReader.h"

namespace recorders {
namespace {

// Columns first..last, counted from 1; what the line has of them.
struct Span {
    std::size_t first;
    std::size_t last;
};

std::string_view Columns(std::string_view line, Span span) {
    if (line.size() < span.first) {
        return {};
    }
    return line.substr(span.first - 1, span.last - span.first + 1);
}

char Column(std::string_view line, std::size_t column) {
    return column <= line.size() ? line[column - 1] : ' ';
}

struct Layout {
    Span stationId;
    Span instrumentHeight;
    Span targetHeight;
    Span toPoint;
    Span distance;
    Span vertical;
    Span horizontal;
};

constexpr Layout kSdr33{{5, 20}, {69, 84}, {5, 20}, {21, 36}, {37, 52}, {53, 68}, {69, 84}};
constexpr Layout kSdr2x{{5, 8}, {39, 48}, {5, 14}, {9, 12}, {13, 22}, {23, 32}, {33, 42}};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The record type in columns 1-2, or -1 when they are not two digits.
int RecordType(std::string_view line) {
    if (line.size() < 2 || !IsDigit(line[0]) || !IsDigit(line[1])) {
        return -1;
    }
    return (line[0] - '0') * 10 + (line[1] - '0');
}

constexpr int kLastKnownType = 13;

} // namespace

void SdrDecoder::Decode(std::string_view line, Record& record) {
    if (line.empty()) {
        return;
    }
    const int type = RecordType(line);
    switch (type) {
    case 0:
        DecodeHeader(line, record);
        break;
    case 1: // anything but 2 in column 51 is a zenith angle
        record.kind = RecordKind::Used;
        fromHorizon_ = Column(line, 51) == '2';
        break;
    case 2:
        DecodeStation(line, record);
        break;
    case 3:
        DecodeTargetHeight(line, record);
        break;
    case 9: // F1, F2, MC or any other derivation
        DecodeObservation(line, record);
        break;
    case 10: // the SDR33 widths only with 1 in column 21
        record.kind = RecordKind::Used;
        shortFields_ = Column(line, 21) != '1';
        break;
    default:
        record.kind = RecordKind::Skipped;
        if (type < 0 || type > kLastKnownType) {
            record.Note(UnknownRecordNote(line.substr(0, 4)));
        }
    }
}

// A blank or unknown unit code keeps the unit in force.
void SdrDecoder::DecodeHeader(std::string_view line, Record& record) {
    record.kind = RecordKind::Used;
    switch (const char angle = Column(line, 41)) {
    case '1':
        angle_ = units::AngleUnit::Degree;
        break;
    case '2':
        angle_ = units::AngleUnit::Gon;
        break;
    case '4':
        angle_ = units::AngleUnit::Mil;
        break;
    case ' ':
        break;
    default:
        record.Note(UnknownUnitNote(std::string_view(&angle, 1)));
    }
    switch (const char length = Column(line, 42)) {
    case '1':
        length_ = units::LengthUnit::Metre;
        break;
    case '2':
        length_ = units::LengthUnit::Foot;
        break;
    case ' ':
        break;
    default:
        record.Note(UnknownUnitNote(std::string_view(&length, 1)));
    }
}

void SdrDecoder::DecodeStation(std::string_view line, Record& record) {
    const Layout& layout = shortFields_ ? kSdr2x : kSdr33;
    record.kind = RecordKind::Station;
    record.id = TrimBlanks(Columns(line, layout.stationId));
    if (record.id.empty()) {
        record.Note(kNoStationId);
    }
    ReadLength(Columns(line, layout.instrumentHeight), length_, Quantity::InstrumentHeight, record,
               record.instrumentHeight);
}

void SdrDecoder::DecodeTargetHeight(std::string_view line, Record& record) {
    const Layout& layout = shortFields_ ? kSdr2x : kSdr33;
    record.kind = RecordKind::Used;
    const auto number =
        ReadNumber(Columns(line, layout.targetHeight), Quantity::TargetHeight, record, false);
    targetHeight_.reset();
    if (number) {
        targetHeight_ = units::LengthToMetres(*number, length_);
    }
}

void SdrDecoder::DecodeObservation(std::string_view line, Record& record) {
    const Layout& layout = shortFields_ ? kSdr2x : kSdr33;
    record.kind = RecordKind::Observation;
    record.id = TrimBlanks(Columns(line, layout.toPoint));
    if (record.id.empty()) {
        record.Note(kNoPointId);
    }
    ReadAngle(Columns(line, layout.horizontal), angle_, false, Quantity::HorizontalAngle, record,
              record.horizontal);
    ReadAngle(Columns(line, layout.vertical), angle_, fromHorizon_, Quantity::VerticalAngle, record,
              record.zenith);
    record.hasZenith = !record.zenith.empty();
    ReadLength(Columns(line, layout.distance), length_, Quantity::SlopeDistance, record,
               record.distance);
    if (targetHeight_) {
        record.targetHeight = *targetHeight_;
    } else {
        record.Note(MissingNote(Quantity::TargetHeight));
    }
}

bool LooksLikeSdr(std::string_view line) {
    while (!line.empty() && (line.front() == '\x02' || line.front() == '\x03')) {
        line.remove_prefix(1);
    }
    const int type = RecordType(line);
    const auto isAlphanumeric = [](char c) { return IsDigit(c) || (c >= 'A' && c <= 'Z'); };
    return type >= 0 && type <= kLastKnownType && line.size() >= 4 && line[2] >= 'A' &&
           line[2] <= 'Z' && isAlphanumeric(line[3]);
}

} // namespace recorders
