// Command-line converter: the same conversion as the window, for batch use and scripts.
#include "common/Platform.h"
#include "common/TemporaryFiles.h"
#include "common/UPlikIni.h"
#include "converter/URejestratorKMX685.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "Usage: kmx685-convert [-v] [-o OUTPUT] FILE...\n"
    "Converts KMX 685 recorder files, in the order given, into one observation file.\n"
    "\n"
    "  -o OUTPUT  write to OUTPUT instead of OBSBIEG in the working directory\n"
    "             named by kavero.ini beside this program ([General] Path)\n"
    "  -v         print a summary of the conversion\n"
    "  -h, --help show this text\n"
    "\n"
    "Exit status: 0 converted, 1 conversion failed (old output left as it was), 2 bad usage.\n";

struct Options {
    bool verbose = false;
    std::string output;
    std::vector<std::string> files;
};

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
        } else if (arg == "-o") {
            if (++i == args.size() || args[i].empty()) {
                problem = "option -o needs a file name";
                return false;
            }
            options.output = args[i];
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

    TRejestratorKMX685 converter([](std::string_view message, const ConversionError& error) {
        std::cerr << message << "\n" << error.detail << "\n";
    });
    converter.SetInputFiles(options.files);
    const ConversionResult result = converter.ConvertFiles(options.output);
    if (result.status != ConversionStatus::Succeeded) {
        return kExitFailed;
    }
    if (options.verbose) {
        const ConversionSummary& s = result.summary;
        std::cout << "Zapisano " << options.output << "\n"
                  << "Pliki: " << s.files << ", stanowiska: " << s.stations
                  << ", obserwacje: " << s.observations << ", pominięte wiersze: " << s.skippedLines
                  << "\n";
    }
    return 0;
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
