// The recycle bin. It cannot hand a file back by its original name, so nothing trashed here comes back.
#include <windows.h>

#include <shellapi.h>

#include "core/io/fault_injection.h"
#include "core/platform/primitives.h"

namespace vx::platform {

// Every file of a song is first checked to be one this user may delete and nobody holds open: a
// read-only file, a file without the right to delete it, or one the game is playing fails here, before
// anything went.
bool SureToTrash(const Path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return false;
  const File probe(reinterpret_cast<std::intptr_t>(
      CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
  return probe.Ok();
}

std::optional<TrashedFile> Trash(const Path& path) {
  if (FaultInjected(FsCall::kTrash)) return std::nullopt;
  std::wstring from = path.native();
  from.push_back(L'\0');  // the list ends with a second NUL
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  if (SHFileOperationW(&op) != 0 || op.fAnyOperationsAborted || NameTaken(path)) return std::nullopt;
  return TrashedFile{path, {}, {}};
}

bool Untrash(const TrashedFile&) {
  return false;
}

}  // namespace vx::platform
