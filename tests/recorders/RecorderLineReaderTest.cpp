#include "converter/RecorderLineReader.h"
#include "RecorderLines.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

constexpr std::size_t kMax = RecorderLineReader::kMaxLineBytes;

// Line ends and framing bytes thick on the ground, so that they fall on every
// block edge; now and then a line longer than the reader keeps, and a Ctrl-Z.
std::string RandomBytes(std::mt19937& random) {
    std::string bytes;
    const std::size_t pieces = random() % 60;
    for (std::size_t i = 0; i < pieces; ++i) {
        switch (random() % 12) {
        case 0:
            bytes.append(kMax - 2 + random() % 5, 'x');
            break;
        case 1:
            bytes += "\x02\x03\r\x1a\n"[random() % 5];
            break;
        case 2:
            bytes += "\r\n";
            break;
        case 3:
            bytes += "\r\x03\n";
            break;
        default:
            bytes += std::string("ab \r\n\r").substr(0, 1 + random() % 6);
        }
    }
    return bytes;
}

struct Line {
    std::uint64_t number;
    std::string text;
    bool tooLong;
    bool operator==(const Line&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Line& line) {
    return os << line.number << (line.tooLong ? " too long " : " ") << line.text.size();
}

std::vector<Line> Streamed(std::string_view bytes, bool framing, std::size_t blockSize) {
    StringByteSource source(bytes);
    RecorderLineReader reader(source, framing, blockSize);
    std::vector<Line> lines;
    std::string_view line;
    while (reader.Next(line)) {
        lines.push_back({reader.LineNumber(), std::string(line), reader.TooLong()});
    }
    EXPECT_FALSE(reader.Error());
    return lines;
}

std::vector<Line> Split(std::string_view bytes, bool framing) {
    std::vector<Line> lines;
    for (const RecorderLine& line : SplitRecorderLines(bytes, framing)) {
        lines.push_back({line.number, line.text.substr(0, kMax), line.text.size() > kMax});
    }
    return lines;
}

// Every block size from 1 to 64 and the default one: the same lines with the
// same numbers as the whole-text split, a long line cut to what the reader keeps.
TEST(RecorderLineReader, StreamsTheLinesOfTheWholeTextSplit) {
    std::mt19937 random(16);
    for (int round = 0; round < 300; ++round) {
        const std::string bytes = RandomBytes(random);
        for (const bool framing : {false, true}) {
            const std::vector<Line> expected = Split(bytes, framing);
            ASSERT_EQ(Streamed(bytes, framing, RecorderLineReader::kDefaultBlockSize), expected)
                << "round " << round;
            for (std::size_t block = 1; block <= 64; ++block) {
                ASSERT_EQ(Streamed(bytes, framing, block), expected)
                    << "round " << round << ", block " << block << (framing ? ", framing" : "");
            }
        }
    }
}

TEST(RecorderLineReader, StopsAtAReadError) {
    struct Failing final : ByteSource {
        bool once = true;
        std::size_t Read(char* buffer, std::size_t, std::error_code& ec) override {
            if (once) {
                once = false;
                std::memcpy(buffer, "1\r\n2", 4);
                return 4;
            }
            ec = std::make_error_code(std::errc::io_error);
            return 0;
        }
    } source;
    RecorderLineReader reader(source, false);
    std::string_view line;
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, "1");
    EXPECT_FALSE(reader.Next(line)); // the cut line "2" is not handed out as if whole
    EXPECT_EQ(reader.Error(), std::errc::io_error);
}

} // namespace
