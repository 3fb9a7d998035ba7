// Output files on POSIX systems: a temporary file beside the target, renamed onto it once complete.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <random>
#include <string>

#include "core/io/fault_injection.h"
#include "core/io/file_io.h"
#include "core/platform/posix_fd.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

using posix::Fd;
using posix::SyncFolderOf;

// A fresh name beside the target, created exclusively and never through a link. The suffix is the one
// every rewrite here uses, so the library check can list what a killed write left behind.
Fd CreateTemporary(const std::string& target, std::string& temp) {
  static std::atomic<unsigned> counter{0};
  thread_local std::mt19937 random{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".vxtmp-%x%x", static_cast<unsigned>(random()), counter++);
    temp = target + suffix;
    if (FaultInjected(FsCall::kCreate)) return Fd(-1);
    int fd;
    do {
      fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0 || errno != EEXIST) return Fd(fd);
  }
  return Fd(-1);
}

// What the target's name holds now, without following a link there.
enum class Existing { kNone, kRegular, kLink, kOther, kUnknown };

Existing Examine(const std::string& target, struct stat& st) {
  if (::lstat(target.c_str(), &st) != 0) return errno == ENOENT ? Existing::kNone : Existing::kUnknown;
  if (S_ISLNK(st.st_mode)) return Existing::kLink;
  return S_ISREG(st.st_mode) ? Existing::kRegular : Existing::kOther;
}

// The old file must be one we could have written in place, as a plain create-and-truncate would have
// needed; opening it without following a link also proves that it is still a regular file.
bool WritableRegular(const std::string& target) {
  int fd;
  do {
    fd = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  Fd file(fd);
  struct stat st {};
  return file.Ok() && ::fstat(file.Get(), &st) == 0 && S_ISREG(st.st_mode);
}

// Puts the finished temporary under the target's name without ever replacing what is there. Not every
// file system takes the no-replace rename; a hard link is the same promise on those that do not.
OutputResult PublishKeepingExisting(const std::string& temp, const std::string& target) {
#ifdef RENAME_NOREPLACE
  if (FaultInjected(FsCall::kRename)) return OutputResult::kFailed;
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
    return OutputResult::kWritten;
  if (errno == EEXIST) return OutputResult::kExists;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return OutputResult::kFailed;
#endif
  if (FaultInjected(FsCall::kLink)) return OutputResult::kFailed;
  if (::link(temp.c_str(), target.c_str()) == 0) {
    // The temporary's own name may stay if this fails; the check lists it, and the output is whole.
    if (!FaultInjected(FsCall::kRemove)) ::unlink(temp.c_str());
    return OutputResult::kWritten;
  }
  return errno == EEXIST ? OutputResult::kExists : OutputResult::kFailed;
}

}  // namespace

OutputResult WriteOutputFile(std::string_view gbkPath, const OutputProducer& produce, OutputMode mode) {
  const std::string target = NativePath(gbkPath).native();
  struct stat old {};
  switch (Examine(target, old)) {
    case Existing::kNone:
      break;
    case Existing::kLink:
      return mode == OutputMode::kKeepExisting ? OutputResult::kExists : OutputResult::kLink;
    case Existing::kOther:
      return mode == OutputMode::kKeepExisting ? OutputResult::kExists : OutputResult::kNotRegular;
    case Existing::kRegular:
      if (mode == OutputMode::kKeepExisting) return OutputResult::kExists;
      if (!WritableRegular(target)) return OutputResult::kFailed;
      break;
    case Existing::kUnknown:
      return OutputResult::kFailed;
  }

  std::string temp;
  Fd fd = CreateTemporary(target, temp);
  if (!fd.Ok()) return OutputResult::kFailed;
  // Whoever could read the old file can read the new one, and nobody else.
  if (old.st_mode != 0) ::fchmod(fd.Get(), old.st_mode & 07777);
  const int raw = fd.Get();
  bool ok = produce([raw](std::span<const std::uint8_t> bytes) {
    return !FaultInjected(FsCall::kWrite) && posix::WriteFully(raw, bytes.data(), bytes.size());
  });
  ok = ok && !FaultInjected(FsCall::kFlush) && ::fsync(raw) == 0;
  ok = fd.Close() && ok;
  OutputResult result = OutputResult::kFailed;
  if (ok) {
    if (mode == OutputMode::kKeepExisting)
      result = PublishKeepingExisting(temp, target);
    else if (!FaultInjected(FsCall::kRename) &&
             ::rename(temp.c_str(), target.c_str()) ==
                 0)  // replaces a link that appeared meanwhile, never follows it
      result = OutputResult::kWritten;
  }
  if (result != OutputResult::kWritten) {
    if (!FaultInjected(FsCall::kRemove)) ::unlink(temp.c_str());
    return result;
  }
  SyncFolderOf(target);
  return OutputResult::kWritten;
}

}  // namespace vx
