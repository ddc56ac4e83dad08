// Command-line converter: the same conversion as the window, for batch use and scripts.
#include "common/Platform.h"
#include "common/TemporaryFiles.h"
#include "common/UPlikIni.h"
#include "converter/ConversionReport.h"
#include "converter/RecorderFormat.h"
#include "converter/URejestratorKMX685.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitReported = 3;

const char* const kUsage =
    "Usage: kmx685-convert [--format FORMAT] [-v] [--strict] [--report REPORT] [-o OUTPUT] "
    "FILE...\n"
    "Converts recorder files, in the order given, into one observation file.\n"
    "Lines that do not convert cleanly (skipped, short of fields, not a number, ...)\n"
    "make the report; the observation file is the same with or without it.\n"
    "\n"
    "  --format FORMAT  the format of the files: kmx685 (the default), nikon-raw,\n"
    "                   sdr, gsi, or auto: each file in the format its first\n"
    "                   lines look like (a file that looks like none fails)\n"
    "  -o OUTPUT        write to OUTPUT instead of OBSBIEG in the working directory\n"
    "                   named by kavero.ini beside this program ([General] Path)\n"
    "  -v               print a summary of the conversion, and each report entry\n"
    "                   on standard error as PATH:LINE: REASON\n"
    "  --report REPORT  write the report to REPORT: one entry a line as above,\n"
    "                   Windows-1250 text with CR LF line ends\n"
    "  --strict         exit with status 3 when the report has any entry\n"
    "  -h, --help       show this text\n"
    "\n"
    "Exit status: 0 converted, 1 conversion failed (old output left as it was; under --format "
    "auto also a file in no known format) or the report not written, 2 bad usage, 3 converted "
    "with report entries under --strict.\n";

struct Options {
    std::optional<RecorderFormat> format = RecorderFormat::Kmx685; // std::nullopt: auto
    bool verbose = false;
    bool strict = false;
    std::optional<std::string> report;
    std::string output;
    std::vector<std::string> files;
};

// The --format values; auto is std::nullopt.
bool ParseFormat(const std::string& name, std::optional<RecorderFormat>& format) {
    static const std::pair<const char*, RecorderFormat> kNames[] = {
        {"kmx685", RecorderFormat::Kmx685},
        {"nikon-raw", RecorderFormat::NikonRaw},
        {"sdr", RecorderFormat::Sdr},
        {"gsi", RecorderFormat::Gsi}};
    if (name == "auto") {
        format.reset();
        return true;
    }
    for (const auto& [n, f] : kNames) {
        if (name == n) {
            format = f;
            return true;
        }
    }
    return false;
}

// Parses the arguments; returns false with `problem` set on bad usage.
bool ParseArguments(const std::vector<std::string>& args, Options& options, bool& help,
                    std::string& problem) {
    bool onlyFiles = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlyFiles || arg.empty() || arg[0] != '-' || arg == "-") {
            options.files.push_back(arg);
        } else if (arg == "--") {
            onlyFiles = true;
        } else if (arg == "-h" || arg == "--help") {
            help = true;
        } else if (arg == "-v") {
            options.verbose = true;
        } else if (arg == "--strict") {
            options.strict = true;
        } else if (arg == "--format") {
            if (++i == args.size() || !ParseFormat(args[i], options.format)) {
                problem = i == args.size() ? "option --format needs a format"
                                           : "unknown format " + args[i];
                return false;
            }
        } else if (arg == "-o" || arg == "--report") {
            if (++i == args.size() || args[i].empty()) {
                problem = "option " + arg + " needs a file name";
                return false;
            }
            (arg == "-o" ? options.output : options.report.emplace()) = args[i];
        } else {
            problem = "unknown option " + arg;
            return false;
        }
    }
    if (!help && options.files.empty()) {
        problem = "no input files";
        return false;
    }
    return true;
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
    // The ANSI argv loses Polish letters outside the console code page.
    (void)argv;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) {
        args.push_back(platform::PathToUtf8(std::filesystem::path(wide[i])));
    }
    LocalFree(wide);
    (void)argc;
    return args;
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

