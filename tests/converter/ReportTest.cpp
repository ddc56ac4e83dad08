// The report through the converter's own interface, on golden files in
// tests/data/report: each NAME.report holds the entries of its inputs as
// "FILE:LINE: REASON" lines.
#include "converter/ConversionReport.h"
#include "converter/PointSet.h"
#include "converter/URejestratorKMX685.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

struct ReportCase {
    const char* name;
    std::vector<const char*> inputs;
};

void PrintTo(const ReportCase& c, std::ostream* os) {
    *os << c.name;
}

using Mode = TRejestratorKMX685::ReportMode;

ConversionResult Convert(const std::vector<std::string>& files, const std::string& output,
                         Mode mode) {
    TRejestratorKMX685 converter;
    converter.SetInputFiles(files);
    converter.SetReportMode(mode);
    return converter.ConvertFiles(output);
}

std::string EntryLines(const ConversionReport& report) {
    std::string lines;
    for (const ReportEntry& e : report.Entries()) {
        lines += std::filesystem::path(report.FileOf(e)).filename().string() + ":" +
                 std::to_string(e.line) + ": " + e.reason + "\n";
    }
    return lines;
}

class ReportGolden : public testing::TestWithParam<ReportCase> {};

// Made within the conversion or beside it, and the report changes no byte of the output.
TEST_P(ReportGolden, ListsEveryLineThatDidNotConvertCleanly) {
    TempDir dir;
    std::vector<std::string> files;
    for (const char* input : GetParam().inputs) {
        files.push_back(DataFile(std::string("report/") + input));
    }
    const std::string expected =
        ReadBytes(DataFile(std::string("report/") + GetParam().name + ".report"));
    for (const Mode mode : {Mode::Within, Mode::Beside}) {
        const ConversionResult result = Convert(files, dir.File("with"), mode);
        ASSERT_EQ(result.status, ConversionStatus::Succeeded);
        EXPECT_EQ(EntryLines(result.report), expected)
            << (mode == Mode::Within ? "within" : "beside");
        EXPECT_EQ(result.report.Count(), result.report.Entries().size());
    }
    const ConversionResult plain = Convert(files, dir.File("without"), Mode::Off);
    EXPECT_TRUE(plain.report.Empty());
    EXPECT_EQ(ReadBytes(dir.File("with")), ReadBytes(dir.File("without")));
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReportGolden,
    testing::Values(ReportCase{"skipped", {"skipped.txt"}}, ReportCase{"bom", {"bom.txt"}},
                    ReportCase{"fields", {"fields.txt"}}, ReportCase{"numbers", {"numbers.txt"}},
                    ReportCase{"points", {"points.txt"}},
                    ReportCase{"two-files", {"ctrlz-clean.txt", "second-file.txt"}},
                    ReportCase{"ctrlz-text", {"ctrlz-text.txt"}},
                    ReportCase{"ctrlz-line", {"ctrlz-line.txt"}},
                    ReportCase{"ctrlz-clean", {"ctrlz-clean.txt"}}, ReportCase{"nul", {"nul.txt"}}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::erase(name, '-');
        return name;
    });

// Beside the conversion the report gets the file in copies of its blocks: a file
// of several blocks, whose text after a Ctrl-Z begins in a block of its own.
TEST(ConversionReport, BesideAndWithinAgreeOverBlocks) {
    TempDir dir;
    std::string text;
    for (int i = 0; text.size() < (std::size_t(1) << 20) - 64; ++i) {
        text += i % 7 == 0 ? "C," + std::to_string(i) + ",,,,,1.5\r\n"
                           : "E," + std::to_string(i % 50) + ",,1," + std::to_string(i % 450) +
                                 (i % 20 == 0 ? ",1,1e3\r\n" : ",1,1\r\n");
    }
    text.resize((std::size_t(1) << 20) - 1, 'X');
    text += "\x1a"
            "after\r\n";
    const std::string file = dir.Write("blocks.txt", text);
    const ConversionResult within = Convert({file}, dir.File("within"), Mode::Within);
    const ConversionResult beside = Convert({file}, dir.File("beside"), Mode::Beside);
    EXPECT_GT(within.report.Count(), 1000u);
    EXPECT_LT(within.report.Count(), ConversionReport::kMaxEntries);
    EXPECT_EQ(within.report.Count(), beside.report.Count());
    EXPECT_EQ(EntryLines(within.report), EntryLines(beside.report));
    EXPECT_TRUE(EntryLines(beside.report).ends_with("(Ctrl-Z) pominięty\n"));
}

// Millions of bad lines are counted, not kept.
TEST(ConversionReport, KeepsTheFirstEntriesAndCountsTheRest) {
    TempDir dir;
    std::string text;
    for (std::size_t i = 0; i < ConversionReport::kMaxEntries + 5; ++i) {
        text += "X\r\n";
    }
    const ConversionResult result =
        Convert({dir.Write("bad.txt", text)}, dir.File("out"), Mode::Beside);
    EXPECT_EQ(result.report.Count(), ConversionReport::kMaxEntries + 5);
    ASSERT_EQ(result.report.Entries().size(), ConversionReport::kMaxEntries);
    EXPECT_EQ(result.report.Entries().back().line, ConversionReport::kMaxEntries);
    EXPECT_EQ(report::OmittedLine(result.report), "… i 5 dalszych");
    const std::string all = report::Text(result.report, "\r\n");
    EXPECT_TRUE(all.ends_with("pominięty\r\n… i 5 dalszych\r\n")) << all.substr(all.size() - 40);
}

// Other recorders' readers quote their lines' raw bytes: the entry shows letters,
// and a line end inside a reason would break the one-entry-a-line file.
TEST(ConversionReport, ReasonsAreOneLineOfUtf8) {
    ConversionReport report;
    report.StartFile("f");
    report.NoteAt(1, "nieznany rekord „\xa3\xb9ka\nx”");
    EXPECT_EQ(report.Entries().front().reason, "nieznany rekord „Łąka?x”");
}

// A block of more points than the set keeps still finds repeats of those it kept.
TEST(PointSet, HoldsTheFirstPointsOfAHugeBlock) {
    PointSet points;
    std::vector<std::string> numbers;
    for (std::size_t i = 0; i < PointSet::kMaxPoints + 10; ++i) {
        numbers.push_back(std::to_string(i) + std::string(16, '\0'));
    }
    const auto number = [&](std::size_t i) {
        return std::string_view(numbers[i]).substr(0, numbers[i].size() - 16);
    };
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        ASSERT_EQ(points.Insert(number(i), i + 1), 0u) << i;
    }
    EXPECT_EQ(points.Insert(number(0), 99), 1u);
    EXPECT_EQ(points.Insert(number(PointSet::kMaxPoints - 1), 99), PointSet::kMaxPoints);
    EXPECT_EQ(points.Insert(number(PointSet::kMaxPoints + 1), 99), 0u) << "not kept";
    points.Clear();
    EXPECT_EQ(points.Insert(number(0), 7), 0u);
    EXPECT_EQ(points.Insert(number(0), 8), 7u);
}

} // namespace
