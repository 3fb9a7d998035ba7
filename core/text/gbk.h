#pragma once
// Conversions between GBK (code page 936) and UTF-8. Everything the program keeps in memory or writes is
// GBK; these run only where a text meets a person (display, keyboard) or the outside world (arguments).

#include <optional>
#include <string>
#include <string_view>

namespace vx {

// True for a byte that starts a double-byte GBK character (when a trail byte follows).
constexpr bool IsGbkLeadByte(unsigned char b) {
  return b >= 0x81 && b <= 0xFE;
}
constexpr bool IsGbkTrailByte(unsigned char b) {
  return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

// Length in bytes (1 or 2) of the character that starts at `pos`. A lead byte at the very end, or one
// followed by a byte that cannot trail, stands alone.
inline std::size_t GbkCharLength(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (IsGbkLeadByte(lead) && pos + 1 < text.size() &&
      IsGbkTrailByte(static_cast<unsigned char>(text[pos + 1])))
    return 2;
  return 1;
}

// For showing: never fails. A byte that does not decode becomes U+FFFD and nothing else is dropped.
std::string Utf8FromGbk(std::string_view gbk);

// For storing what a person typed: fails when any character has no GBK form. On failure,
// `unmappable` (when given) receives the first such character in UTF-8, so a message can name it.
std::optional<std::string> GbkFromUtf8(std::string_view utf8, std::string* unmappable = nullptr);

// A character GBK lacks cannot be shown in a GBK message either; it is named by its code point instead,
// "U+1F3B5". `utf8Char` is the character as GbkFromUtf8 reports it.
std::string CodePointName(std::string_view utf8Char);
// A UTF-8 name in GBK for showing, each character GBK lacks named by its code point ("U+1F3B5").
std::string GbkShowingCodePoints(std::string_view utf8);

// The program's own fixed texts are written in UTF-8 in the source and all have a GBK form.
std::string Gbk(std::string_view utf8Literal);

}  // namespace vx
