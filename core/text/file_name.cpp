#include "text/file_name.h"

#include "text/gbk.h"

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
        case '[': case '\\': case '/': case ':': case '*': case '?':
        case '<': case '>': case '|': case ']': case '+':
          break;
        default:
          out += gbkText[i];
      }
    }
    i += len;
  }
  return out;
}

}  // namespace vx
