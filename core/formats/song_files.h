#pragma once
// How the game names a song's two files in its MUSIC folder: the chart vxma<ID>.vxn and the music
// vxma<ID>.vxm, ID 0 to 4999 in decimal without leading zeros. Every name the program builds or reads
// back goes through here.

#include <optional>
#include <string>
#include <string_view>

namespace vx {

// The game knows this many song IDs, 0 to 4999.
inline constexpr int kMaxSongs = 5000;

inline constexpr std::string_view kSongFilePrefix = "vxma";
inline constexpr std::string_view kChartExtension = ".vxn";
inline constexpr std::string_view kMusicExtension = ".vxm";

std::string ChartFileName(int id);  // "vxma<ID>.vxn"
std::string MusicFileName(int id);  // "vxma<ID>.vxm"
std::string ChartPath(std::string_view gbkMusicDir, int id);
std::string MusicPath(std::string_view gbkMusicDir, int id);

// A name that looks like a song file: vxma, decimal digits, .vxn or .vxm, letters in any case. The digits
// are as written, so a name the game never loads (leading zeros, an ID too large) still splits.
struct SongFileName {
  std::string digits;
  bool chart = false;  // .vxn rather than .vxm
};
std::optional<SongFileName> SplitSongFileName(std::string_view name);

// The ID of a name of exactly the form vxma<ID>.vxn (decimal, no leading zeros, below 5000). With
// `ignoreCase` the letters may be of either case, as on file systems that ignore case.
std::optional<int> ParseChartFileName(std::string_view name, bool ignoreCase);
// The same for a chart or a music file.
std::optional<int> ParseSongFileName(std::string_view name, bool ignoreCase);

// Whether a path names a chart by its extension, in any case (a song brought in from elsewhere may carry
// any name).
bool HasChartExtension(std::string_view path);
// The music file that goes with a chart of any name: the same name with .vxm (.VXM beside .VXN).
std::string MusicBesideChart(std::string_view chartPath);

}  // namespace vx
