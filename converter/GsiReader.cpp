#include "converter/GsiReader.h"

#include "converter/Units.h"

#include <array>

namespace recorders {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

template <typename Predicate> bool AllOf(std::string_view text, Predicate predicate) {
    for (const char c : text) {
        if (!predicate(c)) {
            return false;
        }
    }
    return true;
}

struct Word {
    std::string_view text; // without the blank after it
    char unit = '.';       // position 6
    char sign = '+';       // position 7
    std::string_view data; // positions 8-15, or 8-23
};

// The word indices the conversion reads; the others are passed over.
constexpr std::array<int, 13> kIndices{11, 21, 22, 31, 32, 41, 42, 43, 84, 85, 86, 87, 88};

// The place of each two-digit word index in kIndices, -1 for the others.
constexpr std::array<int, 100> kSlots = [] {
    std::array<int, 100> slots{};
    slots.fill(-1);
    for (std::size_t i = 0; i < kIndices.size(); ++i) {
        slots[std::size_t(kIndices[i])] = int(i);
    }
    return slots;
}();

class Block {
public:
    // False when the line does not start with a word.
    bool Read(std::string_view line, Record& record);
    const Word* Find(int index) const {
        const int slot = kSlots[std::size_t(index)];
        return slot >= 0 && found_[std::size_t(slot)] ? &words_[std::size_t(slot)] : nullptr;
    }

private:
    bool Add(std::string_view text);

    std::array<Word, kIndices.size()> words_;
    std::array<bool, kIndices.size()> found_{};
};

bool Block::Read(std::string_view line, Record& record) {
    // A GSI-16 block starts with *; one without it is still taken by its first word's width.
    bool wide = !line.empty() && line.front() == '*';
    if (wide) {
        line.remove_prefix(1);
    } else {
        const std::size_t blank = line.find(' ');
        wide = (blank == std::string_view::npos ? line.size() : blank) == 23;
    }
    const std::size_t width = wide ? 24 : 16;
    for (std::size_t pos = 0; pos < line.size(); pos += width) {
        const std::string_view text = line.substr(pos, width - 1);
        if (TrimBlanks(text).empty()) {
            continue;
        }
        if (!Add(text)) {
            if (pos == 0) {
                return false;
            }
            record.Note(UnreadableWordNote(text));
        }
    }
    return true;
}

bool Block::Add(std::string_view text) {
    if (text.size() < 7 || !IsDigit(text[0]) || !IsDigit(text[1])) {
        return false;
    }
    const int two = (text[0] - '0') * 10 + (text[1] - '0');
    // In words 11 and 41 positions 3-6 are the block number; elsewhere a digit in
    // position 3 makes a three-digit index (330 is not 33).
    if (two != 11 && two != 41 && IsDigit(text[2])) {
        return true;
    }
    const int slot = kSlots[std::size_t(two)];
    if (slot >= 0 && !found_[std::size_t(slot)]) { // the first one counts
        found_[std::size_t(slot)] = true;
        words_[std::size_t(slot)] = Word{text, text[5], text[6], text.substr(7)};
    }
    return true;
}

// A point or station id without its padding zeros; zeros only give 0.
std::string_view Id(const Word* word) {
    if (word == nullptr) {
        return {};
    }
    const std::string_view data = TrimBlanks(word->data);
    const std::size_t first = data.find_first_not_of('0');
    if (first == std::string_view::npos) {
        return data.substr(data.empty() ? 0 : data.size() - 1);
    }
    return data.substr(first);
}

struct Value {
    enum class State { Absent, Unreadable, Present } state = State::Absent;
    units::Number number;
    int decimals = 0; // implied by the unit code
    units::AngleUnit angle = units::AngleUnit::Gon;
    units::LengthUnit length = units::LengthUnit::Metre;
};

// Unit codes: a position 6 that is no digit reads as gon (angles) or millimetres (lengths).
bool AngleUnitOf(char code, Value& value) {
    value.decimals = code == '5' ? 4 : 5;
    switch (code) {
    case '2':
        return true;
    case '3':
        value.angle = units::AngleUnit::Degree;
        return true;
    case '4':
        value.angle = units::AngleUnit::Sexagesimal;
        return true;
    case '5':
        value.angle = units::AngleUnit::Mil;
        return true;
    default:
        return !IsDigit(code);
    }
}

bool LengthUnitOf(char code, Value& value) {
    switch (code) {
    case '1':
        value.length = units::LengthUnit::Foot;
        value.decimals = 3;
        return true;
    case '6':
        value.decimals = 4;
        return true;
    case '7':
        value.length = units::LengthUnit::Foot;
        value.decimals = 4;
        return true;
    case '8':
        value.decimals = 5;
        return true;
    default: // 0, or no digit: the last digit is a millimetre
        value.decimals = 3;
        return code == '0' || !IsDigit(code);
    }
}

// The value of a word; notes only an unreadable one. Data made only of dashes is absent.
Value ReadValue(const Word* word, bool angle, Quantity quantity, Record& record) {
    Value value;
    if (word == nullptr) {
        return value;
    }
    const std::string_view data = TrimBlanks(word->data);
    if (!data.empty() && AllOf(data, [](char c) { return c == '-'; })) {
        return value;
    }
    const bool unitKnown = angle ? AngleUnitOf(word->unit, value) : LengthUnitOf(word->unit, value);
    const bool digitsOnly = !data.empty() && AllOf(data, IsDigit);
    const bool signKnown = word->sign == '+' || word->sign == '-';
    if (!unitKnown || !digitsOnly || !signKnown) {
        value.state = Value::State::Unreadable;
        record.Note(UnreadableNote(quantity, word->text));
        return value;
    }
    value.number = *units::ParseNumber(data, value.decimals);
    value.number.negative = word->sign == '-';
    value.state = Value::State::Present;
    return value;
}

void ReadAngleColumn(const Word* word, Quantity quantity, Record& record, std::string& column) {
    const Value value = ReadValue(word, true, quantity, record);
    if (value.state == Value::State::Present) {
        column = units::AngleToGon(value.number, value.angle);
    } else if (value.state == Value::State::Absent) {
        record.Note(MissingNote(quantity));
    }
}

void ReadLengthColumn(const Word* word, Quantity quantity, Record& record, std::string& column) {
    const Value value = ReadValue(word, false, quantity, record);
    if (value.state == Value::State::Present) {
        column = units::LengthToMetres(value.number, value.length);
    } else if (value.state == Value::State::Absent) {
        record.Note(MissingNote(quantity));
    }
}

// Word 31, where 0 means angles only; without it, word 32 is noted but not written.
void ReadDistance(const Block& block, Record& record) {
    const Value slope = ReadValue(block.Find(31), false, Quantity::SlopeDistance, record);
    if (slope.state == Value::State::Present && !units::IsZero(slope.number)) {
        record.distance = units::LengthToMetres(slope.number, slope.length);
        return;
    }
    if (slope.state == Value::State::Unreadable) {
        return;
    }
    Record ignored;
    const Value horizontal = ReadValue(block.Find(32), false, Quantity::SlopeDistance, ignored);
    const bool horizontalOnly =
        horizontal.state == Value::State::Present && !units::IsZero(horizontal.number);
    record.Note(horizontalOnly ? kHorizontalDistanceOnly : MissingNote(Quantity::SlopeDistance));
}

} // namespace

