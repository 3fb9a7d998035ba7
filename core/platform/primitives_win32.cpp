// The platform's primitives on Windows, through the UTF-16 Win32 calls.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cwctype>
#include <string>

#include "core/io/dir_list.h"
#include "core/io/fault_injection.h"
#include "core/platform/primitives.h"
#include "core/platform/win32_text.h"
#include "core/text/native_path.h"

namespace vx {
namespace platform {
namespace {

// Files are opened with full sharing, as the run-time's fopen does, so a chart the game holds open still
// reads.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE H(const File& file) {
  return reinterpret_cast<HANDLE>(file.Native());
}

File Own(HANDLE h) {
  return File(reinterpret_cast<std::intptr_t>(h));
}

HANDLE Open(const Path& path, DWORD access, DWORD disposition, DWORD flags = FILE_ATTRIBUTE_NORMAL) {
  return CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition, flags, nullptr);
}

Failure FailureOf(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS:
      return Failure::kNone;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return Failure::kMissing;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      return Failure::kExists;
    case ERROR_NOT_SAME_DEVICE:
      return Failure::kOtherDevice;
    case ERROR_ACCESS_DENIED:
      return Failure::kNoPermission;
    case ERROR_WRITE_PROTECT:
      return Failure::kReadOnly;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return Failure::kInUse;
    default:
      return Failure::kOther;
  }
}

// The fault-injection seam as the Windows calls fail: with the armed error as the last error.
bool Injected(FsCall call) {
  if (!FaultInjected(call)) return false;
  switch (fault_injection::ArmedErrno()) {
    case ENOSPC:
      SetLastError(ERROR_DISK_FULL);
      break;
    case EACCES:
      SetLastError(ERROR_ACCESS_DENIED);
      break;
    default:
      SetLastError(ERROR_IO_DEVICE);
  }
  return true;
}

// Only a disk file: a pipe, a console or another device under a song's name is none of ours to read.
// A folder never gets this far: without FILE_FLAG_BACKUP_SEMANTICS it does not open. So nothing else
// is asked of the handle unless the size is wanted: a scan opens thousands of charts, and
// GetFileInformationByHandle (it also asks for the volume) cost ten times the open and read together
// under Wine, where GetFileType is answered from the descriptor the read needs anyway.
File KeepRegular(HANDLE h, std::uint64_t* size) {
  File file = Own(h);
  if (!file.Ok() || GetFileType(h) != FILE_TYPE_DISK) return File();
  if (size) {
    LARGE_INTEGER length;
    if (!GetFileSizeEx(h, &length)) return File();
    *size = static_cast<std::uint64_t>(length.QuadPart);
  }
  return file;
}

// The place an open handle really names, with every link and short name resolved; empty when the system
// will not say.
std::wstring FinalPath(HANDLE h) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n =
        GetFinalPathNameByHandleW(h, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(n + 1);
  }
}

// Whether an opened name leads somewhere else than the folder it stands in. Some systems show a link as
// the file it points to, with no reparse point to see (Wine does so for the links of the file system
// beneath it); the place the handle names then differs from the folder's own place plus the name.
bool LeadsElsewhere(const Path& path, HANDLE opened) {
  const Path folder = path.has_parent_path() ? path.parent_path() : Path(L".");
  const File dir = Own(Open(folder, 0, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS));
  if (!dir.Ok()) return false;
  const std::wstring file = FinalPath(opened);
  std::wstring expected = FinalPath(H(dir));
  if (file.empty() || expected.empty()) return false;
  if (expected.back() != L'\\') expected += L'\\';
  expected += path.filename().native();
  return CompareStringOrdinal(file.c_str(), static_cast<int>(file.size()), expected.c_str(),
                              static_cast<int>(expected.size()), TRUE) != CSTR_EQUAL;
}

// A name whose attributes cannot be read may still be there: Wine shows a pipe of the system beneath it
// that way, and it opens as one.
bool IsSomethingElse(const Path& path) {
  const File h = Own(Open(path, 0, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS));
  return h.Ok() && GetFileType(H(h)) != FILE_TYPE_DISK;
}

constexpr DWORD kLockPatienceMs = 10000;

// The lock of a rewrite: a named mutex for the file's final path, which every organizer of this user
// computes alike. None when it could not be had in time.
File LockFor(const std::wstring& finalPath) {
  // File names compare without case here, so the name of the lock must not depend on it either.
  std::uint64_t hash = 1469598103934665603ull;
  for (wchar_t c : finalPath) {
    hash ^= static_cast<std::uint64_t>(std::towlower(c));
    hash *= 1099511628211ull;
  }
  wchar_t name[64];
  wsprintfW(name, L"Local\\vxorganizer-rewrite-%08lx%08lx", static_cast<unsigned long>(hash >> 32),
            static_cast<unsigned long>(hash));
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
  if (!mutex) return File();
  File held = Own(mutex);
  const DWORD waited = WaitForSingleObject(mutex, kLockPatienceMs);
  // An abandoned mutex belonged to an organizer that died; the file is whole either way.
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return File();
  return held;
}

}  // namespace

