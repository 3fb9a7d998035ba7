#pragma once
// The one crossing between GBK paths, which the program keeps and stores in REC.re, and the file system.

#include <filesystem>
#include <string>
#include <string_view>

#include "core/text/gbk.h"

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

// Where the last name of a path starts: just after its last separator ('/', and on Windows a backslash too),
// found character by character, so a GBK character whose second byte is 0x5C is never taken for one. 0
// for a bare name.
inline std::size_t NameStart(std::string_view gbkPath) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < gbkPath.size();) {
    const std::size_t length = GbkCharLength(gbkPath, i);
    if (length == 1 && (gbkPath[i] == '/' || gbkPath[i] == kPathSeparator)) start = i + 1;
    i += length;
  }
  return start;
}
// The last name of a path, and the folder before it ("." for a bare name).
inline std::string FileNameOf(std::string_view gbkPath) {
  return std::string(gbkPath.substr(NameStart(gbkPath)));
}
inline std::string FolderOf(std::string_view gbkPath) {
  const std::size_t start = NameStart(gbkPath);
  return start == 0 ? std::string(".") : std::string(gbkPath.substr(0, start - 1));
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
