#pragma once

#include "converter/LineReader.h"

#include <cstddef>
#include <memory>
#include <string_view>
#include <system_error>

// Reads the first bytes of an input file ahead, so that the file's format can
// be recognised before it is converted, and then hands them out as if unread:
// the file is read once, in the same blocks as without it.
class HeadByteSource final : public ByteSource {
public:
    static constexpr std::size_t kHeadSize = std::size_t(64) << 10;

    // Reads the head at once.
    explicit HeadByteSource(ByteSource& source);

    // What the head holds: the whole file when it is shorter than kHeadSize.
    std::string_view Head() const { return {head_.get(), headSize_}; }
    // Whether reading the head failed; Read tells the error once the head is handed out.
    bool HeadFailed() const { return bool(error_); }

    std::size_t Read(char* buffer, std::size_t size, std::error_code& ec) override;

private:
    ByteSource& source_;
    std::unique_ptr<char[]> head_;
    std::size_t headSize_ = 0;
    std::size_t handedOut_ = 0;
    bool sourceDone_ = false;
    std::error_code error_;
};
