#include "converter/PointSet.h"

namespace {

constexpr std::size_t kFirstCapacity = 64;
constexpr std::size_t kSmallCapacity = 1024;
constexpr std::size_t kMaxCapacity = PointSet::kMaxPoints * 2;

std::uint64_t Load(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word; // the byte order does not matter for a hash
}

std::uint64_t Mix(std::uint64_t h, std::uint64_t b) {
    h *= 0x9E3779B97F4A7C15ull;
    h ^= std::rotl(b * 0xC2B2AE3D27D4EB4Full, 31);
    h ^= h >> 29;
    return h * 0xBF58476D1CE4E5B9ull;
}

} // namespace

// Whole 8-byte words; the bytes past the end are masked off.
std::uint64_t PointSet::LongHash(std::string_view point) {
    const char* data = point.data();
    const std::size_t size = point.size();
    std::uint64_t h = size;
    for (std::size_t offset = 0; offset < size; offset += 16) {
        const std::size_t left = size - offset;
        const std::uint64_t a = Load(data + offset) & kFirstBytes[left < 8 ? left : 8];
        const std::uint64_t b =
            left > 8 ? Load(data + offset + 8) & kFirstBytes[left < 16 ? left - 8 : 8] : 0;
        h = Mix(h ^ a, b);
    }
    return h ^ (h >> 32);
}

PointSet::PointSet() {
    Allocate(kFirstCapacity);
}

PointSet::~PointSet() = default;

void PointSet::Allocate(std::size_t capacity) {
    slots_ = std::make_unique<Slot[]>(capacity); // zeroed: every slot empty
    capacity_ = capacity;
    shift_ = 64 - unsigned(std::countr_zero(capacity));
    count_ = 0;
}

std::uint64_t PointSet::AddGrowing(std::size_t slot, std::uint64_t key, std::uint64_t lineAndKind) {
    if (count_ == kMaxPoints) {
        return 0; // a block this large is only partly checked
    }
    slots_[slot] = {key, lineAndKind};
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
        if (old[j].lineAndKind != 0) {
            std::size_t i = std::size_t((old[j].key * 0x9E3779B97F4A7C15ull) >> shift_);
            while (slots_[i].lineAndKind != 0) {
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
        Allocate(kFirstCapacity);
    } else {
        std::memset(slots_.get(), 0, capacity_ * sizeof(Slot));
        count_ = 0;
    }
}
