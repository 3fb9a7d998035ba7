#include "core/text/gbk.h"

#include <cstdio>

namespace vx {

std::string CodePointName(std::string_view utf8Char) {
  if (utf8Char.empty()) return {};
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8Char[i]); };
  const unsigned char lead = byte(0);
  const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (length > utf8Char.size()) return "U+FFFD";
  static constexpr unsigned char kLeadBits[] = {0x7F, 0x1F, 0x0F, 0x07};
  unsigned long codePoint = lead & kLeadBits[length - 1];
  for (std::size_t i = 1; i < length; ++i) codePoint = (codePoint << 6) | (byte(i) & 0x3Fu);
  char name[16];
  std::snprintf(name, sizeof name, "U+%04lX", codePoint);
  return name;
}

}  // namespace vx
