#include <windows.h>

#include <string>

#include "core/io/user_environment.h"
#include "core/text/native_path.h"

namespace vx {

std::string UserDataFolder() {
  wchar_t buffer[MAX_PATH * 2];
  const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, MAX_PATH * 2);
  if (n == 0 || n >= MAX_PATH * 2) return {};
  return GbkPath(std::filesystem::path(std::wstring(buffer, n)));
}

std::string LocalTimeText(std::time_t when) {
  struct tm local {};
  localtime_s(&local, &when);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

}  // namespace vx
