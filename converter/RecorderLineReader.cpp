#include "converter/RecorderLineReader.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace {

// Readable bytes after a block, so that the last bytes are scanned 16 at a time.
constexpr std::size_t kPadding = 16;
constexpr char kCtrlZ = 26;

bool IsFraming(char c) {
    return c == '\x02' || c == '\x03';
}

// Bit i: byte i of the 16 at `bytes` ends a line, or is a framing byte when `framing`.
unsigned SpecialBits(const char* bytes, bool framing) {
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('\n')),
                                _mm_cmpeq_epi8(chunk, _mm_set1_epi8('\r')));
    if (framing) { // STX and ETX are 2 and 3: one compare after clearing bit 0
        const __m128i low = _mm_and_si128(chunk, _mm_set1_epi8(~1));
        hits = _mm_or_si128(hits, _mm_cmpeq_epi8(low, _mm_set1_epi8(2)));
    }
    return unsigned(_mm_movemask_epi8(hits));
#else
    unsigned bits = 0;
    for (unsigned i = 0; i < 16; ++i) {
        const char c = bytes[i];
        bits |= unsigned(c == '\n' || c == '\r' || (framing && IsFraming(c))) << i;
    }
    return bits;
#endif
}

} // namespace

RecorderLineReader::RecorderLineReader(ByteSource& source, bool dropFraming, std::size_t blockSize)
    : source_(source), dropFraming_(dropFraming), blockSize_(std::max<std::size_t>(blockSize, 1)),
      block_(new char[blockSize_ + kPadding]()), held_(new char[kMaxLineBytes]) {}

bool RecorderLineReader::Fill() {
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
    if (const void* eof = std::memchr(block_.get(), kCtrlZ, end_)) {
        end_ = std::size_t(static_cast<const char*>(eof) - block_.get());
        sourceDone_ = true;
    }
    return true;
}

// The first byte from `from` on that ends a line or is dropped; end_ when none.
std::size_t RecorderLineReader::FindSpecial(std::size_t from) const {
    for (std::size_t offset = from; offset < end_; offset += 16) {
        unsigned bits = SpecialBits(block_.get() + offset, dropFraming_);
        if (end_ - offset < 16) {
            bits &= (1u << (end_ - offset)) - 1;
        }
        if (bits != 0) {
            return offset + unsigned(std::countr_zero(bits));
        }
    }
    return end_;
}

// After a line that ended at a CR: an LF (framing bytes before it dropped) is
// part of that line end. False when the block ran out before that was settled.
bool RecorderLineReader::SkipLfAfterCr() {
    while (begin_ < end_ && dropFraming_ && IsFraming(block_[begin_])) {
        ++begin_;
    }
    if (begin_ == end_) {
        return false;
    }
    if (block_[begin_] == '\n') {
        ++begin_;
    }
    afterCr_ = false;
    return true;
}

// Keeps what fits of a piece of a line that lies over more than one block.
void RecorderLineReader::Hold(const char* bytes, std::size_t size) {
    const std::size_t kept = std::min(size, kMaxLineBytes - heldSize_);
    std::memcpy(held_.get() + heldSize_, bytes, kept);
    heldSize_ += kept;
    heldTooLong_ = heldTooLong_ || kept < size;
}

bool RecorderLineReader::HandOut(std::string_view& line, std::string_view text) {
    tooLong_ = heldTooLong_ || text.size() > kMaxLineBytes;
    line = text.substr(0, kMaxLineBytes);
    return true;
}

bool RecorderLineReader::Next(std::string_view& line) {
    heldSize_ = 0;
    heldTooLong_ = false;
    for (;;) {
        if (begin_ == end_ || (afterCr_ && !SkipLfAfterCr())) {
            if (error_ || !Fill()) {
                if (error_ || heldSize_ == 0) {
                    return false;
                }
                lineNumber_ = lineEnds_ + 1; // the last line, without a line end
                return HandOut(line, {held_.get(), heldSize_});
            }
            continue;
        }
        const std::size_t start = begin_;
        const std::size_t stop = FindSpecial(start);
        begin_ = std::min(stop + 1, end_);
        if (stop == end_ || IsFraming(block_[stop])) {
            Hold(block_.get() + start, stop - start);
            continue;
        }
        ++lineEnds_;
        afterCr_ = block_[stop] == '\r';
        if (heldSize_ == 0) {
            if (stop == start) {
                continue; // an empty line
            }
            lineNumber_ = lineEnds_;
            return HandOut(line, {block_.get() + start, stop - start});
        }
        Hold(block_.get() + start, stop - start);
        lineNumber_ = lineEnds_;
        return HandOut(line, {held_.get(), heldSize_});
    }
}
