#pragma once

#include "converter/ConversionReport.h"
#include "converter/RecorderFormat.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The one message a failed conversion shows; the detail says which file and why.
inline constexpr std::string_view kConversionFailedMessage = "Błąd podczas przetwarzania plików!";

struct ConversionError {
    std::string file;   // the file that failed (UTF-8 path)
    std::string detail; // a Polish sentence naming the file and the cause
};

struct ConversionSummary {
    std::size_t files = 0;        // input files read
    std::size_t stations = 0;     // station blocks (C records)
    std::size_t observations = 0; // observation lines (E and D records)
    std::size_t skippedLines = 0; // non-empty lines that wrote nothing
};

enum class ConversionStatus { Succeeded, Failed, Cancelled };

struct ConversionResult {
    ConversionStatus status = ConversionStatus::Failed;
    ConversionSummary summary;
    // Every line that did not convert cleanly, up to where the conversion ended.
    ConversionReport report;
    // Why, when the status is Failed (what the error handler is told too).
    std::optional<ConversionError> failure;
};

// Field `index` (from 1) of `line`, where every character of `delimiters` ends
// a field; a field the line does not have is empty. Nothing is trimmed.
std::string ExtractField(std::string_view line, int index, std::string_view delimiters);

class ReportWorker;

// Converts recorder files of the KMX 685, or of another recorder, into one
// observation file.
class TRejestratorKMX685 {
public:
    // Called once when a conversion fails, with the fixed message and the detail.
    using ErrorHandler = std::function<void(std::string_view message, const ConversionError&)>;
    // Called after each block read; return false to cancel the conversion.
    using ProgressHandler = std::function<bool(std::uint64_t bytesDone, std::uint64_t bytesTotal)>;

    explicit TRejestratorKMX685(ErrorHandler onError = {});

    // The list stays owned by the caller and must outlive the next ConvertFiles.
    void SetInputFiles(const std::vector<std::string>& files) { inputFiles_ = &files; }
    void SetProgressHandler(ProgressHandler onProgress) { onProgress_ = std::move(onProgress); }
    // How ConvertFiles fills the result's report; the output is the same either way.
    enum class ReportMode {
        Off,    // no report
        Within, // the conversion checks each line as it converts it
        Beside, // a thread of its own checks copies of the blocks read, so that the
                // report costs little time; Within with only one processor (the default)
    };
    void SetReportMode(ReportMode mode) { reportMode_ = mode; }
    // The format every file is read in (KMX 685 unless set); std::nullopt: each
    // file in the format its first lines look like. Either way each file is
    // recognised, and one that looks like another format than the chosen one
    // gets a report entry saying so; without a choice, a file that looks like
    // no format fails the conversion.
    void SetFormat(std::optional<RecorderFormat> format) { format_ = format; }

    // Converts every listed file, in order, into `outputPath` (UTF-8). The output
    // is written to a temporary file beside it and renamed over it only when the
    // whole conversion succeeded, so a failure or a cancel leaves the old file as it was.
    // Every failure, running out of memory included, is reported through the
    // error handler; nothing is thrown.
    ConversionResult ConvertFiles(const std::string& outputPath);

private:
    template <typename Report>
    ConversionStatus Convert(const std::string& outputPath, ConversionSummary& summary,
                             Report& report, ReportWorker* worker, ConversionError& error);

    const std::vector<std::string>* inputFiles_ = nullptr;
    ReportMode reportMode_ = ReportMode::Beside;
    std::optional<RecorderFormat> format_ = RecorderFormat::Kmx685;
    ErrorHandler onError_;
    ProgressHandler onProgress_;
};
