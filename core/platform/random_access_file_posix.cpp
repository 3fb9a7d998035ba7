// Positioned reads and exclusive creation on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "io/random_access_file.h"
#include "text/native_path.h"

namespace vx {

std::optional<RandomAccessFile> RandomAccessFile::Open(std::string_view gbkPath) {
  const auto native = NativePath(gbkPath);
  int fd;
  do {
    fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
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
    const ssize_t n = ::pread(static_cast<int>(m_handle), out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

NewFileResult WriteNewFileExclusive(std::string_view gbkPath, std::span<const std::uint8_t> bytes) {
  const auto native = NativePath(gbkPath);
  int fd;
  do {
    fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return errno == EEXIST ? NewFileResult::kExists : NewFileResult::kFailed;
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else done += static_cast<std::size_t>(n);
  }
  ok = ::close(fd) == 0 && ok;
  if (!ok) {
    // The file is ours (we just created it), so removing it cannot take anything from the person.
    ::unlink(native.c_str());
    return NewFileResult::kFailed;
  }
  return NewFileResult::kWritten;
}

}  // namespace vx
