// Any bytes as the start of a person's background picture. A header that passes the test must make a
// background archive that the archive reader reads back as one entry with one 596 x 558 frame.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/archive/archive_reader.h"
#include "core/archive/background.h"
#include "core/archive/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  if (!vx::IsBackgroundBmpHeader(bytes)) return 0;
  if (size < vx::kBmpHeaderSize) __builtin_trap();

  // The pixels: whatever follows the header, repeated to the full 665136 bytes.
  vx::Bytes pixels(vx::kBackgroundPixelBytes, 0);
  const auto rest = bytes.subspan(vx::kBmpHeaderSize);
  for (std::size_t i = 0; !rest.empty() && i < pixels.size(); ++i) pixels[i] = rest[i % rest.size()];
  const int scene = 1 + static_cast<int>(size % 12);
  const vx::Bytes archive = vx::BackgroundArchiveBytes(pixels, vx::BackgroundEntryName(scene));
  if (archive.size() != vx::kBackgroundArchiveSize) __builtin_trap();

  const vx::MemorySource source(archive);
  const auto directory = vx::ReadDirectory(source);
  if (!directory || directory->size() != 1 || directory->front().name != vx::BackgroundEntryName(scene) ||
      directory->front().directoryIndex != 0)
    __builtin_trap();
  const auto frame = vx::DecodeFrame(source, 0, 1, *vx::ReadFrameCount(source, 0));
  if (!frame || frame->width != vx::kBackgroundWidth || frame->height != vx::kBackgroundHeight ||
      !vx::IsBackgroundBmpHeader(frame->bmp))
    __builtin_trap();
  return 0;
}