void GsiDecoder::Decode(std::string_view line, Record& record) {
    if (line.empty()) {
        return;
    }
    Block block;
    if (!block.Read(line, record)) {
        record.kind = RecordKind::Skipped;
        record.Note(UnknownRecordNote(line));
        return;
    }
    // Word 87 on any line sets the target height for this and the following lines.
    const Value height = ReadValue(block.Find(87), false, Quantity::TargetHeight, record);
    if (height.state == Value::State::Present) {
        targetHeight_ = units::LengthToMetres(height.number, height.length);
    }
    const auto has = [&block](int index) { return block.Find(index) != nullptr; };
    const bool codeStation = has(41) && has(42);
    const bool setUp =
        (has(84) || has(85) || has(86) || has(88)) && !has(21) && !has(22) && !has(31);
    if (codeStation || setUp) {
        record.kind = RecordKind::Station;
        record.id = Id(block.Find(codeStation ? 42 : 11));
        if (record.id.empty()) {
            record.Note(kNoStationId);
        }
        ReadLengthColumn(block.Find(codeStation ? 43 : 88), Quantity::InstrumentHeight, record,
                         record.instrumentHeight);
    } else if (has(21) || has(22)) {
        record.kind = RecordKind::Observation;
        record.id = Id(block.Find(11));
        if (record.id.empty()) {
            record.Note(kNoPointId);
        }
        ReadAngleColumn(block.Find(21), Quantity::HorizontalAngle, record, record.horizontal);
        ReadAngleColumn(block.Find(22), Quantity::VerticalAngle, record, record.zenith);
        record.hasZenith = !record.zenith.empty();
        ReadDistance(block, record);
        if (targetHeight_) {
            record.targetHeight = *targetHeight_;
        } else {
            record.Note(MissingNote(Quantity::TargetHeight));
        }
    } else {
        record.kind = has(87) ? RecordKind::Used : RecordKind::Skipped;
    }
}

bool LooksLikeGsi(std::string_view line) {
    if (!line.empty() && line.front() == '*') {
        line.remove_prefix(1);
    }
    if (line.size() < 8 || !IsDigit(line[0]) || !IsDigit(line[1])) {
        return false;
    }
    for (std::size_t i = 2; i < 6; ++i) {
        if (!IsDigit(line[i]) && line[i] != '.') {
            return false;
        }
    }
    return line[6] == '+' || line[6] == '-';
}

} // namespace recorders
