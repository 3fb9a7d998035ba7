#pragma once
// The one crossing between GBK paths, which the program keeps and stores in REC.re, and the file system.

#include <filesystem>
#include <string>
#include <string_view>

namespace vx {

// The separator put between a folder and a name when the program builds a path.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// GBK path to the native path: UTF-8 bytes on POSIX systems, UTF-16 on Windows.
std::filesystem::path NativePath(std::string_view gbkPath);

// Native path back to GBK, for paths that come from the command line or a file chooser. A character
// GBK lacks cannot be stored; the function then returns the empty string.
std::string GbkPath(const std::filesystem::path& native);

// Paths from and to UTF-8 text (command lines, test fixtures). A plain std::string path would be read in
// the Windows ANSI code page there, which cannot hold every name.
inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
inline std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
}

// folder + separator + name, as the program joins song file names; an empty folder gives a path that
// starts at the root, as it always has.
inline std::string JoinPath(std::string_view gbkFolder, std::string_view gbkName) {
  std::string path(gbkFolder);
  path += kPathSeparator;
  path += gbkName;
  return path;
}

}  // namespace vx
