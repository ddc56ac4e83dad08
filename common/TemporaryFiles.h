#pragma once

#include <filesystem>

// Temporary files that a signal ending the process must not leave behind: the
// output sinks register the files they name, and a program that wants them
// removed on a signal says so once with RemoveOnSignals.
namespace tempfiles {

// Returns the file's slot, or -1 when no slot is free (the file is then only
// removed by its owner, as usual).
int Register(const std::filesystem::path& file);
void Unregister(int slot);

// On SIGINT, SIGTERM and SIGHUP (SIGBREAK on Windows) the registered files are
// removed and the process then ends by the same signal with its default action,
// so a shell sees the usual status (128 + signal). Signals that are ignored stay ignored.
void RemoveOnSignals();

} // namespace tempfiles
