// Differential fuzzing of the conversion: the streaming reader and record
// converter, at any block size, must give the same bytes as a plain rendering
// of the rules built on ExtractField.
#include "converter/LineReader.h"
#include "converter/RecordConverter.h"
#include "fuzz/ReferenceConversion.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte picks the block size, so lines split across blocks everywhere.
    const std::size_t blockSize = 1 + data[0] % 64;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

    StringByteSource source(input);
    LineReader reader(source, blockSize, records::FieldsWritten);
    records::StringOutput out;
    records::RecordConverter<records::StringOutput> converter(out);
    std::string_view line;
    while (reader.Next(line)) {
        converter.ConvertLine(line, reader);
    }
    converter.EndOfFile();
    const reference::Rendering expected = reference::Convert(input);
    if (reader.Error() || out.text != expected.text ||
        converter.Summary().skippedLines != expected.skippedLines) {
        std::abort();
    }
    return 0;
}
