#pragma once
// A song's file that is there but cannot be read, as a player meets it: on Windows another handle holds
// it open without sharing (a player, an editor, a virus scanner); elsewhere its read permission is gone.
// Root reads a file whatever its bits, so there the second kind cannot be made: Possible() says so.

#include <filesystem>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vx::fixtures {

class UnreadableFile {
 public:
  static bool Possible() {
#ifdef _WIN32
    return true;
#else
    return ::geteuid() != 0;
#endif
  }

  explicit UnreadableFile(std::filesystem::path path) : m_path(std::move(path)) {
#ifdef _WIN32
    m_held =
        CreateFileW(m_path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
#else
    struct stat st {};
    if (::stat(m_path.c_str(), &st) == 0) m_mode = st.st_mode & 07777;
    ::chmod(m_path.c_str(), 0);
#endif
  }
  ~UnreadableFile() {
#ifdef _WIN32
    if (m_held != INVALID_HANDLE_VALUE) CloseHandle(m_held);
#else
    ::chmod(m_path.c_str(), m_mode);
#endif
  }
  UnreadableFile(const UnreadableFile&) = delete;
  UnreadableFile& operator=(const UnreadableFile&) = delete;

  // What the program says of a chart made so (UTF-8), naming it by `fileName`.
  static std::string ChartReason(const std::string& fileName) {
#ifdef _WIN32
    return "另一个程序正在使用歌曲文件" + fileName + ",请关闭它后再试";
#else
    return "无法读取歌曲文件" + fileName;
#endif
  }

 private:
  std::filesystem::path m_path;
#ifdef _WIN32
  HANDLE m_held = INVALID_HANDLE_VALUE;
#else
  mode_t m_mode = 0644;
#endif
};

}  // namespace vx::fixtures
