// Moving files and trashing them on POSIX systems (the freedesktop.org trash).
#include <fcntl.h>
#include <stdio.h>  // renameat2
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <string>

#include "core/io/fault_injection.h"
#include "core/io/file_move.h"
#include "core/io/file_rewrite.h"
#include "core/platform/posix_fd.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

using posix::Fd;
using posix::SyncFolderOf;
using posix::WriteFully;

bool g_forceCopy = false;

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// The calls below change the file system, so each passes the fault-injection seam first.
int Unlink(const std::string& path) {
  return FaultInjected(FsCall::kRemove) ? -1 : ::unlink(path.c_str());
}

int Rename(const std::string& from, const std::string& to) {
  return FaultInjected(FsCall::kRename) ? -1 : ::rename(from.c_str(), to.c_str());
}

// rename() that refuses to replace. Returns 0 or an errno value.
int RenameNoReplace(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
  if (FaultInjected(FsCall::kRename)) return errno;
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  const int error = errno;
  if (error != EINVAL && error != ENOSYS) return error;
#endif
  // A file system without the flag: a hard link fails on an existing name, and only then is the old
  // name let go. Where links are not possible either, look first and accept the small window.
  if (FaultInjected(FsCall::kLink)) return errno;
  if (::link(from.c_str(), to.c_str()) == 0) {
    if (Unlink(from) == 0) return 0;
    const int error = errno;
    ::unlink(to.c_str());  // the second name goes again, so the file is where it was
    return error;
  }
  if (errno == EEXIST) return EEXIST;
  if (Exists(to)) return EEXIST;
  return Rename(from, to) == 0 ? 0 : errno;
}

// A flushed copy of `in` (of `st`) in a new temporary file beside `target`; its path, or empty with nothing
// left behind.
std::optional<std::string> CopyToTemporary(int in, const struct stat& st, const std::string& target) {
  std::string temp = target + std::string(kTemporaryMarker) + "XXXXXX";
  if (FaultInjected(FsCall::kCreate)) return std::nullopt;
  Fd out(::mkostemp(temp.data(), O_CLOEXEC));
  if (!out.Ok()) return std::nullopt;
  ::fchmod(out.Get(), st.st_mode & 07777);
  bool ok = true;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    if (FaultInjected(FsCall::kWrite) || !WriteFully(out.Get(), buffer, static_cast<std::size_t>(n))) {
      ok = false;
      break;
    }
  }
  if (ok) {
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(out.Get(), times);
  }
  ok = ok && !FaultInjected(FsCall::kFlush) && ::fsync(out.Get()) == 0;
  ok = out.Close() && ok;
  if (!ok) {
    Unlink(temp);
    return std::nullopt;
  }
  return temp;
}

// Opens a file to read it whole: never a FIFO or a device, which could block or never end.
int OpenRegular(const std::string& path, struct stat& st) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return -1;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// The move across file systems: the source is deleted only once a complete, flushed copy has its name.
MoveResult CopyThenDelete(const std::string& source, const std::string& target, bool replace) {
  struct stat st {};
  Fd in(OpenRegular(source, st));
  if (!in.Ok()) return MoveResult::kFailed;
  if (!replace && Exists(target)) return MoveResult::kTargetExists;
  // The same file seen through another mount (a bind mount renames with EXDEV too): copying it over
  // itself and then deleting the source would delete the only copy.
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0 && existing.st_dev == st.st_dev && existing.st_ino == st.st_ino)
    return MoveResult::kFailed;

  const auto temp = CopyToTemporary(in.Get(), st, target);
  if (!temp) return MoveResult::kFailed;
  const int renameError = replace ? (Rename(*temp, target) == 0 ? 0 : errno) : RenameNoReplace(*temp, target);
  if (renameError != 0) {
    Unlink(*temp);
    return renameError == EEXIST ? MoveResult::kTargetExists : MoveResult::kFailed;
  }
  SyncFolderOf(target);
  if (Unlink(source) != 0) {
    // The source cannot go, so this is no move: take the copy back rather than leave the song twice.
    Unlink(target);
    return MoveResult::kFailed;
  }
  return MoveResult::kMoved;
}

