#include "converter/ConversionReport.h"

#include "common/Cp1250.h"
#include "common/ErrorText.h"
#include "common/OutputFile.h"
#include "common/Platform.h"

void ConversionReport::StartFile(std::string path, std::uint64_t noteLine, std::string_view note) {
    files_.push_back(std::move(path));
    line_ = 0;
    if (!note.empty()) {
        NoteAt(noteLine, note);
    }
}

namespace {

// A reason is one line of UTF-8 text. A byte that is no part of UTF-8 is taken as
// Windows-1250, as a reader may quote a line's raw bytes; control characters,
// line ends included, show as "?".
std::string OneLineOfUtf8(std::string_view reason) {
    std::string text;
    text.reserve(reason.size());
    for (std::size_t pos = 0; pos < reason.size();) {
        const std::size_t start = pos;
        char32_t c = cp1250::NextCodePoint(reason, pos);
        if (c == 0xFFFD && pos == start + 1) {
            c = cp1250::ToUnicode(static_cast<unsigned char>(reason[start]));
        }
        cp1250::AppendUtf8(text, c < 0x20 || (c >= 0x7f && c < 0xa0) ? U'?' : c);
    }
    return text;
}

} // namespace

void ConversionReport::NoteAt(std::uint64_t line, std::string_view reason) {
    ++count_;
    if (entries_.size() < kMaxEntries) {
        entries_.push_back({files_.empty() ? 0 : files_.size() - 1, line, OneLineOfUtf8(reason)});
    }
}

namespace report {

std::string Quoted(std::string_view raw) {
    constexpr std::size_t kShown = 16;
    std::string text = "„";
    for (const char byte : raw.substr(0, kShown)) {
        const char32_t c = cp1250::ToUnicode(static_cast<unsigned char>(byte));
        cp1250::AppendUtf8(text, c < 0x20 || (c >= 0x7f && c < 0xa0) ? U'?' : c);
    }
    return text + "”";
}

std::string EntryLine(const ConversionReport& report, const ReportEntry& entry) {
    return report.FileOf(entry) + ":" + std::to_string(entry.line) + ": " + entry.reason;
}

std::string OmittedLine(const ConversionReport& report) {
    return report.Omitted() == 0 ? std::string()
                                 : "… i " + std::to_string(report.Omitted()) + " dalszych";
}

std::string Text(const ConversionReport& report, std::string_view lineEnd,
                 const std::vector<std::size_t>& order) {
    std::string text;
    const auto& entries = report.Entries();
    const auto append = [&](const ReportEntry& entry) {
        text += EntryLine(report, entry);
        text += lineEnd;
    };
    if (order.empty()) {
        for (const ReportEntry& entry : entries) {
            append(entry);
        }
    } else {
        for (const std::size_t index : order) {
            append(entries.at(index));
        }
    }
    if (report.Omitted() != 0) {
        text += OmittedLine(report);
        text += lineEnd;
    }
    return text;
}

File::File(std::string path) : path_(std::move(path)) {}

File::~File() = default;

bool File::Open(std::string& detail) {
    if (platform::IsFolder(path_)) {
        detail = "Plik raportu „" + path_ + "” jest folderem.";
        return false;
    }
    std::error_code ec;
    out_ = std::make_unique<AtomicOutputFile>(path_);
    if (!out_->Open(ec)) {
        out_.reset();
        detail = "Nie można utworzyć pliku raportu „" + path_ + "”: " + DescribeError(ec) + ".";
        return false;
    }
    return true;
}

bool File::Write(std::string_view text, std::string& detail) {
    if (!out_ && !Open(detail)) {
        return false;
    }
    out_->Append(cp1250::Encode(text).bytes);
    std::error_code ec;
    const bool written = out_->Commit(ec);
    out_.reset();
    if (!written) {
        detail = "Błąd zapisu pliku raportu „" + path_ + "”: " + DescribeError(ec) + ".";
    }
    return written;
}

bool WriteFile(const std::string& path, std::string_view text, std::string& detail) {
    File file(path);
    return file.Write(text, detail);
}

} // namespace report
