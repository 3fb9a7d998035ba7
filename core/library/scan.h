#pragma once
// The scan: one row per chart file vxma<ID>.vxn (ID 0 to 4999) in the MUSIC folder, in ascending ID order.

#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "core/formats/chart_header.h"
#include "core/library/song_table.h"

namespace vx {

// The cells of a fresh, unticked row for a parsed header.
SongRow MakeSongRow(int id, const ChartHeader& header);

// Called now and then during a scan with the number of charts read so far and the number to read.
using ScanProgress = std::function<void(int done, int total)>;

// Reads the rows of a MUSIC folder. The folder is listed once and only charts that exist are opened, each
// with one read of its header. The rows equal what probing the 5000 names one by one would find. A chart
// that cannot be opened is passed over; a chart shorter than its header still gets a row. `unreadable`,
// when given, counts the charts the listing named under the game's spelling that could not be read (held
// by another program without sharing, not ours to read, a pipe): songs the game may not play either.
// Once `stop` is requested the reading ends at the next block of charts and the rows are incomplete.
std::vector<SongRow> ScanMusicFolder(std::string_view gbkMusicDir, const ScanProgress& progress = {},
                                     std::size_t* unreadable = nullptr, std::stop_token stop = {});

struct ScanOutcome {
  std::string musicDir;  // as read from slot 0
  std::size_t songCount = 0;
  // No song found, and the folder could not even be listed: it is missing, or not ours to read. An
  // empty folder that lists fine is just empty.
  bool folderUnreadable = false;
  std::size_t unreadableCharts = 0;  // as ScanMusicFolder counts them
  bool cancelled = false;            // stopped before the end: the table was left as it was
};

// The scan button: reads slot 0 of the settings file, then fills the table afresh (all rows unticked,
// in ID order). When the settings file cannot be opened nothing happens: empty optional, table untouched.
// A scan stopped through `stop` leaves the table untouched too, and says so in its outcome.
std::optional<ScanOutcome> OnScan(SongTable& table, std::string_view gbkSettingsPath,
                                  const ScanProgress& progress = {}, std::stop_token stop = {});

}  // namespace vx
