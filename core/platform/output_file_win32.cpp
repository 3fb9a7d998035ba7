// Output files on Windows: a temporary file beside the target, moved onto it once complete.
#include <windows.h>

#include <filesystem>
#include <string>

#include "core/io/fault_injection.h"
#include "core/io/file_io.h"
#include "core/platform/win32_handle.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

using win32::Handle;
using win32::Injected;

// The place an open handle really names, as a full path; empty when the system will not say.
std::wstring FinalPath(HANDLE h) {
  std::wstring path(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD n =
        GetFinalPathNameByHandleW(h, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(n + 1);
  }
  return {};
}

// Whether an opened name leads somewhere else than the folder it stands in. Some systems show a link as
// the file it points to, with no reparse point to see (Wine does so for the links of the file system
// beneath it); the place the handle names then differs from the folder's own place plus the name.
bool LeadsElsewhere(const std::wstring& target, HANDLE opened) {
  const std::filesystem::path path(target);
  const std::filesystem::path folder =
      path.has_parent_path() ? path.parent_path() : std::filesystem::path(L".");
  Handle dir(CreateFileW(folder.c_str(), 0, win32::kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!dir.Ok()) return false;
  const std::wstring file = FinalPath(opened);
  std::wstring expected = FinalPath(dir.Get());
  if (file.empty() || expected.empty()) return false;
  if (expected.back() != L'\\') expected += L'\\';
  expected += path.filename().native();
  return CompareStringOrdinal(file.c_str(), static_cast<int>(file.size()), expected.c_str(),
                              static_cast<int>(expected.size()), TRUE) != CSTR_EQUAL;
}

// What an existing name holds, for a replace: a disk file we may write in place (as a plain
// create-and-truncate would have needed), a link, or something else, such as a console or another device
// that a name like CON reaches, or a pipe.
OutputResult ExaminedForReplace(const std::wstring& target) {
  Handle h(CreateFileW(target.c_str(), GENERIC_WRITE, win32::kShareAll, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!h.Ok()) return OutputResult::kFailed;
  if (GetFileType(h.Get()) != FILE_TYPE_DISK) return OutputResult::kNotRegular;
  return LeadsElsewhere(target, h.Get()) ? OutputResult::kLink : OutputResult::kWritten;
}

// A name whose attributes cannot be read may still be there: Wine shows a pipe of the system beneath it
// that way, and it opens as one.
bool IsSomethingElse(const std::wstring& target) {
  Handle h(CreateFileW(target.c_str(), 0, win32::kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return h.Ok() && GetFileType(h.Get()) != FILE_TYPE_DISK;
}

}  // namespace

OutputResult WriteOutputFile(std::string_view gbkPath, const OutputProducer& produce, OutputMode mode) {
  const std::wstring target = NativePath(gbkPath).native();
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (mode == OutputMode::kKeepExisting) return OutputResult::kExists;
    // A symbolic link or a junction: writing through it could land anywhere.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return OutputResult::kLink;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return OutputResult::kNotRegular;
    if (const OutputResult examined = ExaminedForReplace(target); examined != OutputResult::kWritten)
      return examined;
  } else if (const DWORD error = GetLastError();
             error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
    if (IsSomethingElse(target))
      return mode == OutputMode::kKeepExisting ? OutputResult::kExists : OutputResult::kNotRegular;
    return OutputResult::kFailed;
  }

  // The suffix is the one every rewrite here uses, so the library check can list what a killed write
  // left behind.
  std::wstring temp;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (unsigned n = GetCurrentProcessId() * 1000u + GetTickCount() % 1000u; created == INVALID_HANDLE_VALUE;
       ++n) {
    temp = target + L".vxtmp-o" + std::to_wstring(n);
    if (Injected(FsCall::kCreate)) return OutputResult::kFailed;
    created =
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return OutputResult::kFailed;
  }
  Handle h(created);
  bool ok = GetFileType(h.Get()) == FILE_TYPE_DISK;
  const HANDLE raw = h.Get();
  ok = ok && produce([raw](std::span<const std::uint8_t> bytes) {
         return !Injected(FsCall::kWrite) && win32::WriteAll(raw, bytes.data(), bytes.size());
       });
  ok = ok && !Injected(FsCall::kFlush) && FlushFileBuffers(raw);
  ok = h.Close() && ok;
  OutputResult result = OutputResult::kFailed;
  if (ok) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails on any existing name, a link included; with it, a
    // link that appeared meanwhile is replaced itself, never followed.
    const DWORD flags =
        MOVEFILE_WRITE_THROUGH | (mode == OutputMode::kReplace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!Injected(FsCall::kRename) && MoveFileExW(temp.c_str(), target.c_str(), flags))
      result = OutputResult::kWritten;
    else if (const DWORD error = GetLastError(); error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
      result = mode == OutputMode::kKeepExisting ? OutputResult::kExists : OutputResult::kFailed;
  }
  if (result != OutputResult::kWritten && !Injected(FsCall::kRemove)) DeleteFileW(temp.c_str());
  return result;
}

}  // namespace vx
