// Differential fuzzing of the SDR reader: lines split as the program splits
// them, then the reader, must give what the plain rendering gives, byte for byte,
// with the same report entries. Byte 0xFF separates input files.
#include "fuzz/RecorderReference.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto files =
        reference::FilesOf(std::string_view(reinterpret_cast<const char*>(data), size));
    if (reference::Convert<recorders::SdrReader>(files, true) != reference::Sdr(files)) {
        std::abort();
    }
    return 0;
}
