#pragma once
#include <string_view>

namespace vx {

// Compares two GBK texts character by character, as the Windows multibyte run-time does: a double-byte
// character counts as lead x 256 + trail, a single byte as its unsigned value; a proper prefix is smaller.
// No case folding, no locale. Returns <0, 0 or >0.
int CompareGbk(std::string_view a, std::string_view b);

// Play-time texts ("M:SS", minutes unpadded): a longer text is a longer time; equal lengths compare as text.
int CompareTimeText(std::string_view a, std::string_view b);

}  // namespace vx
