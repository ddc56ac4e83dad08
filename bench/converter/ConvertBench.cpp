// The conversion with and without its report, for bench/converter/run.sh:
//   convert_bench off|within|beside OUTPUT FILE...
// (the report not made, made by the conversion itself, made on a thread of its
// own). Prints the number of report entries.
#include "converter/URejestratorKMX685.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    using Mode = TRejestratorKMX685::ReportMode;
    const std::string_view mode = argc > 1 ? argv[1] : "";
    if (argc < 3 || (mode != "off" && mode != "within" && mode != "beside")) {
        std::fprintf(stderr, "usage: convert_bench off|within|beside OUTPUT FILE...\n");
        return 2;
    }
    const std::vector<std::string> files(argv + 3, argv + argc);
    TRejestratorKMX685 converter([](std::string_view, const ConversionError& error) {
        std::fprintf(stderr, "%s\n", error.detail.c_str());
    });
    converter.SetInputFiles(files);
    converter.SetReportMode(mode == "off"      ? Mode::Off
                            : mode == "within" ? Mode::Within
                                               : Mode::Beside);
    const ConversionResult result = converter.ConvertFiles(argv[2]);
    std::printf("entries: %llu\n", static_cast<unsigned long long>(result.report.Count()));
    return result.status == ConversionStatus::Succeeded ? 0 : 1;
}
