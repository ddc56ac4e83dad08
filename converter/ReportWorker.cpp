#include "converter/ReportWorker.h"

#include "converter/RecordConverter.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// The worker writes nothing.
struct NoOutput {
    void Append(std::string_view) {}
    void AppendField(std::string_view) {}
};

} // namespace

// The bytes of the current file from the queue; 0 at its end.
class ReportWorker::QueueSource final : public ByteSource {
public:
    explicit QueueSource(ReportWorker& worker) : worker_(worker) {}

    std::size_t Read(char* buffer, std::size_t size, std::error_code&) override {
        while (offset_ == block_.size()) {
            if (ended_) {
                return 0;
            }
            worker_.GiveBack(std::move(block_));
            block_.clear();
            offset_ = 0;
            Message message = worker_.Take();
            if (message.kind != Kind::Bytes) {
                ended_ = true;
                return 0;
            }
            block_ = std::move(message.bytes);
        }
        const std::size_t n = std::min(size, block_.size() - offset_);
        std::memcpy(buffer, block_.data() + offset_, n);
        offset_ += n;
        return n;
    }

    // What the reader left after a Ctrl-Z, up to the end of the file.
    void SkipToEnd() {
        char scratch[4096];
        std::error_code ignored;
        while (Read(scratch, sizeof scratch, ignored) != 0) {
        }
    }

private:
    ReportWorker& worker_;
    std::vector<char> block_;
    std::size_t offset_ = 0;
    bool ended_ = false;
};

ReportWorker::ReportWorker(ConversionReport& report) : report_(report) {
    thread_ = std::thread([this] { Run(); });
}

ReportWorker::~ReportWorker() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void ReportWorker::StartFile(const std::string& path, std::uint64_t line, std::string note) {
    Post({Kind::Start, path, {}, line, std::move(note)});
}

void ReportWorker::EndFile() {
    Post({Kind::End, {}, {}, 0, {}});
}

void ReportWorker::Finish() {
    Post({Kind::Finish, {}, {}, 0, {}});
    if (thread_.joinable()) {
        thread_.join();
    }
}

// In pieces, each copied outside the lock into a buffer the worker has given back.
void ReportWorker::Bytes(const char* data, std::size_t size) {
    for (std::size_t offset = 0; offset < size; offset += kPieceSize) {
        std::vector<char> copy;
        {
            const std::lock_guard lock(mutex_);
            if (!spare_.empty()) {
                copy = std::move(spare_.back());
                spare_.pop_back();
            }
        }
        copy.assign(data + offset, data + std::min(size, offset + kPieceSize));
        Post({Kind::Bytes, {}, std::move(copy), 0, {}});
    }
}

void ReportWorker::Post(Message message) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < kQueued || stopping_ || failed_; });
    if (stopping_ || failed_) {
        return;
    }
    queue_.push_back(std::move(message));
    lock.unlock();
    changed_.notify_all();
}

// A Finish message once the worker must stop.
ReportWorker::Message ReportWorker::Take() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !queue_.empty() || stopping_; });
    if (stopping_) {
        return {};
    }
    Message message = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    changed_.notify_all();
    return message;
}

void ReportWorker::GiveBack(std::vector<char> buffer) {
    if (buffer.capacity() == 0) {
        return;
    }
    buffer.clear();
    const std::lock_guard lock(mutex_);
    if (spare_.size() < kSpare) {
        spare_.push_back(std::move(buffer));
    }
}

void ReportWorker::Run() {
    std::uint64_t line = 0;
    try {
        for (Message message = Take(); message.kind != Kind::Finish; message = Take()) {
            if (message.kind == Kind::Start) {
                report_.StartFile(std::move(message.path), message.line, message.note);
                QueueSource source(*this);
                CheckFile(source);
                source.SkipToEnd();
            }
        }
        return;
    } catch (const std::bad_alloc&) {
        line = report_.Line();
    }
    // Out of memory on a huge line: the report says where it ends, and the
    // conversion goes on without it.
    report_.NoteAt(line, "raport przerwany w tym wierszu: zabrakło pamięci");
    {
        const std::lock_guard lock(mutex_);
        failed_ = true;
        queue_.clear();
    }
    changed_.notify_all();
}

// The same rules as the conversion, file by file: each file starts outside any block.
void ReportWorker::CheckFile(QueueSource& source) {
    NoOutput out;
    records::RecordConverter<NoOutput, ConversionReport> records(out, report_);
    LineReader reader(source, kBlockSize, records::FieldsWritten);
    records::ConvertFileLines(reader, records, report_, [] { return true; });
}
