// The MUSIC folder's writer lock on Windows: a named mutex whose name is the folder's volume serial number
// and file ID, so every spelling of the folder (a drive letter, a UNC path, a junction) meets the same
// mutex. Windows mutexes count re-entry by their owning thread, and one left by a killed process is handed
// on as abandoned, which is as good as free here: the journal mends what that process left.
#include <windows.h>

#include <cstdio>

#include "core/io/library_lock.h"
#include "core/text/native_path.h"

namespace vx {

struct LibraryLock::Held {
  HANDLE mutex = nullptr;
  ~Held() {
    if (!mutex) return;
    ::ReleaseMutex(mutex);
    ::CloseHandle(mutex);
  }
};

LibraryLock::LibraryLock(std::string_view gbkMusicDir, std::chrono::milliseconds patience) {
  const std::wstring native = NativePath(gbkMusicDir).wstring();
  HANDLE folder = ::CreateFileW(native.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return;  // kNoFolder
  BY_HANDLE_FILE_INFORMATION info{};
  const BOOL known = ::GetFileInformationByHandle(folder, &info);
  ::CloseHandle(folder);
  if (!known) return;
  wchar_t name[96];
  std::swprintf(name, sizeof name / sizeof name[0], L"Local\\vxorganizer-music-%08lx-%08lx%08lx",
                info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
  HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name);
  if (!mutex) return;
  const DWORD waited = ::WaitForSingleObject(mutex, static_cast<DWORD>(patience.count()));
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    ::CloseHandle(mutex);
    m_status = Status::kBusy;
    return;
  }
  m_status = Status::kHeld;
  m_held = std::make_unique<Held>();
  m_held->mutex = mutex;
}

LibraryLock::~LibraryLock() = default;
LibraryLock::LibraryLock(LibraryLock&&) noexcept = default;
LibraryLock& LibraryLock::operator=(LibraryLock&&) noexcept = default;

}  // namespace vx
