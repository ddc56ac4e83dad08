// The output sink of Linux and other POSIX systems.
#include "common/OutputSink.h"

#include "common/TemporaryFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::error_code LastError() {
    return std::error_code(errno ? errno : EIO, std::generic_category());
}

// The file a path names once every symbolic link on its last part is followed,
// as open() would follow them; a dangling link names the file it would create.
bool ResolveLinks(std::string& path, std::error_code& ec) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st = {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return true;
        }
        std::string target(std::size_t(st.st_size) + 256, '\0');
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0) {
            ec = LastError();
            return false;
        }
        target.resize(std::size_t(length));
        const std::size_t slash = path.rfind('/');
        path = target.front() == '/' || slash == std::string::npos
                   ? target
                   : path.substr(0, slash + 1) + target;
    }
    ec = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return false;
}

// A name of a few characters, so that a target name near the limit still works.
std::string ShortTemporaryName() {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::string name = ".kmx";
    for (int i = 0; i < 6; ++i) {
        name += kLetters[random() % (sizeof kLetters - 1)];
    }
    return name;
}

class PosixSink final : public OutputSink {
public:
    ~PosixSink() override;
    bool Open(const std::string& targetUtf8, std::error_code& ec) override;
    bool Write(const char* bytes, std::size_t size, std::error_code& ec) override;
    bool Commit(std::error_code& ec) override;

private:
    bool OpenTemporary(std::error_code& ec);
    bool CreateNamed(mode_t mode, std::error_code& ec);
    bool KeepOwnerAndMode(const struct stat& existing, std::error_code& ec);
    bool PutInPlace(std::error_code& ec);
    bool LinkUnnamed(std::error_code& ec);
    template <typename Make> bool TryShortNames(Make make, std::error_code& ec);
    void ForgetName();

    int fd_ = -1;
    int folder_ = -1;
    std::string folderPath_;
    std::string name_;     // of the target, in folder_
    std::string tempName_; // of the temporary file in folder_, while it has one
    int slot_ = -1;
    bool inPlace_ = false;
    bool committed_ = false;
};

PosixSink::~PosixSink() {
    if (fd_ >= 0) {
        close(fd_);
    }
    if (!tempName_.empty() && !committed_) {
        unlinkat(folder_, tempName_.c_str(), 0);
    }
    ForgetName();
    if (folder_ >= 0) {
        close(folder_);
    }
}

void PosixSink::ForgetName() {
    tempfiles::Unregister(slot_);
    slot_ = -1;
}

bool PosixSink::Open(const std::string& targetUtf8, std::error_code& ec) {
    std::string target = targetUtf8;
    if (!ResolveLinks(target, ec)) {
        return false;
    }
    struct stat existing = {};
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        ec = std::make_error_code(std::errc::is_a_directory);
        return false;
    }
    // Replacing needs only the folder's permission; a file the user may not
    // write stays protected, as it would against a truncating open.
    if (exists && S_ISREG(existing.st_mode) &&
        faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        ec = LastError();
        return false;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        // A device or a FIFO: replacing it would put a plain file in its place.
        inPlace_ = true;
        fd_ = open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY);
        ec = fd_ < 0 ? LastError() : std::error_code();
        return fd_ >= 0;
    }
    const std::size_t slash = target.rfind('/');
    folderPath_ = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    name_ = slash == std::string::npos ? target : target.substr(slash + 1);
    folder_ = open(folderPath_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0) {
        ec = LastError();
        return false;
    }
    if (!OpenTemporary(ec)) {
        return false;
    }
    return !exists || KeepOwnerAndMode(existing, ec);
}

// Unnamed where the system can (nothing to leave behind), else a short name.
bool PosixSink::OpenTemporary(std::error_code& ec) {
#ifdef O_TMPFILE
    // linkat() names it through /proc at Commit; without /proc, use a named file.
    if (access("/proc/self/fd", X_OK) == 0) {
        fd_ = openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            return true;
        }
        // The file system cannot make unnamed files; other errors are the folder's.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            ec = LastError();
            return false;
        }
    }
#endif
    return CreateNamed(0666, ec);
}

// Gives the temporary file a short name of its own in the folder: `make(name)`
// with fresh names, each registered for removal on a signal, while the name is
// taken, at most 32 times.
template <typename Make> bool PosixSink::TryShortNames(Make make, std::error_code& ec) {
    for (int attempt = 0; attempt < 32; ++attempt) {
        tempName_ = ShortTemporaryName();
        slot_ = tempfiles::Register(folderPath_ + "/" + tempName_);
        if (make(tempName_.c_str())) {
            return true;
        }
        const std::error_code error = LastError();
        ForgetName();
        tempName_.clear();
        if (error != std::errc::file_exists) {
            ec = error;
            return false;
        }
    }
    ec = std::make_error_code(std::errc::file_exists);
    return false;
}

bool PosixSink::CreateNamed(mode_t mode, std::error_code& ec) {
    return TryShortNames(
        [&](const char* name) {
            fd_ = openat(folder_, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            return fd_ >= 0;
        },
        ec);
}

// Owner and group first: changing them may clear the set-ID bits that the mode
// then puts back. Who may not give a file away keeps at least the group if a member.
bool PosixSink::KeepOwnerAndMode(const struct stat& existing, std::error_code& ec) {
    if (fchown(fd_, existing.st_uid, existing.st_gid) != 0) {
        (void)fchown(fd_, uid_t(-1), existing.st_gid);
    }
    if (fchmod(fd_, existing.st_mode & 07777) != 0) {
        ec = LastError();
        return false;
    }
    return true;
}

bool PosixSink::Write(const char* bytes, std::size_t size, std::error_code& ec) {
    while (size > 0) {
        const ssize_t written = write(fd_, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            ec = written < 0 ? LastError() : std::make_error_code(std::errc::io_error);
            return false;
        }
        bytes += written;
        size -= std::size_t(written);
    }
    return true;
}

bool PosixSink::Commit(std::error_code& ec) {
    if (inPlace_) {
        const int fd = fd_;
        fd_ = -1;
        ec = close(fd) != 0 ? LastError() : std::error_code();
        return !ec;
    }
    // The data reaches the disk before the name does: a power cut after the
    // rename finds the new bytes, never an empty file.
    if (fsync(fd_) != 0) {
        ec = LastError();
        return false;
    }
    if (!PutInPlace(ec)) {
        return false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) {
        ec = LastError();
        return false;
    }
    fsync(folder_); // the rename itself; nothing to undo if the folder cannot say
    return true;
}

bool PosixSink::PutInPlace(std::error_code& ec) {
    if (tempName_.empty() && !LinkUnnamed(ec)) {
        return false;
    }
    if (!tempName_.empty() && renameat(folder_, tempName_.c_str(), folder_, name_.c_str()) != 0) {
        ec = LastError();
        return false;
    }
    committed_ = true;
    ForgetName();
    return true;
}

// Gives the unnamed file the target's name if there is no such file yet, else
// a short name of its own for the rename over the old file.
bool PosixSink::LinkUnnamed(std::error_code& ec) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    if (linkat(AT_FDCWD, self.c_str(), folder_, name_.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return true;
    }
    if (errno != EEXIST) {
        ec = LastError();
        return false;
    }
    return TryShortNames(
        [&](const char* name) {
            return linkat(AT_FDCWD, self.c_str(), folder_, name, AT_SYMLINK_FOLLOW) == 0;
        },
        ec);
}

} // namespace

std::unique_ptr<OutputSink> MakeOutputSink() {
    return std::make_unique<PosixSink>();
}
