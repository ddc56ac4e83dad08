// The conversion with and without its report, for bench/converter/run.sh:
//   convert_bench report|no-report OUTPUT FILE...
// Prints the number of report entries.
#include "converter/URejestratorKMX685.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 3 || (std::string_view(argv[1]) != "report" &&
                     std::string_view(argv[1]) != "no-report")) {
        std::fprintf(stderr, "usage: convert_bench report|no-report OUTPUT FILE...\n");
        return 2;
    }
    const std::vector<std::string> files(argv + 3, argv + argc);
    TRejestratorKMX685 converter([](std::string_view, const ConversionError& error) {
        std::fprintf(stderr, "%s\n", error.detail.c_str());
    });
    converter.SetInputFiles(files);
    converter.SetReportWanted(std::string_view(argv[1]) == "report");
    const ConversionResult result = converter.ConvertFiles(argv[2]);
    std::printf("entries: %llu\n", static_cast<unsigned long long>(result.report.Count()));
    return result.status == ConversionStatus::Succeeded ? 0 : 1;
}
