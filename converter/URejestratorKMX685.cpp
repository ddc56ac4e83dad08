#include "URejestratorKMX685.h"

#include "ErrorText.h"
#include "LineReader.h"
#include "OutputFile.h"
#include "Platform.h"

#include <array>
#include <cstring>
#include <filesystem>
#include <memory>

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

constexpr int kFieldsUsed = 7;
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kClosingPrefix = "0 0 0 0 ";

// Fields 1..7 of a comma-separated line, the same as ExtractField gives, without copies.
using Fields = std::array<std::string_view, kFieldsUsed + 1>;

void SplitFields(std::string_view line, Fields& fields) {
    std::size_t start = 0;
    int k = 1;
    for (; k <= kFieldsUsed; ++k) {
        const void* comma = std::memchr(line.data() + start, ',', line.size() - start);
        if (!comma) {
            fields[k] = line.substr(start);
            ++k;
            break;
        }
        const std::size_t end = std::size_t(static_cast<const char*>(comma) - line.data());
        fields[k] = line.substr(start, end - start);
        start = end + 1;
    }
    for (; k <= kFieldsUsed; ++k) {
        fields[k] = {};
    }
}

bool IsBlank(std::string_view entry) {
    return entry.find_first_not_of(" \t\r\n\v\f") == std::string_view::npos;
}

// One call of ConvertFiles: the working state of the description, plus the
// error that stops it.
class Conversion {
public:
    Conversion(AtomicOutputFile& out, const TRejestratorKMX685::ProgressHandler& onProgress,
               std::uint64_t bytesTotal)
        : out_(out), onProgress_(onProgress), bytesTotal_(bytesTotal) {}

    // False when the file failed or the user cancelled; `error` tells which.
    bool ConvertFile(const std::string& path, ConversionError& error);

    bool Cancelled() const { return cancelled_; }
    const ConversionSummary& Summary() const { return summary_; }

private:
    void ConvertLine(std::string_view line);
    void WriteClosingLine() {
        out_.Append(kClosingPrefix);
        out_.Append(stationValue_);
        out_.Append(kLineEnd);
        stationOpen_ = false;
    }
    bool ReportProgress(std::uint64_t fileBytes);

    AtomicOutputFile& out_;
    const TRejestratorKMX685::ProgressHandler& onProgress_;
    std::uint64_t bytesTotal_;
    std::uint64_t bytesBeforeFile_ = 0;
    bool stationOpen_ = false;
    std::string stationValue_;
    Fields fields_;
    ConversionSummary summary_;
    bool cancelled_ = false;
};

void Conversion::ConvertLine(std::string_view line) {
    SplitFields(line, fields_);
    const std::string_view type = fields_[1];
    if (type.size() != 1) {
        summary_.skippedLines += line.empty() ? 0 : 1;
        return;
    }
    switch (type[0]) {
    case 'C':
        if (stationOpen_) {
            WriteClosingLine();
        }
        out_.Append(fields_[2]);
        out_.Append("    42\r\n");
        stationValue_.assign(fields_[7]);
        stationOpen_ = true;
        ++summary_.stations;
        break;
    case 'E':
        out_.Append(fields_[2]);
        out_.Append("  ");
        out_.Append(fields_[5]);
        out_.Append("  ");
        out_.Append(fields_[7]);
        out_.Append("  ");
        out_.Append(fields_[4]);
        out_.Append("  ");
        out_.Append(fields_[6]);
        out_.Append(kLineEnd);
        ++summary_.observations;
        break;
    case 'D':
        out_.Append(fields_[2]);
        out_.Append("  ");
        out_.Append(fields_[5]);
        out_.Append("  -1     ");
        out_.Append(fields_[4]);
        out_.Append("  ");
        out_.Append(fields_[6]);
        out_.Append(kLineEnd);
        ++summary_.observations;
        break;
    default:
        ++summary_.skippedLines;
    }
}

bool Conversion::ReportProgress(std::uint64_t fileBytes) {
    if (onProgress_ && !onProgress_(bytesBeforeFile_ + fileBytes, bytesTotal_)) {
        cancelled_ = true;
    }
    return !cancelled_;
}

bool Conversion::ConvertFile(const std::string& path, ConversionError& error) {
    error.file = path;
    std::error_code ec;
    if (std::filesystem::is_directory(platform::PathFromUtf8(path), ec)) {
        error.detail = "„" + path + "” jest folderem, a nie plikiem.";
        return false;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(platform::OpenFile(path, "rb", ec),
                                                         &std::fclose);
    if (!file) {
        error.detail = "Nie można otworzyć pliku „" + path + "”: " + DescribeError(ec) + ".";
        return false;
    }
    FileByteSource source(file.get());
    LineReader reader(source);
    std::uint64_t reported = 0;
    std::string_view line;
    while (reader.Next(line)) {
        if (reader.BytesRead() != reported) {
            reported = reader.BytesRead();
            if (!ReportProgress(reported)) {
                return false;
            }
        }
        ConvertLine(line);
        if (out_.Error()) {
            return false;
        }
    }
    if (reader.Error()) {
        error.detail = "Błąd odczytu pliku „" + path + "”: " + DescribeError(reader.Error()) + ".";
        return false;
    }
    if (stationOpen_) {
        WriteClosingLine();
    }
    bytesBeforeFile_ += reader.BytesRead();
    ++summary_.files;
    return ReportProgress(0);
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
    static const std::vector<std::string> kNoFiles;
    const std::vector<std::string>& files = inputFiles_ ? *inputFiles_ : kNoFiles;
    ConversionResult result;

    const auto fail = [&](const ConversionError& error) {
        result.status = ConversionStatus::Failed;
        if (onError_) {
            onError_(kConversionFailedMessage, error);
        }
        return result;
    };

    AtomicOutputFile out(outputPath);
    std::error_code ec;
    if (std::filesystem::is_directory(platform::PathFromUtf8(outputPath), ec)) {
        return fail({outputPath, "Plik wynikowy „" + outputPath + "” jest folderem."});
    }
    if (!out.Open(ec)) {
        return fail({outputPath, "Nie można utworzyć pliku wynikowego „" + outputPath +
                                     "”: " + DescribeError(ec) + "."});
    }

    Conversion conversion(out, onProgress_, onProgress_ ? TotalSize(files) : 0);
    for (const std::string& entry : files) {
        if (IsBlank(entry)) {
            continue;
        }
        ConversionError error;
        const bool converted = conversion.ConvertFile(entry, error);
        result.summary = conversion.Summary();
        if (conversion.Cancelled()) {
            result.status = ConversionStatus::Cancelled;
            return result;
        }
        if (out.Error()) {
            return fail({outputPath, "Błąd zapisu pliku wynikowego „" + outputPath +
                                         "”: " + DescribeError(out.Error()) + "."});
        }
        if (!converted) {
            return fail(error);
        }
    }
    result.summary = conversion.Summary();
    if (!out.Commit(ec)) {
        return fail({outputPath, "Błąd zapisu pliku wynikowego „" + outputPath + "”: " +
                                     DescribeError(ec) + "."});
    }
    result.status = ConversionStatus::Succeeded;
    return result;
}
