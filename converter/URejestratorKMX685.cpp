#include "converter/URejestratorKMX685.h"

#include "common/ErrorText.h"
#include "common/OutputFile.h"
#include "common/Platform.h"
#include "converter/FileHead.h"
#include "converter/GsiReader.h"
#include "converter/LineReader.h"
#include "converter/NikonRawReader.h"
#include "converter/RecordConverter.h"
#include "converter/RecorderStream.h"
#include "converter/ReportWorker.h"
#include "converter/SdrReader.h"

#include <filesystem>
#include <memory>
#include <system_error>
#include <thread>
#include <type_traits>

std::string ExtractField(std::string_view line, int index, std::string_view delimiters) {
    if (index < 1) {
        return {};
    }
    std::size_t fieldStart = 0;
    int counted = 0;
    for (std::size_t pos = 0; pos < line.size(); ++pos) {
        if (delimiters.find(line[pos]) == std::string_view::npos) {
            continue;
        }
        if (++counted == index) {
            return std::string(line.substr(fieldStart, pos - fieldStart));
        }
        fieldStart = pos + 1;
    }
    return counted == index - 1 ? std::string(line.substr(fieldStart)) : std::string();
}

namespace {

// A list line of blanks only is a slip of the keyboard, unless a file has that name.
bool NamesNoFile(const std::string& entry) {
    std::error_code ec;
    return entry.find_first_not_of(" \t\r\n\v\f") == std::string::npos &&
           (entry.empty() || !std::filesystem::exists(platform::PathFromUtf8(entry), ec));
}

// One call of ConvertFiles: the record state carried from file to file, the
// progress across all files, whether the user cancelled, and the report: made
// here (ConversionReport) or by a worker that gets a copy of every block read,
// or none (NoReport without a worker). A worker is only there for a conversion
// of KMX 685 files; the other formats note within the conversion.
template <typename Report> class Conversion {
public:
    Conversion(AtomicOutputFile& out, Report& report, ReportWorker* worker,
               std::optional<RecorderFormat> format,
               const TRejestratorKMX685::ProgressHandler& onProgress, std::uint64_t bytesTotal)
        : out_(out), report_(report), worker_(worker), format_(format), onProgress_(onProgress),
          bytesTotal_(bytesTotal) {}

    // False when the file failed or the user cancelled; `error` tells which.
    bool ConvertFile(const std::string& path, ConversionError& error);

    bool Cancelled() const { return cancelled_; }
    ConversionSummary Summary() const;

private:
    bool ReportProgress(std::uint64_t fileBytes);
    bool ChooseFormat(const std::string& path, const HeadByteSource& head, RecorderFormat& format,
                      ConversionError& error);
    bool ConvertFileIn(RecorderFormat format, ByteSource& source, const std::string& path,
                       ConversionError& error);
    bool ConvertLines(ByteSource& source, const std::string& path, ConversionError& error);
    template <typename Reader>
    bool ConvertRecorderLines(Reader& reader, ByteSource& source, bool framing,
                              const std::string& path, ConversionError& error);
    template <typename Lines, typename ConvertWith>
    bool ConvertAllLines(Lines& lines, const std::string& path, ConversionError& error,
                         ConvertWith&& convertWith);
    bool ReadFailed(const std::error_code& ec, const std::string& path, ConversionError& error);

    AtomicOutputFile& out_;
    Report& report_;
    ReportWorker* worker_;
    std::optional<RecorderFormat> format_;
    const TRejestratorKMX685::ProgressHandler& onProgress_;
    std::uint64_t bytesTotal_;
    std::uint64_t bytesBeforeFile_ = 0;
    records::RecordConverter<AtomicOutputFile, Report> records_{out_, report_};
    recorders::NikonRawReader<AtomicOutputFile, Report> nikonRaw_{out_, report_};
    recorders::SdrReader<AtomicOutputFile, Report> sdr_{out_, report_};
    recorders::GsiReader<AtomicOutputFile, Report> gsi_{out_, report_};
    // A reason about the file at hand as a whole, and its line.
    std::string fileNote_;
    std::uint64_t fileNoteLine_ = 0;
    bool cancelled_ = false;
};

template <typename Report> ConversionSummary Conversion<Report>::Summary() const {
    ConversionSummary sum = records_.Summary();
    for (const ConversionSummary* s : {&nikonRaw_.Summary(), &sdr_.Summary(), &gsi_.Summary()}) {
        sum.files += s->files;
        sum.stations += s->stations;
        sum.observations += s->observations;
        sum.skippedLines += s->skippedLines;
    }
    return sum;
}

template <typename Report> bool Conversion<Report>::ReportProgress(std::uint64_t fileBytes) {
    if (onProgress_ && !onProgress_(bytesBeforeFile_ + fileBytes, bytesTotal_)) {
        cancelled_ = true;
    }
    return !cancelled_;
}

template <typename Report>
bool Conversion<Report>::ConvertFile(const std::string& path, ConversionError& error) {
    error.file = path;
    std::error_code ec;
    if (platform::IsFolder(path)) {
        error.detail = "„" + path + "” jest folderem, a nie plikiem.";
        return false;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(platform::OpenFile(path, "rb", ec),
                                                         &std::fclose);
    if (!file) {
        error.detail = "Nie można otworzyć pliku „" + path + "”: " + DescribeError(ec) + ".";
        return false;
    }
    FileByteSource bytes(file.get());
    HeadByteSource source(bytes);
    RecorderFormat format = RecorderFormat::Kmx685;
    if (!ChooseFormat(path, source, format, error)) {
        return false;
    }
    if (!worker_) {
        report_.StartFile(path, fileNoteLine_, fileNote_);
        return ConvertFileIn(format, source, path, error);
    }
    worker_->StartFile(path, fileNoteLine_, std::move(fileNote_));
    TeeByteSource tee(source, *worker_);
    const bool converted = ConvertLines(tee, path, error);
    worker_->EndFile();
    return converted;
}

// The chosen format, or the one the file looks like; the file's note when the
// two differ. False, with `error` set, when no format was chosen and the file
// looks like none (a file without a line has nothing to convert in any).
template <typename Report>
bool Conversion<Report>::ChooseFormat(const std::string& path, const HeadByteSource& head,
                                      RecorderFormat& format, ConversionError& error) {
    fileNote_.clear();
    const FileStart start = RecogniseStart(head.Head());
    if (!format_) {
        format = start.format == RecorderFormat::Unknown ? RecorderFormat::Kmx685 : start.format;
        if (start.format == RecorderFormat::Unknown && !start.empty && !head.HeadFailed()) {
            error.detail = "Nie rozpoznano formatu pliku „" + path +
                           "”: jego pierwsze wiersze nie wyglądają na KMX 685, Nikon RAW, "
                           "Sokkia SDR ani Leica GSI.";
            return false;
        }
        return true;
    }
    format = *format_;
    if (start.format != RecorderFormat::Unknown && start.format != format) {
        fileNote_ = LooksLikeNote(start.format, format);
        fileNoteLine_ = start.FirstLine(format);
    }
    return true;
}

template <typename Report>
bool Conversion<Report>::ConvertFileIn(RecorderFormat format, ByteSource& source,
                                       const std::string& path, ConversionError& error) {
    switch (format) {
    case RecorderFormat::NikonRaw:
        return ConvertRecorderLines(nikonRaw_, source, false, path, error);
    case RecorderFormat::Sdr:
        return ConvertRecorderLines(sdr_, source, true, path, error);
    case RecorderFormat::Gsi:
        return ConvertRecorderLines(gsi_, source, false, path, error);
    case RecorderFormat::Kmx685:
    case RecorderFormat::Unknown:
        break;
    }
    return ConvertLines(source, path, error);
}

template <typename Report>
bool Conversion<Report>::ReadFailed(const std::error_code& ec, const std::string& path,
                                    ConversionError& error) {
    error.detail = "Błąd odczytu pliku „" + path + "”: " + DescribeError(ec) + ".";
    return false;
}

// Every line of a file through `convertWith`, given the check to run after each
// line: progress when more was read, and whether the output still writes.
template <typename Report>
template <typename Lines, typename ConvertWith>
bool Conversion<Report>::ConvertAllLines(Lines& lines, const std::string& path,
                                         ConversionError& error, ConvertWith&& convertWith) {
    std::uint64_t reported = 0;
    const bool read = convertWith([&] {
        if (lines.BytesRead() != reported) {
            reported = lines.BytesRead();
            if (!ReportProgress(reported)) {
                return false;
            }
        }
        return !out_.Error();
    });
    if (lines.Error()) {
        return ReadFailed(lines.Error(), path, error);
    }
    if (!read) {
        return false;
    }
    if constexpr (std::is_same_v<Lines, LineReader>) {
        if (worker_) {
            lines.TextAfterCtrlZ(); // the worker sees what follows a Ctrl-Z as the reader would
        }
    }
    bytesBeforeFile_ += lines.BytesRead();
    return ReportProgress(0);
}

template <typename Report>
bool Conversion<Report>::ConvertLines(ByteSource& source, const std::string& path,
                                      ConversionError& error) {
    LineReader reader(source, LineReader::kDefaultBlockSize, records::FieldsWritten);
    return ConvertAllLines(reader, path, error, [&](auto&& afterLine) {
        return records::ConvertFileLines(reader, records_, report_, afterLine);
    });
}

template <typename Report>
template <typename Reader>
bool Conversion<Report>::ConvertRecorderLines(Reader& reader, ByteSource& source, bool framing,
                                              const std::string& path, ConversionError& error) {
    RecorderLineReader lines(source, framing);
    return ConvertAllLines(lines, path, error, [&](auto&& afterLine) {
        return recorders::ConvertFileLines(lines, reader, report_, afterLine);
    });
}

// With a second processor the report is made beside the conversion; without
// one, or when no thread can be started, within it.
std::unique_ptr<ReportWorker> StartReportWorker(ConversionReport& report) {
    if (std::thread::hardware_concurrency() < 2) {
        return nullptr;
    }
    try {
        return std::make_unique<ReportWorker>(report);
    } catch (const std::system_error&) {
        return nullptr;
    }
}

std::uint64_t TotalSize(const std::vector<std::string>& files) {
    std::uint64_t total = 0;
    for (const std::string& path : files) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(platform::PathFromUtf8(path), ec);
        total += ec ? 0 : size;
    }
    return total;
}

} // namespace