bool CloseNative(std::intptr_t native) {
  return CloseHandle(reinterpret_cast<HANDLE>(native)) != 0;
}

File OpenRegularForReading(const Path& path, std::uint64_t* size, Failure* why, Inherit* inherit) {
  const HANDLE h = Open(path, GENERIC_READ, OPEN_EXISTING);
  const DWORD error = GetLastError();
  File file = KeepRegular(h, size);
  if (inherit) *inherit = PermissionsOf(file);
  if (why) *why = file.Ok() ? Failure::kNone : h == INVALID_HANDLE_VALUE ? FailureOf(error) : Failure::kOther;
  return file;
}

// Windows offers no lookups relative to an open folder; the names are joined to the folder instead.
File OpenFolderForLookups(const Path&) {
  return File();
}

File OpenRegularInFolder(const File&, const Path&) {
  return File();
}

File OpenListedRegularInFolder(const File&, const Path&) {
  return File();
}

std::optional<std::size_t> ReadAt(const File& file, std::uint64_t offset, std::span<std::uint8_t> out) {
  std::size_t done = 0;
  while (done < out.size()) {
    OVERLAPPED at{};
    const std::uint64_t pos = offset + done;
    at.Offset = static_cast<DWORD>(pos);
    at.OffsetHigh = static_cast<DWORD>(pos >> 32);
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(H(file), out.data() + done, chunk, &got, &at)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      return std::nullopt;
    }
    if (got == 0) break;
    done += got;
  }
  return done;
}

NameKind KindOfName(const Path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return NameKind::kMissing;
    return IsSomethingElse(path) ? NameKind::kOther : NameKind::kUnknown;
  }
  // A symbolic link or a junction: writing through it could land anywhere.
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return NameKind::kLink;
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? NameKind::kOther : NameKind::kRegular;
}

bool NameTaken(const Path& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Besides a link, a name may reach a console or another device (CON), or a pipe.
NameKind OpenForReplace(const Path& path, File& opened) {
  opened =
      Own(Open(path, GENERIC_WRITE, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT));
  if (!opened.Ok()) return NameKind::kUnknown;
  if (GetFileType(H(opened)) != FILE_TYPE_DISK) return NameKind::kOther;
  return LeadsElsewhere(path, H(opened)) ? NameKind::kLink : NameKind::kRegular;
}

bool SameFile(const File& opened, const Path& path) {
  const File other = Own(Open(path, FILE_READ_ATTRIBUTES, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS));
  BY_HANDLE_FILE_INFORMATION a{}, b{};
  return other.Ok() && GetFileInformationByHandle(H(opened), &a) &&
         GetFileInformationByHandle(H(other), &b) && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
         a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

Inherit PermissionsOf(const File&) {
  return {};
}

Failure CreateNew(const Path& path, const Inherit& inherit, File& created) {
  if (Injected(FsCall::kCreate)) return FailureOf(GetLastError());
  created = Own(Open(path, GENERIC_WRITE, CREATE_NEW, FILE_ATTRIBUTE_NORMAL | inherit.bits.value_or(0)));
  if (!created.Ok()) return FailureOf(GetLastError());
  // A name such as CON.txt reaches a device, whatever follows it.
  if (GetFileType(H(created)) != FILE_TYPE_DISK) {
    created = File();
    return Failure::kOther;
  }
  return Failure::kNone;
}

bool Write(const File& file, std::span<const std::uint8_t> bytes) {
  if (Injected(FsCall::kWrite)) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD put = 0;
    if (!WriteFile(H(file), bytes.data() + done, chunk, &put, nullptr) || put == 0) return false;
    done += put;
  }
  return true;
}

bool Flush(const File& file) {
  return !Injected(FsCall::kFlush) && FlushFileBuffers(H(file));
}

// Windows flushes a whole volume only for an administrator, so each file is flushed in turn; the batch
// still saves the wait of one flush per file between the writes.
KernelCopy CopyInKernel(const File&, const File&, std::uint64_t) {
  return KernelCopy::kUnsupported;
}

bool FlushFiles(const std::vector<Path>& paths) {
  if (Injected(FsCall::kFlush)) return false;
  for (const Path& path : paths) {
    const HANDLE h = Open(path, GENERIC_WRITE, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT);
    if (h == INVALID_HANDLE_VALUE) return false;
    const File file = Own(h);
    if (!FlushFileBuffers(h)) return false;
  }
  return true;
}

void CopyTimes(const File&, const File&) {}

Failure Rename(const Path& from, const Path& to, RenameMode mode) {
  const bool replace = mode == RenameMode::kReplace || mode == RenameMode::kReplaceWhenFree;
  // Without MOVEFILE_COPY_ALLOWED this only renames, so a move to another volume comes back to the
  // caller; without MOVEFILE_REPLACE_EXISTING it fails on any existing name, a link included; with it, a
  // link there is replaced itself, never followed.
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  for (int attempt = 0;; ++attempt) {
    if (Injected(FsCall::kRename)) return FailureOf(GetLastError());
    if (MoveFileExW(from.c_str(), to.c_str(), flags)) return Failure::kNone;
    const DWORD error = GetLastError();
    const bool held =
        error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
    if (mode != RenameMode::kReplaceWhenFree || !held || attempt == 99) return FailureOf(error);
    Sleep(20);
  }
}

// MoveFileExW with MOVEFILE_WRITE_THROUGH returns once the rename is on the disk.
void SyncFolderOf(const Path&) {}

Failure Remove(const Path& path) {
  if (Injected(FsCall::kRemove) || !DeleteFileW(path.c_str())) return FailureOf(GetLastError());
  return Failure::kNone;
}

RewriteLock::~RewriteLock() {
  if (m_held.Ok()) ReleaseMutex(H(m_held));
}

// An open handle would make the rename over the file fail, so the lock is a named mutex and the file is
// closed again once read.
Failure HoldForRewrite(const Path& path, HeldForRewrite& held) {
  {
    // Opening follows a link to the file it names; that file is the one rewritten.
    const File look = Own(Open(path, FILE_READ_ATTRIBUTES, OPEN_EXISTING));
    if (!look.Ok()) return FailureOf(GetLastError());
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(H(look)) != FILE_TYPE_DISK || !GetFileInformationByHandle(H(look), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      return Failure::kOther;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return Failure::kReadOnly;
    held.inherit.bits =
        info.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    held.real = FinalPath(H(look));
    if (held.real.empty()) return Failure::kOther;
  }
  File lock = LockFor(held.real.native());
  if (!lock.Ok()) return Failure::kBusy;
  held.lock.Hold(std::move(lock));

  // Asking for write access is how the person's permission to change the file is tested.
  const File file = Own(Open(held.real, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING));
  if (!file.Ok()) return FailureOf(GetLastError());
  LARGE_INTEGER size;
  if (!GetFileSizeEx(H(file), &size)) return Failure::kOther;
  held.bytes.resize(static_cast<std::size_t>(size.QuadPart));
  const auto n = ReadAt(file, 0, held.bytes);
  if (!n) return Failure::kOther;
  held.bytes.resize(*n);
  return Failure::kNone;
}

Path UserDataPath() {
  wchar_t buffer[MAX_PATH * 2];
  const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, MAX_PATH * 2);
  if (n == 0 || n >= MAX_PATH * 2) return {};
  return Path(std::wstring(buffer, n));
}

std::tm LocalTime(std::time_t when) {
  std::tm local{};
  localtime_s(&local, &when);
  return local;
}

}  // namespace platform

