// Moving files and trashing them on POSIX systems (the freedesktop.org trash).
#include <fcntl.h>
#include <stdio.h>  // renameat2
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "platform/posix_fd.h"

#include "io/file_move.h"
#include "text/native_path.h"

namespace vx {
namespace {

using posix::Fd;
using posix::WriteFully;

bool g_forceCopy = false;
std::optional<std::size_t> g_copyFailureAfter;



bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

void SyncFolderOf(const std::string& path) {
  const auto folder = std::filesystem::path(path).parent_path();
  Fd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Ok()) ::fsync(dir.Get());
}

// rename() that refuses to replace. Returns 0 or an errno value.
int RenameNoReplace(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  const int error = errno;
  if (error != EINVAL && error != ENOSYS) return error;
#endif
  // A file system without the flag: a hard link fails on an existing name, and only then is the old
  // name let go. Where links are not possible either, look first and accept the small window.
  if (::link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
    return 0;
  }
  if (errno == EEXIST) return EEXIST;
  if (Exists(to)) return EEXIST;
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// The move across file systems: the source is deleted only once a complete, flushed copy has its name.
MoveResult CopyThenDelete(const std::string& source, const std::string& target, bool replace) {
  Fd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  if (!in.Ok() || ::fstat(in.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return MoveResult::kFailed;
  if (!replace && Exists(target)) return MoveResult::kTargetExists;
  // The same file seen through another mount (a bind mount renames with EXDEV too): copying it over
  // itself and then deleting the source would delete the only copy.
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0 && existing.st_dev == st.st_dev && existing.st_ino == st.st_ino)
    return MoveResult::kFailed;

  std::string temp = target + ".vxtmp-XXXXXX";
  Fd out(::mkostemp(temp.data(), O_CLOEXEC));
  if (!out.Ok()) return MoveResult::kFailed;
  ::fchmod(out.Get(), st.st_mode & 07777);

  bool ok = true;
  std::size_t copied = 0;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(in.Get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    std::size_t chunk = static_cast<std::size_t>(n);
    if (g_copyFailureAfter && copied + chunk > *g_copyFailureAfter) {
      WriteFully(out.Get(), buffer, *g_copyFailureAfter - copied);
      ok = false;
      break;
    }
    if (!WriteFully(out.Get(), buffer, chunk)) {
      ok = false;
      break;
    }
    copied += chunk;
  }
  if (ok) {
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(out.Get(), times);
  }
  ok = ok && ::fsync(out.Get()) == 0;
  ok = out.Close() && ok;
  int renameError = 0;
  if (ok) {
    renameError = replace ? (::rename(temp.c_str(), target.c_str()) == 0 ? 0 : errno) : RenameNoReplace(temp, target);
    ok = renameError == 0;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return renameError == EEXIST ? MoveResult::kTargetExists : MoveResult::kFailed;
  }
  SyncFolderOf(target);
  if (::unlink(source.c_str()) != 0) {
    // The source cannot go, so this is no move: take the copy back rather than leave the song twice.
    ::unlink(target.c_str());
    return MoveResult::kFailed;
  }
  return MoveResult::kMoved;
}

MoveResult MoveNative(const std::string& source, const std::string& target, bool replace) {
  if (!g_forceCopy) {
    const int error = replace ? (::rename(source.c_str(), target.c_str()) == 0 ? 0 : errno)
                              : RenameNoReplace(source, target);
    if (error == 0) return MoveResult::kMoved;
    if (error == EEXIST) return MoveResult::kTargetExists;
    if (error != EXDEV) return MoveResult::kFailed;
  }
  return CopyThenDelete(source, target, replace);
}

// RFC 2396 escaping, which the freedesktop.org trash wants for the Path key.
std::string EscapePath(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       std::string_view("/-_.!~*'()").find(static_cast<char>(c)) != std::string_view::npos;
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::optional<std::filesystem::path> TrashFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome && dataHome[0] == '/') return std::filesystem::path(dataHome) / "Trash";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::filesystem::path(home) / ".local" / "share" / "Trash";
  return std::nullopt;
}

}  // namespace

MoveResult MoveFileTo(std::string_view gbkSource, std::string_view gbkTarget, bool replace) {
  return MoveNative(NativePath(gbkSource).native(), NativePath(gbkTarget).native(), replace);
}

void SetForceCopyingMoveForTesting(bool force) { g_forceCopy = force; }
void SetCopyFailureAfterBytesForTesting(std::optional<std::size_t> bytes) { g_copyFailureAfter = bytes; }

bool MoveToDesktopTrash(std::string_view gbkPath) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path source = fs::absolute(NativePath(gbkPath), ec).lexically_normal();
  if (ec || !Exists(source.native())) return false;
  const auto trash = TrashFolder();
  if (!trash) return false;
  fs::create_directories(*trash / "files", ec);
  fs::create_directories(*trash / "info", ec);

  char date[32];
  const std::time_t now = std::time(nullptr);
  struct tm local {};
  ::localtime_r(&now, &local);
  std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
  const std::string info = "[Trash Info]\nPath=" + EscapePath(source.native()) + "\nDeletionDate=" + date + "\n";

  const std::string stem = source.stem().native(), extension = source.extension().native();
  for (int n = 1; n < 10000; ++n) {
    const std::string name = n == 1 ? source.filename().native() : stem + "." + std::to_string(n) + extension;
    const std::string infoPath = (*trash / "info" / (name + ".trashinfo")).native();
    const std::string filesPath = (*trash / "files" / name).native();
    // The info file is made first and exclusively: it claims the name against other programs trashing
    // at the same moment.
    Fd infoFile(::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!infoFile.Ok()) {
      if (errno == EEXIST) continue;
      return false;
    }
    const bool written = WriteFully(infoFile.Get(), info.data(), info.size()) && infoFile.Close();
    if (!written) {
      ::unlink(infoPath.c_str());
      return false;
    }
    const MoveResult moved = MoveNative(source.native(), filesPath, false);
    if (moved == MoveResult::kMoved) return true;
    ::unlink(infoPath.c_str());
    if (moved != MoveResult::kTargetExists) return false;
  }
  return false;
}

}  // namespace vx
