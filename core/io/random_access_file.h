#pragma once
// A file opened once for several positioned reads: the archive reader asks for a size, a header, a
// directory and a frame's rows, and opening the file for each would cost more than the reads.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/platform/file_handle.h"

namespace vx {

class RandomAccessFile {
 public:
  // Empty optional when the path cannot be opened for reading or is not a regular file.
  static std::optional<RandomAccessFile> Open(std::string_view gbkPath);

  RandomAccessFile(RandomAccessFile&& other) noexcept = default;
  RandomAccessFile& operator=(RandomAccessFile&& other) noexcept = default;

  // The length when the file was opened; every read below is checked against it by the caller.
  std::uint64_t Size() const { return m_size; }

  // Fills `out` from `offset`. False unless every byte was read, so a file that shrank since Open
  // cannot hand back a half-filled buffer.
  bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const;

 private:
  RandomAccessFile(platform::File file, std::uint64_t size) : m_file(std::move(file)), m_size(size) {}
  platform::File m_file;
  std::uint64_t m_size = 0;
};

}  // namespace vx
