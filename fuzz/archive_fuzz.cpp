// Any bytes as a game image archive: the directory, every entry's frame count, and frames decoded on any
// directory index, including ones outside the directory and frame counts that disagree with the entry.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/archive/archive_reader.h"
#include "core/archive/bmp.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

void Decode(const vx::ArchiveSource& source, int index, int frame, int frameCount) {
  const auto decoded = vx::DecodeFrame(source, index, frame, frameCount);
  if (!decoded) {
    Check(decoded.Error().kind != vx::ArchiveError::kReadFailed);  // the reader never asks past the end
    return;
  }
  // Exactly `height` rows of the padded width, whatever the data size said.
  Check(decoded->width > 0 && decoded->height > 0);
  Check(decoded->bmp.size() == vx::FrameBmpSize(decoded->width, decoded->height));
  const auto header =
      vx::MakeBmpHeader(decoded->width, decoded->height, static_cast<std::uint32_t>(decoded->bmp.size()));
  Check(std::equal(header.begin(), header.end(), decoded->bmp.begin()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const vx::MemorySource source(std::span<const std::uint8_t>(data, size));
  const auto directory = vx::ReadDirectory(source);
  if (!directory) {
    Check(directory.Error().kind != vx::ArchiveError::kReadFailed);
  } else {
    Check(directory->size() * vx::kDirectoryRecordSize + vx::kArchiveHeaderSize <= size ||
          directory->empty());
  }
  const int records = directory ? static_cast<int>(directory->size()) : 0;
  // A frame count taken from the input itself, so counts that disagree with the entry are tried too.
  const int foreignCount = size > 0 ? data[0] : 0;
  for (int index = -1; index <= std::min(records, 16); ++index) {
    const auto count = vx::ReadFrameCount(source, index);
    if (!count) {
      Check(count.Error().kind != vx::ArchiveError::kReadFailed);
      Decode(source, index, 1, foreignCount);
      continue;
    }
    Check(*count >= 0 && *count <= vx::kMaxFrameCount);
    for (int frame = 0; frame <= std::min(*count, 3) + 1; ++frame) Decode(source, index, frame, *count);
    Decode(source, index, *count, *count);
    Decode(source, index, 1, foreignCount);
  }
  return 0;
}
