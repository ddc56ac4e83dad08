// Converts one raw file of another recorder into OBSBIEG lines the way the
// conversion streams it: blocks through RecorderLineReader, lines through the
// format's reader, the output through AtomicOutputFile, synced and renamed into
// place. Run by bench/recorders/run.sh.
// Usage: recorder_bench nikon-raw|sdr|gsi INPUT OUTPUT
#include "common/OutputFile.h"
#include "converter/GsiReader.h"
#include "converter/NikonRawReader.h"
#include "converter/RecorderLineReader.h"
#include "converter/SdrReader.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Notes {
    std::uint64_t count = 0;
    void Note(std::string_view) { ++count; }
};

template <template <typename, typename> typename Reader>
int Convert(std::FILE* in, const char* outPath, bool framing) {
    const auto start = std::chrono::steady_clock::now();
    AtomicOutputFile output(outPath);
    std::error_code ec;
    if (!output.Open(ec)) {
        std::fprintf(stderr, "recorder_bench: %s: %s\n", outPath, ec.message().c_str());
        return 1;
    }
    FileByteSource source(in);
    RecorderLineReader lines(source, framing);
    Notes notes;
    Reader<AtomicOutputFile, Notes> reader(output, notes);
    std::string_view line;
    while (lines.Next(line)) {
        notes.count += lines.TooLong() ? 1 : 0;
        reader.ConvertLine(line);
    }
    reader.EndOfFile();
    const auto converted = std::chrono::steady_clock::now();
    if (lines.Error() || !output.Commit(ec)) {
        std::fprintf(stderr, "recorder_bench: read or write error\n");
        return 1;
    }
    const ConversionSummary& summary = reader.Summary();
    const auto seconds = [&](auto end) {
        return std::chrono::duration<double>(end - start).count();
    };
    const double mb = double(lines.BytesRead()) / 1e6;
    const double toConvert = seconds(converted);
    std::fprintf(stderr,
                 "%.1f MB converted in %.3f s (%.0f MB/s), synced and renamed at %.3f s; "
                 "%zu stations, %zu observations, %llu notes\n",
                 mb, toConvert, mb / toConvert, seconds(std::chrono::steady_clock::now()),
                 summary.stations, summary.observations, (unsigned long long)notes.count);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: recorder_bench nikon-raw|sdr|gsi INPUT OUTPUT\n");
        return 2;
    }
    std::FILE* in = std::fopen(argv[2], "rb");
    if (!in) {
        std::fprintf(stderr, "recorder_bench: cannot open %s\n", argv[2]);
        return 1;
    }
    const std::string format = argv[1];
    int result = 2;
    if (format == "nikon-raw") {
        result = Convert<recorders::NikonRawReader>(in, argv[3], false);
    } else if (format == "sdr") {
        result = Convert<recorders::SdrReader>(in, argv[3], true);
    } else if (format == "gsi") {
        result = Convert<recorders::GsiReader>(in, argv[3], false);
    } else {
        std::fprintf(stderr, "recorder_bench: unknown format %s\n", argv[1]);
    }
    std::fclose(in);
    return result;
}
