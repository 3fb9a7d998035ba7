#include "core/formats/chart_header.h"

#include <cstdio>

#include "core/io/byte_reader.h"

namespace vx {
namespace {

std::string TextField(std::span<const std::uint8_t> bytes, std::size_t offset) {
  std::string text;
  for (std::size_t i = offset; i < offset + kTextFieldSize && i < bytes.size(); ++i) {
    if (bytes[i] == 0) break;
    text += static_cast<char>(bytes[i]);
  }
  return text;
}

template <typename T>
T FieldAt(std::span<const std::uint8_t> bytes, std::size_t offset) {
  ByteReader in(bytes);
  T value = 0;
  if (!in.Seek(offset)) return 0;
  if constexpr (sizeof(T) == 2) {
    in.ReadU16Le(value);
  } else {
    in.ReadU32Le(value);
  }
  return value;
}

}  // namespace

ChartHeader ParseChartHeader(std::span<const std::uint8_t> bytes) {
  using namespace chart_offset;
  ChartHeader h;
  const auto bpm = FieldAt<std::uint16_t>(bytes, kBpmHigh);
  h.bpmLow = static_cast<std::uint8_t>(bpm);
  h.bpmHigh = static_cast<std::uint8_t>(bpm >> 8);
  h.levelEasy = FieldAt<std::uint16_t>(bytes, kLevelEasy);
  h.levelNormal = FieldAt<std::uint16_t>(bytes, kLevelNormal);
  h.levelHard = FieldAt<std::uint16_t>(bytes, kLevelHard);
  h.title = TextField(bytes, kTitle);
  h.noter = TextField(bytes, kNoter);
  h.coverSize = FieldAt<std::uint32_t>(bytes, kCoverSize);
  h.playTime = FieldAt<std::uint16_t>(bytes, kPlayTime);
  h.coverOffset = FieldAt<std::uint32_t>(bytes, kCoverOffset);
  return h;
}

std::string LevelText(std::uint16_t level) {
  return std::to_string(level);
}

std::string BpmText(std::uint8_t low, std::uint8_t high) {
  // The tempo is a float of which only the two high bytes are read: for 32 <= bpm < 512 those bytes
  // hold the exponent and seven mantissa bits, which give these four steps.
  double bpm = 0.0;
  if (high == 0x42)
    bpm = low < 0x80 ? low * 0.25 + 32.0 : low * 0.5;
  else if (high == 0x43)
    bpm = low < 0x80 ? low + 128.0 : low * 2.0;
  char text[16];
  std::snprintf(text, sizeof text, "%.2f", bpm);
  return text;
}

std::string PlayTimeText(std::uint16_t seconds) {
  char text[16];
  std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
  return text;
}

std::array<std::uint8_t, kTextFieldSize> TitleField(std::string_view gbkTitle) {
  std::array<std::uint8_t, kTextFieldSize> field{};
  const std::size_t n = std::min(gbkTitle.size(), kMaxTitleBytes);
  for (std::size_t i = 0; i < n; ++i) field[i] = static_cast<std::uint8_t>(gbkTitle[i]);
  return field;
}

}  // namespace vx
