#pragma once
// Game song-list files from field values, for the tests of the reader: the records as the game's list
// writer lays them out, with every count and field free to be wrong.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/formats/chart_header.h"
#include "core/io/byte_reader.h"
#include "core/io/file_io.h"

namespace vx::fixtures {

struct StatusRecordSpec {
  std::int32_t id = 0;
  std::int32_t zero = 0;
  std::int32_t kind = 1;  // 1 newest, 2 popular, 0 with oneWeek 1 weekly
  std::int32_t oneWeek = 0;
};

struct SongListSpec {
  std::vector<Bytes> charts;  // each cut or zero-filled to 300 bytes
  std::vector<StatusRecordSpec> statuses;
  std::optional<std::int32_t> chartCount;   // defaults to charts.size()
  std::optional<std::int32_t> statusCount;  // defaults to statuses.size()
};

inline Bytes BuildSongList(const SongListSpec& recipe) {
  Bytes file;
  auto put = [&file](std::int32_t v) {
    std::uint8_t b[4];
    PutU32Le(b, static_cast<std::uint32_t>(v));
    file.insert(file.end(), b, b + 4);
  };
  put(recipe.chartCount.value_or(static_cast<std::int32_t>(recipe.charts.size())));
  for (const Bytes& chart : recipe.charts) {
    Bytes record(chart.begin(),
                 chart.begin() + static_cast<std::ptrdiff_t>(std::min(chart.size(), kChartHeaderSize)));
    record.resize(kChartHeaderSize, 0);
    file.insert(file.end(), record.begin(), record.end());
  }
  put(recipe.statusCount.value_or(static_cast<std::int32_t>(recipe.statuses.size())));
  for (const StatusRecordSpec& s : recipe.statuses) {
    put(s.id);
    put(s.zero);
    put(s.kind);
    put(s.oneWeek);
  }
  return file;
}

}  // namespace vx::fixtures
