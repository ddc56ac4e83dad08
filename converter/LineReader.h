#pragma once

#include "converter/HeldLine.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

// Where the reader gets its bytes; tests feed it a string.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to `size` bytes; 0 means end of input (or an error, set in `ec`).
    virtual std::size_t Read(char* buffer, std::size_t size, std::error_code& ec) = 0;
};

class FileByteSource final : public ByteSource {
public:
    explicit FileByteSource(std::FILE* file) : file_(file) {}
    std::size_t Read(char* buffer, std::size_t size, std::error_code& ec) override;

private:
    std::FILE* file_;
};

class StringByteSource final : public ByteSource {
public:
    explicit StringByteSource(std::string_view text) : text_(text) {}
    std::size_t Read(char* buffer, std::size_t size, std::error_code& ec) override;

private:
    std::string_view text_;
};

// Splits a recorder file into lines: a line ends at LF or CR LF, any other CR
// is dropped, byte 26 (Ctrl-Z) ends the input and the last line needs no line end.
// Reads in large blocks; a line that lies whole in a block is handed out where
// it lies, any other is put together in a HeldLine, which with a FieldsKept
// rule holds only the fields the caller uses.
class LineReader {
public:
    static constexpr std::size_t kDefaultBlockSize = std::size_t(1) << 20;
    // Every line handed out is followed by at least this many readable bytes,
    // so callers may scan and copy it in whole 16-byte chunks.
    static constexpr std::size_t kPadding = HeldLine::kPadding;

    explicit LineReader(ByteSource& source, std::size_t blockSize = kDefaultBlockSize,
                        FieldsKept kept = nullptr);

    // The next line, valid until the following call; false at the end or on error.
    // Throws std::bad_alloc when a line kept whole does not fit in memory.
    bool Next(std::string_view& line);

    // Offsets of the first commas (up to kMaxCommas) of the line last returned,
    // found while looking for its end; empty when the line took the slow path
    // (split across blocks, or a stray CR), and the caller must find them itself.
    static constexpr int kMaxCommas = 7;
    bool CommasKnown() const { return commasKnown_; }
    int CommaCount() const { return commaCount_; }
    const std::uint32_t* CommaOffsets() const { return commas_; }

    // Whether the line last returned held a NUL byte.
    bool LineHasNul() const { return lineHasNul_; }

    // Once Next has returned false without an error: whether anything but more
    // Ctrl-Z bytes followed the Ctrl-Z that ended the input. Reads on past it to
    // see, as the conversion never does; a read error there counts as nothing more.
    bool TextAfterCtrlZ();
    // Whether that Ctrl-Z began a line of its own (it followed an LF or began the
    // input), one that Next never handed out.
    bool CtrlZBeginsLine() const { return ctrlZBeginsLine_; }

    const std::error_code& Error() const { return error_; }
    std::uint64_t BytesRead() const { return bytesRead_; }

private:
    bool Fill();
    bool ScanLine(const char* start, std::size_t available, std::size_t& lfIndex,
                  std::size_t& length, bool& strayCr);
    void FoundCtrlZ(std::size_t at);

    enum class AfterCtrlZ { Nothing, Text, Unread };

    ByteSource& source_;
    std::unique_ptr<char[]> block_;
    std::size_t blockSize_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool sourceDone_ = false;
    HeldLine held_;
    std::error_code error_;
    std::uint64_t bytesRead_ = 0;
    bool lineHasNul_ = false;
    char lastByte_ = '\n'; // of the blocks before this one; an LF at the start
    AfterCtrlZ afterCtrlZ_ = AfterCtrlZ::Nothing;
    bool ctrlZBeginsLine_ = false;
    bool commasKnown_ = false;
    int commaCount_ = 0;
    std::uint32_t commas_[kMaxCommas] = {};
};
