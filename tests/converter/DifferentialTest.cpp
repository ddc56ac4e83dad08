// The streaming reader and record converter against the plain rendering of the
// rules, on random files that reach every corner of the line rules, split into
// blocks of every size from 1 to 64 bytes: the same output, the same report,
// and the same output again without the report. The fuzz target checks the same
// property on inputs it finds itself; this test runs the same seeds every time.
#include "converter/LineReader.h"
#include "converter/RecordConverter.h"
#include "converter/ReportWorker.h"
#include "fuzz/ReferenceConversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace reference {

void PrintTo(const Rendering& r, std::ostream* os) {
    *os << testing::PrintToString(r.text) << ", skipped lines: " << r.skippedLines;
    for (const Note& note : r.notes) {
        *os << "\n  " << note.line << ": " << note.reason;
    }
}

} // namespace reference

namespace {

class RandomRecorderFile {
public:
    explicit RandomRecorderFile(unsigned seed) : rng_(seed) {}

    std::string Make() {
        std::string text;
        for (unsigned n = Pick(14), i = 0; i < n; ++i) {
            AppendLine(text);
        }
        if (Pick(6) == 0) {
            text += '\x1a';
            if (Pick(2) == 0) {
                AppendLine(text); // text after Ctrl-Z is never read
            } else {
                text.append(Pick(3), '\x1a');
            }
        }
        return text;
    }

private:
    unsigned Pick(unsigned n) { return unsigned(rng_() % n); }

    void AppendLine(std::string& text) {
        static const char* const kTypes[] = {"C", "E", "D",  "C",  "E",   "D",  "",
                                             "X", "c", " C", "CE", "E\r", "\rD"};
        text += kTypes[Pick(std::size(kTypes))];
        if (Pick(8) == 0) {
            AppendText(text, 10 + Pick(30)); // a long first field that starts like a type
        }
        for (unsigned fields = Pick(11), i = 0; i < fields; ++i) {
            text += ',';
            if (Pick(3) == 0) {
                AppendNumber(text, i == 0); // point numbers repeat, numbers near the limits
            } else {
                AppendText(text, Pick(5) == 0 ? 20 + Pick(80) : Pick(8));
            }
        }
        static const char* const kEnds[] = {"\r\n", "\n", "\r\r\n", "\n", "\r\n", ""};
        text += kEnds[Pick(std::size(kEnds))];
    }

    void AppendNumber(std::string& text, bool point) {
        static const char* const kPoints[] = {"1", "2", "12", "1000000000012"};
        static const char* const kNumbers[] = {"400",   "400.0000", "400.0001", "-0.000",
                                               "-0.01", "+12.5",    "0399.99",  "00400.",
                                               "1e3",   "5.",       ".",        "401"};
        text += point ? kPoints[Pick(std::size(kPoints))] : kNumbers[Pick(std::size(kNumbers))];
    }

    // Field text, with now and then a lone CR, a NUL, a comma, a sign or a high byte in it.
    void AppendText(std::string& text, unsigned length) {
        static const char kBytes[] = {'0',    '1',    '7', '.',  ' ',  'x', '-',
                                      '\xa3', '\xb9', ',', '\r', '\0', '+'};
        for (unsigned i = 0; i < length; ++i) {
            text += Pick(4) == 0 ? kBytes[Pick(std::size(kBytes))] : char('0' + Pick(10));
        }
    }

    std::mt19937 rng_;
};

// The conversion as the program streams it, or with the reader keeping whole lines.
template <typename Report>
reference::Rendering Stream(std::string_view input, std::size_t blockSize, FieldsKept kept,
                            Report& report) {
    StringByteSource source(input);
    LineReader reader(source, blockSize, kept);
    records::StringOutput out;
    records::RecordConverter<records::StringOutput, Report> converter(out, report);
    report.StartFile("f");
    EXPECT_TRUE(records::ConvertFileLines(reader, converter, report, [] { return true; }));
    return {out.text, converter.Summary().skippedLines, {}};
}

// The output must not depend on the report in any way.
reference::Rendering Stream(std::string_view input, std::size_t blockSize, FieldsKept kept) {
    ConversionReport report;
    reference::Rendering reported = Stream(input, blockSize, kept, report);
    NoReport none;
    const reference::Rendering unreported = Stream(input, blockSize, kept, none);
    EXPECT_EQ(reported.text, unreported.text) << "the report changed the output";
    EXPECT_EQ(reported.skippedLines, unreported.skippedLines);
    for (const ReportEntry& entry : report.Entries()) {
        reported.notes.push_back({entry.line, entry.reason});
    }
    return reported;
}

// The report made beside the conversion, from copies handed over in pieces of every size.
std::vector<reference::Note> Beside(std::string_view input, std::size_t piece) {
    ConversionReport report;
    {
        ReportWorker worker(report);
        worker.StartFile("f");
        for (std::size_t offset = 0; offset < input.size(); offset += piece) {
            worker.Bytes(input.data() + offset, std::min(piece, input.size() - offset));
        }
        worker.EndFile();
        worker.Finish();
    }
    std::vector<reference::Note> notes;
    for (const ReportEntry& entry : report.Entries()) {
        notes.push_back({entry.line, entry.reason});
    }
    return notes;
}

TEST(Differential, StreamingConversionMatchesThePlainRulesAtEveryBlockSize) {
    for (unsigned seed = 1; seed <= 400; ++seed) {
        const std::string input = RandomRecorderFile(seed).Make();
        const reference::Rendering expected = reference::Convert(input);
        ASSERT_EQ(Stream(input, LineReader::kDefaultBlockSize, records::FieldsWritten), expected)
            << "seed " << seed;
        for (std::size_t block = 1; block <= 64; ++block) {
            ASSERT_EQ(Stream(input, block, records::FieldsWritten), expected)
                << "seed " << seed << ", block " << block;
            ASSERT_EQ(Stream(input, block, nullptr), expected)
                << "whole lines, seed " << seed << ", block " << block;
        }
        ASSERT_EQ(Beside(input, 1 + seed % 23), expected.notes) << "beside, seed " << seed;
    }
}

} // namespace