MoveResult MoveNative(const std::string& source, const std::string& target, bool replace) {
  if (!g_forceCopy) {
    const int error = replace ? (Rename(source, target) == 0 ? 0 : errno) : RenameNoReplace(source, target);
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

bool MakeFolders(const std::filesystem::path& folder) {
  std::error_code ec;
  if (std::filesystem::is_directory(folder, ec)) return true;
  if (FaultInjected(FsCall::kMakeFolder)) return false;
  std::filesystem::create_directories(folder, ec);
  return std::filesystem::is_directory(folder, ec);
}

// Where a trashed file went, so it can be brought back.
struct TrashEntry {
  std::string original, file, info;
};

std::optional<TrashEntry> TrashOne(const std::string& gbkPath) {
  namespace fs = std::filesystem;
  if (FaultInjected(FsCall::kTrash)) return std::nullopt;
  std::error_code ec;
  const fs::path source = fs::absolute(NativePath(gbkPath), ec).lexically_normal();
  if (ec || !Exists(source.native())) return std::nullopt;
  const auto trash = TrashFolder();
  if (!trash || !MakeFolders(*trash / "files") || !MakeFolders(*trash / "info")) return std::nullopt;

  char date[32];
  const std::time_t now = std::time(nullptr);
  struct tm local {};
  ::localtime_r(&now, &local);
  std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
  const std::string info =
      "[Trash Info]\nPath=" + EscapePath(source.native()) + "\nDeletionDate=" + date + "\n";

  const std::string stem = source.stem().native(), extension = source.extension().native();
  for (int n = 1; n < 10000; ++n) {
    const std::string name = n == 1 ? source.filename().native() : stem + "." + std::to_string(n) + extension;
    const std::string infoPath = (*trash / "info" / (name + ".trashinfo")).native();
    const std::string filesPath = (*trash / "files" / name).native();
    // The info file is made first and exclusively: it claims the name against other programs trashing
    // at the same moment.
    if (FaultInjected(FsCall::kCreate)) return std::nullopt;
    Fd infoFile(::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!infoFile.Ok()) {
      if (errno == EEXIST) continue;
      return std::nullopt;
    }
    const bool written = !FaultInjected(FsCall::kWrite) &&
                         WriteFully(infoFile.Get(), info.data(), info.size()) && infoFile.Close();
    if (!written) {
      Unlink(infoPath);
      return std::nullopt;
    }
    const MoveResult moved = MoveNative(source.native(), filesPath, false);
    if (moved == MoveResult::kMoved) return TrashEntry{source.native(), filesPath, infoPath};
    Unlink(infoPath);
    if (moved != MoveResult::kTargetExists) return std::nullopt;
  }
  return std::nullopt;
}

// What this program trashed lately, so a step that fails after a trash can take it back.
std::mutex g_recentMutex;
std::vector<TrashEntry> g_recent;
constexpr std::size_t kRecentKept = 64;

bool Restore(const TrashEntry& entry) {
  if (MoveNative(entry.file, entry.original, false) != MoveResult::kMoved) return false;
  // An info file without its file would show the person an entry that cannot be restored.
  Unlink(entry.info);
  return true;
}

}  // namespace

MoveResult MoveFileTo(std::string_view gbkSource, std::string_view gbkTarget, bool replace) {
  return MoveNative(NativePath(gbkSource).native(), NativePath(gbkTarget).native(), replace);
}

bool RemoveFile(std::string_view gbkPath) {
  const std::string path = NativePath(gbkPath).native();
  return Unlink(path) == 0 || (errno == ENOENT && !Exists(path));
}

std::optional<std::string> CopyBeside(std::string_view gbkSource, std::string_view gbkTarget) {
  struct stat st {};
  Fd in(OpenRegular(NativePath(gbkSource).native(), st));
  if (!in.Ok()) return std::nullopt;
  const auto temp = CopyToTemporary(in.Get(), st, NativePath(gbkTarget).native());
  if (!temp) return std::nullopt;
  return GbkPath(*temp);
}

bool CreateFolders(std::string_view gbkPath) {
  return MakeFolders(NativePath(gbkPath));
}

void SetForceCopyingMoveForTesting(bool force) {
  g_forceCopy = force;
}

AllOrNone MoveFilesToTrash(const std::vector<std::string>& gbkPaths) {
  std::vector<TrashEntry> trashed;
  for (const std::string& path : gbkPaths) {
    if (auto entry = TrashOne(path)) {
      trashed.push_back(std::move(*entry));
      continue;
    }
    bool undone = true;
    for (auto it = trashed.rbegin(); it != trashed.rend(); ++it) undone = Restore(*it) && undone;
    return undone ? AllOrNone::kNone : AllOrNone::kPartial;
  }
  std::lock_guard lock(g_recentMutex);
  g_recent.insert(g_recent.end(), trashed.begin(), trashed.end());
  if (g_recent.size() > kRecentKept) g_recent.erase(g_recent.begin(), g_recent.end() - kRecentKept);
  return AllOrNone::kAll;
}

bool RestoreFromTrash(const std::vector<std::string>& gbkPaths) {
  namespace fs = std::filesystem;
  std::vector<TrashEntry> wanted;
  {
    std::lock_guard lock(g_recentMutex);
    for (const std::string& gbk : gbkPaths) {
      std::error_code ec;
      const std::string original = fs::absolute(NativePath(gbk), ec).lexically_normal().native();
      const auto it = std::find_if(g_recent.rbegin(), g_recent.rend(),
                                   [&](const TrashEntry& e) { return e.original == original; });
      if (it == g_recent.rend()) return false;
      wanted.push_back(*it);
    }
  }
  std::vector<TrashEntry> restored;
  for (const TrashEntry& entry : wanted) {
    if (Restore(entry)) {
      restored.push_back(entry);
      continue;
    }
    // All or none: what came back goes into the trash again, under the names it had there.
    for (const TrashEntry& back : restored) MoveNative(back.original, back.file, false);
    return false;
  }
  std::lock_guard lock(g_recentMutex);
  std::erase_if(g_recent, [&](const TrashEntry& e) {
    return std::any_of(restored.begin(), restored.end(),
                       [&](const TrashEntry& r) { return r.file == e.file; });
  });
  return true;
}

}  // namespace vx
