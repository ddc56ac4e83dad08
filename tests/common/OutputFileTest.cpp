// AtomicOutputFile keeps what the user had, as writing the file in place would:
// links, mode, owner, devices and FIFOs; and it leaves no file behind.
#include "common/OutputFile.h"
#include "common/TemporaryFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

// Links, modes, devices and signals of POSIX systems; the Windows side is in tests/windows.
#ifndef _WIN32

namespace fs = std::filesystem;

namespace {

void WriteWhole(const std::string& target, std::string_view bytes) {
    AtomicOutputFile out(target);
    std::error_code ec;
    ASSERT_TRUE(out.Open(ec)) << ec.message();
    out.Append(bytes);
    ASSERT_TRUE(out.Commit(ec)) << ec.message();
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct stat Stat(const std::string& path) {
    struct stat st = {};
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
    return st;
}

TEST(AtomicOutputFile, WritesThroughASymbolicLinkInTheTargetsFolder) {
    TempDir dir;
    fs::create_directory(dir.Path() / "dane");
    dir.Write("dane/OBSBIEG", "old\r\n");
    fs::create_symlink("dane/OBSBIEG", dir.Path() / "OBSBIEG");

    WriteWhole(dir.File("OBSBIEG"), "new\r\n");

    EXPECT_TRUE(fs::is_symlink(dir.Path() / "OBSBIEG"));
    EXPECT_EQ(ReadBytes(dir.File("dane/OBSBIEG")), "new\r\n");
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"OBSBIEG", "dane"}));
    EXPECT_EQ(Names(dir.Path() / "dane"), std::vector<std::string>{"OBSBIEG"});
}

TEST(AtomicOutputFile, KeepsModeOwnerAndGroupAndGivesANewFileTheUmasksMode) {
    TempDir dir;
    const std::string shared = dir.Write("OBSBIEG", "old\r\n");
    ASSERT_EQ(chmod(shared.c_str(), 0664), 0);
    const bool root = geteuid() == 0; // only root may give a file away
    if (root) {
        ASSERT_EQ(chown(shared.c_str(), 1234, 5678), 0);
    }
    WriteWhole(shared, "new\r\n");
    EXPECT_EQ(Stat(shared).st_mode & 07777, 0664u);
    if (root) {
        EXPECT_EQ(Stat(shared).st_uid, 1234u);
        EXPECT_EQ(Stat(shared).st_gid, 5678u);
    }

    const mode_t previous = umask(027);
    WriteWhole(dir.File("nowy"), "new\r\n");
    umask(previous);
    EXPECT_EQ(Stat(dir.File("nowy")).st_mode & 07777, 0640u);
}

// A FIFO (and, for root, a device node like /dev/null) stays what it is.
TEST(AtomicOutputFile, WritesFifosAndDevicesInPlace) {
    TempDir dir;
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadBytes(fifo); });
    WriteWhole(fifo, "new\r\n");
    reader.join();
    EXPECT_EQ(received, "new\r\n");
    EXPECT_TRUE(S_ISFIFO(Stat(fifo).st_mode));

    const std::string null = dir.File("null");
    if (mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        WriteWhole(null, "new\r\n");
        EXPECT_TRUE(S_ISCHR(Stat(null).st_mode));
    }
    EXPECT_EQ(Names(dir.Path()).size(), fs::exists(null) ? 2u : 1u);
}

TEST(AtomicOutputFile, TargetNameOf250BytesWorks) {
    TempDir dir;
    const std::string name(250, 'o');
    dir.Write(name, "old\r\n");
    WriteWhole(dir.File(name), "new\r\n");
    EXPECT_EQ(ReadBytes(dir.File(name)), "new\r\n");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{name});
}

// kill -9 in the middle of a conversion: the unnamed temporary file goes with the process.
TEST(AtomicOutputFile, KilledProcessLeavesNoFile) {
    TempDir dir;
    const std::string target = dir.Write("OBSBIEG", "old\r\n");
    EXPECT_EXIT(
        {
            AtomicOutputFile out(target);
            std::error_code ec;
            if (out.Open(ec)) {
                out.Append(std::string(3 << 20, 'x'));
                std::raise(SIGKILL);
            }
        },
        testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(ReadBytes(target), "old\r\n");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"OBSBIEG"});
}

// Where a temporary file has a name, a signal that ends the process removes it.
TEST(TemporaryFiles, RemovedWhenASignalEndsTheProcess) {
    TempDir dir;
    const std::string named = dir.Write(".kmxabcdef", "partial");
    EXPECT_EXIT(
        {
            tempfiles::Register(named);
            tempfiles::RemoveOnSignals();
            std::raise(SIGTERM);
        },
        testing::KilledBySignal(SIGTERM), "");
    EXPECT_FALSE(fs::exists(named));
}

} // namespace

#endif
