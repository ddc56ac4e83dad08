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

ConversionResult Convert(const std::vector<std::string>& files, const std::string& output,
                         bool reportWanted) {
    TRejestratorKMX685 converter;
    converter.SetInputFiles(files);
    converter.SetReportWanted(reportWanted);
    return converter.ConvertFiles(output);
}

class ReportGolden : public testing::TestWithParam<ReportCase> {};

// And the report changes no byte of the output.
TEST_P(ReportGolden, ListsEveryLineThatDidNotConvertCleanly) {
    TempDir dir;
    std::vector<std::string> files;
    for (const char* input : GetParam().inputs) {
        files.push_back(DataFile(std::string("report/") + input));
    }
    const ConversionResult result = Convert(files, dir.File("with"), true);
    ASSERT_EQ(result.status, ConversionStatus::Succeeded);
    std::string entries;
    for (const ReportEntry& e : result.report.Entries()) {
        entries += std::filesystem::path(result.report.FileOf(e)).filename().string() + ":" +
                   std::to_string(e.line) + ": " + e.reason + "\n";
    }
    EXPECT_EQ(entries, ReadBytes(DataFile(std::string("report/") + GetParam().name + ".report")));
    EXPECT_EQ(result.report.Count(), result.report.Entries().size());

    const ConversionResult plain = Convert(files, dir.File("without"), false);
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
                    ReportCase{"ctrlz-clean", {"ctrlz-clean.txt"}},
                    ReportCase{"nul", {"nul.txt"}}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::erase(name, '-');
        return name;
    });

// Millions of bad lines are counted, not kept.
TEST(ConversionReport, KeepsTheFirstEntriesAndCountsTheRest) {
    TempDir dir;
    std::string text;
    for (std::size_t i = 0; i < ConversionReport::kMaxEntries + 5; ++i) {
        text += "X\r\n";
    }
    const ConversionResult result = Convert({dir.Write("bad.txt", text)}, dir.File("out"), true);
    EXPECT_EQ(result.report.Count(), ConversionReport::kMaxEntries + 5);
    ASSERT_EQ(result.report.Entries().size(), ConversionReport::kMaxEntries);
    EXPECT_EQ(result.report.Entries().back().line, ConversionReport::kMaxEntries);
    EXPECT_EQ(report::OmittedLine(result.report), "… i 5 dalszych");
    const std::string all = report::Text(result.report, "\r\n");
    EXPECT_TRUE(all.ends_with("pominięty\r\n… i 5 dalszych\r\n")) << all.substr(all.size() - 40);
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
