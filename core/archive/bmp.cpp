#include "core/archive/bmp.h"

#include "core/io/byte_reader.h"
#include "core/io/file_io.h"

namespace vx {

std::array<std::uint8_t, kBmpHeaderSize> MakeBmpHeader(int width, int height, std::uint32_t fileSize) {
  std::array<std::uint8_t, kBmpHeaderSize> h{};
  h[0] = 'B';
  h[1] = 'M';
  PutU32Le(&h[2], fileSize);
  PutU32Le(&h[10], static_cast<std::uint32_t>(kBmpHeaderSize));
  PutU32Le(&h[14], 40);
  PutU32Le(&h[18], static_cast<std::uint32_t>(width));
  // A negative height says the rows are stored top row first, as the frames hold them.
  PutU32Le(&h[22], static_cast<std::uint32_t>(-static_cast<std::int64_t>(height)));
  PutU16Le(&h[26], 1);
  PutU16Le(&h[28], 16);
  return h;
}

bool IsBackgroundBmpHeader(std::span<const std::uint8_t> header) {
  struct Required {
    std::size_t offset;
    std::uint8_t value;
  };
  static constexpr Required kRequired[] = {
      {0, 0x42},  {1, 0x4D},                           // "BM"
      {2, 0x68},  {3, 0x26},  {4, 0x0A},  {5, 0x00},   // file size 665192
      {10, 0x36},                                      // rows at 54
      {14, 0x28},                                      // 40-byte info header
      {18, 0x54}, {19, 0x02}, {20, 0x00},              // width 596
      {22, 0xD2}, {23, 0xFD}, {24, 0xFF}, {25, 0xFF},  // height -558: top row first
      {26, 0x01},                                      // one plane
      {28, 0x10},                                      // 16 bits per pixel
  };
  if (header.size() < kBmpHeaderSize) return false;
  for (const Required& r : kRequired)
    if (header[r.offset] != r.value) return false;
  return true;
}

bool IsBackgroundBmp(std::string_view gbkPath) {
  const auto header = ReadFilePrefix(gbkPath, kBmpHeaderSize);
  return header && IsBackgroundBmpHeader(*header);
}

}  // namespace vx
