#include "common/Platform.h"

#include <cerrno>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// windows.h maps ReplaceFile to ReplaceFileW; ours is platform::ReplaceFile.
#undef ReplaceFile
#endif

namespace platform {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathToUtf8(const std::filesystem::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

std::FILE* OpenFile(const std::string& utf8Path, const char* mode, std::error_code& ec) {
    if (utf8Path.find('\0') != std::string::npos) {
        ec = std::make_error_code(std::errc::invalid_argument); // would name another file
        return nullptr;
    }
    errno = 0;
#ifdef _WIN32
    const std::wstring wmode(mode, mode + std::char_traits<char>::length(mode));
    std::FILE* f = _wfopen(PathFromUtf8(utf8Path).c_str(), wmode.c_str());
#else
    std::FILE* f = std::fopen(utf8Path.c_str(), mode);
#endif
    if (!f) {
        ec = std::error_code(errno ? errno : EIO, std::generic_category());
    }
    return f;
}

bool IsFolder(std::string_view utf8Path) {
    std::error_code ec;
    return utf8Path.find('\0') == std::string_view::npos &&
           std::filesystem::is_directory(PathFromUtf8(utf8Path), ec);
}

#ifdef _WIN32
std::error_code SystemError(unsigned long code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_ACCESS_DENIED:
        return std::make_error_code(std::errc::permission_denied);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return std::make_error_code(std::errc::device_or_resource_busy);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_WRITE_PROTECT:
        return std::make_error_code(std::errc::read_only_file_system);
    case ERROR_FILENAME_EXCED_RANGE:
        return std::make_error_code(std::errc::filename_too_long);
    case ERROR_INVALID_NAME:
        return std::make_error_code(std::errc::invalid_argument);
    default:
        return std::error_code(int(code), std::system_category());
    }
}

namespace {

// Windows refuses to replace a file that another program opened without sharing
// deletion with "access denied"; asking for delete access tells the two apart.
bool HeldOpenElsewhere(const std::filesystem::path& file) {
    const HANDLE probe =
        CreateFileW(file.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

} // namespace
#endif

#ifdef _WIN32
bool ReplaceFile(const std::string& fromUtf8, const std::string& toUtf8, std::error_code& ec) {
    const std::filesystem::path to = PathFromUtf8(toUtf8);
    if (!MoveFileExW(PathFromUtf8(fromUtf8).c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        ec = error == ERROR_ACCESS_DENIED && HeldOpenElsewhere(to)
                 ? std::make_error_code(std::errc::device_or_resource_busy)
                 : SystemError(error);
        return false;
    }
    return true;
}
#endif

std::string ExecutableDir() {
#ifdef _WIN32
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (n == 0) {
            return {};
        }
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    return PathToUtf8(std::filesystem::path(buffer).parent_path());
#else
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : PathToUtf8(exe.parent_path());
#endif
}

char Separator() {
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

std::string JoinPath(std::string_view folder, std::string_view fileName) {
    std::string path;
    path.reserve(folder.size() + 1 + fileName.size());
    path.append(folder);
    path.push_back(Separator());
    path.append(fileName);
    return path;
}

} // namespace platform
