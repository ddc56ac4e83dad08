#include "converter/RecordChecks.h"

#include "converter/ConversionReport.h"

#include <algorithm>

namespace records {

NumberProblem CheckNumber(std::string_view field, bool angle) {
    if (field.empty()) {
        return NumberProblem::Empty;
    }
    const bool negative = field[0] == '-';
    const std::string_view unsigned_ = negative || field[0] == '+' ? field.substr(1) : field;
    const std::size_t dot = unsigned_.find('.');
    if (unsigned_.find_first_not_of("0123456789.") != std::string_view::npos ||
        unsigned_.find_first_of("0123456789") == std::string_view::npos ||
        (dot != std::string_view::npos && unsigned_.find('.', dot + 1) != std::string_view::npos)) {
        return NumberProblem::NotPlain;
    }
    if (!angle) {
        return NumberProblem::None;
    }
    const bool zero = unsigned_.find_first_of("123456789") == std::string_view::npos;
    if (negative) {
        return zero ? NumberProblem::None : NumberProblem::OutOfRange;
    }
    std::string_view whole = unsigned_.substr(0, dot);
    whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
    if (whole.size() != 3) {
        return whole.size() < 3 ? NumberProblem::None : NumberProblem::OutOfRange;
    }
    if (whole != "400") {
        return whole < "400" ? NumberProblem::None : NumberProblem::OutOfRange;
    }
    const std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : unsigned_.substr(dot + 1);
    return fraction.find_first_not_of('0') == std::string_view::npos ? NumberProblem::None
                                                                     : NumberProblem::OutOfRange;
}

namespace reasons {
namespace {

// "1 pole", "2 pola", "5 pól".
std::string Fields(std::size_t count) {
    const char* word = count == 1 ? "pole" : count >= 2 && count <= 4 ? "pola" : "pól";
    return std::to_string(count) + " " + word;
}

} // namespace

std::string UnknownType(std::string_view type) {
    return "nieznany typ rekordu " + report::Quoted(type) + ", wiersz pominięty";
}

std::string EmptyType() {
    return "puste pole typu rekordu, wiersz pominięty";
}

std::string TooFewFields(char type, std::size_t fields, std::size_t needed, unsigned used) {
    std::string missing;
    std::size_t count = 0;
    for (std::size_t field = fields + 1; field <= needed; ++field) {
        if ((used >> field) & 1u) {
            missing += (count++ == 0 ? "" : ", ") + std::to_string(field);
        }
    }
    return std::string("rekord ") + type + " ma " + Fields(fields) + " zamiast " +
           std::to_string(needed) + ", " +
           (count == 1 ? "brak pola " + missing + " (pusta kolumna)"
                       : "brak pól " + missing + " (puste kolumny)");
}

std::string NoStationValue() {
    return "rekord C bez pola 7, wiersz zamykający stanowisko będzie bez wartości";
}

std::string OutsideStation() {
    return "obserwacja przed pierwszym rekordem C pliku, zapisana poza stanowiskiem";
}

std::string BadNumber(int field, std::string_view text, NumberProblem problem) {
    const std::string number = std::to_string(field);
    switch (problem) {
    case NumberProblem::Empty:
        return "puste pole " + number + ", oczekiwano liczby";
    case NumberProblem::NotPlain:
        return "pole " + number + " " + report::Quoted(text) + " nie jest liczbą dziesiętną";
    case NumberProblem::OutOfRange:
        return "kąt w polu " + number + " " + report::Quoted(text) + " poza zakresem 0–400 gon";
    case NumberProblem::None:
        break;
    }
    return {};
}

std::string RepeatedPoint(std::string_view point, std::uint64_t firstLine) {
    return "powtórzony numer punktu " + report::Quoted(point) + " (pierwszy raz w wierszu " +
           std::to_string(firstLine) + ")";
}

std::string NulByte() {
    return "bajt NUL (kod 0) w wierszu";
}

std::string TextAfterCtrlZ() {
    return "tekst po znaku końca pliku (Ctrl-Z) pominięty";
}

} // namespace reasons
} // namespace records
