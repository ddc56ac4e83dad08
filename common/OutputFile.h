#pragma once

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

// A file written through a temporary file in the same folder and renamed into
// place by Commit; destroyed without Commit, it removes the temporary file and
// leaves the target untouched.
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
    void Discard();

    std::string target_;
    std::string temp_;
    std::FILE* file_ = nullptr;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    std::error_code error_;
};
