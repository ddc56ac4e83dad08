// Differential fuzzing of the conversion: the streaming reader and record
// converter, at any block size, must give the same bytes as a plain rendering
// of the rules built on ExtractField.
#include "converter/LineReader.h"
#include "converter/RecordConverter.h"
#include "converter/URejestratorKMX685.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string Reference(std::string_view input) {
    if (const auto eof = input.find('\x1a'); eof != std::string_view::npos) {
        input = input.substr(0, eof);
    }
    std::string out;
    bool open = false;
    std::string station;
    const auto field = [](const std::string& line, int i) { return ExtractField(line, i, ","); };
    while (!input.empty()) {
        const std::size_t lf = input.find('\n');
        std::string line(input.substr(0, lf));
        input = lf == std::string_view::npos ? std::string_view() : input.substr(lf + 1);
        std::erase(line, '\r');
        const std::string type = field(line, 1);
        if (type == "C") {
            if (open) {
                out += "0 0 0 0 " + station + "\r\n";
            }
            out += field(line, 2) + "    42\r\n";
            station = field(line, 7);
            open = true;
        } else if (type == "E") {
            out += field(line, 2) + "  " + field(line, 5) + "  " + field(line, 7) + "  " +
                   field(line, 4) + "  " + field(line, 6) + "\r\n";
        } else if (type == "D") {
            out += field(line, 2) + "  " + field(line, 5) + "  -1     " + field(line, 4) + "  " +
                   field(line, 6) + "\r\n";
        }
    }
    if (open) {
        out += "0 0 0 0 " + station + "\r\n";
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte picks the block size, so lines split across blocks everywhere.
    const std::size_t blockSize = 1 + data[0] % 64;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

    StringByteSource source(input);
    LineReader reader(source, blockSize);
    records::StringOutput out;
    records::RecordConverter<records::StringOutput> converter(out);
    std::string_view line;
    while (reader.Next(line)) {
        converter.ConvertLine(line, reader);
    }
    converter.EndOfFile();
    if (reader.Error() || out.text != Reference(input)) {
        std::abort();
    }
    return 0;
}
