#pragma once

#include <string_view>

// The pieces of an OBSBIEG line that both the KMX 685 records and the other
// recorders write, so that the two give the same bytes.
namespace obsbieg {

inline constexpr std::string_view kLineEnd = "\r\n";
// Follows the station number on a station line.
inline constexpr std::string_view kStationEnd = "    42\r\n";
// Between the columns of an observation line.
inline constexpr std::string_view kColumnGap = "  ";
// Begins the line that closes a station block; the instrument height follows.
inline constexpr std::string_view kClosingPrefix = "0 0 0 0 ";

// A column without a value: -1 and three blanks stand there. Padded like a
// field from the line reader, so it is copied the same way.
inline constexpr char kNoValueBytes[32] = "-1   ";
inline constexpr std::string_view kNoValue(kNoValueBytes, 5);

} // namespace obsbieg
