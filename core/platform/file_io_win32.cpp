// File access on Windows through the UTF-16 Win32 calls. Files are opened with full sharing, as the
// run-time's fopen does, so a chart the game holds open still reads.
#include <windows.h>

#include "core/platform/win32_handle.h"

#include "core/io/file_io.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

using win32::Handle;
using win32::kShareAll;
using win32::WriteAll;

HANDLE OpenWide(const std::wstring& path, DWORD access, DWORD disposition,
                DWORD flags = FILE_ATTRIBUTE_NORMAL) {
  return CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition, flags, nullptr);
}

HANDLE Open(std::string_view gbkPath, DWORD access, DWORD disposition) {
  return OpenWide(NativePath(gbkPath).native(), access, disposition);
}

// Reads up to `length` bytes at `offset`; -1 on an error.
long long ReadAt(HANDLE h, std::uint8_t* data, std::size_t length, std::uint64_t offset) {
  std::size_t done = 0;
  while (done < length) {
    OVERLAPPED at{};
    const std::uint64_t pos = offset + done;
    at.Offset = static_cast<DWORD>(pos);
    at.OffsetHigh = static_cast<DWORD>(pos >> 32);
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(length - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(h, data + done, chunk, &got, &at)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      return -1;
    }
    if (got == 0) break;
    done += got;
  }
  return static_cast<long long>(done);
}

// Only a disk file: a pipe, a console or another device under a song's name is none of ours to read.
bool IsRegular(HANDLE h, std::uint64_t* size) {
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  if (size) *size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  return true;
}

std::optional<Bytes> ReadOpened(HANDLE h, std::uint64_t offset, std::size_t length) {
  Bytes bytes(length);
  const long long n = ReadAt(h, bytes.data(), length, offset);
  if (n < 0) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(n));
  return bytes;
}

}  // namespace

std::optional<Bytes> ReadFilePrefix(std::string_view gbkPath, std::size_t maxBytes) {
  return ReadFileRange(gbkPath, 0, maxBytes);
}

std::optional<Bytes> ReadFileRange(std::string_view gbkPath, std::uint64_t offset, std::size_t length) {
  Handle h(Open(gbkPath, GENERIC_READ, OPEN_EXISTING));
  if (!h.Ok() || !IsRegular(h.Get(), nullptr)) return std::nullopt;
  return ReadOpened(h.Get(), offset, length);
}

std::optional<Bytes> ReadWholeFile(std::string_view gbkPath) {
  Handle h(Open(gbkPath, GENERIC_READ, OPEN_EXISTING));
  std::uint64_t size = 0;
  if (!h.Ok() || !IsRegular(h.Get(), &size)) return std::nullopt;
  return ReadOpened(h.Get(), 0, static_cast<std::size_t>(size));
}

std::optional<std::uint64_t> FileSize(std::string_view gbkPath) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(NativePath(gbkPath).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

bool FileExists(std::string_view gbkPath) {
  return GetFileAttributesW(NativePath(gbkPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool DirectoryExists(std::string_view gbkPath) {
  const DWORD a = GetFileAttributesW(NativePath(gbkPath).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

PathKind KindOfPath(std::string_view gbkPath) {
  const std::wstring path = NativePath(gbkPath).native();
  const DWORD a = GetFileAttributesW(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) {
    // Wine gives no attributes for a pipe of the system beneath it, yet opens it as one.
    Handle h(OpenWide(path, 0, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS));
    return h.Ok() && GetFileType(h.Get()) != FILE_TYPE_DISK ? PathKind::kOther : PathKind::kMissing;
  }
  if (a & FILE_ATTRIBUTE_DIRECTORY) return PathKind::kFolder;
  return a & FILE_ATTRIBUTE_DEVICE ? PathKind::kOther : PathKind::kRegularFile;
}

FolderReader::FolderReader(std::string_view gbkFolder) : m_folder(gbkFolder) {}
FolderReader::~FolderReader() = default;

std::optional<std::size_t> FolderReader::ReadPrefix(std::string_view gbkName,
                                                    std::span<std::uint8_t> buffer) {
  Handle h(Open(JoinPath(m_folder, gbkName), GENERIC_READ, OPEN_EXISTING));
  if (!h.Ok() || !IsRegular(h.Get(), nullptr)) return std::nullopt;
  const long long n = ReadAt(h.Get(), buffer.data(), buffer.size(), 0);
  if (n < 0) return std::nullopt;
  return static_cast<std::size_t>(n);
}

}  // namespace vx
