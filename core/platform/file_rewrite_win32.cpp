// The locked rewrite on Windows. A handle held open would make the rename over the file fail, so the
// lock is a named mutex for the file's final path, which every organizer of this user computes alike.
#include <windows.h>

#include <cwctype>
#include <string>
#include <vector>

#include "core/io/fault_injection.h"
#include "core/io/file_rewrite.h"
#include "core/platform/win32_handle.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

using win32::Handle;
using win32::Injected;
using win32::kShareAll;
using win32::WriteAll;

constexpr DWORD kLockPatienceMs = 10000;

RewriteStatus StatusOfError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return RewriteStatus::kMissing;
    case ERROR_ACCESS_DENIED:
      return RewriteStatus::kNoPermission;
    case ERROR_WRITE_PROTECT:
      return RewriteStatus::kReadOnly;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return RewriteStatus::kBusy;
    default:
      return RewriteStatus::kFailed;
  }
}

// The path with every link and short name resolved; empty when it cannot be had.
std::wstring FinalPath(HANDLE h) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n =
        GetFinalPathNameByHandleW(h, buffer.data(), static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
    if (n == 0) return {};
    if (n < buffer.size()) return std::wstring(buffer.data(), n);
    buffer.resize(n + 1);
  }
}

class NamedLock {
 public:
  explicit NamedLock(const std::wstring& finalPath) {
    // File names compare without case here, so the name of the lock must not depend on it either.
    std::uint64_t hash = 1469598103934665603ull;
    for (wchar_t c : finalPath) {
      hash ^= static_cast<std::uint64_t>(std::towlower(c));
      hash *= 1099511628211ull;
    }
    wchar_t name[64];
    wsprintfW(name, L"Local\\vxorganizer-rewrite-%08lx%08lx", static_cast<unsigned long>(hash >> 32),
              static_cast<unsigned long>(hash));
    m_mutex = CreateMutexW(nullptr, FALSE, name);
    if (!m_mutex) return;
    const DWORD waited = WaitForSingleObject(m_mutex, kLockPatienceMs);
    // An abandoned mutex belonged to an organizer that died; the file is whole either way.
    m_held = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
  }
  ~NamedLock() {
    if (m_held) ReleaseMutex(m_mutex);
    if (m_mutex) CloseHandle(m_mutex);
  }
  NamedLock(const NamedLock&) = delete;
  NamedLock& operator=(const NamedLock&) = delete;
  bool Held() const { return m_held; }

 private:
  HANDLE m_mutex = nullptr;
  bool m_held = false;
};

std::optional<Bytes> ReadAll(HANDLE h) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(h, &size)) return std::nullopt;
  Bytes bytes(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(h, bytes.data() + done, chunk, &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

// A reader that has the file open for a moment (a scan, the game) makes the rename fail with a sharing
// violation; it lets go soon.
bool RenameOver(const std::wstring& temp, const std::wstring& target) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (Injected(FsCall::kRename)) return false;
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    const DWORD error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION)
      return false;
    Sleep(20);
  }
  return false;
}

}  // namespace

RewriteStatus RewriteFile(std::string_view gbkPath, const std::function<bool(Bytes&)>& change) {
  std::wstring real;
  DWORD attributes = 0;
  {
    // Opening follows a link to the file it names; that file is the one rewritten.
    Handle look(CreateFileW(NativePath(gbkPath).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!look.Ok()) return StatusOfError(GetLastError());
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(look.Get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(look.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      return RewriteStatus::kFailed;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return RewriteStatus::kReadOnly;
    attributes =
        info.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    real = FinalPath(look.Get());
    if (real.empty()) return RewriteStatus::kFailed;
  }
  NamedLock lock(real);
  if (!lock.Held()) return RewriteStatus::kBusy;

  std::optional<Bytes> bytes;
  {
    // Asking for write access is how the person's permission to change the file is tested.
    Handle h(CreateFileW(real.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.Ok()) return StatusOfError(GetLastError());
    bytes = ReadAll(h.Get());
  }
  if (!bytes) return RewriteStatus::kFailed;
  if (!change(*bytes)) return RewriteStatus::kDeclined;

  std::wstring temp;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (unsigned n = GetCurrentProcessId(); created == INVALID_HANDLE_VALUE; ++n) {
    temp = real + std::wstring(kTemporaryMarker.begin(), kTemporaryMarker.end()) + std::to_wstring(n);
    if (Injected(FsCall::kCreate)) return StatusOfError(GetLastError());
    created = CreateFileW(temp.c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL | attributes, nullptr);
    if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
      return StatusOfError(GetLastError());
  }
  Handle out(created);
  bool ok = !Injected(FsCall::kWrite) && WriteAll(out.Get(), bytes->data(), bytes->size());
  ok = ok && !Injected(FsCall::kFlush) && FlushFileBuffers(out.Get());
  ok = out.Close() && ok;
  ok = ok && RenameOver(temp, real);
  if (!ok) {
    if (!Injected(FsCall::kRemove)) DeleteFileW(temp.c_str());
    return RewriteStatus::kFailed;
  }
  return RewriteStatus::kRewritten;
}

}  // namespace vx
