// Moving files and trashing them on Windows.
#include <windows.h>

#include "platform/win32_handle.h"
#include <shellapi.h>

#include <string>

#include "io/file_move.h"
#include "text/native_path.h"

namespace vx {
namespace {

using win32::Handle;
using win32::kShareAll;

bool g_forceCopy = false;
std::optional<std::size_t> g_copyFailureAfter;



bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The move across volumes: the source is deleted only once a complete, flushed copy has its name.
MoveResult CopyThenDelete(const std::wstring& source, const std::wstring& target, bool replace) {
  Handle in(CreateFileW(source.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!in.Ok()) return MoveResult::kFailed;
  if (!replace && Exists(target)) return MoveResult::kTargetExists;
  // The same file under another name (a mounted folder, a hard link): copying it over itself and then
  // deleting the source would delete the only copy.
  Handle existing(CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION a{}, b{};
  if (existing.Ok() && GetFileInformationByHandle(in.Get(), &a) && GetFileInformationByHandle(existing.Get(), &b) &&
      a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
      a.nFileIndexLow == b.nFileIndexLow)
    return MoveResult::kFailed;
  if (existing.Ok()) existing.Close();
  std::wstring temp;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (unsigned n = GetCurrentProcessId(); created == INVALID_HANDLE_VALUE; ++n) {
    temp = target + L".vxtmp-" + std::to_wstring(n);
    created = CreateFileW(temp.c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return MoveResult::kFailed;
  }
  Handle out(created);
  bool ok = true;
  std::size_t copied = 0;
  static char buffer[1 << 16];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(in.Get(), buffer, sizeof buffer, &got, nullptr)) ok = false;
    if (!ok || got == 0) break;
    DWORD chunk = got;
    if (g_copyFailureAfter && copied + chunk > *g_copyFailureAfter) {
      chunk = static_cast<DWORD>(*g_copyFailureAfter - copied);
      ok = false;
    }
    DWORD written = 0;
    if (!WriteFile(out.Get(), buffer, chunk, &written, nullptr) || written != chunk) ok = false;
    if (!ok) break;
    copied += chunk;
  }
  ok = ok && FlushFileBuffers(out.Get());
  ok = out.Close() && ok;
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  ok = ok && MoveFileExW(temp.c_str(), target.c_str(), flags);
  if (!ok) {
    const DWORD error = GetLastError();
    DeleteFileW(temp.c_str());
    return error == ERROR_ALREADY_EXISTS ? MoveResult::kTargetExists : MoveResult::kFailed;
  }
  in.Close();
  if (!DeleteFileW(source.c_str())) {
    // The source cannot go, so this is no move: take the copy back rather than leave the song twice.
    DeleteFileW(target.c_str());
    return MoveResult::kFailed;
  }
  return MoveResult::kMoved;
}

}  // namespace

MoveResult MoveFileTo(std::string_view gbkSource, std::string_view gbkTarget, bool replace) {
  const std::wstring source = NativePath(gbkSource).native(), target = NativePath(gbkTarget).native();
  if (!g_forceCopy) {
    // Without the copy flag MoveFileEx only renames, so a move to another volume comes back to us.
    if (MoveFileExW(source.c_str(), target.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0)) return MoveResult::kMoved;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return MoveResult::kTargetExists;
    if (error != ERROR_NOT_SAME_DEVICE) return MoveResult::kFailed;
  }
  return CopyThenDelete(source, target, replace);
}

void SetForceCopyingMoveForTesting(bool force) { g_forceCopy = force; }
void SetCopyFailureAfterBytesForTesting(std::optional<std::size_t> bytes) { g_copyFailureAfter = bytes; }

bool MoveToDesktopTrash(std::string_view gbkPath) {
  const std::wstring path = NativePath(gbkPath).native();
  if (!Exists(path)) return false;
  std::wstring from = path;
  from.push_back(L'\0');  // the list ends with a second NUL
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  return SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted && !Exists(path);
}

}  // namespace vx
