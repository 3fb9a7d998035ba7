#pragma once
// The scan: one row per chart file vxma<ID>.vxn (ID 0 to 4999) in the MUSIC folder, in ascending ID order.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/chart_header.h"
#include "core/library/song_table.h"

namespace vx {

// The song files of an ID, as the game names them.
std::string ChartFileName(int id);  // "vxma<ID>.vxn"
std::string MusicFileName(int id);  // "vxma<ID>.vxm"
std::string ChartPath(std::string_view gbkMusicDir, int id);
std::string MusicPath(std::string_view gbkMusicDir, int id);

// The ID of a name of exactly the form vxma<ID>.vxn (decimal, no leading zeros, below 5000). With
// `ignoreCase` the letters may be of either case, as on file systems that ignore case.
std::optional<int> ParseChartFileName(std::string_view name, bool ignoreCase);

// The cells of a fresh, unticked row for a parsed header.
SongRow MakeSongRow(int id, const ChartHeader& header);

// Called now and then during a scan with the number of charts read so far and the number to read.
using ScanProgress = std::function<void(int done, int total)>;

// Reads the rows of a MUSIC folder. The folder is listed once and only charts that exist are opened, each
// with one read of its header. The rows equal what probing the 5000 names one by one would find. A chart
// that cannot be opened is passed over; a chart shorter than its header still gets a row.
std::vector<SongRow> ScanMusicFolder(std::string_view gbkMusicDir, const ScanProgress& progress = {});

struct ScanOutcome {
  std::string musicDir;  // as read from slot 0
  std::size_t songCount = 0;
  // No song found, and the folder could not even be listed: it is missing, or not ours to read. An
  // empty folder that lists fine is just empty.
  bool folderUnreadable = false;
};

// The scan button: reads slot 0 of the settings file, then fills the table afresh (all rows unticked,
// in ID order). When the settings file cannot be opened nothing happens: empty optional, table untouched.
std::optional<ScanOutcome> OnScan(SongTable& table, std::string_view gbkSettingsPath,
                                  const ScanProgress& progress = {});

}  // namespace vx
