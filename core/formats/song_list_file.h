#pragma once
// The game's song-list file (.dat or .SML, the same bytes): its layout, the reader and the writer.
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

#include "core/formats/chart_header.h"
#include "core/formats/song_files.h"

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

// The 状态 cell text of a mark.
std::string StatusMarkTextGbk(StatusMark mark);
// The mark a 状态 cell text stands for; none for any other text.
std::optional<StatusMark> StatusMarkOfGbk(std::string_view gbkCell);

struct SongListStatus {
  int id = 0;  // 0 to 4999
  StatusMark mark = StatusMark::kNewest;
};

using SongListChartRecord = std::array<std::uint8_t, song_list::kChartRecordSize>;

struct SongList {
  std::vector<SongListChartRecord> charts;  // in file order
  std::vector<SongListStatus> statuses;     // in file order
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

// The reason a file was refused, for a message box or the terminal: what is wrong and at which byte.
std::string SongListErrorTextGbk(const SongListError& error);

// The file's bytes for a list: both counts come from the list itself, so a reader can trust them.
std::vector<std::uint8_t> WriteSongList(const SongList& list);

}  // namespace vx
