#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class AtomicOutputFile;

// What happened to every input line that did not convert cleanly: a reason, in
// Polish, for a line of a file. A reader of any recorder format tells the report
// about the line being converted through Note; the conversion says which file
// and line that is. Every entry is counted, the first kMaxEntries are kept, so
// millions of bad lines cost a counter, not memory.
struct ReportEntry {
    std::size_t file = 0;   // index into ConversionReport::Files()
    std::uint64_t line = 0; // counted from 1
    std::string reason;     // UTF-8
};

class ConversionReport {
public:
    static constexpr std::size_t kMaxEntries = 10000;
    static constexpr bool kEnabled = true;

    // Later notes are about this file (UTF-8, as the caller named it). A
    // `note` about the file as a whole, if any, goes first, at `noteLine`.
    void StartFile(std::string path, std::uint64_t noteLine = 0, std::string_view note = {});
    // Later notes are about this line of the current file.
    void SetLine(std::uint64_t line) { line_ = line; }
    std::uint64_t Line() const { return line_; }

    // A reason about the current line: UTF-8 text, where bytes that are no UTF-8
    // are taken as Windows-1250 (a quoted piece of the line) and control
    // characters show as "?", so that every entry stays one line.
    void Note(std::string_view reason) { NoteAt(line_, reason); }
    void NoteAt(std::uint64_t line, std::string_view reason);
    // The same, with the reason made only when it is kept.
    template <typename MakeReason> void NoteLazily(MakeReason&& make) {
        if (entries_.size() < kMaxEntries) {
            Note(make());
        } else {
            ++count_;
        }
    }

    bool Empty() const { return count_ == 0; }
    // Every entry noted, kept or not.
    std::uint64_t Count() const { return count_; }
    // Entries noted beyond the kept ones.
    std::uint64_t Omitted() const { return count_ - entries_.size(); }
    const std::vector<ReportEntry>& Entries() const { return entries_; }
    const std::vector<std::string>& Files() const { return files_; }
    const std::string& FileOf(const ReportEntry& entry) const { return files_[entry.file]; }

private:
    std::vector<std::string> files_;
    std::vector<ReportEntry> entries_;
    std::uint64_t count_ = 0;
    std::uint64_t line_ = 0;
};

// A report that notes nothing: the conversion without one costs nothing for it.
struct NoReport {
    static constexpr bool kEnabled = false;
    void StartFile(std::string, std::uint64_t = 0, std::string_view = {}) {}
    void SetLine(std::uint64_t) {}
    std::uint64_t Line() const { return 0; }
    void Note(std::string_view) {}
    void NoteAt(std::uint64_t, std::string_view) {}
    template <typename MakeReason> void NoteLazily(MakeReason&&) {}
};

namespace report {

// Text of a line quoted in a reason: the raw Windows-1250 bytes, at most the
// first 16 characters, decoded to UTF-8 between „ and ”; control characters
// show as "?".
std::string Quoted(std::string_view raw);

// "PATH:LINE: REASON", the form compilers use.
std::string EntryLine(const ConversionReport& report, const ReportEntry& entry);
// "… i N dalszych" when entries were left out, else empty.
std::string OmittedLine(const ConversionReport& report);

// The report as text (UTF-8): one entry a line, in the given order of entry
// indices (all, in order, when `order` is empty), then the omitted line; each
// line followed by `lineEnd`.
std::string Text(const ConversionReport& report, std::string_view lineEnd,
                 const std::vector<std::size_t>& order = {});

// The report written as a Windows-1250 file, whole or not at all, keeping what
// stood there on failure; what the code page cannot hold becomes "?". On
// failure `detail` is a Polish sentence naming the file.
class File {
public:
    explicit File(std::string path);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opened before a conversion, an unwritable place is known before anything is written.
    bool Open(std::string& detail);
    // `text` is UTF-8.
    bool Write(std::string_view text, std::string& detail);

private:
    std::string path_;
    std::unique_ptr<AtomicOutputFile> out_;
};

bool WriteFile(const std::string& path, std::string_view text, std::string& detail);

} // namespace report
