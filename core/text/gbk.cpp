#include "core/text/gbk.h"

#include <algorithm>
#include <cstdio>

#include "core/platform/primitives.h"

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

std::string GbkShowingCodePoints(std::string_view utf8) {
  if (auto whole = GbkFromUtf8(utf8)) return std::move(*whole);
  std::string shown;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    const std::string_view one = utf8.substr(i, length);
    const auto gbk = GbkFromUtf8(one);
    shown += gbk ? *gbk : CodePointName(one);
    i += length;
  }
  return shown;
}

}  // namespace vx

namespace vx {
namespace {

std::size_t Utf8SequenceLength(unsigned char b) {
  if (b < 0x80) return 1;
  if ((b & 0xE0) == 0xC0) return 2;
  if ((b & 0xF0) == 0xE0) return 3;
  if ((b & 0xF8) == 0xF0) return 4;
  return 1;
}

// The GBK form of a text, when the system's converter takes all of it and it reads back as the same text.
// A converter may drop a character without a word (glibc's iconv drops the tag characters U+E0000 to
// U+E007F), so its success alone proves nothing: an invisible character in a folder name would name
// another folder.
std::optional<std::string> ConvertsBothWays(std::string_view utf8) {
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
    return std::string(utf8);  // ASCII is the same bytes in both
  auto gbk = platform::EncodeGbk(utf8);
  if (!gbk || Utf8FromGbk(*gbk) != utf8) return std::nullopt;
  return gbk;
}

}  // namespace

std::optional<std::string> GbkFromUtf8(std::string_view utf8, std::string* unmappable) {
  if (auto gbk = ConvertsBothWays(utf8)) return gbk;
  if (!unmappable) return std::nullopt;
  // The culprit is the first character that does not come back by itself.
  unmappable->assign(utf8.substr(0, 1));
  for (std::size_t at = 0; at < utf8.size();) {
    const std::string_view character =
        utf8.substr(at, std::min(utf8.size() - at, Utf8SequenceLength(static_cast<unsigned char>(utf8[at]))));
    if (!ConvertsBothWays(character)) {
      unmappable->assign(character);
      break;
    }
    at += character.size();
  }
  return std::nullopt;
}

std::string Gbk(std::string_view utf8Literal) {
  auto converted = GbkFromUtf8(utf8Literal);
  return converted ? *converted : std::string(utf8Literal);
}

}  // namespace vx
