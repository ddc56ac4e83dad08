#include "converter/PointSet.h"

#include <bit>
#include <cstring>

namespace {

constexpr std::size_t kSmallCapacity = 1024;
constexpr std::size_t kMaxCapacity = PointSet::kMaxPoints * 2;

std::uint64_t Load(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word; // the byte order does not matter for a hash
}

// The low `bytes` bytes (0 to 8) of a word read from memory in either byte order.
std::uint64_t Low(std::uint64_t word, std::size_t bytes) {
    if (bytes >= 8) {
        return word;
    }
    if constexpr (std::endian::native == std::endian::little) {
        return word & ((std::uint64_t(1) << (8 * bytes)) - 1);
    } else {
        return bytes == 0 ? 0 : word & ~((~std::uint64_t(0)) >> (8 * bytes));
    }
}

std::uint64_t Mix(std::uint64_t h, std::uint64_t b) {
    h *= 0x9E3779B97F4A7C15ull;
    h ^= std::rotl(b * 0xC2B2AE3D27D4EB4Full, 31);
    h ^= h >> 29;
    return h * 0xBF58476D1CE4E5B9ull;
}

// Reads whole 16-byte chunks; the bytes past the end are masked off.
std::uint64_t Hash(std::string_view text) {
    const char* data = text.data();
    const std::size_t size = text.size();
    std::uint64_t h = size;
    std::size_t offset = 0;
    do {
        const std::size_t left = size - offset;
        const std::uint64_t a = Low(Load(data + offset), left);
        const std::uint64_t b = left > 8 ? Low(Load(data + offset + 8), left - 8) : 0;
        h = Mix(h ^ a, b);
        offset += 16;
    } while (offset < size);
    h ^= h >> 32;
    return h == 0 ? 1 : h;
}

} // namespace

PointSet::PointSet() {
    Allocate(64);
}

PointSet::~PointSet() = default;

void PointSet::Allocate(std::size_t capacity) {
    slots_ = std::make_unique<Slot[]>(capacity); // zeroed: every slot empty
    capacity_ = capacity;
    count_ = 0;
}

std::uint64_t PointSet::Insert(std::string_view point, std::uint64_t line) {
    const std::uint64_t hash = Hash(point);
    std::size_t i = std::size_t(hash) & (capacity_ - 1);
    for (; slots_[i].hash != 0; i = (i + 1) & (capacity_ - 1)) {
        if (slots_[i].hash == hash) {
            return slots_[i].line;
        }
    }
    if (count_ == kMaxPoints) {
        return 0; // a block this large is only partly checked
    }
    slots_[i] = {hash, line};
    if (++count_ * 2 > capacity_ && capacity_ < kMaxCapacity) {
        Grow();
    }
    return 0;
}

void PointSet::Grow() {
    const std::unique_ptr<Slot[]> old = std::move(slots_);
    const std::size_t oldCapacity = capacity_;
    const std::size_t count = count_;
    Allocate(capacity_ * 2);
    for (std::size_t j = 0; j < oldCapacity; ++j) {
        if (old[j].hash != 0) {
            std::size_t i = std::size_t(old[j].hash) & (capacity_ - 1);
            while (slots_[i].hash != 0) {
                i = (i + 1) & (capacity_ - 1);
            }
            slots_[i] = old[j];
        }
    }
    count_ = count;
}

void PointSet::Clear() {
    if (count_ == 0) {
        return;
    }
    if (capacity_ > kSmallCapacity) {
        Allocate(64);
    } else {
        std::memset(slots_.get(), 0, capacity_ * sizeof(Slot));
        count_ = 0;
    }
}
