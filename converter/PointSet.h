#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

// The point numbers of one station block, for the report's repeated points, in
// bounded memory: each number is kept as a 64-bit hash with the line it first
// stood on (16 bytes), and only the first kMaxPoints different numbers of a
// block are remembered, so the set never holds more than 2 MiB. Two different
// numbers pass for one only if their hashes agree: about once in 10^10 blocks
// of kMaxPoints points.
class PointSet {
public:
    static constexpr std::size_t kMaxPoints = std::size_t(1) << 16;

    PointSet();
    ~PointSet();
    PointSet(const PointSet&) = delete;
    PointSet& operator=(const PointSet&) = delete;

    // The line `point` first stood on in this block, or 0 when it is new (it is
    // then remembered with `line`). `point` is followed by 16 readable bytes, as
    // every field of a line from the reader is.
    std::uint64_t Insert(std::string_view point, std::uint64_t line);
    // A new block: what a very large block took is given back.
    void Clear();

private:
    struct Slot {
        std::uint64_t hash; // 0 for an empty slot
        std::uint64_t line;
    };
    void Allocate(std::size_t capacity);
    void Grow();

    std::unique_ptr<Slot[]> slots_;
    std::size_t capacity_ = 0; // a power of two
    std::size_t count_ = 0;
};
