#include "core/formats/song_list_file.h"

#include <algorithm>
#include <bitset>

#include "core/io/byte_reader.h"
#include "core/messages.h"
#include "core/text/gbk.h"

namespace vx {
namespace {

using namespace song_list;

// Each mark and the (mark kind, one-week flag) pair of its status record.
struct MarkFields {
  StatusMark mark;
  std::uint32_t kind;
  std::uint32_t oneWeek;
  std::string_view utf8Text;
};
constexpr MarkFields kMarks[] = {
    {StatusMark::kWeekly, 0, 1, msg::kMarkWeekly},
    {StatusMark::kNewest, 1, 0, msg::kMarkNewest},
    {StatusMark::kPopular, 2, 0, msg::kMarkPopular},
};

std::optional<StatusMark> MarkOf(std::uint32_t kind, std::uint32_t oneWeek) {
  for (const MarkFields& m : kMarks)
    if (m.kind == kind && m.oneWeek == oneWeek) return m.mark;
  return std::nullopt;
}

const MarkFields& FieldsOf(StatusMark mark) {
  return *std::find_if(std::begin(kMarks), std::end(kMarks),
                       [&](const MarkFields& m) { return m.mark == mark; });
}

}  // namespace

std::string StatusMarkTextGbk(StatusMark mark) {
  return Gbk(FieldsOf(mark).utf8Text);
}

std::optional<StatusMark> StatusMarkOfGbk(std::string_view gbkCell) {
  for (const MarkFields& m : kMarks)
    if (gbkCell == Gbk(m.utf8Text)) return m.mark;
  return std::nullopt;
}

SongListReadResult ReadSongList(std::span<const std::uint8_t> file) {
  if (file.size() > kMaxFileSize) return SongListError{SongListError::kTooLarge, kMaxFileSize};
  ByteReader in(file);
  std::uint32_t charts = 0;
  if (!in.ReadU32Le(charts)) return SongListError{SongListError::kChartCountMissing, 0};
  // Counts are signed in the file; a negative one reads as a huge unsigned value and fails this check.
  if (charts > kMaxRecords) return SongListError{SongListError::kChartCountInvalid, 0};
  // The charts and the second count must both be there before anything is reserved for them.
  if (charts * kChartRecordSize + kCountSize > in.Remaining())
    return SongListError{SongListError::kChartsTruncated, file.size()};

  SongList list;
  list.charts.resize(charts);
  for (auto& record : list.charts) {
    std::span<const std::uint8_t> bytes;
    in.ReadBytes(kChartRecordSize, bytes);
    std::copy(bytes.begin(), bytes.end(), record.begin());
  }

  const std::size_t statusCountAt = in.Offset();
  std::uint32_t statuses = 0;
  in.ReadU32Le(statuses);
  if (statuses > charts) return SongListError{SongListError::kStatusCountInvalid, statusCountAt};
  if (statuses * kStatusRecordSize > in.Remaining())
    return SongListError{SongListError::kStatusesTruncated, file.size()};
  if (statuses * kStatusRecordSize < in.Remaining())
    return SongListError{SongListError::kTrailingBytes, in.Offset() + statuses * kStatusRecordSize};

  std::bitset<kMaxSongs> seen;
  list.statuses.reserve(statuses);
  for (std::uint32_t i = 0; i < statuses; ++i) {
    const std::size_t at = in.Offset();
    std::uint32_t id = 0, zero = 0, kind = 0, oneWeek = 0;
    in.ReadU32Le(id);
    in.ReadU32Le(zero);
    in.ReadU32Le(kind);
    in.ReadU32Le(oneWeek);
    if (id >= static_cast<std::uint32_t>(kMaxSongs))
      return SongListError{SongListError::kStatusIdInvalid, at};
    if (zero != 0) return SongListError{SongListError::kStatusPaddingNonZero, at + 4};
    const auto mark = MarkOf(kind, oneWeek);
    if (!mark) return SongListError{SongListError::kStatusMarkUnknown, at + 8};
    // The writer gives each listed row one record; two for one ID would leave the mark to chance.
    if (seen.test(id)) return SongListError{SongListError::kStatusIdRepeated, at};
    seen.set(id);
    list.statuses.push_back({static_cast<int>(id), *mark});
  }
  return list;
}

std::string SongListErrorTextGbk(const SongListError& error) {
  std::string_view reason;
  switch (error.kind) {
    case SongListError::kTooLarge:
      reason = msg::kListTooLarge;
      break;
    case SongListError::kChartCountMissing:
      reason = msg::kListChartCountMissing;
      break;
    case SongListError::kChartCountInvalid:
      reason = msg::kListChartCountInvalid;
      break;
    case SongListError::kChartsTruncated:
      reason = msg::kListChartsTruncated;
      break;
    case SongListError::kStatusCountInvalid:
      reason = msg::kListStatusCountInvalid;
      break;
    case SongListError::kStatusesTruncated:
      reason = msg::kListStatusesTruncated;
      break;
    case SongListError::kTrailingBytes:
      reason = msg::kListTrailingBytes;
      break;
    case SongListError::kStatusIdInvalid:
      reason = msg::kListStatusIdInvalid;
      break;
    case SongListError::kStatusPaddingNonZero:
      reason = msg::kListStatusPadding;
      break;
    case SongListError::kStatusMarkUnknown:
      reason = msg::kListStatusUnknown;
      break;
    case SongListError::kStatusIdRepeated:
      reason = msg::kListStatusRepeated;
      break;
  }
  return Gbk(reason) + Gbk(msg::kListAtByteBefore) + std::to_string(error.offset) +
         Gbk(msg::kListAtByteAfter);
}

std::vector<std::uint8_t> WriteSongList(const SongList& list) {
  std::vector<std::uint8_t> file(
      2 * kCountSize + kChartRecordSize * list.charts.size() + kStatusRecordSize * list.statuses.size(), 0);
  std::uint8_t* out = file.data();
  PutU32Le(out, static_cast<std::uint32_t>(list.charts.size()));
  out += kCountSize;
  for (const SongListChartRecord& record : list.charts) {
    std::copy(record.begin(), record.end(), out);
    out += kChartRecordSize;
  }
  PutU32Le(out, static_cast<std::uint32_t>(list.statuses.size()));
  out += kCountSize;
  for (const SongListStatus& status : list.statuses) {
    const MarkFields& fields = FieldsOf(status.mark);
    PutU32Le(out, static_cast<std::uint32_t>(status.id));
    PutU32Le(out + 4, 0);
    PutU32Le(out + 8, fields.kind);
    PutU32Le(out + 12, fields.oneWeek);
    out += kStatusRecordSize;
  }
  return file;
}

}  // namespace vx
