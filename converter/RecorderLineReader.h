#pragma once

#include "converter/LineReader.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <system_error>

// Streams the lines of another recorder's file: LF, CR LF and a lone CR each
// end a line, empty lines are passed over but counted, a Ctrl-Z ends the file,
// and with `dropFraming` (SDR downloads) the framing bytes STX and ETX are
// dropped wherever they stand. Reads in blocks; memory stays the same whatever
// the file: a line longer than kMaxLineBytes is handed out cut to its first
// kMaxLineBytes, marked TooLong.
class RecorderLineReader {
public:
    static constexpr std::size_t kDefaultBlockSize = std::size_t(1) << 20;
    // No record of these formats comes near it; a longer line is no record.
    static constexpr std::size_t kMaxLineBytes = 1024;

    RecorderLineReader(ByteSource& source, bool dropFraming,
                       std::size_t blockSize = kDefaultBlockSize);

    // The next non-empty line, valid until the following call; false at the end
    // of the input or on a read error (see Error).
    bool Next(std::string_view& line);

    // Of the line last returned: its number, counted from 1 over every line end,
    // and whether it was longer than kMaxLineBytes.
    std::uint64_t LineNumber() const { return lineNumber_; }
    bool TooLong() const { return tooLong_; }

    const std::error_code& Error() const { return error_; }
    std::uint64_t BytesRead() const { return bytesRead_; }

private:
    bool Fill();
    std::size_t FindSpecial(std::size_t from) const;
    bool SkipLfAfterCr();
    void Hold(const char* bytes, std::size_t size);
    bool HandOut(std::string_view& line, std::string_view text);

    ByteSource& source_;
    const bool dropFraming_;
    const std::size_t blockSize_;
    std::unique_ptr<char[]> block_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool sourceDone_ = false;
    // A line that runs over the end of a block, framing bytes left out.
    std::unique_ptr<char[]> held_;
    std::size_t heldSize_ = 0;
    bool heldTooLong_ = false;
    bool afterCr_ = false; // the last line ended at a CR: an LF next ends nothing
    std::uint64_t lineEnds_ = 0;
    std::uint64_t lineNumber_ = 0;
    bool tooLong_ = false;
    std::error_code error_;
    std::uint64_t bytesRead_ = 0;
};
