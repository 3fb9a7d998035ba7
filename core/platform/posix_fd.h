#pragma once
// What the POSIX platform files share: an owned descriptor and a write that finishes or fails.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace vx::posix {

class Fd {
 public:
  explicit Fd(int fd) : m_fd(fd) {}
  ~Fd() {
    if (m_fd >= 0) ::close(m_fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int Get() const { return m_fd; }
  bool Ok() const { return m_fd >= 0; }
  // Closing can report a write that failed late (NFS, a full disk), so callers that wrote check it.
  bool Close() {
    const int fd = m_fd;
    m_fd = -1;
    return ::close(fd) == 0;
  }

 private:
  int m_fd;
};

inline bool WriteFully(int fd, const void* data, std::size_t length) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::size_t done = 0;
  while (done < length) {
    const ssize_t n = ::write(fd, bytes + done, length - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Flushes the folder that holds `path`, so a rename into it survives a crash.
inline void SyncFolderOf(const std::string& path) {
  const auto folder = std::filesystem::path(path).parent_path();
  Fd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Ok()) ::fsync(dir.Get());
}

}  // namespace vx::posix
