// Whole conversions through Windows paths: Polish folder and file names, the working
// folder from a Windows-1250 kavero.ini, and an OBSBIEG that another program holds open.
#include "WindowsFiles.h"
#include "common/Platform.h"
#include "common/UPlikIni.h"
#include "converter/URejestratorKMX685.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace winfiles;

namespace {

// "praca_łąka" and "pomiar_łąka.txt": UTF-8 for the core, wide for checking the disk.
const std::string kFolderUtf8 = "praca_\xc5\x82\xc4\x85ka";
const std::wstring kFolderWide = L"praca_\u0142\u0105ka";
const std::string kInputUtf8 = "pomiar_\xc5\x82\xc4\x85ka.txt";
const std::string kFolderCp1250 = "praca_\xb3\xb9ka";

fs::path Data(std::string_view name) {
    return platform::PathFromUtf8(std::string(REJKMX_TEST_DATA) + "/" + std::string(name));
}

struct Outcome {
    int reports = 0;
    std::string message;
    std::string detail;
    ConversionStatus status = ConversionStatus::Failed;
};

Outcome Convert(const std::vector<std::string>& files, const std::string& output) {
    Outcome run;
    TRejestratorKMX685 converter([&run](std::string_view message, const ConversionError& e) {
        ++run.reports;
        run.message = message;
        run.detail = e.detail;
    });
    converter.SetInputFiles(files);
    run.status = converter.ConvertFiles(output).status;
    return run;
}

TEST(WindowsConversion, PolishInputIntoPolishFolderReplacesTheOldObsbieg) {
    TempDir dir;
    const fs::path folder = dir.Path() / kFolderWide;
    fs::create_directory(folder);
    const std::string input = platform::JoinPath(Utf8(folder), kInputUtf8);
    WriteFile(platform::PathFromUtf8(input), ReadFile(Data("worked-example.txt")));
    WriteFile(folder / L"OBSBIEG", std::string(5000, 'x'));

    const Outcome run = Convert({input}, platform::JoinPath(Utf8(folder), "OBSBIEG"));

    EXPECT_EQ(run.status, ConversionStatus::Succeeded) << run.detail;
    EXPECT_EQ(ReadFile(folder / L"OBSBIEG"), ReadFile(Data("worked-example.expected")));
    EXPECT_EQ(EntriesIn(folder), 2u) << "no temporary file may be left behind";
}

TEST(WindowsConversion, WritesIntoTheWorkingFolderOfAWindows1250KaveroIni) {
    TempDir dir;
    fs::create_directory(dir.Path() / kFolderWide);
    const std::string ini = "[General]\r\nPath=" + Utf8(dir.Path()) + "\\" + kFolderCp1250 +
                            "\r\n[User]\r\nLastIndex=3\r\n";
    WriteFile(dir.Path() / L"kavero.ini", ini);
    const TPlikIni settings(Utf8(dir.Path() / L"kavero.ini"));
    ASSERT_EQ(settings.Path, Utf8(dir.Path()) + "\\" + kFolderUtf8);

    const Outcome run =
        Convert({Utf8(Data("polish.txt"))}, platform::JoinPath(settings.Path, "OBSBIEG"));

    EXPECT_EQ(run.status, ConversionStatus::Succeeded) << run.detail;
    EXPECT_EQ(ReadFile(dir.Path() / kFolderWide / L"OBSBIEG"), ReadFile(Data("polish.expected")));
}

TEST(WindowsConversion, ObsbiegHeldOpenElsewhereFailsAndKeepsTheOldFile) {
    TempDir dir;
    const fs::path output = dir.Path() / L"OBSBIEG";
    WriteFile(output, "old\r\n");
    Outcome run;
    {
        const HeldOpen other(output);
        ASSERT_TRUE(other.IsOpen());
        run = Convert({Utf8(Data("worked-example.txt"))}, Utf8(output));
    }

    EXPECT_EQ(run.status, ConversionStatus::Failed);
    EXPECT_EQ(run.reports, 1);
    EXPECT_EQ(run.message, "Błąd podczas przetwarzania plików!");
    EXPECT_NE(run.detail.find("OBSBIEG"), std::string::npos) << run.detail;
    EXPECT_NE(run.detail.find("plik jest otwarty w innym programie"), std::string::npos)
        << run.detail;
    EXPECT_EQ(ReadFile(output), "old\r\n");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u) << "no temporary file may be left behind";
}

TEST(WindowsConversion, MissingWorkingFolderFailsWithTheMessage) {
    TempDir dir;
    const std::string output = platform::JoinPath(Utf8(dir.Path() / kFolderWide), "OBSBIEG");

    const Outcome run = Convert({Utf8(Data("worked-example.txt"))}, output);

    EXPECT_EQ(run.status, ConversionStatus::Failed);
    EXPECT_EQ(run.reports, 1);
    EXPECT_NE(run.detail.find(kFolderUtf8), std::string::npos) << run.detail;
    EXPECT_EQ(EntriesIn(dir.Path()), 0u);
}

} // namespace
