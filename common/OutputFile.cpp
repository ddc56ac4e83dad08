#include "common/OutputFile.h"

#include "common/OutputSink.h"

AtomicOutputFile::AtomicOutputFile(std::string targetUtf8)
    : target_(std::move(targetUtf8)), buffer_(new char[kBufferSize]) {}

AtomicOutputFile::~AtomicOutputFile() = default;

bool AtomicOutputFile::Open(std::error_code& ec) {
    // A NUL would cut the name short and name another file.
    if (target_.find('\0') != std::string::npos) {
        ec = std::make_error_code(std::errc::invalid_argument);
        return false;
    }
    sink_ = MakeOutputSink();
    if (!sink_->Open(target_, ec)) {
        sink_.reset();
        return false;
    }
    return true;
}

void AtomicOutputFile::Write(const char* bytes, std::size_t size) {
    if (size > 0 && !error_) {
        sink_->Write(bytes, size, error_);
    }
}

void AtomicOutputFile::Flush() {
    Write(buffer_.get(), used_);
    used_ = 0;
}

void AtomicOutputFile::AppendSlow(std::string_view bytes) {
    Flush();
    if (bytes.size() < kBufferSize) {
        Append(bytes);
    } else {
        Write(bytes.data(), bytes.size());
    }
}

bool AtomicOutputFile::Commit(std::error_code& ec) {
    Flush();
    if (!error_) {
        sink_->Commit(error_);
    }
    sink_.reset();
    ec = error_;
    return !error_;
}
