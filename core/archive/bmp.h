#pragma once
// The 16-bit BMP files of the archive browser: the frame BMP made from one archive frame, and the test a
// user's picture must pass before it becomes a background.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace vx {

inline constexpr std::size_t kBmpHeaderSize = 54;
// Every frame BMP ends with two zero bytes that its size field counts.
inline constexpr std::size_t kBmpFillerSize = 2;

inline constexpr int kBackgroundWidth = 596;
inline constexpr int kBackgroundHeight = 558;
inline constexpr std::size_t kBackgroundPixelBytes = 2 * kBackgroundWidth * kBackgroundHeight;  // 665136
inline constexpr std::size_t kBackgroundBmpSize = kBmpHeaderSize + kBackgroundPixelBytes + kBmpFillerSize;

// Bytes per row of a frame BMP: 2 x width, plus 2 zero bytes when the width is odd, so every row is a
// multiple of 4 bytes.
constexpr std::size_t FrameBmpRowBytes(int width) {
  return 2 * (static_cast<std::size_t>(width) + (width % 2 == 1 ? 1 : 0));
}
// 56 + 2 x (w + p) x h: the header, the rows and the two filler bytes.
constexpr std::size_t FrameBmpSize(int width, int height) {
  return kBmpHeaderSize + FrameBmpRowBytes(width) * static_cast<std::size_t>(height) + kBmpFillerSize;
}

// "BM", file size, pixel rows at 54, a 40-byte info header, the width, -height (rows stored top row first),
// one plane, 16 bits per pixel, and zero for every other field.
std::array<std::uint8_t, kBmpHeaderSize> MakeBmpHeader(int width, int height, std::uint32_t fileSize);

// Whether the first 54 bytes are those of a top-down 596 x 558 16-bit BMP whose size field reads 665192.
// Only the bytes that fix those values are compared; the rest of the header is not looked at.
bool IsBackgroundBmpHeader(std::span<const std::uint8_t> header);
// The same for a file. A file that cannot be opened, or is shorter than 54 bytes, fails.
bool IsBackgroundBmp(std::string_view gbkPath);

}  // namespace vx
