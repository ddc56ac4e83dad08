#pragma once

#include <cstddef>
#include <string_view>

// Which fields of a line the reader keeps, decided by the line's first field
// (the record type, at most HeldLine::kTypeBytes long): bit k keeps field k
// (1 to 7), and fields from 8 on are never kept. Without bit 1 the type is one
// the caller does not know, and only the first kTypeBytes of field 1 are kept.
using FieldsKept = unsigned (*)(std::string_view type);

// A line that does not lie whole in one block of the reader (or holds a stray
// CR), put together from its pieces with every CR dropped. With a FieldsKept
// rule it holds only the fields the rule keeps; the fields it leaves out read as
// empty, so the memory a line takes follows what the caller uses, not the
// line's length. What it holds grows in steps of an eighth, never by doubling,
// and running out of memory throws std::bad_alloc.
class HeldLine {
public:
    static constexpr std::size_t kTypeBytes = 16;
    static constexpr unsigned kMaxField = 7;
    // Readable bytes after the text, as after every line of the reader.
    static constexpr std::size_t kPadding = 16;

    // Without a rule (nullptr) the whole line is kept.
    explicit HeldLine(FieldsKept kept);
    ~HeldLine();
    HeldLine(const HeldLine&) = delete;
    HeldLine& operator=(const HeldLine&) = delete;

    // Starts the next line; a large buffer left by a long line is given back.
    void Clear();
    // Bytes of the line, never an LF.
    void Append(const char* bytes, std::size_t size);
    // Whether any byte of a line (even only a CR) has been appended since Clear.
    bool Started() const { return started_; }
    // Whether a NUL byte was appended since Clear, also in a field not kept.
    bool HasNul() const { return hasNul_; }
    // The line as kept, followed by kPadding readable bytes.
    std::string_view Text() const;

private:
    void AppendWithoutCr(const char* bytes, std::size_t size);
    void KeepField(const char* bytes, std::size_t size);
    void EndField();
    void Keep(const char* bytes, std::size_t size);
    void Grow(std::size_t needed);

    FieldsKept kept_;
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    bool started_ = false;
    bool hasNul_ = false;
    unsigned field_ = 1;        // the field being read; kMaxField + 1 for "past field 7"
    std::size_t typeBytes_ = 0; // length of field 1 so far
    unsigned fields_ = ~0u;     // the FieldsKept bits, once field 1 has ended
};
