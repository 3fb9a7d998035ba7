#pragma once
// The JPEG cover stored inside a chart file at coverOffset, coverSize bytes long.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/formats/chart_header.h"
#include "core/io/file_io.h"

namespace vx {

// The marker test: a cover starts with 0xFF and has 0xFF as its second-to-last byte (the starts of the
// JPEG start and end markers). A cover of fewer than 2 bytes fails.
bool PassesCoverMarkerTest(std::span<const std::uint8_t> cover);

// Whether the cover the header names lies wholly inside a file of `fileSize` bytes.
bool CoverInsideFile(const ChartHeader& header, std::uint64_t fileSize);

// The cover of a chart file, read only when it lies wholly inside the file and passes the marker test;
// otherwise (or when the chart cannot be read) empty. Never reads past the end of the file and never
// allocates from the size field before checking it against the file.
std::optional<Bytes> ReadCover(std::string_view gbkChartPath);

// The same read, saying why no cover came back: the preview keeps the last good cover when the bytes were
// read and only failed the marker test, and shows none when there was nothing to read.
struct CoverRead {
  std::optional<Bytes> cover;
  bool failedMarkerTest = false;
};
CoverRead ReadCoverExplained(std::string_view gbkChartPath);

}  // namespace vx