#ifdef _WIN32
// Our messages are UTF-8; the user's console gets its own code page back on exit.
struct Utf8Console {
    UINT previous = GetConsoleOutputCP();
    Utf8Console() { SetConsoleOutputCP(CP_UTF8); }
    ~Utf8Console() { SetConsoleOutputCP(previous); }
};
#endif

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return a == b ||
           std::filesystem::equivalent(platform::PathFromUtf8(a), platform::PathFromUtf8(b), ec);
}

// A report written over a recorder file or over the output would destroy what it reports on.
std::optional<std::string> ReportOverwrites(const Options& options) {
    if (!options.report) {
        return std::nullopt;
    }
    if (SameFile(*options.report, options.output)) {
        return options.output;
    }
    for (const std::string& file : options.files) {
        if (SameFile(*options.report, file)) {
            return file;
        }
    }
    return std::nullopt;
}

// The summary on standard output, the entries on standard error as compilers write them.
void PrintSummary(const std::string& output, const ConversionResult& result) {
    const ConversionSummary& s = result.summary;
    std::cerr << report::Text(result.report, "\n");
    std::cout << "Zapisano " << output << "\n"
              << "Pliki: " << s.files << ", stanowiska: " << s.stations
              << ", obserwacje: " << s.observations << ", pominięte wiersze: " << s.skippedLines;
    if (!result.report.Empty()) {
        std::cout << ", uwagi: " << result.report.Count();
    }
    std::cout << "\n";
}

int Run(int argc, char** argv) {
    tempfiles::RemoveOnSignals();
    Options options;
    bool help = false;
    std::string problem;
    if (!ParseArguments(Utf8Arguments(argc, argv), options, help, problem)) {
        std::cerr << "kmx685-convert: " << problem << "\n\n" << kUsage;
        return kExitUsage;
    }
    if (help) {
        std::cout << kUsage;
        return 0;
    }
    if (options.output.empty()) {
        const TPlikIni settings;
        if (const auto unusable = WorkingFolderProblem(settings)) {
            std::cerr << kConversionFailedMessage << "\n" << *unusable << "\n";
            return kExitFailed;
        }
        options.output = platform::JoinPath(settings.Path, "OBSBIEG");
    }
    if (const auto overwritten = ReportOverwrites(options)) {
        std::cerr << "kmx685-convert: the report would overwrite " << *overwritten << "\n\n"
                  << kUsage;
        return kExitUsage;
    }

    // Opened first, so that a report that cannot be written stops before the conversion.
    std::optional<report::File> reportFile;
    std::string detail;
    if (options.report && !reportFile.emplace(*options.report).Open(detail)) {
        std::cerr << detail << "\n";
        return kExitFailed;
    }

    TRejestratorKMX685 converter([](std::string_view message, const ConversionError& error) {
        std::cerr << message << "\n" << error.detail << "\n";
    });
    converter.SetInputFiles(options.files);
    converter.SetFormat(options.format);
    const ConversionResult result = converter.ConvertFiles(options.output);
    if (result.status != ConversionStatus::Succeeded) {
        return kExitFailed;
    }
    if (options.verbose) {
        PrintSummary(options.output, result);
    }
    if (reportFile && !reportFile->Write(report::Text(result.report, "\r\n"), detail)) {
        std::cerr << "Zapisano " << options.output << ", ale nie raport.\n" << detail << "\n";
        return kExitFailed;
    }
    return options.strict && !result.report.Empty() ? kExitReported : 0;
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    const Utf8Console console;
#endif
    // The conversion reports its own failures; this catches what fails around it.
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << kConversionFailedMessage << "\nNieoczekiwany błąd: " << e.what() << ".\n";
    } catch (...) {
        std::cerr << kConversionFailedMessage << "\nNieoczekiwany błąd.\n";
    }
    return kExitFailed;
}
