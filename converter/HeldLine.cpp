#include "converter/HeldLine.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// A buffer past this size is given back at the next line.
constexpr std::size_t kKeptCapacity = std::size_t(1) << 20;
constexpr std::size_t kMinGrowth = std::size_t(64) << 10;
// The text of a line with nothing held, padded like any other.
constexpr char kNothing[HeldLine::kPadding] = {};

} // namespace

HeldLine::HeldLine(FieldsKept kept) : kept_(kept) {}

HeldLine::~HeldLine() {
    std::free(data_);
}

void HeldLine::Clear() {
    if (capacity_ > kKeptCapacity) {
        std::free(data_);
        data_ = nullptr;
        capacity_ = 0;
    }
    size_ = 0;
    started_ = false;
    hasNul_ = false;
    field_ = 1;
    typeBytes_ = 0;
    fields_ = ~0u;
}

std::string_view HeldLine::Text() const {
    return data_ ? std::string_view(data_, size_) : std::string_view(kNothing, 0);
}

void HeldLine::Append(const char* bytes, std::size_t size) {
    started_ = true;
    hasNul_ = hasNul_ || std::memchr(bytes, '\0', size) != nullptr;
    while (size > 0) {
        const void* cr = std::memchr(bytes, '\r', size);
        const std::size_t length = cr ? std::size_t(static_cast<const char*>(cr) - bytes) : size;
        AppendWithoutCr(bytes, length);
        if (!cr) {
            return;
        }
        bytes += length + 1;
        size -= length + 1;
    }
}

// Splits at the commas of fields 1 to 7; past them the rest is one piece.
void HeldLine::AppendWithoutCr(const char* bytes, std::size_t size) {
    while (size > 0) {
        const void* comma = field_ <= kMaxField ? std::memchr(bytes, ',', size) : nullptr;
        const std::size_t length =
            comma ? std::size_t(static_cast<const char*>(comma) - bytes) : size;
        KeepField(bytes, length);
        if (!comma) {
            return;
        }
        EndField();
        bytes += length + 1;
        size -= length + 1;
    }
}

void HeldLine::KeepField(const char* bytes, std::size_t size) {
    if (field_ == 1) {
        const std::size_t room = kTypeBytes - std::min(typeBytes_, kTypeBytes);
        Keep(bytes, kept_ ? std::min(size, room) : size);
        typeBytes_ += size;
    } else if (field_ > kMaxField ? kept_ == nullptr : (fields_ >> field_) & 1u) {
        Keep(bytes, size);
    }
}

// At a comma: the type is known once field 1 ends; the commas that keep the
// field numbers of kept fields are kept.
void HeldLine::EndField() {
    if (field_ == 1 && kept_) {
        fields_ = typeBytes_ <= kTypeBytes ? kept_(std::string_view(data_, typeBytes_)) : 0;
    }
    if (field_ == 1 || ((fields_ & 2u) != 0 && (field_ < kMaxField || kept_ == nullptr))) {
        Keep(",", 1);
    }
    ++field_;
}

void HeldLine::Keep(const char* bytes, std::size_t size) {
    if (size == 0) {
        return;
    }
    if (size_ + size + kPadding > capacity_) {
        Grow(size_ + size + kPadding);
    }
    std::memcpy(data_ + size_, bytes, size);
    size_ += size;
}

// realloc, so that glibc moves a large block with mremap instead of copying it.
void HeldLine::Grow(std::size_t needed) {
    const std::size_t capacity = std::max(needed, capacity_ + std::max(capacity_ / 8, kMinGrowth));
    void* grown = std::realloc(data_, capacity);
    if (!grown) {
        throw std::bad_alloc();
    }
    data_ = static_cast<char*>(grown);
    capacity_ = capacity;
}
