#include "core/io/user_environment.h"

#include "core/platform/primitives.h"
#include "core/text/native_path.h"

namespace vx {

std::string UserDataFolder() {
  const platform::Path data = platform::UserDataPath();
  return data.empty() ? std::string() : GbkPath(data);
}

std::string LocalTimeText(std::time_t when) {
  const std::tm local = platform::LocalTime(when);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

}  // namespace vx
