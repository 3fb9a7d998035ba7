#include "core/text/file_name.h"

#include "core/text/gbk.h"

namespace vx {

std::string MakeFileNameSafe(std::string_view gbkText) {
  std::string out;
  out.reserve(gbkText.size());
  for (std::size_t i = 0; i < gbkText.size();) {
    const std::size_t len = GbkCharLength(gbkText, i);
    if (len == 2) {
      out.append(gbkText.substr(i, 2));
    } else {
      switch (gbkText[i]) {
        case '[':
        case '\\':
        case '/':
        case ':':
        case '*':
        case '?':
        case '<':
        case '>':
        case '|':
        case ']':
        case '+':
        // No Windows file name may hold these either; dropping them everywhere keeps the names equal.
        case '"':
          break;
        default:
          if (static_cast<unsigned char>(gbkText[i]) >= 0x20) out += gbkText[i];  // control characters go too
      }
    }
    i += len;
  }
  return out;
}

}  // namespace vx
