#include "converter/LineReader.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

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

LineReader::LineReader(ByteSource& source, std::size_t blockSize, FieldsKept kept)
    : source_(source), block_(new char[blockSize + kPadding]()), blockSize_(blockSize),
      held_(kept) {}

namespace {

bool AnyButCtrlZ(const char* bytes, std::size_t size) {
    return std::find_if(bytes, bytes + size, [](char c) { return c != 26; }) != bytes + size;
}

} // namespace

bool LineReader::Fill() {
    if (sourceDone_) {
        return false;
    }
    if (end_ > 0) {
        lastByte_ = block_[end_ - 1];
    }
    begin_ = 0;
    end_ = source_.Read(block_.get(), blockSize_, error_);
    bytesRead_ += end_;
    if (end_ == 0) {
        sourceDone_ = true;
        return false;
    }
    if (const void* eof = std::memchr(block_.get(), 26, end_)) {
        FoundCtrlZ(std::size_t(static_cast<const char*>(eof) - block_.get()));
    }
    return true;
}

void LineReader::FoundCtrlZ(std::size_t at) {
    ctrlZBeginsLine_ = (at > 0 ? block_[at - 1] : lastByte_) == '\n';
    afterCtrlZ_ =
        AnyButCtrlZ(block_.get() + at + 1, end_ - at - 1) ? AfterCtrlZ::Text : AfterCtrlZ::Unread;
    end_ = at;
    sourceDone_ = true;
}

// The block is no longer needed: the lines have all been handed out.
bool LineReader::TextAfterCtrlZ() {
    if (afterCtrlZ_ == AfterCtrlZ::Unread) {
        afterCtrlZ_ = AfterCtrlZ::Nothing;
        std::error_code ignored;
        while (const std::size_t n = source_.Read(block_.get(), blockSize_, ignored)) {
            if (AnyButCtrlZ(block_.get(), n)) {
                afterCtrlZ_ = AfterCtrlZ::Text;
                break;
            }
        }
    }
    return afterCtrlZ_ == AfterCtrlZ::Text;
}

// Looks for the LF that ends the line at `start`, noting CRs and the first
// commas on the way, 16 bytes at a time (the block is padded for the last chunk).
bool LineReader::ScanLine(const char* start, std::size_t available, std::size_t& lfIndex,
                          std::size_t& length, bool& strayCr) {
    int commaCount = 0;
    int crCount = 0; // 0, 1, or 2 for "more than one"
    unsigned nuls = 0;

    std::size_t lastCr = 0;
    // Bits of one chunk: commas and CRs before the LF (if any) are recorded.
    const auto take = [&](std::size_t offset, unsigned commaBits, unsigned crBits,
                          unsigned nulBits) {
        nuls |= nulBits;
        for (; commaBits != 0 && commaCount < kMaxCommas; commaBits &= commaBits - 1) {
            commas_[commaCount++] = std::uint32_t(offset + unsigned(std::countr_zero(commaBits)));
        }
        if (crBits != 0) {
            crCount += (crBits & (crBits - 1)) != 0 ? 2 : 1;
            lastCr = offset + unsigned(std::bit_width(crBits)) - 1;
        }
    };
    const auto finish = [&](std::size_t lf) {
        const bool trailingCr = crCount > 0 && lastCr + 1 == lf;
        strayCr = crCount > (trailingCr ? 1 : 0);
        lfIndex = lf;
        length = trailingCr ? lf - 1 : lf;
        commaCount_ = commaCount;
        lineHasNul_ = nuls != 0;
        return true;
    };
    for (std::size_t offset = 0; offset < available; offset += 16) {
        unsigned commaBits = 0;
        unsigned crBits = 0;
        unsigned lfBits = 0;
        unsigned nulBits = 0;
#if defined(__SSE2__) || defined(_M_X64)
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(start + offset));
        commaBits = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(','))));
        crBits = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r'))));
        lfBits = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))));
        nulBits = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_setzero_si128())));
#else
        for (unsigned i = 0; i < 16; ++i) {
            commaBits |= unsigned(start[offset + i] == ',') << i;
            crBits |= unsigned(start[offset + i] == '\r') << i;
            lfBits |= unsigned(start[offset + i] == '\n') << i;
            nulBits |= unsigned(start[offset + i] == '\0') << i;
        }
#endif
        if (available - offset < 16) {
            lfBits &= (1u << (available - offset)) - 1;
        }
        if (lfBits != 0) {
            const unsigned before = (1u << std::countr_zero(lfBits)) - 1;
            take(offset, commaBits & before, crBits & before, nulBits & before);
            return finish(offset + unsigned(std::countr_zero(lfBits)));
        }
        take(offset, commaBits, crBits, nulBits);
    }
    return false;
}

bool LineReader::Next(std::string_view& line) {
    commasKnown_ = false;
    if (begin_ < end_) {
        const char* start = block_.get() + begin_;
        std::size_t lfIndex = 0;
        std::size_t length = 0;
        bool strayCr = false;
        if (ScanLine(start, end_ - begin_, lfIndex, length, strayCr) && !strayCr) {
            begin_ += lfIndex + 1;
            commasKnown_ = true;
            line = std::string_view(start, length);
            return true;
        }
    }
    held_.Clear();
    for (;;) {
        if (begin_ < end_) {
            const char* start = block_.get() + begin_;
            const std::size_t available = end_ - begin_;
            const void* lf = std::memchr(start, '\n', available);
            const std::size_t length =
                lf ? std::size_t(static_cast<const char*>(lf) - start) : available;
            held_.Append(start, length);
            if (lf) {
                begin_ += length + 1;
                line = held_.Text();
                lineHasNul_ = held_.HasNul();
                return true;
            }
            begin_ = end_;
        }
        if (error_ || !Fill()) {
            if (error_ || !held_.Started()) {
                return false;
            }
            line = held_.Text();
            lineHasNul_ = held_.HasNul();
            return true;
        }
    }
}
