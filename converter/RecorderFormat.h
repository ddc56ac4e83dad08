#pragma once

#include <span>
#include <string_view>

enum class RecorderFormat { Kmx685, NikonRaw, Sdr, Gsi, Unknown };

// Which format the first non-empty lines of a file look like: the format most of
// them read as (the earlier one on a tie), Unknown when none reads as any.
RecorderFormat RecogniseFormat(std::span<const std::string_view> lines);

// The format's name for the user.
std::string_view FormatName(RecorderFormat format);
