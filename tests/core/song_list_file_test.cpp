#include <gtest/gtest.h>

#include "core/formats/song_list_file.h"
#include "tests/support/fixtures.h"
#include "tests/support/song_list_builder.h"

namespace vx {
namespace {

using fixtures::BuildChart;
using fixtures::BuildSongList;
using fixtures::SongListSpec;

std::uint32_t U32At(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// The layout written out by hand, byte offsets as literals, so that an offset constant that moved would
// make the reader and the writer disagree with this test rather than agree with each other.
TEST(SongListFile, RecordsSitAtTheirBytes) {
  std::vector<std::uint8_t> file(4 + 2 * 300 + 4 + 16, 0);
  file[0] = 2;           // two chart records
  file[4] = 0xA1;        // first byte of record 0
  file[4 + 299] = 0xA2;  // last byte of record 0
  file[304] = 0xB1;      // first byte of record 1
  file[603] = 0xB2;      // last byte of record 1
  file[604] = 1;         // one status record
  file[608] = 0x39;      // ID 0x1239 = 4665
  file[609] = 0x12;
  file[620] = 1;  // kind 0 (at 616), one-week flag 1: weekly

  const auto read = ReadSongList(file);
  ASSERT_TRUE(std::holds_alternative<SongList>(read));
  const SongList& list = std::get<SongList>(read);
  ASSERT_EQ(list.charts.size(), 2u);
  EXPECT_EQ(list.charts[0][0], 0xA1);
  EXPECT_EQ(list.charts[0][299], 0xA2);
  EXPECT_EQ(list.charts[1][0], 0xB1);
  EXPECT_EQ(list.charts[1][299], 0xB2);
  ASSERT_EQ(list.statuses.size(), 1u);
  EXPECT_EQ(list.statuses[0].id, 4665);
  EXPECT_EQ(list.statuses[0].mark, StatusMark::kWeekly);
  EXPECT_EQ(WriteSongList(list), file);

  // Each mark's pair of fields, written where a reader looks for them.
  SongList marks;
  marks.charts.resize(3);
  marks.statuses = {{7, StatusMark::kNewest}, {8, StatusMark::kPopular}, {9, StatusMark::kWeekly}};
  const auto bytes = WriteSongList(marks);
  ASSERT_EQ(bytes.size(), 4u + 900 + 4 + 48);
  EXPECT_EQ(U32At(bytes, 0), 3u);
  EXPECT_EQ(U32At(bytes, 904), 3u);
  const std::uint32_t expected[3][4] = {{7, 0, 1, 0}, {8, 0, 2, 0}, {9, 0, 0, 1}};
  for (std::size_t i = 0; i < 3; ++i)
    for (std::size_t f = 0; f < 4; ++f)
      EXPECT_EQ(U32At(bytes, 908 + 16 * i + 4 * f), expected[i][f]) << i << f;
}

TEST(SongListFile, TakesTheLargestListAndTheEmptyOne) {
  SongListSpec full;
  full.charts.assign(kMaxSongs, BuildChart({}));
  for (int id = 0; id < kMaxSongs; ++id) full.statuses.push_back({.id = id, .kind = 0, .oneWeek = 1});
  const Bytes bytes = BuildSongList(full);
  ASSERT_EQ(bytes.size(), song_list::kMaxFileSize);
  const auto read = ReadSongList(bytes);
  ASSERT_TRUE(std::holds_alternative<SongList>(read));
  EXPECT_EQ(std::get<SongList>(read).statuses.back().id, kMaxSongs - 1);
  EXPECT_EQ(std::get<SongList>(read).statuses.back().mark, StatusMark::kWeekly);

  const auto empty = ReadSongList(Bytes(8, 0));
  ASSERT_TRUE(std::holds_alternative<SongList>(empty));
  EXPECT_TRUE(std::get<SongList>(empty).charts.empty());
}

}  // namespace
}  // namespace vx
