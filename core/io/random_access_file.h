#pragma once
// A file opened once for several positioned reads: the archive reader asks for a size, a header, a
// directory and a frame's rows, and opening the file for each would cost more than the reads.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vx {

class RandomAccessFile {
 public:
  // Empty optional when the path cannot be opened for reading or is not a regular file.
  static std::optional<RandomAccessFile> Open(std::string_view gbkPath);

  ~RandomAccessFile();
  RandomAccessFile(RandomAccessFile&& other) noexcept;
  RandomAccessFile& operator=(RandomAccessFile&& other) noexcept;
  RandomAccessFile(const RandomAccessFile&) = delete;
  RandomAccessFile& operator=(const RandomAccessFile&) = delete;

  // The length when the file was opened; every read below is checked against it by the caller.
  std::uint64_t Size() const { return m_size; }

  // Fills `out` from `offset`. False unless every byte was read, so a file that shrank since Open
  // cannot hand back a half-filled buffer.
  bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const;

 private:
  // A descriptor on POSIX systems, a HANDLE on Windows.
  static constexpr std::intptr_t kNoHandle = -1;
  RandomAccessFile(std::intptr_t handle, std::uint64_t size) : m_handle(handle), m_size(size) {}
  std::intptr_t m_handle = kNoHandle;
  std::uint64_t m_size = 0;
};

}  // namespace vx
