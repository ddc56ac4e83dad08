#include "converter/LineReader.h"
#include "converter/RecordConverter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> ReadAll(std::string_view text, std::size_t blockSize,
                                 FieldsKept kept = nullptr) {
    StringByteSource source(text);
    LineReader reader(source, blockSize, kept);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.Next(line)) {
        lines.emplace_back(line);
    }
    return lines;
}

struct LinesCase {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
};

void PrintTo(const LinesCase& c, std::ostream* os) {
    *os << c.name;
}

class LineEnds : public testing::TestWithParam<LinesCase> {};

// Every block size, so lines split across blocks at every position are covered.
TEST_P(LineEnds, SameLinesWhateverTheBlockSize) {
    for (std::size_t block = 1; block <= GetParam().text.size() + 1; ++block) {
        EXPECT_EQ(ReadAll(GetParam().text, block), GetParam().lines) << "block size " << block;
    }
    EXPECT_EQ(ReadAll(GetParam().text, LineReader::kDefaultBlockSize), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LineEnds,
    testing::Values(LinesCase{"Empty", "", {}}, LinesCase{"CrLf", "ab\r\ncd\r\n", {"ab", "cd"}},
                    LinesCase{"Lf", "ab\ncd\n", {"ab", "cd"}},
                    LinesCase{"NoFinalLineEnd", "ab\r\ncd", {"ab", "cd"}},
                    LinesCase{"EmptyLinesKept", "\r\n\nx\n", {"", "", "x"}},
                    LinesCase{"LoneCrDropped", "a\rb\r\n", {"ab"}},
                    LinesCase{"CrCrLf", "ab\r\r\ncd", {"ab", "cd"}},
                    LinesCase{"CrAtEnd", "ab\r", {"ab"}},
                    LinesCase{"CtrlZEndsInput", "ab\r\ncd\x1a\r\nef\r\n", {"ab", "cd"}},
                    LinesCase{"CtrlZAtStart",
                              "\x1a"
                              "ab\r\n",
                              {}},
                    LinesCase{"CtrlZAfterLastLine", "ab\r\n\x1a", {"ab"}},
                    LinesCase{
                        "NulBytesAreData", std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
                    LinesCase{"HighBytesCopied", "\xa3\xb9\xea\n", {"\xa3\xb9\xea"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineReader, LongLineLargerThanManyBlocks) {
    const std::string longLine(100000, 'x');
    EXPECT_EQ(ReadAll(longLine + "\r\nshort", 4096), (std::vector<std::string>{longLine, "short"}));
}

// Lines across blocks hold only what the record type writes; the rest reads as empty.
TEST(LineReader, LongLinesKeepOnlyTheFieldsTheirTypeWrites) {
    const std::string bulk(5000, 'x');
    const std::string text = "NOTATKA_" + bulk + ",1,2\r\n" + "E,2,3,4,5,6,7,8" + bulk + "\r\n" +
                             "C,2,3" + bulk + ",4,5,6,7\r\n" + "D,2,3,4,5,6,7" + bulk + "\n" + bulk;
    EXPECT_EQ(ReadAll(text, 64, records::FieldsWritten),
              (std::vector<std::string>{"NOTATKA_xxxxxxxx,", "E,2,,4,5,6,7", "C,2,,,,,7",
                                        "D,2,,4,5,6,", "xxxxxxxxxxxxxxxx"}));
    EXPECT_EQ(ReadAll(text, 64)[1], "E,2,3,4,5,6,7,8" + bulk);
}

TEST(LineReader, CountsBytesReadUpToTheCtrlZBlock) {
    StringByteSource source("ab\ncd\n");
    LineReader reader(source, 4);
    std::string_view line;
    while (reader.Next(line)) {
    }
    EXPECT_EQ(reader.BytesRead(), 6u);
    EXPECT_FALSE(reader.Error());
}

class FailingSource final : public ByteSource {
public:
    std::size_t Read(char* buffer, std::size_t size, std::error_code& ec) override {
        if (calls_++ == 0) {
            const std::string_view first = "C,1\r\nE,";
            const std::size_t n = std::min(size, first.size());
            std::copy_n(first.data(), n, buffer);
            return n;
        }
        ec = std::make_error_code(std::errc::io_error);
        return 0;
    }

private:
    int calls_ = 0;
};

TEST(LineReader, ReadErrorEndsWithTheErrorNotAPartialLine) {
    FailingSource source;
    LineReader reader(source, 64);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.Next(line)) {
        lines.emplace_back(line);
    }
    EXPECT_EQ(lines, std::vector<std::string>{"C,1"});
    EXPECT_EQ(reader.Error(), std::make_error_code(std::errc::io_error));
}

} // namespace
