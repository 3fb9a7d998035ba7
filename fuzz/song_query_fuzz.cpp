// Any text typed into the search field: the parse, the error text, and a match against a few rows.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <variant>

#include "core/formats/chart_header.h"
#include "core/library/scan.h"
#include "core/library/song_query.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto parsed = vx::ParseSongQuery(text);
  if (const auto* error = std::get_if<vx::SongQueryError>(&parsed)) {
    (void)vx::SongQueryErrorTextUtf8(*error);
    return 0;
  }
  vx::SongTable table;
  table.Append(vx::MakeSongRow(0, vx::ParseChartHeader({})));
  // The title doubles as the haystack: GBK bytes of any kind, a lead byte at the very end included.
  vx::SongRow row = vx::MakeSongRow(4999, vx::ParseChartHeader({}));
  row.cells[vx::kColTitle] = std::string(text.substr(0, 40));
  table.Append(row);
  const auto rows = vx::MatchingRows(table, std::get<vx::SongQuery>(parsed));
  if (rows.size() > table.Size()) __builtin_trap();
  return 0;
}
