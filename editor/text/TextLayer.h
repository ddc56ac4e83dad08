#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The editor's view of a text file: Windows-1250 bytes on disk, UTF-8 in the
// editing control. Line ends pass through untouched both ways, so a file that
// was not edited is written back byte for byte.
namespace textlayer {

// The style new line breaks take: LF when the file had only LF, CR when it had
// only CR, CR LF otherwise (also for a file without any line end).
enum class EolStyle { CrLf, Lf, Cr };

struct DecodedText {
    std::string text; // UTF-8, line ends as in the file
    EolStyle eol = EolStyle::CrLf;
    bool hadFinalLineEnd = false;
    std::size_t longestLine = 0; // characters, line end not counted
};

struct EncodedText {
    std::string bytes;
    std::size_t unencodable = 0; // characters written as "?"
};

EolStyle DetectEol(std::string_view text);
const char* EolChars(EolStyle eol);

// Takes the bytes over and decodes them in place; reserve about an eighth
// more capacity than the size to spare a reallocation for Polish text.
DecodedText FromBytes(std::string bytes);
EncodedText ToBytes(std::string_view utf8);

} // namespace textlayer
