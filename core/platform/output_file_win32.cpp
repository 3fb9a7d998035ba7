// Output files on Windows: a temporary file beside the target, moved onto it once complete.
#include <windows.h>

#include <string>

#include "io/file_io.h"
#include "platform/win32_handle.h"
#include "text/native_path.h"

namespace vx {
namespace {

using win32::Handle;

// A file we may write in place and that is a disk file, not a console or another device that a name
// like CON reaches.
bool WritableDiskFile(const std::wstring& path) {
  Handle h(CreateFileW(path.c_str(), GENERIC_WRITE, win32::kShareAll, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  return h.Ok() && GetFileType(h.Get()) == FILE_TYPE_DISK;
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
    if (!WritableDiskFile(target)) return OutputResult::kFailed;
  } else if (const DWORD error = GetLastError(); error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
    return OutputResult::kFailed;
  }

  // The suffix is the one every rewrite here uses, so the library check can list what a killed write
  // left behind.
  std::wstring temp;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (unsigned n = GetCurrentProcessId() * 1000u + GetTickCount() % 1000u; created == INVALID_HANDLE_VALUE; ++n) {
    temp = target + L".vxtmp-o" + std::to_wstring(n);
    created = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return OutputResult::kFailed;
  }
  Handle h(created);
  bool ok = GetFileType(h.Get()) == FILE_TYPE_DISK;
  const HANDLE raw = h.Get();
  ok = ok && produce([raw](std::span<const std::uint8_t> bytes) { return win32::WriteAll(raw, bytes.data(), bytes.size()); });
  ok = ok && FlushFileBuffers(raw);
  ok = h.Close() && ok;
  OutputResult result = OutputResult::kFailed;
  if (ok) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails on any existing name, a link included; with it, a
    // link that appeared meanwhile is replaced itself, never followed.
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (mode == OutputMode::kReplace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (MoveFileExW(temp.c_str(), target.c_str(), flags))
      result = OutputResult::kWritten;
    else if (const DWORD error = GetLastError(); error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
      result = mode == OutputMode::kKeepExisting ? OutputResult::kExists : OutputResult::kFailed;
  }
  if (result != OutputResult::kWritten) DeleteFileW(temp.c_str());
  return result;
}

}  // namespace vx
