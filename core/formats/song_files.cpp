#include "core/formats/song_files.h"

#include <algorithm>

#include "core/text/compare.h"
#include "core/text/native_path.h"

namespace vx {

std::string ChartFileName(int id) {
  return std::string(kSongFilePrefix) + std::to_string(id) + std::string(kChartExtension);
}
std::string MusicFileName(int id) {
  return std::string(kSongFilePrefix) + std::to_string(id) + std::string(kMusicExtension);
}
std::string ChartPath(std::string_view gbkMusicDir, int id) {
  return JoinPath(gbkMusicDir, ChartFileName(id));
}
std::string MusicPath(std::string_view gbkMusicDir, int id) {
  return JoinPath(gbkMusicDir, MusicFileName(id));
}

std::optional<SongFileName> SplitSongFileName(std::string_view name) {
  static_assert(kChartExtension.size() == kMusicExtension.size());
  if (name.size() < kSongFilePrefix.size() + 1 + kChartExtension.size()) return std::nullopt;
  if (!EqualsIgnoringAsciiCase(name.substr(0, kSongFilePrefix.size()), kSongFilePrefix)) return std::nullopt;
  const std::string_view ext = name.substr(name.size() - kChartExtension.size());
  const bool chart = EqualsIgnoringAsciiCase(ext, kChartExtension);
  if (!chart && !EqualsIgnoringAsciiCase(ext, kMusicExtension)) return std::nullopt;
  const std::string_view digits =
      name.substr(kSongFilePrefix.size(), name.size() - kSongFilePrefix.size() - kChartExtension.size());
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  return SongFileName{std::string(digits), chart};
}

namespace {

std::optional<int> IdOf(std::string_view name, const SongFileName& split, bool ignoreCase) {
  if (split.digits.size() > 4 || (split.digits.size() > 1 && split.digits[0] == '0')) return std::nullopt;
  const int id = std::stoi(split.digits);
  if (id >= kMaxSongs) return std::nullopt;
  // Without case folding only the game's own spelling names the song.
  if (!ignoreCase && name != (split.chart ? ChartFileName(id) : MusicFileName(id))) return std::nullopt;
  return id;
}

}  // namespace

std::optional<int> ParseSongFileName(std::string_view name, bool ignoreCase) {
  const auto split = SplitSongFileName(name);
  return split ? IdOf(name, *split, ignoreCase) : std::nullopt;
}

std::optional<int> ParseChartFileName(std::string_view name, bool ignoreCase) {
  const auto split = SplitSongFileName(name);
  return split && split->chart ? IdOf(name, *split, ignoreCase) : std::nullopt;
}

bool HasChartExtension(std::string_view path) {
  return EndsWithIgnoringAsciiCase(path, kChartExtension);
}

std::string MusicBesideChart(std::string_view chartPath) {
  std::string music(chartPath);
  music.back() = music.back() == 'N' ? 'M' : 'm';
  return music;
}

}  // namespace vx
