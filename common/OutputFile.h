#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

class OutputSink;

// A file written whole or not at all, keeping what the user had. The bytes go to
// a temporary file beside the target, which Commit syncs and renames into place;
// destroyed without Commit, it leaves the target untouched and no file behind.
// - A symbolic link is written through: the link stays, its target gets the bytes.
// - An existing file keeps its permission bits, and its owner and group where the
//   process may set them; a new file gets the usual mode (0666 less the umask).
// - A target that is no regular file (a device, a FIFO) is written in place.
// - On Linux the temporary file has no name until Commit (O_TMPFILE), so a killed
//   process leaves nothing; elsewhere it has a short name of its own, removed on
//   any failure and, after tempfiles::RemoveOnSignals, when a signal ends the process.
// A hard link to the target is split by the rename.
class AtomicOutputFile {
public:
    static constexpr std::size_t kBufferSize = std::size_t(1) << 20;

    explicit AtomicOutputFile(std::string targetUtf8);
    ~AtomicOutputFile();
    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

    bool Open(std::error_code& ec);

    void Append(std::string_view bytes) {
        if (bytes.size() <= kBufferSize - used_) {
            std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
            used_ += bytes.size();
        } else {
            AppendSlow(bytes);
        }
    }

    // A field of a line from LineReader: at least 16 readable bytes follow it,
    // so a short field is copied as one 16-byte chunk.
    void AppendField(std::string_view field) {
        if (field.size() <= 16 && used_ + 16 <= kBufferSize) {
            std::memcpy(buffer_.get() + used_, field.data(), 16);
            used_ += field.size();
        } else {
            Append(field);
        }
    }

    // First write error since Open, if any; writing stops at the first one.
    const std::error_code& Error() const { return error_; }

    bool Commit(std::error_code& ec);

private:
    void AppendSlow(std::string_view bytes);
    void Flush();
    void Write(const char* bytes, std::size_t size);

    std::string target_;
    std::unique_ptr<OutputSink> sink_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    std::error_code error_;
};
