#pragma once
// What the Windows platform files share: an owned file handle and a write that finishes or fails.
#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>

#include "core/io/fault_injection.h"

namespace vx::win32 {

// Files are opened with full sharing, as the run-time's fopen does, so a chart the game holds open still
// reads.
inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class Handle {
 public:
  explicit Handle(HANDLE h) : m_h(h) {}
  ~Handle() {
    if (Ok()) CloseHandle(m_h);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE Get() const { return m_h; }
  bool Ok() const { return m_h != INVALID_HANDLE_VALUE; }
  bool Close() {
    HANDLE h = m_h;
    m_h = INVALID_HANDLE_VALUE;
    return CloseHandle(h) != 0;
  }

 private:
  HANDLE m_h;
};

inline bool WriteAll(HANDLE h, const void* data, std::size_t length) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::size_t done = 0;
  while (done < length) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(length - done, 1u << 30));
    DWORD put = 0;
    if (!WriteFile(h, bytes + done, chunk, &put, nullptr) || put == 0) return false;
    done += put;
  }
  return true;
}

// The Windows error for an errno value the fault-injection seam arms.
inline DWORD ErrorOfErrno(int error) {
  switch (error) {
    case ENOSPC:
      return ERROR_DISK_FULL;
    case EACCES:
      return ERROR_ACCESS_DENIED;
    default:
      return ERROR_IO_DEVICE;
  }
}

// The fault-injection seam as the Windows calls fail: with the armed error as the last error.
inline bool Injected(FsCall call) {
  if (!FaultInjected(call)) return false;
  SetLastError(ErrorOfErrno(fault_injection::ArmedErrno()));
  return true;
}

}  // namespace vx::win32
#endif
