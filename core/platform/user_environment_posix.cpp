#include <cstdlib>
#include <filesystem>

#include "core/io/user_environment.h"
#include "core/text/native_path.h"

namespace vx {

std::string UserDataFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome && dataHome[0] == '/') return GbkPath(dataHome);
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return GbkPath(std::filesystem::path(home) / ".local" / "share");
  return {};
}

std::string LocalTimeText(std::time_t when) {
  struct tm local {};
  localtime_r(&when, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

}  // namespace vx
