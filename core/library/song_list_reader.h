#pragma once
// Reading the game's song-list file (.dat or .SML, the same bytes) back, and reopening one onto the song
// table: the ticks come back from the chart records, the 状态 marks from the status records.
//
// Layout, all integers 32-bit little-endian signed: N, N chart records of 300 bytes (the first 300 bytes
// of each listed chart), M, M status records of 16 bytes (song ID, 0, mark kind, one-week flag). The file
// is exactly 8 + 300·N + 16·M bytes long.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/interaction.h"
#include "core/library/chart_header.h"
#include "core/library/song_table.h"

namespace vx {

namespace song_list {
inline constexpr std::size_t kCountSize = 4;
inline constexpr std::size_t kChartRecordSize = kChartHeaderSize;
inline constexpr std::size_t kStatusRecordSize = 16;
// A list names each song at most once and the game knows 5000 IDs, so neither count can be larger; the
// largest well-formed file follows from that.
inline constexpr std::size_t kMaxRecords = kMaxSongs;
inline constexpr std::size_t kMaxFileSize =
    2 * kCountSize + kMaxRecords * kChartRecordSize + kMaxRecords * kStatusRecordSize;
}  // namespace song_list

// The three marks a status record can carry. Which text goes into the 状态 cell for each, and which
// (mark kind, one-week flag) pair the file holds:
//   kWeekly  "一周更新"  (0, 1)
//   kNewest  "最新更新"  (1, 0)
//   kPopular "最受欢迎"  (2, 0)
enum class StatusMark { kWeekly, kNewest, kPopular };

// The 状态 cell text of a mark, GBK.
std::string StatusMarkText(StatusMark mark);

struct SongListStatus {
  int id = 0;  // 0 to 4999
  StatusMark mark = StatusMark::kNewest;
};

struct SongList {
  std::vector<std::array<std::uint8_t, song_list::kChartRecordSize>> charts;  // in file order
  std::vector<SongListStatus> statuses;                                       // in file order
};

// Why a file was refused, and the byte offset where reading found it out.
struct SongListError {
  enum Kind {
    kTooLarge,  // longer than any list of at most 5000 songs can be (offset: the first byte too many)
    kChartCountMissing,     // the file ends inside the first count
    kChartCountInvalid,     // negative, or above 5000
    kChartsTruncated,       // the file ends before N chart records and the second count
    kStatusCountInvalid,    // negative, or above N (only listed songs carry a mark)
    kStatusesTruncated,     // the file ends inside the status records
    kTrailingBytes,         // bytes after the last status record (offset: the first of them)
    kStatusIdInvalid,       // a status record's ID outside 0 to 4999
    kStatusPaddingNonZero,  // the second field of a status record is not 0
    kStatusMarkUnknown,     // (mark kind, one-week flag) is none of the three pairs
    kStatusIdRepeated,      // two status records for the same ID
  };
  Kind kind;
  std::size_t offset;
};

using SongListReadResult = std::variant<SongList, SongListError>;

// Parses a whole song-list file. Strict: a file that does not add up exactly is refused and nothing of it
// is returned. No allocation is made from a count before it has been checked against the file's length.
// The chart records are not interpreted here; any 300 bytes are a record.
SongListReadResult ReadSongList(std::span<const std::uint8_t> file);

// The reason a file was refused, GBK, for a message box or the terminal: what is wrong and at which byte.
std::string SongListErrorText(const SongListError& error);

// What reopening a list did to the table.
struct SongListApplied {
  std::size_t ticked = 0;                     // rows ticked (a song listed twice counts once)
  std::size_t marked = 0;                     // 状态 cells set
  std::vector<std::string> missingTitles;     // GBK titles of the chart records that match no row
  std::vector<int> missingStatusIds;          // IDs of status records that name no row
  std::vector<std::optional<int>> recordIds;  // per chart record, in file order: the song it ticked
};

// Puts a list onto the scanned table: unticks every row and empties every 状态 cell, then ticks the row of
// each chart record and sets the mark of each status record's row.
// A chart record belongs to the row whose chart file begins with the same 300 bytes (a chart shorter than
// that compares as if zero-filled, as the list writer fills it); where none does, to the row with the same
// title and author (a chart that was edited or got a new cover since the list was written); where none
// has, or the record has no title, its title goes into `missingTitles`. Records that match by their bytes
// are placed before any is matched by name. Rows already claimed by an earlier record are passed over
// while another equal row is free, so two copies of one song under two IDs both come back.
// A status record names its row by song ID. Its mark is set whether or not a chart record ticked that
// row; the file's writer only marks listed songs, so a mark on an unticked row means the folder changed,
// and keeping the mark loses nothing. Each chart of the table is read once, through one folder handle.
SongListApplied ApplySongList(SongTable& table, std::string_view gbkMusicDir, const SongList& list);

struct OpenSongListResult {
  bool tableChanged = false;
  std::optional<SongListApplied> applied;
};

// The open command: checks the settings file (silent end when it cannot be opened), the MUSIC folder
// ("请检查目录设置"), a non-empty table ("列表为空,请先扫描"), then asks for a .dat or .SML file. A file that
// cannot be read or is refused is reported with its path and leaves the table untouched. Otherwise the
// list is applied and one message sums it up: songs ticked, marks set, listed songs not in the folder.
OpenSongListResult OnOpenSongList(SongTable& table, std::string_view gbkSettingsPath, Interaction& ui);

}  // namespace vx
