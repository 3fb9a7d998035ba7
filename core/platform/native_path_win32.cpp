// Windows paths are UTF-16, so a folder or title with Chinese characters works whatever the system's
// ANSI code page is.
#include "core/platform/win32_text.h"
#include "core/text/native_path.h"

namespace vx {

std::filesystem::path NativePath(std::string_view gbkPath) {
  return std::filesystem::path(win32::WideFromGbk(gbkPath));
}

std::string GbkPath(const std::filesystem::path& native) {
  std::string gbk;
  return win32::GbkFromWide(native.native(), gbk) ? gbk : std::string();
}

}  // namespace vx
