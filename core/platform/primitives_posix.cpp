// The platform's primitives on POSIX systems: plain descriptors, so a scan costs one open, one read and one
// close per chart.
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>  // renameat2
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "core/io/dir_list.h"
#include "core/io/fault_injection.h"
#include "core/platform/primitives.h"
#include "core/text/native_path.h"

namespace vx {
namespace platform {
namespace {

int Fd(const File& file) {
  return static_cast<int>(file.Native());
}

Failure FailureOf(int error) {
  switch (error) {
    case 0:
      return Failure::kNone;
    case ENOENT:
    case ENOTDIR:
      return Failure::kMissing;
    case EEXIST:
      return Failure::kExists;
    case EXDEV:
      return Failure::kOtherDevice;
    case EACCES:
    case EPERM:
      return Failure::kNoPermission;
    case EROFS:
      return Failure::kReadOnly;
    default:
      return Failure::kOther;
  }
}

// The answer of a call that changes the file system, after the fault-injection seam had its say.
template <typename Call>
Failure Changed(FsCall call, const Call& change) {
  if (FaultInjected(call)) return FailureOf(errno);
  return change() == 0 ? Failure::kNone : FailureOf(errno);
}

int OpenAt(int folder, const char* path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::openat(folder, path, flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Without O_NONBLOCK, opening a pipe waits for a writer that never comes; a terminal must not become
// ours either. Regular files ignore both flags.
constexpr int kNoWaitFlags = O_NONBLOCK | O_NOCTTY;

// Only a regular file: a device would read endlessly or not at all.
File KeepRegular(int fd, std::uint64_t* size, Inherit* inherit = nullptr) {
  File file(fd);
  struct stat st {};
  if (!file.Ok() || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return File();
  if (size) *size = static_cast<std::uint64_t>(st.st_size);
  if (inherit) *inherit = Inherit{st.st_mode & 07777u, std::nullopt, std::nullopt};
  return file;
}

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

// rename() that refuses to replace. Not every file system takes the flag; a hard link is the same promise
// on those that do not, and the old name is let go only then.
Failure RenameNoReplace(const Path& from, const Path& to, RenameMode mode) {
#ifdef RENAME_NOREPLACE
  if (FaultInjected(FsCall::kRename)) return FailureOf(errno);
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return Failure::kNone;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return FailureOf(errno);
#endif
  if (FaultInjected(FsCall::kLink)) return FailureOf(errno);
  if (::link(from.c_str(), to.c_str()) == 0) {
    const Failure removed = Remove(from);
    if (removed == Failure::kNone || mode == RenameMode::kKeep) return Failure::kNone;
    ::unlink(to.c_str());  // the second name goes again, so the file is where it was
    return removed;
  }
  if (errno == EEXIST || mode == RenameMode::kKeep) return FailureOf(errno);
  // Where links are not possible either, look first and accept the small window.
  if (NameTaken(to)) return Failure::kExists;
  return Changed(FsCall::kRename, [&] { return ::rename(from.c_str(), to.c_str()); });
}

}  // namespace

bool CloseNative(std::intptr_t native) {
  return ::close(static_cast<int>(native)) == 0;
}

File OpenRegularForReading(const Path& path, std::uint64_t* size, Failure* why, Inherit* inherit) {
  const int fd = OpenAt(AT_FDCWD, path.c_str(), O_RDONLY | kNoWaitFlags);
  const int error = errno;
  File file = KeepRegular(fd, size, inherit);
  if (why) *why = file.Ok() ? Failure::kNone : fd < 0 ? FailureOf(error) : Failure::kOther;
  return file;
}

File OpenFolderForLookups(const Path& folder) {
  return File(OpenAt(AT_FDCWD, folder.c_str(), O_RDONLY | O_DIRECTORY));
}

File OpenRegularInFolder(const File& folder, const Path& name) {
  return KeepRegular(OpenAt(Fd(folder), name.c_str(), O_RDONLY | kNoWaitFlags), nullptr);
}

File OpenListedRegularInFolder(const File& folder, const Path& name) {
  // The listing said regular, so no fstat: a name that has since become a link is not followed, and one
  // that has become a pipe or device opens without waiting and reads as what it is, never blocking.
  return File(OpenAt(Fd(folder), name.c_str(), O_RDONLY | kNoWaitFlags | O_NOFOLLOW));
}

std::optional<std::size_t> ReadAt(const File& file, std::uint64_t offset, std::span<std::uint8_t> out) {
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t n =
        ::pread(Fd(file), out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

NameKind KindOfName(const Path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? NameKind::kMissing : NameKind::kUnknown;
  if (S_ISLNK(st.st_mode)) return NameKind::kLink;
  return S_ISREG(st.st_mode) ? NameKind::kRegular : NameKind::kOther;
}

bool NameTaken(const Path& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

NameKind OpenForReplace(const Path& path, File& opened) {
  // Opening without following a link also proves that it is still a regular file.
  opened = KeepRegular(OpenAt(AT_FDCWD, path.c_str(), O_WRONLY | O_NOFOLLOW | kNoWaitFlags), nullptr);
  return opened.Ok() ? NameKind::kRegular : NameKind::kUnknown;
}

bool SameFile(const File& opened, const Path& path) {
  struct stat a {
  }, b{};
  return ::fstat(Fd(opened), &a) == 0 && ::stat(path.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
         a.st_ino == b.st_ino;
}

Inherit PermissionsOf(const File& file) {
  struct stat st {};
  if (::fstat(Fd(file), &st) != 0) return {};
  return Inherit{st.st_mode & 07777u, std::nullopt, std::nullopt};
}

// The process's umask, read once without changing it (umask() tells it only by setting it, which
// another thread would see meanwhile); none where the system cannot say. The program never sets it.
std::optional<mode_t> ProcessUmask() {
#ifdef __linux__
  static const std::optional<mode_t> mask = []() -> std::optional<mode_t> {
    std::FILE* status = std::fopen("/proc/self/status", "re");
    if (!status) return std::nullopt;
    std::optional<mode_t> found;
    char line[256];
    while (!found && std::fgets(line, sizeof line, status))
      if (std::string_view(line).starts_with("Umask:"))
        found = static_cast<mode_t>(std::strtoul(line + 6, nullptr, 8));
    std::fclose(status);
    return found;
  }();
  return mask;
#else
  return std::nullopt;
#endif
}

Failure CreateNew(const Path& path, const Inherit& inherit, File& created) {
  if (FaultInjected(FsCall::kCreate)) return FailureOf(errno);
  // Made with the bits it inherits from the start (never more open than its original, even for a
  // moment); set again only where the umask took some away, which a copy of a thousand files mostly
  // spares.
  const mode_t bits = inherit.bits.value_or(0666);
  created = File(OpenAt(AT_FDCWD, path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, bits & 0777));
  if (!created.Ok()) return FailureOf(errno);
  // A replacement must not change who may read or write the file; only root may give it away.
  const auto mask = ProcessUmask();
  if (inherit.bits && (!mask || (bits & (*mask | 07000)) != 0)) ::fchmod(Fd(created), bits);
  if (inherit.owner && inherit.group && ::geteuid() == 0)
    (void)!::fchown(Fd(created), *inherit.owner, *inherit.group);
  return Failure::kNone;
}

bool Write(const File& file, std::span<const std::uint8_t> bytes) {
  if (FaultInjected(FsCall::kWrite)) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(Fd(file), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

KernelCopy CopyInKernel(const File& in, const File& out, std::uint64_t length) {
#ifdef __linux__
  if (FaultInjected(FsCall::kWrite)) return KernelCopy::kFailed;
  loff_t from = 0;
  for (std::uint64_t done = 0; done < length;) {
    const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(length - done, 1u << 30));
    const ssize_t n = ::copy_file_range(Fd(in), &from, Fd(out), nullptr, chunk, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && done == 0 &&
        (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EPERM ||
         errno == ETXTBSY))
      return KernelCopy::kUnsupported;
    if (n < 0) return KernelCopy::kFailed;
    if (n == 0) break;  // `in` ended sooner
    done += static_cast<std::uint64_t>(n);
  }
  return KernelCopy::kDone;
#else
  (void)in, (void)out, (void)length;
  return KernelCopy::kUnsupported;
#endif
}

bool Flush(const File& file) {
  return !FaultInjected(FsCall::kFlush) && ::fsync(Fd(file)) == 0;
}

bool FlushFiles(const std::vector<Path>& paths) {
  if (FaultInjected(FsCall::kFlush)) return false;
  if (paths.empty()) return true;
#ifdef __linux__
  // One flush of the file system the batch lies on: the files were written just before, and whatever
  // else the file system had to write is a small price next to one journal commit per file. The files
  // are new, made in their folders, so each lies on its folder's file system: the folders are asked, not
  // every file (a batch is mostly one folder).
  std::vector<Path> folders;
  for (const Path& path : paths)
    if (std::find(folders.begin(), folders.end(), path.parent_path()) == folders.end())
      folders.push_back(path.parent_path());
  const auto folderName = [](const Path& folder) { return folder.empty() ? Path(".") : folder; };
  const File one(OpenAt(AT_FDCWD, folderName(folders.front()).c_str(), O_RDONLY | O_DIRECTORY));
  if (one.Ok()) {
    bool sameSystem = true;
    struct stat first {};
    if (::fstat(Fd(one), &first) != 0) sameSystem = false;
    for (std::size_t i = 1; sameSystem && i < folders.size(); ++i) {
      struct stat st {};
      sameSystem = ::stat(folderName(folders[i]).c_str(), &st) == 0 && st.st_dev == first.st_dev;
    }
    if (sameSystem) return ::syncfs(Fd(one)) == 0;
  }
#endif
  for (const Path& path : paths) {
    const File file(OpenAt(AT_FDCWD, path.c_str(), O_RDONLY | kNoWaitFlags | O_NOFOLLOW));
    if (!file.Ok() || ::fsync(Fd(file)) != 0) return false;
  }
  return true;
}

void CopyTimes(const File& from, const File& to) {
  struct stat st {};
  if (::fstat(Fd(from), &st) != 0) return;
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  ::futimens(Fd(to), times);
}

Failure Rename(const Path& from, const Path& to, RenameMode mode) {
  if (mode == RenameMode::kKeep || mode == RenameMode::kKeepOrLookFirst)
    return RenameNoReplace(from, to, mode);
  // Replaces a link at `to` itself, never what it points to.
  return Changed(FsCall::kRename, [&] { return ::rename(from.c_str(), to.c_str()); });
}

void SyncFolderOf(const Path& path) {
  const Path folder = path.parent_path();
  const File dir(OpenAt(AT_FDCWD, folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY));
  if (dir.Ok()) ::fsync(Fd(dir));
}

Failure Remove(const Path& path) {
  return Changed(FsCall::kRemove, [&] { return ::unlink(path.c_str()); });
}

RewriteLock::~RewriteLock() = default;  // closing the descriptor lets the lock go

Failure HoldForRewrite(const Path& path, HeldForRewrite& held) {
  // A few rounds at most: each one that loses is a rewrite by someone else that finished meanwhile.
  for (int round = 0; round < 50; ++round) {
    // The file a link points to is the one rewritten; the link itself stays as it is.
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved) return FailureOf(errno);
    held.real = resolved.get();

    struct stat named {};
    if (::stat(held.real.c_str(), &named) != 0) continue;  // replaced or removed between the two looks
    if (!S_ISREG(named.st_mode)) return Failure::kOther;
    // No write bit for anyone is how a file is marked read-only here; it holds even for root.
    if ((named.st_mode & 0222) == 0) return Failure::kReadOnly;

    File file(OpenAt(AT_FDCWD, held.real.c_str(), O_RDWR | kNoWaitFlags | O_NOFOLLOW));
    if (!file.Ok()) {
      if (errno == ENOENT || errno == ELOOP) continue;
      return FailureOf(errno);
    }
    struct stat opened {};
    if (::fstat(Fd(file), &opened) != 0 || !S_ISREG(opened.st_mode)) return Failure::kOther;
    if (!LockExclusive(Fd(file))) return Failure::kBusy;
    // While we waited, another rewrite may have renamed its new file over this name; then our lock holds
    // its old file, and reading that would lose its change.
    struct stat now {};
    if (::stat(held.real.c_str(), &now) != 0 || now.st_dev != opened.st_dev || now.st_ino != opened.st_ino)
      continue;

    if (::fstat(Fd(file), &opened) != 0) return Failure::kOther;
    held.bytes.resize(static_cast<std::size_t>(opened.st_size));
    const auto n = ReadAt(file, 0, held.bytes);
    if (!n) return Failure::kOther;
    held.bytes.resize(*n);
    held.inherit = Inherit{opened.st_mode & 07777u, opened.st_uid, opened.st_gid};
    held.lock.Hold(std::move(file));
    return Failure::kNone;
  }
  return Failure::kBusy;
}

Path UserDataPath() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome && dataHome[0] == '/') return Path(dataHome);
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return Path(home) / ".local" / "share";
  return {};
}

std::tm LocalTime(std::time_t when) {
  std::tm local{};
  ::localtime_r(&when, &local);
  return local;
}

}  // namespace platform

// POSIX file systems take bytes; ours are UTF-8, so a GBK path is converted to UTF-8.
std::filesystem::path NativePath(std::string_view gbkPath) {
  return std::filesystem::path(Utf8FromGbk(gbkPath));
}

std::string GbkPath(const std::filesystem::path& native) {
  auto gbk = GbkFromUtf8(native.native());
  return gbk ? *gbk : std::string();
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

// readdir, no stat per entry.
std::optional<std::vector<FolderEntry>> ListFolderEntries(std::string_view gbkFolder) {
  const auto native = gbkFolder.empty() ? std::filesystem::path("/") : NativePath(gbkFolder);
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(native.c_str()), &::closedir);
  if (!dir) return std::nullopt;
  std::vector<FolderEntry> entries;
  while (const dirent* entry = ::readdir(dir.get()))
    entries.push_back({entry->d_name, entry->d_type == DT_REG});
  return entries;
}

std::optional<std::vector<std::string>> ListFolderNames(std::string_view gbkFolder) {
  // An empty folder setting names the root, as the song paths built from it do.
  const auto native = gbkFolder.empty() ? std::filesystem::path("/") : NativePath(gbkFolder);
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(native.c_str()), &::closedir);
  if (!dir) return std::nullopt;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir.get())) names.emplace_back(entry->d_name);
  return names;
}

}  // namespace vx
