#include "common/OutputFile.h"

#include "common/Platform.h"

#include <cerrno>
#include <filesystem>
#include <random>

AtomicOutputFile::AtomicOutputFile(std::string targetUtf8)
    : target_(std::move(targetUtf8)), buffer_(new char[kBufferSize]) {}

AtomicOutputFile::~AtomicOutputFile() {
    Discard();
}

bool AtomicOutputFile::Open(std::error_code& ec) {
    std::random_device random;
    std::error_code existsError;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp_ = target_ + ".tmp" + std::to_string(random() % 1000000);
        if (std::filesystem::exists(platform::PathFromUtf8(temp_), existsError)) {
            continue;
        }
        file_ = platform::OpenFile(temp_, "wb", ec);
        if (!file_) {
            temp_.clear();
        }
        return file_ != nullptr;
    }
    ec = std::make_error_code(std::errc::file_exists);
    temp_.clear();
    return false;
}

void AtomicOutputFile::Flush() {
    if (used_ > 0 && !error_ && std::fwrite(buffer_.get(), 1, used_, file_) != used_) {
        error_ = std::error_code(errno ? errno : EIO, std::generic_category());
    }
    used_ = 0;
}

void AtomicOutputFile::AppendSlow(std::string_view bytes) {
    Flush();
    if (bytes.size() < kBufferSize) {
        Append(bytes);
    } else if (!error_ && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        error_ = std::error_code(errno ? errno : EIO, std::generic_category());
    }
}

bool AtomicOutputFile::Commit(std::error_code& ec) {
    Flush();
    errno = 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!error_ && !closed) {
        error_ = std::error_code(errno ? errno : EIO, std::generic_category());
    }
    if (error_) {
        ec = error_;
        Discard();
        return false;
    }
    if (!platform::ReplaceFile(temp_, target_, ec)) {
        Discard();
        return false;
    }
    temp_.clear();
    return true;
}

void AtomicOutputFile::Discard() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temp_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(platform::PathFromUtf8(temp_), ignored);
        temp_.clear();
    }
}
