// File access on POSIX systems: plain descriptors, so the scan costs one open, one read and one close.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "core/io/file_io.h"
#include "core/platform/posix_fd.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

using posix::Fd;
using posix::WriteFully;

int OpenNative(std::string_view gbkPath, int flags, mode_t mode = 0) {
  const auto native = NativePath(gbkPath);
  int fd;
  do {
    fd = ::open(native.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Without O_NONBLOCK, opening a pipe waits for a writer that never comes; a terminal must not become
// ours either. Regular files ignore both flags.
constexpr int kNoWaitFlags = O_NONBLOCK | O_NOCTTY;

// Reads until `length` bytes or the end of the file; -1 on an error.
ssize_t ReadFully(int fd, std::uint8_t* data, std::size_t length, off_t offset) {
  std::size_t done = 0;
  while (done < length) {
    const ssize_t n = ::pread(fd, data + done, length - done, offset + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<ssize_t>(done);
}

bool IsRegularFile(int fd, std::uint64_t* size = nullptr) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (size) *size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

// A descriptor for reading a regular file, or none: a device would read endlessly or not at all.
int OpenRegularForReading(std::string_view gbkPath, std::uint64_t* size = nullptr) {
  const int fd = OpenNative(gbkPath, O_RDONLY | kNoWaitFlags);
  if (fd >= 0 && !IsRegularFile(fd, size)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

std::optional<Bytes> ReadFilePrefix(std::string_view gbkPath, std::size_t maxBytes) {
  return ReadFileRange(gbkPath, 0, maxBytes);
}

std::optional<Bytes> ReadFileRange(std::string_view gbkPath, std::uint64_t offset, std::size_t length) {
  Fd fd(OpenRegularForReading(gbkPath));
  if (!fd.Ok()) return std::nullopt;
  Bytes bytes(length);
  const ssize_t n = ReadFully(fd.Get(), bytes.data(), length, static_cast<off_t>(offset));
  if (n < 0) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(n));
  return bytes;
}

std::optional<Bytes> ReadWholeFile(std::string_view gbkPath) {
  std::uint64_t size = 0;
  Fd fd(OpenRegularForReading(gbkPath, &size));
  if (!fd.Ok()) return std::nullopt;
  Bytes bytes(static_cast<std::size_t>(size));
  const ssize_t n = ReadFully(fd.Get(), bytes.data(), bytes.size(), 0);
  if (n < 0) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(n));  // the file may have shrunk since fstat
  return bytes;
}

std::optional<std::uint64_t> FileSize(std::string_view gbkPath) {
  struct stat st {};
  if (::stat(NativePath(gbkPath).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

bool FileExists(std::string_view gbkPath) {
  struct stat st {};
  return ::stat(NativePath(gbkPath).c_str(), &st) == 0;
}

bool DirectoryExists(std::string_view gbkPath) {
  struct stat st {};
  return ::stat(NativePath(gbkPath).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

PathKind KindOfPath(std::string_view gbkPath) {
  struct stat st {};
  if (::stat(NativePath(gbkPath).c_str(), &st) != 0) return PathKind::kMissing;
  if (S_ISREG(st.st_mode)) return PathKind::kRegularFile;
  return S_ISDIR(st.st_mode) ? PathKind::kFolder : PathKind::kOther;
}

FolderReader::FolderReader(std::string_view gbkFolder) : m_folder(gbkFolder) {
  const auto native = gbkFolder.empty() ? std::filesystem::path("/") : NativePath(gbkFolder);
  m_handle = ::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

FolderReader::~FolderReader() {
  if (m_handle >= 0) ::close(m_handle);
}

std::optional<std::size_t> FolderReader::ReadPrefix(std::string_view gbkName,
                                                    std::span<std::uint8_t> buffer) {
  int raw;
  if (m_handle >= 0) {
    const std::string native = NativePath(gbkName).native();
    do {
      raw = ::openat(m_handle, native.c_str(), O_RDONLY | kNoWaitFlags | O_CLOEXEC);
    } while (raw < 0 && errno == EINTR);
  } else {
    raw = OpenNative(JoinPath(m_folder, gbkName),
                     O_RDONLY | kNoWaitFlags);  // a folder we may enter but not open
  }
  Fd fd(raw);
  if (!fd.Ok() || !IsRegularFile(fd.Get())) return std::nullopt;
  const ssize_t n = ReadFully(fd.Get(), buffer.data(), buffer.size(), 0);
  if (n < 0) return std::nullopt;
  return static_cast<std::size_t>(n);
}

}  // namespace vx
