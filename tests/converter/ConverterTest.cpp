#include "converter/URejestratorKMX685.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

namespace {

struct Reported {
    int calls = 0;
    std::string message;
    ConversionError error;
};

// A converter whose failure reports are collected for the test to inspect.
struct Harness {
    Reported reported;
    TRejestratorKMX685 converter{[this](std::string_view message, const ConversionError& e) {
        ++reported.calls;
        reported.message = message;
        reported.error = e;
    }};
    std::vector<std::string> files;

    ConversionResult Convert(const std::string& output) {
        converter.SetInputFiles(files);
        return converter.ConvertFiles(output);
    }
};

std::size_t EntriesIn(const std::filesystem::path& folder) {
    return std::size_t(std::distance(std::filesystem::directory_iterator(folder),
                                     std::filesystem::directory_iterator()));
}

struct GoldenCase {
    const char* name;
    std::vector<const char*> inputs;
    const char* expected;
};

void PrintTo(const GoldenCase& c, std::ostream* os) {
    *os << c.name;
}

class Golden : public testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, ConvertsToTheExpectedBytes) {
    TempDir dir;
    Harness h;
    for (const char* input : GetParam().inputs) {
        h.files.push_back(DataFile(input));
    }
    const auto result = h.Convert(dir.File("OBSBIEG"));
    EXPECT_EQ(result.status, ConversionStatus::Succeeded);
    EXPECT_EQ(h.reported.calls, 0);
    EXPECT_EQ(ReadBytes(dir.File("OBSBIEG")), ReadBytes(DataFile(GetParam().expected)));
    EXPECT_EQ(EntriesIn(dir.Path()), 1u) << "no temporary file may be left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Files, Golden,
    testing::Values(GoldenCase{"WorkedExample", {"worked-example.txt"}, "worked-example.expected"},
                    GoldenCase{"LfLinesAndCtrlZ", {"lf-ctrlz.txt"}, "lf-ctrlz.expected"},
                    GoldenCase{"NoFinalLineEnd", {"no-final-eol.txt"}, "no-final-eol.expected"},
                    GoldenCase{"LoneCarriageReturns", {"lone-cr.txt"}, "lone-cr.expected"},
                    GoldenCase{"RecordEdgeCases", {"edge-cases.txt"}, "edge-cases.expected"},
                    GoldenCase{"PolishLettersCopied", {"polish.txt"}, "polish.expected"},
                    GoldenCase{"OnlyAStation", {"only-station.txt"}, "only-station.expected"},
                    GoldenCase{"BlocksClosedPerFile",
                               {"two-files-a.txt", "two-files-b.txt"},
                               "two-files.expected"},
                    GoldenCase{"DemoFiles",
                               {"../../examples/ciag_glowny_01.txt",
                                "../../examples/ciag_glowny_02.txt",
                                "../../examples/szczegoly_zabudowa.txt"},
                               "examples.expected"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertFiles, EmptyListCreatesAnEmptyFile) {
    TempDir dir;
    Harness h;
    const auto result = h.Convert(dir.File("OBSBIEG"));
    EXPECT_EQ(result.status, ConversionStatus::Succeeded);
    ASSERT_TRUE(std::filesystem::exists(dir.File("OBSBIEG")));
    EXPECT_EQ(ReadBytes(dir.File("OBSBIEG")), "");
}

TEST(ConvertFiles, CtrlZAfterTheLastLineChangesNothing) {
    TempDir dir;
    const std::string text = "C,1,,,,,2\r\nE,3,,4,5,6,7\r\n";
    Harness plain;
    plain.files = {dir.Write("plain.txt", text)};
    plain.Convert(dir.File("plain.out"));
    Harness withEof;
    withEof.files = {dir.Write("eof.txt", text + "\x1a")};
    withEof.Convert(dir.File("eof.out"));
    EXPECT_EQ(ReadBytes(dir.File("plain.out")), ReadBytes(dir.File("eof.out")));
    EXPECT_EQ(ReadBytes(dir.File("plain.out")), "1    42\r\n3  5  7  4  6\r\n0 0 0 0 2\r\n");
}

TEST(ConvertFiles, SameFileTwiceIsConvertedTwice) {
    TempDir dir;
    Harness h;
    h.files = {DataFile("only-station.txt"), DataFile("only-station.txt")};
    h.Convert(dir.File("OBSBIEG"));
    const std::string once = ReadBytes(DataFile("only-station.expected"));
    EXPECT_EQ(ReadBytes(dir.File("OBSBIEG")), once + once);
}

TEST(ConvertFiles, BlankEntriesNameNoFile) {
    TempDir dir;
    Harness h;
    h.files = {"", "   ", "\t", DataFile("worked-example.txt"), " "};
    const auto result = h.Convert(dir.File("OBSBIEG"));
    EXPECT_EQ(result.status, ConversionStatus::Succeeded);
    EXPECT_EQ(result.summary.files, 1u);
    EXPECT_EQ(ReadBytes(dir.File("OBSBIEG")), ReadBytes(DataFile("worked-example.expected")));
}

#ifndef _WIN32 // Windows drops trailing blanks from file names
TEST(ConvertFiles, BlankEntryThatNamesAFileIsConverted) {
    TempDir dir;
    dir.Write("  ", ReadBytes(DataFile("only-station.txt")));
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path()); // where the relative name "  " is looked for
    Harness h;
    h.files = {"  ", " "};
    const auto result = h.Convert(dir.File("OBSBIEG"));
    std::filesystem::current_path(previous);
    EXPECT_EQ(result.summary.files, 1u);
    EXPECT_EQ(ReadBytes(dir.File("OBSBIEG")), ReadBytes(DataFile("only-station.expected")));
}
#endif

TEST(ConvertFiles, SummaryCountsFilesStationsObservationsAndSkippedLines) {
    TempDir dir;
    Harness h;
    h.files = {DataFile("worked-example.txt"), DataFile("edge-cases.txt")};
    const auto result = h.Convert(dir.File("OBSBIEG"));
    EXPECT_EQ(result.summary.files, 2u);
    EXPECT_EQ(result.summary.stations, 2u + 2u);
    EXPECT_EQ(result.summary.observations, 3u + 5u);
    // "X,…" in the example; c, " C", ",C" and "C ," in the edge cases; the empty line is not
    // counted.
    EXPECT_EQ(result.summary.skippedLines, 1u + 4u);
}

TEST(ConvertFiles, OutputListedAsInputIsReadWhole) {
    TempDir dir;
    const std::string output = dir.Write("OBSBIEG", "C,1,,,,,9\r\n");
    Harness h;
    h.files = {output, DataFile("only-station.txt")};
    const auto result = h.Convert(output);
    EXPECT_EQ(result.status, ConversionStatus::Succeeded);
    EXPECT_EQ(ReadBytes(output),
              "1    42\r\n0 0 0 0 9\r\n" + ReadBytes(DataFile("only-station.expected")));
}

// Every failure: the fixed message once, a detail naming the file, the old output kept.
struct FailureCase {
    const char* name;
    std::function<std::vector<std::string>(const TempDir&)> inputs;
    std::function<std::string(const TempDir&)> output;
    const char* detailMentions;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class Failure : public testing::TestWithParam<FailureCase> {};

TEST_P(Failure, ReportsOnceAndKeepsTheOldOutput) {
    TempDir dir;
    const std::string old = "previous result\r\n";
    dir.Write("OBSBIEG", old);
    Harness h;
    h.files = GetParam().inputs(dir);
    const std::string output = GetParam().output(dir);
    const auto before = EntriesIn(dir.Path());

    const auto result = h.Convert(output);

    EXPECT_EQ(result.status, ConversionStatus::Failed);
    EXPECT_EQ(h.reported.calls, 1);
    EXPECT_EQ(h.reported.message, "Błąd podczas przetwarzania plików!");
    EXPECT_NE(h.reported.error.detail.find(GetParam().detailMentions), std::string::npos)
        << h.reported.error.detail;
    EXPECT_EQ(ReadBytes(dir.File("OBSBIEG")), old);
    EXPECT_EQ(EntriesIn(dir.Path()), before) << "no temporary file may be left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Contract, Failure,
    testing::Values(
        FailureCase{"MissingInputStopsTheList",
                    [](const TempDir& d) {
                        return std::vector<std::string>{DataFile("worked-example.txt"),
                                                        d.File("missing.txt"),
                                                        DataFile("polish.txt")};
                    },
                    [](const TempDir& d) { return d.File("OBSBIEG"); }, "missing.txt"},
        FailureCase{"FolderAsInput",
                    [](const TempDir& d) { return std::vector<std::string>{d.Path().string()}; },
                    [](const TempDir& d) { return d.File("OBSBIEG"); }, "folderem"},
        FailureCase{
            "OutputFolderMissing",
            [](const TempDir&) { return std::vector<std::string>{DataFile("worked-example.txt")}; },
            [](const TempDir& d) { return d.File("no-such-folder/OBSBIEG"); }, "no-such-folder"},
        FailureCase{
            "OutputIsAFolder",
            [](const TempDir&) { return std::vector<std::string>{DataFile("worked-example.txt")}; },
            [](const TempDir& d) { return d.Path().string(); }, "folderem"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertFiles, ReadOnlyWorkingFolderFailsAndKeepsTheOldOutput) {
    TempDir dir;
    const std::string output = dir.Write("OBSBIEG", "old\r\n");
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    Harness h;
    h.files = {DataFile("worked-example.txt")};
    const auto result = h.Convert(output);
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    if (result.status == ConversionStatus::Succeeded) {
        // Root ignores folder permissions; then the conversion rightly succeeds.
        EXPECT_EQ(ReadBytes(output), ReadBytes(DataFile("worked-example.expected")));
        return;
    }
    EXPECT_EQ(h.reported.calls, 1);
    EXPECT_EQ(ReadBytes(output), "old\r\n");
}

// Whatever is thrown inside a conversion (std::bad_alloc on a huge line, see
// memory-limit-test.sh) ends as the failure message, never as an abort.
TEST(ConvertFiles, SomethingThrownIsReportedAsAFailure) {
    TempDir dir;
    const std::string output = dir.Write("OBSBIEG", "old\r\n");
    Harness h;
    h.files = {DataFile("worked-example.txt")};
    h.converter.SetProgressHandler(
        [](std::uint64_t, std::uint64_t) -> bool { throw std::runtime_error("progress failed"); });
    const auto result = h.Convert(output);
    EXPECT_EQ(result.status, ConversionStatus::Failed);
    EXPECT_EQ(h.reported.calls, 1);
    EXPECT_EQ(h.reported.message, "Błąd podczas przetwarzania plików!");
    EXPECT_EQ(h.reported.error.detail, "Nieoczekiwany błąd przy pliku „" +
                                           DataFile("worked-example.txt") + "”: progress failed.");
    EXPECT_EQ(ReadBytes(output), "old\r\n");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(ConvertFiles, CancelKeepsTheOldOutputAndReportsNoError) {
    TempDir dir;
    const std::string output = dir.Write("OBSBIEG", "old\r\n");
    std::string big;
    for (int i = 0; i < 100000; ++i) {
        big += "E," + std::to_string(i) + ",,10.00,20.0000,1.50,99.0000\r\n";
    }
    Harness h;
    h.files = {dir.Write("big.txt", big)};
    std::uint64_t lastDone = 0;
    std::uint64_t lastTotal = 0;
    h.converter.SetProgressHandler([&](std::uint64_t done, std::uint64_t total) {
        lastDone = done;
        lastTotal = total;
        return false;
    });
    const auto result = h.Convert(output);
    EXPECT_EQ(result.status, ConversionStatus::Cancelled);
    EXPECT_EQ(h.reported.calls, 0);
    EXPECT_EQ(ReadBytes(output), "old\r\n");
    EXPECT_EQ(lastTotal, big.size());
    EXPECT_GT(lastDone, 0u);
    EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

TEST(ConvertFiles, ProgressReachesTheTotal) {
    TempDir dir;
    Harness h;
    h.files = {DataFile("worked-example.txt"), DataFile("polish.txt")};
    std::uint64_t lastDone = 0;
    std::uint64_t total = 0;
    h.converter.SetProgressHandler([&](std::uint64_t done, std::uint64_t all) {
        EXPECT_GE(done, lastDone);
        lastDone = done;
        total = all;
        return true;
    });
    EXPECT_EQ(h.Convert(dir.File("OBSBIEG")).status, ConversionStatus::Succeeded);
    EXPECT_EQ(total, std::filesystem::file_size(DataFile("worked-example.txt")) +
                         std::filesystem::file_size(DataFile("polish.txt")));
    EXPECT_EQ(lastDone, total);
}

} // namespace
