// Any bytes as the start of a chart: the header parse and every cell text made from it.
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/formats/chart_header.h"
#include "core/formats/cover.h"
#include "core/library/scan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const vx::ChartHeader header = vx::ParseChartHeader(bytes);
  const vx::SongRow row = vx::MakeSongRow(static_cast<int>(size % 5000), header);
  if (row.cells[vx::kColTitle].size() > vx::kTextFieldSize) __builtin_trap();
  if (vx::CoverInsideFile(header, size) && header.coverSize >= 2)
    vx::PassesCoverMarkerTest(bytes.subspan(header.coverOffset, header.coverSize));
  return 0;
}
