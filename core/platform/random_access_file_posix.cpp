// Positioned reads on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "core/io/random_access_file.h"
#include "core/text/native_path.h"

namespace vx {

std::optional<RandomAccessFile> RandomAccessFile::Open(std::string_view gbkPath) {
  const auto native = NativePath(gbkPath);
  int fd;
  do {
    // Non-blocking, so a pipe under an archive's name is refused below instead of waiting for a writer.
    fd = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  return RandomAccessFile(fd, static_cast<std::uint64_t>(st.st_size));
}

RandomAccessFile::~RandomAccessFile() {
  if (m_handle != kNoHandle) ::close(static_cast<int>(m_handle));
}

RandomAccessFile::RandomAccessFile(RandomAccessFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, kNoHandle)), m_size(other.m_size) {}

RandomAccessFile& RandomAccessFile::operator=(RandomAccessFile&& other) noexcept {
  if (this != &other) {
    if (m_handle != kNoHandle) ::close(static_cast<int>(m_handle));
    m_handle = std::exchange(other.m_handle, kNoHandle);
    m_size = other.m_size;
  }
  return *this;
}

bool RandomAccessFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t n = ::pread(static_cast<int>(m_handle), out.data() + done, out.size() - done,
                              static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace vx
