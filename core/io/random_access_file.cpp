#include "core/io/random_access_file.h"

#include "core/platform/primitives.h"
#include "core/text/native_path.h"

namespace vx {

std::optional<RandomAccessFile> RandomAccessFile::Open(std::string_view gbkPath) {
  std::uint64_t size = 0;
  platform::File file = platform::OpenRegularForReading(NativePath(gbkPath), &size);
  if (!file.Ok()) return std::nullopt;
  return RandomAccessFile(std::move(file), size);
}

bool RandomAccessFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  const auto n = platform::ReadAt(m_file, offset, out);
  return n && *n == out.size();
}

}  // namespace vx