TRejestratorKMX685::TRejestratorKMX685(ErrorHandler onError) : onError_(std::move(onError)) {}

ConversionResult TRejestratorKMX685::ConvertFiles(const std::string& outputPath) {
    ConversionResult result;
    ConversionError error;
    try {
        NoReport none;
        if (reportMode_ == ReportMode::Off) {
            result.status = Convert(outputPath, result.summary, none, nullptr, error);
        } else if (const std::unique_ptr<ReportWorker> worker =
                       reportMode_ == ReportMode::Beside && format_ == RecorderFormat::Kmx685
                           ? StartReportWorker(result.report)
                           : nullptr) {
            result.status = Convert(outputPath, result.summary, none, worker.get(), error);
            worker->Finish();
        } else {
            result.status = Convert(outputPath, result.summary, result.report, nullptr, error);
        }
    } catch (const std::bad_alloc&) {
        error.detail = "Zabrakło pamięci przy pliku „" + error.file + "” (zbyt długi wiersz?).";
    } catch (const std::exception& e) {
        error.detail = "Nieoczekiwany błąd przy pliku „" + error.file + "”: " + e.what() + ".";
    } catch (...) {
        error.detail = "Nieoczekiwany błąd przy pliku „" + error.file + "”.";
    }
    if (result.status == ConversionStatus::Failed) {
        result.failure = error;
        if (onError_) {
            onError_(kConversionFailedMessage, error);
        }
    }
    return result;
}

