#pragma once
#include <cstdint>
#include <string_view>

namespace vx {

// Reads a number the way C's atoi does: leading white space, an optional sign, then decimal digits up to
// the first non-digit. A text without leading digits is 0. Values beyond 32 bits saturate instead of
// wrapping, as the Windows run-time does.
std::int32_t AtoI(std::string_view text);

}  // namespace vx
