#pragma once

#include "converter/RecorderReader.h"
#include "converter/RecorderRecord.h"

#include <optional>
#include <string>
#include <string_view>

// Leica GSI-8 and GSI-16: a line is a block of fixed-width words (16 characters,
// or 24 in a GSI-16 block, which starts with *). Each word is a word index, its
// information (unit code in position 6), a sign and the data. A block with
// station words (84-86, 88) and no measurement, or a code block 41 with word 42,
// is a station set-up; a block with 21 or 22 is an observation.
namespace recorders {

class GsiDecoder {
public:
    void Decode(std::string_view line, Record& record);
    void Reset() { *this = GsiDecoder(); }

private:
    std::optional<std::string> targetHeight_; // word 87, carried to the following lines
};

template <typename Output, typename Notes>
using GsiReader = RecorderReader<GsiDecoder, Output, Notes>;

bool LooksLikeGsi(std::string_view line);

} // namespace recorders
