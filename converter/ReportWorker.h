#pragma once

#include "converter/ConversionReport.h"
#include "converter/LineReader.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The report's checks on a thread of their own, so that a conversion with its
// report takes hardly longer than one without: the conversion hands over a copy
// of every block it reads, and the worker splits the blocks into lines again and
// runs the same record rules on them, writing nothing. The copies travel in
// pieces of kPieceSize, at most kQueued waiting, so the worker takes about
// 2 MiB, and a worker that falls behind holds the conversion back rather than
// letting copies pile up.
class ReportWorker {
public:
    static constexpr std::size_t kPieceSize = std::size_t(1) << 18;
    static constexpr std::size_t kQueued = 4;
    // Every piece in flight finds a buffer to come back to, so none is allocated
    // (and its pages faulted in) anew once the first few went round.
    static constexpr std::size_t kSpare = kQueued + 2;
    static constexpr std::size_t kBlockSize = std::size_t(1) << 18;

    // The report belongs to the worker until Finish. Throws std::system_error
    // when no thread can be started.
    explicit ReportWorker(ConversionReport& report);
    // Stops the worker without waiting for the lines still queued.
    ~ReportWorker();
    ReportWorker(const ReportWorker&) = delete;
    ReportWorker& operator=(const ReportWorker&) = delete;

    // The bytes of one input file, in order, between StartFile and EndFile.
    // `note`, unless empty, is a reason about the file as a whole, at `line`,
    // noted before any of its lines.
    void StartFile(const std::string& path, std::uint64_t line = 0, std::string note = {});
    void Bytes(const char* data, std::size_t size);
    void EndFile();
    // Waits until every line handed over has been checked; the report is then complete.
    void Finish();

private:
    enum class Kind { Start, Bytes, End, Finish };
    struct Message {
        Kind kind = Kind::Finish;
        std::string path;
        std::vector<char> bytes;
        std::uint64_t line = 0;
        std::string note;
    };
    class QueueSource;

    void Post(Message message);
    Message Take();
    void GiveBack(std::vector<char> buffer);
    void Run();
    void CheckFile(QueueSource& source);

    ConversionReport& report_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Message> queue_;
    std::vector<std::vector<char>> spare_;
    bool stopping_ = false;
    bool failed_ = false; // the worker gave up; what it was sent is dropped
    std::thread thread_;
};

// A byte source that also hands every block it reads to a report worker.
class TeeByteSource final : public ByteSource {
public:
    TeeByteSource(ByteSource& source, ReportWorker& worker) : source_(source), worker_(worker) {}
    std::size_t Read(char* buffer, std::size_t size, std::error_code& ec) override {
        const std::size_t n = source_.Read(buffer, size, ec);
        worker_.Bytes(buffer, n);
        return n;
    }

private:
    ByteSource& source_;
    ReportWorker& worker_;
};