// Windows paths are UTF-16, so a folder or title with Chinese characters works whatever the system's
// ANSI code page is.
std::filesystem::path NativePath(std::string_view gbkPath) {
  return std::filesystem::path(win32::WideFromGbk(gbkPath));
}

std::string GbkPath(const std::filesystem::path& native) {
  auto gbk = GbkFromUtf8(win32::Utf8FromWide(native.native()));
  return gbk ? *gbk : std::string();
}

std::optional<std::uint64_t> FileSize(std::string_view gbkPath) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(NativePath(gbkPath).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

bool FileExists(std::string_view gbkPath) {
  return GetFileAttributesW(NativePath(gbkPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool DirectoryExists(std::string_view gbkPath) {
  const DWORD a = GetFileAttributesW(NativePath(gbkPath).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

PathKind KindOfPath(std::string_view gbkPath) {
  const platform::Path path = NativePath(gbkPath);
  const DWORD a = GetFileAttributesW(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) {
    // Wine gives no attributes for a pipe of the system beneath it, yet opens it as one.
    return platform::IsSomethingElse(path) ? PathKind::kOther : PathKind::kMissing;
  }
  if (a & FILE_ATTRIBUTE_DIRECTORY) return PathKind::kFolder;
  return a & FILE_ATTRIBUTE_DEVICE ? PathKind::kOther : PathKind::kRegularFile;
}

// FindFirstFileExW, names handed on in UTF-8.
std::optional<std::vector<FolderEntry>> ListFolderEntries(std::string_view gbkFolder) {
  const std::wstring pattern = NativePath(gbkFolder).native() + L"\\*";
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                 FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return std::vector<FolderEntry>{};
    return std::nullopt;
  }
  std::vector<FolderEntry> entries;
  constexpr DWORD kNotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
  do {
    entries.push_back({win32::Utf8FromWide(data.cFileName), (data.dwFileAttributes & kNotPlain) == 0});
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return entries;
}

std::optional<std::vector<std::string>> ListFolderNames(std::string_view gbkFolder) {
  const std::wstring pattern = NativePath(gbkFolder).native() + L"\\*";
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                 FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return std::vector<std::string>{};
    return std::nullopt;
  }
  std::vector<std::string> names;
  do {
    names.push_back(win32::Utf8FromWide(data.cFileName));
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

}  // namespace vx
