// The Windows side of the platform helper and the conversion through it: wide
// file names, backslash joins, replacing an existing OBSBIEG, kavero.ini beside the .exe.
#include "WindowsFiles.h"
#include "common/Platform.h"
#include "common/UPlikIni.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace winfiles;

namespace {

// "pomiar_łąka.txt" as UTF-8 (the core's paths) and as the wide name Windows stores.
const std::string kPolishName = "pomiar_\xc5\x82\xc4\x85ka.txt";
const std::wstring kPolishWide = L"pomiar_\u0142\u0105ka.txt";

TEST(WindowsJoinPath, PutsOneBackslashBetweenFolderAndName) {
    EXPECT_EQ(platform::Separator(), '\\');
    EXPECT_EQ(platform::JoinPath("C:\\Dane\\praca", "OBSBIEG"), "C:\\Dane\\praca\\OBSBIEG");
    EXPECT_EQ(platform::JoinPath("", "OBSBIEG"), "\\OBSBIEG");
}

TEST(WindowsExecutableDir, HoldsThisTestAndItsKaveroIni) {
    const std::string dir = platform::ExecutableDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(dir.back(), '\\');
    EXPECT_TRUE(fs::exists(platform::PathFromUtf8(platform::JoinPath(dir, REJKMX_TEST_EXE))));
    EXPECT_EQ(TPlikIni().IniPath, dir + "\\kavero.ini");
}

TEST(WindowsOpenFile, KeepsPolishLettersInTheFileName) {
    TempDir dir;
    const std::string path = Utf8(dir.Path()) + "\\" + kPolishName;
    std::error_code ec;
    std::FILE* f = platform::OpenFile(path, "wb", ec);
    ASSERT_NE(f, nullptr) << ec.message();
    std::fputs("C,1,,,,,2\r\n", f);
    std::fclose(f);

    ASSERT_EQ(EntriesIn(dir.Path()), 1u);
    EXPECT_EQ(fs::directory_iterator(dir.Path())->path().filename().wstring(), kPolishWide);
    EXPECT_EQ(ReadFile(dir.Path() / kPolishWide), "C,1,,,,,2\r\n");
}

TEST(WindowsOpenFile, MissingFileSetsTheError) {
    TempDir dir;
    std::error_code ec;
    EXPECT_EQ(platform::OpenFile(Utf8(dir.Path() / kPolishWide), "rb", ec), nullptr);
    EXPECT_EQ(ec, std::errc::no_such_file_or_directory);
}

TEST(WindowsReplaceFile, ReplacesAnExistingTarget) {
    TempDir dir;
    WriteFile(dir.Path() / "new.tmp", "new\r\n");
    WriteFile(dir.Path() / "OBSBIEG", "old result that is longer\r\n");
    std::error_code ec;
    ASSERT_TRUE(
        platform::ReplaceFile(Utf8(dir.Path() / "new.tmp"), Utf8(dir.Path() / "OBSBIEG"), ec))
        << ec.message();
    EXPECT_EQ(ReadFile(dir.Path() / "OBSBIEG"), "new\r\n");
    EXPECT_FALSE(fs::exists(dir.Path() / "new.tmp"));
}

TEST(WindowsReplaceFile, CreatesAMissingTargetWithAPolishName) {
    TempDir dir;
    WriteFile(dir.Path() / "new.tmp", "new\r\n");
    std::error_code ec;
    ASSERT_TRUE(platform::ReplaceFile(Utf8(dir.Path() / "new.tmp"),
                                      Utf8(dir.Path()) + "\\" + kPolishName, ec))
        << ec.message();
    EXPECT_EQ(ReadFile(dir.Path() / kPolishWide), "new\r\n");
}

TEST(WindowsReplaceFile, MissingSourceLeavesTheTarget) {
    TempDir dir;
    WriteFile(dir.Path() / "OBSBIEG", "old\r\n");
    std::error_code ec;
    EXPECT_FALSE(
        platform::ReplaceFile(Utf8(dir.Path() / "gone.tmp"), Utf8(dir.Path() / "OBSBIEG"), ec));
    EXPECT_EQ(ec, std::errc::no_such_file_or_directory);
    EXPECT_EQ(ReadFile(dir.Path() / "OBSBIEG"), "old\r\n");
}

TEST(WindowsReplaceFile, TargetHeldOpenByAnotherProgramFails) {
    TempDir dir;
    WriteFile(dir.Path() / "new.tmp", "new\r\n");
    WriteFile(dir.Path() / "OBSBIEG", "old\r\n");
    HeldOpen other(dir.Path() / "OBSBIEG");
    ASSERT_TRUE(other.IsOpen());
    std::error_code ec;
    EXPECT_FALSE(
        platform::ReplaceFile(Utf8(dir.Path() / "new.tmp"), Utf8(dir.Path() / "OBSBIEG"), ec));
    EXPECT_EQ(ec, std::errc::device_or_resource_busy) << ec.message();
    EXPECT_EQ(ReadFile(dir.Path() / "OBSBIEG"), "old\r\n");
}

} // namespace
