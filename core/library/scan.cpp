#include "core/library/scan.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bitset>
#include <numeric>
#include <thread>

#include "core/formats/song_files.h"
#include "core/io/dir_list.h"
#include "core/io/file_io.h"
#include "core/settings/settings_file.h"

namespace vx {

SongRow MakeSongRow(int id, const ChartHeader& header) {
  SongRow row;
  row.cells[kColId] = std::to_string(id);
  row.cells[kColTitle] = header.title;
  row.cells[kColEasy] = LevelText(header.levelEasy);
  row.cells[kColNormal] = LevelText(header.levelNormal);
  row.cells[kColHard] = LevelText(header.levelHard);
  row.cells[kColNoter] = header.noter;
  row.cells[kColBpm] = BpmText(header.bpmLow, header.bpmHigh);
  row.cells[kColTime] = PlayTimeText(header.playTime);
  return row;
}

std::vector<SongRow> ScanMusicFolder(std::string_view gbkMusicDir, const ScanProgress& progress,
                                     std::size_t* unreadable, std::stop_token stop) {
  std::vector<int> candidates;
  // The charts the listing already called regular files under the game's own spelling: opened without
  // another look (links and names of unknown type are looked at when opened).
  std::bitset<kMaxSongs> listedRegular, listedExactly;
  if (auto entries = ListFolderEntries(gbkMusicDir)) {
    // A name that matches only when case is ignored is still a candidate: opening the game's own
    // spelling of it below succeeds exactly when the folder's file system ignores case, as the game's
    // lookup would.
    std::bitset<kMaxSongs> seen;
    for (const FolderEntry& entry : *entries)
      if (auto id = ParseChartFileName(entry.name, true)) {
        seen.set(static_cast<std::size_t>(*id));
        if (entry.name != ChartFileName(*id)) continue;
        listedExactly.set(static_cast<std::size_t>(*id));
        if (entry.regular) listedRegular.set(static_cast<std::size_t>(*id));
      }
    for (int id = 0; id < kMaxSongs; ++id)
      if (seen.test(static_cast<std::size_t>(id))) candidates.push_back(id);
  } else {
    // A folder that may be entered but not listed: fall back to asking for every name.
    candidates.resize(kMaxSongs);
    std::iota(candidates.begin(), candidates.end(), 0);
  }

  // Opening files is nearly all of the work and the file system serves several opens at once, so large
  // folders are read by a few threads, each taking the next block of IDs. The rows land in ID order
  // whatever the threads' timing, and progress is reported from the calling thread only.
  const int total = static_cast<int>(candidates.size());
  std::vector<std::optional<SongRow>> found(candidates.size());
  std::atomic<std::size_t> nextBlock{0};
  std::atomic<int> done{0};
  constexpr std::size_t kBlock = 64;
  FolderReader folder(gbkMusicDir);
  auto work = [&](bool reportProgress) {
    std::array<std::uint8_t, kChartHeaderSize> header;
    while (!stop.stop_requested()) {
      const std::size_t first = nextBlock.fetch_add(kBlock);
      if (first >= candidates.size()) break;
      const std::size_t last = std::min(first + kBlock, candidates.size());
      for (std::size_t i = first; i < last; ++i) {
        const int id = candidates[i];
        if (auto size = folder.ReadPrefix(ChartFileName(id), header,
                                          listedRegular.test(static_cast<std::size_t>(id))))
          found[i] = MakeSongRow(id, ParseChartHeader(std::span(header).first(*size)));
      }
      const int now = done.fetch_add(static_cast<int>(last - first)) + static_cast<int>(last - first);
      if (reportProgress && progress) progress(now, total);
    }
  };
  const unsigned helpers = candidates.size() < 4 * kBlock
                               ? 0
                               : std::min(3u, std::max(1u, std::thread::hardware_concurrency()) - 1);
  std::vector<std::thread> threads;
  for (unsigned t = 0; t < helpers; ++t) threads.emplace_back(work, false);
  work(true);
  for (auto& t : threads) t.join();
  if (stop.stop_requested()) return {};
  if (progress) progress(total, total);

  std::vector<SongRow> rows;
  rows.reserve(candidates.size());
  for (std::size_t i = 0; i < found.size(); ++i) {
    if (found[i])
      rows.push_back(std::move(*found[i]));
    else if (unreadable && listedExactly.test(static_cast<std::size_t>(candidates[i])))
      ++*unreadable;
  }
  return rows;
}

std::optional<ScanOutcome> OnScan(SongTable& table, std::string_view gbkSettingsPath,
                                  const ScanProgress& progress, std::stop_token stop) {
  auto musicDir = ReadFolder(gbkSettingsPath, FolderSlot::kMusic);
  if (!musicDir) return std::nullopt;
  std::size_t unreadableCharts = 0;
  std::vector<SongRow> rows = ScanMusicFolder(*musicDir, progress, &unreadableCharts, stop);
  if (stop.stop_requested()) {
    ScanOutcome stopped{*musicDir};
    stopped.cancelled = true;
    return stopped;
  }
  table.Assign(std::move(rows));
  // Listed again only when nothing was found, which costs nothing worth counting for an empty folder.
  const bool unreadable = table.Empty() && !ListFolderNames(*musicDir);
  return ScanOutcome{*musicDir, table.Size(), unreadable, unreadableCharts};
}

}  // namespace vx
