// The output sink of Windows: a short-named temporary file beside the target,
// renamed over it with MoveFileExW.
#include "common/OutputSink.h"

#include "common/Platform.h"
#include "common/TemporaryFiles.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#undef ReplaceFile // a windows.h macro; ours is platform::ReplaceFile

#include <algorithm>
#include <filesystem>
#include <random>

namespace {

std::wstring ShortTemporaryName() {
    static const wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::wstring name = L".kmx";
    for (int i = 0; i < 6; ++i) {
        name += kLetters[random() % (std::size(kLetters) - 1)];
    }
    return name;
}

class WindowsSink final : public OutputSink {
public:
    ~WindowsSink() override;
    bool Open(const std::string& targetUtf8, std::error_code& ec) override;
    bool Write(const char* bytes, std::size_t size, std::error_code& ec) override;
    bool Commit(std::error_code& ec) override;

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::string target_;
    std::filesystem::path temp_;
    int slot_ = -1;
    bool committed_ = false;
};

WindowsSink::~WindowsSink() {
    if (file_ != INVALID_HANDLE_VALUE) {
        CloseHandle(file_);
    }
    if (!committed_ && !temp_.empty()) {
        DeleteFileW(temp_.c_str());
    }
    tempfiles::Unregister(slot_);
}

bool WindowsSink::Open(const std::string& targetUtf8, std::error_code& ec) {
    target_ = targetUtf8;
    const std::filesystem::path folder = platform::PathFromUtf8(targetUtf8).parent_path();
    for (int attempt = 0; attempt < 32; ++attempt) {
        temp_ = folder / ShortTemporaryName();
        slot_ = tempfiles::Register(temp_);
        // Shared for deletion, so that a signal handler can remove it while it is open.
        file_ = CreateFileW(temp_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                            nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file_ != INVALID_HANDLE_VALUE) {
            return true;
        }
        const DWORD error = GetLastError();
        tempfiles::Unregister(slot_);
        slot_ = -1;
        temp_.clear();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            ec = platform::SystemError(error);
            return false;
        }
    }
    ec = std::make_error_code(std::errc::file_exists);
    return false;
}

bool WindowsSink::Write(const char* bytes, std::size_t size, std::error_code& ec) {
    while (size > 0) {
        const DWORD chunk = DWORD(std::min<std::size_t>(size, DWORD(1) << 30));
        DWORD written = 0;
        if (!WriteFile(file_, bytes, chunk, &written, nullptr) || written == 0) {
            ec = platform::SystemError(GetLastError());
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

bool WindowsSink::Commit(std::error_code& ec) {
    // The data reaches the disk before the name does (MoveFileExW writes through).
    const bool flushed = FlushFileBuffers(file_);
    const DWORD error = GetLastError();
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    if (!flushed) {
        ec = platform::SystemError(error);
        return false;
    }
    if (!platform::ReplaceFile(platform::PathToUtf8(temp_), target_, ec)) {
        return false;
    }
    committed_ = true;
    return true;
}

} // namespace

std::unique_ptr<OutputSink> MakeOutputSink() {
    return std::make_unique<WindowsSink>();
}
