// Moving files and trashing them on Windows.
#include <windows.h>

#include <shellapi.h>
#include "core/platform/win32_handle.h"

#include <filesystem>
#include <string>
#include <vector>

#include "core/io/fault_injection.h"
#include "core/io/file_move.h"
#include "core/io/file_rewrite.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

using win32::Handle;
using win32::Injected;
using win32::kShareAll;

bool g_forceCopy = false;

bool Delete(const std::wstring& path) {
  return !Injected(FsCall::kRemove) && DeleteFileW(path.c_str());
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A file opened to be read whole: a disk file, never a pipe or a device, which could block or never end.
HANDLE OpenRegular(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return h;
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    CloseHandle(h);
    return INVALID_HANDLE_VALUE;
  }
  return h;
}

// A flushed copy of `in` in a new temporary file beside `target`; its path, or empty with nothing left.
std::optional<std::wstring> CopyToTemporary(HANDLE in, const std::wstring& target) {
  std::wstring temp;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (unsigned n = GetCurrentProcessId(); created == INVALID_HANDLE_VALUE; ++n) {
    temp = target + std::wstring(kTemporaryMarker.begin(), kTemporaryMarker.end()) + std::to_wstring(n);
    if (Injected(FsCall::kCreate)) return std::nullopt;
    created = CreateFileW(temp.c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                          nullptr);
    if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return std::nullopt;
  }
  Handle out(created);
  bool ok = true;
  static char buffer[1 << 16];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(in, buffer, sizeof buffer, &got, nullptr)) ok = false;
    if (!ok || got == 0) break;
    DWORD written = 0;
    if (Injected(FsCall::kWrite) || !WriteFile(out.Get(), buffer, got, &written, nullptr) || written != got) {
      ok = false;
      break;
    }
  }
  ok = ok && !Injected(FsCall::kFlush) && FlushFileBuffers(out.Get());
  ok = out.Close() && ok;
  if (!ok) {
    Delete(temp);
    return std::nullopt;
  }
  return temp;
}

// The move across volumes: the source is deleted only once a complete, flushed copy has its name.
MoveResult CopyThenDelete(const std::wstring& source, const std::wstring& target, bool replace) {
  Handle in(OpenRegular(source));
  if (!in.Ok()) return MoveResult::kFailed;
  if (!replace && Exists(target)) return MoveResult::kTargetExists;
  // The same file under another name (a mounted folder, a hard link): copying it over itself and then
  // deleting the source would delete the only copy.
  Handle existing(CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION a{}, b{};
  if (existing.Ok() && GetFileInformationByHandle(in.Get(), &a) &&
      GetFileInformationByHandle(existing.Get(), &b) && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
      a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow)
    return MoveResult::kFailed;
  if (existing.Ok()) existing.Close();
  const auto temp = CopyToTemporary(in.Get(), target);
  if (!temp) return MoveResult::kFailed;
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  if (Injected(FsCall::kRename) || !MoveFileExW(temp->c_str(), target.c_str(), flags)) {
    const DWORD error = GetLastError();
    Delete(*temp);
    return error == ERROR_ALREADY_EXISTS ? MoveResult::kTargetExists : MoveResult::kFailed;
  }
  in.Close();
  if (!Delete(source)) {
    // The source cannot go, so this is no move: take the copy back rather than leave the song twice.
    Delete(target);
    return MoveResult::kFailed;
  }
  return MoveResult::kMoved;
}

}  // namespace

MoveResult MoveFileTo(std::string_view gbkSource, std::string_view gbkTarget, bool replace) {
  const std::wstring source = NativePath(gbkSource).native(), target = NativePath(gbkTarget).native();
  if (!g_forceCopy) {
    // Without the copy flag MoveFileEx only renames, so a move to another volume comes back to us.
    if (Injected(FsCall::kRename)) return MoveResult::kFailed;
    if (MoveFileExW(source.c_str(), target.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0))
      return MoveResult::kMoved;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return MoveResult::kTargetExists;
    if (error != ERROR_NOT_SAME_DEVICE) return MoveResult::kFailed;
  }
  return CopyThenDelete(source, target, replace);
}

bool RemoveFile(std::string_view gbkPath) {
  const std::wstring path = NativePath(gbkPath).native();
  return Delete(path) || (GetLastError() == ERROR_FILE_NOT_FOUND && !Exists(path));
}

std::optional<std::string> CopyBeside(std::string_view gbkSource, std::string_view gbkTarget) {
  Handle in(OpenRegular(NativePath(gbkSource).native()));
  if (!in.Ok()) return std::nullopt;
  const auto temp = CopyToTemporary(in.Get(), NativePath(gbkTarget).native());
  if (!temp) return std::nullopt;
  return GbkPath(std::filesystem::path(*temp));
}

bool CreateFolders(std::string_view gbkPath) {
  const std::filesystem::path folder = NativePath(gbkPath);
  std::error_code ec;
  if (std::filesystem::is_directory(folder, ec)) return true;
  if (Injected(FsCall::kMakeFolder)) return false;
  std::filesystem::create_directories(folder, ec);
  return std::filesystem::is_directory(folder, ec);
}

void SetForceCopyingMoveForTesting(bool force) {
  g_forceCopy = force;
}

namespace {

// The recycle bin cannot hand a file back by its original name, so every file of a song is first
// checked to be one this user may delete and nobody holds open: a read-only file, a file without the
// right to delete it, or one the game is playing fails here, before anything went.
bool Removable(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return false;
  Handle probe(CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  return probe.Ok();
}

bool Recycle(const std::wstring& path) {
  if (Injected(FsCall::kTrash)) return false;
  std::wstring from = path;
  from.push_back(L'\0');  // the list ends with a second NUL
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  return SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted && !Exists(path);
}

}  // namespace

AllOrNone MoveFilesToTrash(const std::vector<std::string>& gbkPaths) {
  std::vector<std::wstring> paths;
  for (const std::string& gbk : gbkPaths) {
    paths.push_back(NativePath(gbk).native());
    if (!Removable(paths.back())) return AllOrNone::kNone;
  }
  for (std::size_t i = 0; i < paths.size(); ++i)
    if (!Recycle(paths[i])) return i == 0 ? AllOrNone::kNone : AllOrNone::kPartial;
  return AllOrNone::kAll;
}

bool RestoreFromTrash(const std::vector<std::string>&) {
  return false;
}

}  // namespace vx
