// Positioned reads on Windows through the UTF-16 Win32 calls. Archives are opened
// with full sharing, as the run-time's fopen does, so one the game holds open still reads.
#include <windows.h>

#include <algorithm>
#include <utility>

#include "core/io/random_access_file.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE AsHandle(std::intptr_t h) {
  return reinterpret_cast<HANDLE>(h);
}

}  // namespace

std::optional<RandomAccessFile> RandomAccessFile::Open(std::string_view gbkPath) {
  HANDLE h = CreateFileW(NativePath(gbkPath).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  // Only a disk file: a pipe or a device under an archive's name would not read as one.
  if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
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

}  // namespace vx
