// POSIX file systems take bytes; ours are UTF-8, so a GBK path is converted to UTF-8.
#include "core/text/gbk.h"
#include "core/text/native_path.h"

namespace vx {

std::filesystem::path NativePath(std::string_view gbkPath) {
  return std::filesystem::path(Utf8FromGbk(gbkPath));
}

std::string GbkPath(const std::filesystem::path& native) {
  auto gbk = GbkFromUtf8(native.native());
  return gbk ? *gbk : std::string();
}

}  // namespace vx
