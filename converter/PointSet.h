#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

namespace point_set {

// The bits of the first n bytes of a word read from memory.
constexpr std::uint64_t FirstBytes(std::size_t n) {
    if (n == 8) {
        return ~std::uint64_t(0);
    }
    const std::uint64_t low = (std::uint64_t(1) << (8 * n)) - 1;
    return std::endian::native == std::endian::little ? low : ~(~std::uint64_t(0) >> (8 * n));
}
inline constexpr std::uint64_t kFirstBytes[9] = {FirstBytes(0), FirstBytes(1), FirstBytes(2),
                                                 FirstBytes(3), FirstBytes(4), FirstBytes(5),
                                                 FirstBytes(6), FirstBytes(7), FirstBytes(8)};

} // namespace point_set

// The point numbers of one station block, for the report's repeated points, in
// bounded memory: a slot of 16 bytes per number holds the number itself when it
// has up to 8 bytes (compared exactly) or else its 64-bit hash, and the line it
// first stood on. Only the first kMaxPoints different numbers of a block are
// remembered, so the set never holds more than 2 MiB. Two different numbers of
// more than 8 bytes pass for one only if their hashes agree: about once in
// 10^10 blocks of kMaxPoints such points.
class PointSet {
public:
    static constexpr std::size_t kMaxPoints = std::size_t(1) << 16;

    PointSet();
    ~PointSet();
    PointSet(const PointSet&) = delete;
    PointSet& operator=(const PointSet&) = delete;

    // The line `point` (not empty) first stood on in this block, or 0 when it is
    // new (it is then remembered with `line`, below 2^56). `point` is followed by
    // 16 readable bytes, as every field of a line from the reader is.
    std::uint64_t Insert(std::string_view point, std::uint64_t line) {
        const std::size_t size = point.size();
        std::uint64_t key;
        std::uint64_t kind; // the size, or kHashed
        if (size <= 8) {
            std::memcpy(&key, point.data(), sizeof key);
            key &= kFirstBytes[size];
            kind = std::uint64_t(size) << kKindShift;
        } else {
            key = size <= 16 ? MediumHash(point) : LongHash(point);
            kind = kHashed;
        }
        std::size_t i = std::size_t((key * 0x9E3779B97F4A7C15ull) >> shift_);
        for (;; i = (i + 1) & (capacity_ - 1)) {
            const Slot& slot = slots_[i];
            if (slot.key == key && (slot.lineAndKind & kKindMask) == kind) {
                return slot.lineAndKind & ~kKindMask;
            }
            if (slot.lineAndKind == 0) {
                break;
            }
        }
        if (count_ * 2 + 2 > capacity_) {
            return AddGrowing(i, key, line | kind);
        }
        slots_[i] = {key, line | kind};
        ++count_;
        return 0;
    }

    // A new block: what a very large block took is given back.
    void Clear();

private:
    struct Slot {
        std::uint64_t key;
        std::uint64_t lineAndKind; // 0 for an empty slot
    };
    static constexpr int kKindShift = 56;
    static constexpr std::uint64_t kKindMask = ~std::uint64_t(0) << kKindShift;
    static constexpr std::uint64_t kHashed = std::uint64_t(0xFF) << kKindShift;
    static constexpr const std::uint64_t* kFirstBytes = point_set::kFirstBytes;

    // 9 to 16 bytes, as many point numbers of a large survey have.
    static std::uint64_t MediumHash(std::string_view point) {
        std::uint64_t first;
        std::uint64_t second;
        std::memcpy(&first, point.data(), sizeof first);
        std::memcpy(&second, point.data() + 8, sizeof second);
        second &= kFirstBytes[point.size() - 8];
        const std::uint64_t h =
            (first ^ (point.size() * 0x9E3779B97F4A7C15ull)) * 0xBF58476D1CE4E5B9ull;
        const std::uint64_t g = (second ^ (h >> 29)) * 0x94D049BB133111EBull;
        return g ^ (g >> 31) ^ h;
    }
    static std::uint64_t LongHash(std::string_view point);
    // Adds a point that fills the set to half its capacity, or does not fit.
    std::uint64_t AddGrowing(std::size_t slot, std::uint64_t key, std::uint64_t lineAndKind);
    void Allocate(std::size_t capacity);
    void Grow();

    std::unique_ptr<Slot[]> slots_;
    std::size_t capacity_ = 0; // a power of two
    unsigned shift_ = 64;      // the top bits of a key's product pick its first slot
    std::size_t count_ = 0;
};
