#include "core/formats/cover.h"

namespace vx {

bool PassesCoverMarkerTest(std::span<const std::uint8_t> cover) {
  return cover.size() >= 2 && cover[0] == 0xFF && cover[cover.size() - 2] == 0xFF;
}

bool CoverInsideFile(const ChartHeader& header, std::uint64_t fileSize) {
  return std::uint64_t{header.coverOffset} + header.coverSize <= fileSize;
}

std::optional<Bytes> ReadCover(std::string_view gbkChartPath) {
  return ReadCoverExplained(gbkChartPath).cover;
}

CoverRead ReadCoverExplained(std::string_view gbkChartPath) {
  const auto size = FileSize(gbkChartPath);
  const auto head = ReadFilePrefix(gbkChartPath, kChartHeaderSize);
  if (!size || !head) return {};
  const ChartHeader header = ParseChartHeader(*head);
  if (header.coverSize < 2 || !CoverInsideFile(header, *size)) return {};
  auto cover = ReadFileRange(gbkChartPath, header.coverOffset, header.coverSize);
  // The file may have shrunk between the two looks; a short read fails like a bad cover.
  if (!cover || cover->size() != header.coverSize) return {};
  if (!PassesCoverMarkerTest(*cover)) return {std::nullopt, true};
  return {std::move(cover), false};
}

}  // namespace vx
