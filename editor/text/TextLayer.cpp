#include "editor/text/TextLayer.h"

#include "common/Cp1250.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace textlayer {
namespace {

// Each byte's UTF-8 form, at most three bytes; built once from the codec.
struct Utf8Form {
    std::array<char, 3> bytes{};
    unsigned char size = 0;
};

const std::array<Utf8Form, 256>& Utf8Table() {
    static const std::array<Utf8Form, 256> table = [] {
        std::array<Utf8Form, 256> t{};
        for (int b = 0; b < 256; ++b) {
            std::string s;
            cp1250::AppendUtf8(s, cp1250::ToUnicode(static_cast<unsigned char>(b)));
            t[b].size = static_cast<unsigned char>(s.size());
            std::memcpy(t[b].bytes.data(), s.data(), s.size());
        }
        return t;
    }();
    return table;
}

struct Survey {
    std::size_t extra = 0;       // bytes the UTF-8 text takes beyond the file's
    std::size_t longestLine = 0; // in characters: one byte is one character
};

// One pass over the bytes for both: a second one would cost as much again.
Survey SurveyBytes(std::string_view bytes) {
    const auto& table = Utf8Table();
    Survey survey;
    std::size_t line = 0;
    for (const char c : bytes) {
        survey.extra += table[static_cast<unsigned char>(c)].size - 1u;
        const bool lineEnd = c == '\n' || c == '\r';
        survey.longestLine = lineEnd ? std::max(survey.longestLine, line) : survey.longestLine;
        line = lineEnd ? 0 : line + 1;
    }
    survey.longestLine = std::max(survey.longestLine, line);
    return survey;
}

// Decoding a 50 MB file is on the window's opening path: decode in place,
// from the back, so the file's bytes are neither copied nor held twice.
void DecodeInPlace(std::string& text, std::size_t extra) {
    if (extra == 0) {
        return; // ASCII only: the bytes are the UTF-8 text
    }
    const auto& table = Utf8Table();
    const std::size_t size = text.size();
    text.resize(size + extra);
    char* const data = text.data();
    std::size_t src = size;
    std::size_t dst = size + extra;
    while (src > 0 && dst > src) {
        std::size_t run = src;
        while (run > 0 && static_cast<unsigned char>(data[run - 1]) < 0x80) {
            --run;
        }
        dst -= src - run;
        std::memmove(data + dst, data + run, src - run);
        src = run;
        if (src > 0) {
            const Utf8Form& form = table[static_cast<unsigned char>(data[--src])];
            dst -= form.size;
            std::memcpy(data + dst, form.bytes.data(), form.size);
        }
    }
}

} // namespace

EolStyle DetectEol(std::string_view text) {
    bool crlf = false;
    bool lf = false;
    bool cr = false;
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size; ++i) {
        const char c = text[i];
        if (c == '\n') {
            lf = true;
        } else if (c == '\r') {
            if (i + 1 < size && text[i + 1] == '\n') {
                crlf = true;
                ++i;
            } else {
                cr = true;
            }
        } else {
            continue;
        }
        if (int(crlf) + int(lf) + int(cr) > 1) {
            break; // mixed: nothing more to learn
        }
    }
    if (lf && !cr && !crlf) {
        return EolStyle::Lf;
    }
    if (cr && !lf && !crlf) {
        return EolStyle::Cr;
    }
    return EolStyle::CrLf;
}

const char* EolChars(EolStyle eol) {
    switch (eol) {
    case EolStyle::Lf:
        return "\n";
    case EolStyle::Cr:
        return "\r";
    case EolStyle::CrLf:
        break;
    }
    return "\r\n";
}

DecodedText FromBytes(std::string bytes) {
    DecodedText result;
    result.eol = DetectEol(bytes);
    result.hadFinalLineEnd = !bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r');
    const Survey survey = SurveyBytes(bytes);
    result.longestLine = survey.longestLine;
    DecodeInPlace(bytes, survey.extra);
    result.text = std::move(bytes);
    return result;
}

EncodedText ToBytes(std::string_view utf8) {
    cp1250::Encoded encoded = cp1250::Encode(utf8, '?');
    return {std::move(encoded.bytes), encoded.unencodable};
}

} // namespace textlayer
