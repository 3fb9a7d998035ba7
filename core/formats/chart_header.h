#pragma once
// The 300-byte header at the start of every chart file vxma<ID>.vxn, and the texts the song table shows
// for its fields.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vx {

inline constexpr std::size_t kChartHeaderSize = 300;

namespace chart_offset {
inline constexpr std::size_t kBpmHigh = 0x12;  // the two high bytes of the float tempo
inline constexpr std::size_t kLevelEasy = 0x14;
inline constexpr std::size_t kLevelNormal = 0x16;
inline constexpr std::size_t kLevelHard = 0x18;
inline constexpr std::size_t kTitle = 0x6C;
inline constexpr std::size_t kNoter = 0xCC;
inline constexpr std::size_t kCoverSize = 0x10C;
inline constexpr std::size_t kPlayTime = 0x118;
inline constexpr std::size_t kCoverOffset = 0x128;
}  // namespace chart_offset

inline constexpr std::size_t kTextFieldSize = 32;
// A stored title keeps its terminating zero inside the field.
inline constexpr std::size_t kMaxTitleBytes = kTextFieldSize - 1;
// The fields a save writes end with the title; a shorter chart cannot hold them.
inline constexpr std::size_t kEditableHeaderSize = chart_offset::kTitle + kTextFieldSize;

struct ChartHeader {
  std::uint8_t bpmLow = 0;   // byte 0x12
  std::uint8_t bpmHigh = 0;  // byte 0x13
  std::uint16_t levelEasy = 0;
  std::uint16_t levelNormal = 0;
  std::uint16_t levelHard = 0;
  std::string title;  // GBK, up to the first zero byte, at most 32 bytes
  std::string noter;  // GBK, same rule
  std::uint32_t coverSize = 0;
  std::uint16_t playTime = 0;  // seconds
  std::uint32_t coverOffset = 0;
};

// Parses a chart header. A short file still parses: the fields it lacks read as zero (texts as empty,
// or cut where the file ends).
ChartHeader ParseChartHeader(std::span<const std::uint8_t> bytes);

// Texts of the song table's cells.
std::string LevelText(std::uint16_t level);
std::string BpmText(std::uint8_t low, std::uint8_t high);  // "%.2f" of the tempo, 0.00 outside 32..<512
std::string PlayTimeText(std::uint16_t seconds);           // "M:SS"

// The 32 bytes of a title field: the text, then zeros. The text must hold at most 31 bytes.
std::array<std::uint8_t, kTextFieldSize> TitleField(std::string_view gbkTitle);

}  // namespace vx
