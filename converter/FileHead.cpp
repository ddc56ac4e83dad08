#include "converter/FileHead.h"

#include <algorithm>
#include <cstring>

HeadByteSource::HeadByteSource(ByteSource& source) : source_(source), head_(new char[kHeadSize]) {
    while (headSize_ < kHeadSize && !sourceDone_) {
        const std::size_t n = source_.Read(head_.get() + headSize_, kHeadSize - headSize_, error_);
        headSize_ += n;
        sourceDone_ = n == 0;
    }
}

// The head first, then the rest of the file; once the source has ended it is
// not read again (a terminal would wait for more). An error comes after the
// bytes read before it, as a read of 0 bytes.
std::size_t HeadByteSource::Read(char* buffer, std::size_t size, std::error_code& ec) {
    const std::size_t fromHead = std::min(size, headSize_ - handedOut_);
    std::memcpy(buffer, head_.get() + handedOut_, fromHead);
    handedOut_ += fromHead;
    if (fromHead == size || sourceDone_) {
        if (fromHead == 0) {
            ec = error_;
        }
        return fromHead;
    }
    std::error_code later;
    const std::size_t n = source_.Read(buffer + fromHead, size - fromHead, later);
    if (n == 0) {
        sourceDone_ = true;
        error_ = later;
        if (fromHead == 0) {
            ec = later;
        }
    }
    return fromHead + n;
}
