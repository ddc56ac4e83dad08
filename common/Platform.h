#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

// The few file-system calls whose portable forms misbehave on one platform:
// opening by a UTF-8 path, replacing an existing file, finding our own executable.
namespace platform {

// Paths travel through the program as UTF-8.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

// fopen with a UTF-8 path; on failure returns nullptr and sets `ec`.
std::FILE* OpenFile(const std::string& utf8Path, const char* mode, std::error_code& ec);

// Whether the path names a folder. A path with a NUL names none: the system
// would read it only up to the NUL.
bool IsFolder(std::string_view utf8Path);

#ifdef _WIN32
// Renames `from` over `to`, replacing `to` if it exists (plain rename refuses that on Windows).
// A `to` that another program holds open fails with errc::device_or_resource_busy.
bool ReplaceFile(const std::string& fromUtf8, const std::string& toUtf8, std::error_code& ec);

// A Windows error code (GetLastError) as the portable condition it stands for, where there is one.
std::error_code SystemError(unsigned long code);
#endif

// Folder of the running executable, without a trailing separator; empty if unknown.
std::string ExecutableDir();

// The folder separator of this system.
char Separator();

// Folder, one separator, file name: the only way paths are joined.
std::string JoinPath(std::string_view folder, std::string_view fileName);

} // namespace platform
