#pragma once

#include <string>
#include <system_error>

// The cause of a file-system failure in Polish, for the detail under the
// conversion's message.
std::string DescribeError(const std::error_code& ec);
