#include "LineReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

std::size_t FileByteSource::Read(char* buffer, std::size_t size, std::error_code& ec) {
    const std::size_t n = std::fread(buffer, 1, size, file_);
    if (n == 0 && std::ferror(file_)) {
        ec = std::error_code(errno ? errno : EIO, std::generic_category());
    }
    return n;
}

std::size_t StringByteSource::Read(char* buffer, std::size_t size, std::error_code&) {
    const std::size_t n = std::min(size, text_.size());
    std::memcpy(buffer, text_.data(), n);
    text_.remove_prefix(n);
    return n;
}

LineReader::LineReader(ByteSource& source, std::size_t blockSize)
    : source_(source), block_(new char[blockSize + kPadding]()), blockSize_(blockSize) {}

std::string_view LineReader::Padded(std::string& held) {
    if (held.capacity() < held.size() + kPadding) {
        held.reserve(held.size() + kPadding);
    }
    return held;
}

bool LineReader::Fill() {
    if (sourceDone_) {
        return false;
    }
    begin_ = 0;
    end_ = source_.Read(block_.get(), blockSize_, error_);
    bytesRead_ += end_;
    if (end_ == 0) {
        sourceDone_ = true;
        return false;
    }
    if (const void* eof = std::memchr(block_.get(), 26, end_)) {
        end_ = std::size_t(static_cast<const char*>(eof) - block_.get());
        sourceDone_ = true;
    }
    return true;
}

std::string_view LineReader::Clean(std::string_view raw) {
    if (!raw.empty() && raw.back() == '\r') {
        raw.remove_suffix(1);
    }
    if (std::memchr(raw.data(), '\r', raw.size()) == nullptr) {
        return raw;
    }
    std::string cleaned;
    cleaned.reserve(raw.size() + kPadding);
    for (const char c : raw) {
        if (c != '\r') {
            cleaned.push_back(c);
        }
    }
    scratch_.swap(cleaned); // raw may point into scratch_'s sibling carry_, never into scratch_
    return Padded(scratch_);
}

bool LineReader::Next(std::string_view& line) {
    if (!carryPending_) {
        carry_.clear();
    }
    for (;;) {
        if (begin_ < end_) {
            const char* start = block_.get() + begin_;
            const std::size_t available = end_ - begin_;
            if (const void* lf = std::memchr(start, '\n', available)) {
                const std::size_t length = std::size_t(static_cast<const char*>(lf) - start);
                begin_ += length + 1;
                if (carryPending_) {
                    carry_.append(start, length);
                    carryPending_ = false;
                    line = Clean(Padded(carry_));
                } else {
                    line = Clean(std::string_view(start, length));
                }
                return true;
            }
            carry_.append(start, available);
            carryPending_ = true;
            begin_ = end_;
        }
        if (error_ || !Fill()) {
            if (error_ || !carryPending_) {
                return false;
            }
            carryPending_ = false;
            line = Clean(Padded(carry_));
            return true;
        }
    }
}
