// The locked rewrite on POSIX systems: flock() on the file, checked against the name after waiting.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "core/io/fault_injection.h"
#include "core/io/file_rewrite.h"
#include "core/platform/posix_fd.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

using posix::Fd;
using posix::WriteFully;

// Long enough for any rewrite of another organizer to finish; short enough that a stuck one is reported.
constexpr auto kLockPatience = std::chrono::seconds(10);

bool LockExclusive(int fd) {
  const auto deadline = std::chrono::steady_clock::now() + kLockPatience;
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::optional<Bytes> ReadAll(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return std::nullopt;
  Bytes bytes(static_cast<std::size_t>(st.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

RewriteStatus StatusOfOpenError(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return RewriteStatus::kMissing;
    case EACCES:
    case EPERM:
      return RewriteStatus::kNoPermission;
    case EROFS:
      return RewriteStatus::kReadOnly;
    default:
      return RewriteStatus::kFailed;
  }
}

// The new bytes beside `real`, flushed, renamed over it. On failure the temporary is gone and `real` is
// untouched.
RewriteStatus Replace(const std::string& real, const struct stat& old, const Bytes& bytes) {
  std::string temp = real + std::string(kTemporaryMarker) + "XXXXXX";
  if (FaultInjected(FsCall::kCreate)) return StatusOfOpenError(errno);
  Fd out(::mkostemp(temp.data(), O_CLOEXEC));
  if (!out.Ok()) return StatusOfOpenError(errno);
  // The rename must not change who may read or write the chart.
  ::fchmod(out.Get(), old.st_mode & 07777);
  if (::geteuid() == 0) (void)!::fchown(out.Get(), old.st_uid, old.st_gid);
  bool ok = !FaultInjected(FsCall::kWrite) && WriteFully(out.Get(), bytes.data(), bytes.size());
  ok = ok && !FaultInjected(FsCall::kFlush) && ::fsync(out.Get()) == 0;
  ok = out.Close() && ok;
  ok = ok && !FaultInjected(FsCall::kRename) && ::rename(temp.c_str(), real.c_str()) == 0;
  if (!ok) {
    if (!FaultInjected(FsCall::kRemove)) ::unlink(temp.c_str());
    return RewriteStatus::kFailed;
  }
  posix::SyncFolderOf(real);  // the rename itself is durable too
  return RewriteStatus::kRewritten;
}

}  // namespace

RewriteStatus RewriteFile(std::string_view gbkPath, const std::function<bool(Bytes&)>& change) {
  const std::string path = NativePath(gbkPath).native();
  // A few rounds at most: each one that loses is a rewrite by someone else that finished meanwhile.
  for (int round = 0; round < 50; ++round) {
    // The file a link points to is the one rewritten; the link itself stays as it is.
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return StatusOfOpenError(errno);
    const std::string real(resolved);
    std::free(resolved);

    struct stat named {};
    if (::stat(real.c_str(), &named) != 0) continue;  // replaced or removed between the two looks
    if (!S_ISREG(named.st_mode)) return RewriteStatus::kFailed;
    // No write bit for anyone is how a file is marked read-only here; it holds even for root.
    if ((named.st_mode & 0222) == 0) return RewriteStatus::kReadOnly;

    int raw;
    do {
      raw = ::open(real.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
    } while (raw < 0 && errno == EINTR);
    if (raw < 0) {
      if (errno == ENOENT || errno == ELOOP) continue;
      return StatusOfOpenError(errno);
    }
    Fd fd(raw);
    struct stat opened {};
    if (::fstat(fd.Get(), &opened) != 0 || !S_ISREG(opened.st_mode)) return RewriteStatus::kFailed;
    if (!LockExclusive(fd.Get())) return RewriteStatus::kBusy;
    // While we waited, another rewrite may have renamed its new file over this name; then our lock holds
    // its old file, and reading that would lose its change.
    struct stat now {};
    if (::stat(real.c_str(), &now) != 0 || now.st_dev != opened.st_dev || now.st_ino != opened.st_ino)
      continue;

    auto bytes = ReadAll(fd.Get());
    if (!bytes) return RewriteStatus::kFailed;
    if (!change(*bytes)) return RewriteStatus::kDeclined;
    return Replace(real, opened, *bytes);  // the lock goes with `fd`, after the rename
  }
  return RewriteStatus::kBusy;
}

}  // namespace vx