// The whole conversion; `error.file` always names the file at hand, so that
// the caller can name it when something is thrown.
template <typename Report>
ConversionStatus TRejestratorKMX685::Convert(const std::string& outputPath,
                                             ConversionSummary& summary, Report& report,
                                             ReportWorker* worker, ConversionError& error) {
    static const std::vector<std::string> kNoFiles;
    const std::vector<std::string>& files = inputFiles_ ? *inputFiles_ : kNoFiles;
    const auto fail = [&](std::string detail) {
        error = {outputPath, std::move(detail)};
        return ConversionStatus::Failed;
    };
    error.file = outputPath;
    AtomicOutputFile out(outputPath);
    std::error_code ec;
    if (platform::IsFolder(outputPath)) {
        return fail("Plik wynikowy „" + outputPath + "” jest folderem.");
    }
    if (!out.Open(ec)) {
        return fail("Nie można utworzyć pliku wynikowego „" + outputPath +
                    "”: " + DescribeError(ec) + ".");
    }

    Conversion<Report> conversion(out, report, worker, format_, onProgress_,
                                  onProgress_ ? TotalSize(files) : 0);
    for (const std::string& entry : files) {
        if (NamesNoFile(entry)) {
            continue;
        }
        const bool converted = conversion.ConvertFile(entry, error);
        summary = conversion.Summary();
        if (conversion.Cancelled()) {
            return ConversionStatus::Cancelled;
        }
        if (out.Error()) {
            return fail("Błąd zapisu pliku wynikowego „" + outputPath +
                        "”: " + DescribeError(out.Error()) + ".");
        }
        if (!converted) {
            return ConversionStatus::Failed;
        }
    }
    summary = conversion.Summary();
    error.file = outputPath;
    if (!out.Commit(ec)) {
        return fail("Błąd zapisu pliku wynikowego „" + outputPath + "”: " + DescribeError(ec) +
                    ".");
    }
    return ConversionStatus::Succeeded;
}
