#include "core/text/compare.h"

#include <algorithm>

#include "core/text/gbk.h"

namespace vx {

int CompareGbk(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const std::size_t la = GbkCharLength(a, i), lb = GbkCharLength(b, j);
    auto value = [](std::string_view s, std::size_t pos, std::size_t len) {
      unsigned v = static_cast<unsigned char>(s[pos]);
      if (len == 2) v = v * 256 + static_cast<unsigned char>(s[pos + 1]);
      return v;
    };
    const unsigned va = value(a, i, la), vb = value(b, j, lb);
    if (va != vb) return va < vb ? -1 : 1;
    i += la;
    j += lb;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

int CompareTimeText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return CompareGbk(a, b);
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = LowerAscii(c);
  return lower;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && EqualsIgnoringAsciiCase(text.substr(text.size() - end.size()), end);
}

}  // namespace vx
