#pragma once
#include <string>
#include <string_view>

namespace vx {

// Compares two GBK texts character by character, as the Windows multibyte run-time does: a double-byte
// character counts as lead x 256 + trail, a single byte as its unsigned value; a proper prefix is smaller.
// No case folding, no locale. Returns <0, 0 or >0.
int CompareGbk(std::string_view a, std::string_view b);

// Play-time texts ("M:SS", minutes unpadded): a longer text is a longer time; equal lengths compare as text.
int CompareTimeText(std::string_view a, std::string_view b);

// The one case folding the program does: ASCII letters, byte by byte, whatever the locale; bytes above
// 0x7F stay. A GBK trail byte can fall in 'A'..'Z', so GBK text is folded one character at a time, with
// the single-byte ones given to LowerAscii(char).
constexpr char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string LowerAscii(std::string_view text);
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view end);

}  // namespace vx
