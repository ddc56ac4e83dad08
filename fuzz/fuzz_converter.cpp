// Differential fuzzing of the conversion: the streaming reader and record
// converter, at any block size, must give the same bytes and the same report as
// a plain rendering of the rules built on ExtractField, and the same bytes
// without the report.
#include "converter/LineReader.h"
#include "converter/RecordConverter.h"
#include "fuzz/ReferenceConversion.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

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
    ConversionReport report;
    records::RecordConverter<records::StringOutput, ConversionReport> converter(out, report);
    report.StartFile("f");
    const auto goOn = [] { return true; };
    const bool read = records::ConvertFileLines(reader, converter, report, goOn);
    std::vector<reference::Note> notes;
    for (const ReportEntry& entry : report.Entries()) {
        notes.push_back({entry.line, entry.reason});
    }

    // Without the report the output is the same.
    StringByteSource again(input);
    LineReader plainReader(again, blockSize, records::FieldsWritten);
    records::StringOutput plainOut;
    records::RecordConverter<records::StringOutput> plain(plainOut);
    NoReport none;
    const bool plainRead = records::ConvertFileLines(plainReader, plain, none, goOn);

    const reference::Rendering expected = reference::Convert(input);
    if (!read || !plainRead || out.text != expected.text || plainOut.text != out.text ||
        converter.Summary().skippedLines != expected.skippedLines || notes != expected.notes) {
        std::abort();
    }
    return 0;
}
