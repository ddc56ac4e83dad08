// Differential fuzzing of the GSI reader: each file streamed as the program
// streams it (the first byte picks the block size), then the reader, must give
// what the plain rendering gives, byte for byte, with the same report entries.
// Byte 0xFF separates input files.
#include "fuzz/RecorderReference.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const reference::FuzzInput input = reference::ReadFuzzInput(data, size);
    if (reference::Convert<recorders::GsiReader>(input.files, false, input.blockSize) !=
        reference::Gsi(input.files)) {
        std::abort();
    }
    return 0;
}
