// Positioned reads and exclusive creation on Windows through the UTF-16 Win32 calls. Archives are opened
// with full sharing, as the run-time's fopen does, so one the game holds open still reads.
#include <windows.h>

#include <algorithm>
#include <utility>

#include "io/random_access_file.h"
#include "text/native_path.h"

namespace vx {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE AsHandle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

}  // namespace

std::optional<RandomAccessFile> RandomAccessFile::Open(std::string_view gbkPath) {
  HANDLE h = CreateFileW(NativePath(gbkPath).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(h, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    CloseHandle(h);
    return std::nullopt;
  }
  return RandomAccessFile(reinterpret_cast<std::intptr_t>(h),
                          (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
}

RandomAccessFile::~RandomAccessFile() {
  if (m_handle != kNoHandle) CloseHandle(AsHandle(m_handle));
}

RandomAccessFile::RandomAccessFile(RandomAccessFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, kNoHandle)), m_size(other.m_size) {}

RandomAccessFile& RandomAccessFile::operator=(RandomAccessFile&& other) noexcept {
  if (this != &other) {
    if (m_handle != kNoHandle) CloseHandle(AsHandle(m_handle));
    m_handle = std::exchange(other.m_handle, kNoHandle);
    m_size = other.m_size;
  }
  return *this;
}

bool RandomAccessFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  std::size_t done = 0;
  while (done < out.size()) {
    OVERLAPPED at{};
    const std::uint64_t pos = offset + done;
    at.Offset = static_cast<DWORD>(pos);
    at.OffsetHigh = static_cast<DWORD>(pos >> 32);
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(AsHandle(m_handle), out.data() + done, chunk, &got, &at) || got == 0) return false;
    done += got;
  }
  return true;
}

NewFileResult WriteNewFileExclusive(std::string_view gbkPath, std::span<const std::uint8_t> bytes) {
  const std::wstring path = NativePath(gbkPath).native();
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? NewFileResult::kExists : NewFileResult::kFailed;
  }
  bool ok = true;
  for (std::size_t done = 0; ok && done < bytes.size();) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD put = 0;
    ok = WriteFile(h, bytes.data() + done, chunk, &put, nullptr) && put > 0;
    done += put;
  }
  ok = CloseHandle(h) && ok;
  if (!ok) {
    DeleteFileW(path.c_str());  // ours, just created
    return NewFileResult::kFailed;
  }
  return NewFileResult::kWritten;
}

}  // namespace vx
