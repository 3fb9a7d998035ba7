#include <gtest/gtest.h>

#include "core/library/song_query.h"
#include "core/text/gbk.h"

namespace vx {
namespace {

SongRow Row(int id, std::string_view utf8Title, std::string_view utf8Noter, int easy, int normal, int hard,
            std::string bpm, std::string time) {
  SongRow row;
  row.cells[kColId] = std::to_string(id);
  row.cells[kColTitle] = Gbk(utf8Title);
  row.cells[kColNoter] = Gbk(utf8Noter);
  row.cells[kColEasy] = std::to_string(easy);
  row.cells[kColNormal] = std::to_string(normal);
  row.cells[kColHard] = std::to_string(hard);
  row.cells[kColBpm] = std::move(bpm);
  row.cells[kColTime] = std::move(time);
  return row;
}

SongTable Library() {
  SongTable t;
  t.Append(Row(3, "星之海", "Ayu", 2, 6, 11, "97.00", "0:59"));
  t.Append(Row(7, "Night Drive", "KOTO", 4, 8, 16, "180.00", "2:00"));
  t.Append(Row(12, "Re:Zero", "ayu", 5, 10, 20, "181.00", "1:30"));
  t.Append(Row(40, "two words", "Mio", 1, 3, 10, "97.50", "3:16"));
  t.Append(Row(41, "啊啊", "", 1, 1, 1, "0.00", "60:00"));
  return t;
}

std::vector<int> Ids(std::string_view utf8Query) {
  const SongTable table = Library();
  const auto parsed = ParseSongQuery(utf8Query);
  if (const auto* error = std::get_if<SongQueryError>(&parsed)) {
    ADD_FAILURE() << utf8Query << ": " << SongQueryErrorTextUtf8(*error);
    return {};
  }
  std::vector<int> ids;
  for (std::size_t r : MatchingRows(table, std::get<SongQuery>(parsed))) ids.push_back(table.Row(r).Id());
  return ids;
}

SongQueryError Error(std::string_view utf8Query) {
  const auto parsed = ParseSongQuery(utf8Query);
  EXPECT_TRUE(std::holds_alternative<SongQueryError>(parsed)) << utf8Query;
  return std::holds_alternative<SongQueryError>(parsed) ? std::get<SongQueryError>(parsed)
                                                        : SongQueryError{SongQueryError::kBadNumber, ""};
}

using V = std::vector<int>;

TEST(SongQuery, FreeTextMatchesTitleOrAuthorInAnyAsciiCase) {
  EXPECT_EQ(Ids("ayu"), (V{3, 12}));
  EXPECT_EQ(Ids("NIGHT"), (V{7}));
  EXPECT_EQ(Ids("koto"), (V{7}));
  EXPECT_EQ(Ids("之"), (V{3}));
  EXPECT_EQ(Ids("ayu 海"), (V{3}));    // every term must hold
  EXPECT_EQ(Ids("Re:Zero"), (V{12}));  // not a field: free text
  EXPECT_EQ(Ids("\"two words\""), (V{40}));
  EXPECT_EQ(Ids("two\u3000words"), (V{40}));  // the full-width space separates as well
  EXPECT_EQ(Ids("\"id:7\""), (V{}));          // quoted: text, and no title holds it
  EXPECT_EQ(Ids(""), (V{}));                  // an empty field highlights nothing, so Enter ticks nothing
  EXPECT_EQ(Ids("   "), (V{}));
}

TEST(SongQuery, TextMatchesWholeGbkCharacters) {
  // 啊啊 is B0 A1 B0 A1; “ is A1 B0, which lies across the two characters and must not be found.
  ASSERT_EQ(Gbk("“"), "\xA1\xB0");
  EXPECT_EQ(Ids("“"), (V{}));
  EXPECT_EQ(Ids("啊"), (V{41}));
  // A trail byte may equal an ASCII letter (0x41 'A' in B0 41); it must neither match 'a' nor be folded.
  EXPECT_FALSE(ContainsGbkText("\xB0\x41", "a"));
  EXPECT_FALSE(ContainsGbkText("\xB0\x41", "A"));
  EXPECT_FALSE(ContainsGbkText("\xB0\x61", "\xB0\x41"));
  EXPECT_TRUE(ContainsGbkText("x\xB0\x41y", "\xB0\x41Y"));
  EXPECT_TRUE(ContainsGbkText("abc", ""));
  EXPECT_FALSE(ContainsGbkText("ab", "abc"));
}

TEST(SongQuery, FieldsTakeNumbersRangesAndComparisons) {
  EXPECT_EQ(Ids("id:7"), (V{7}));
  EXPECT_EQ(Ids("ID:3-12"), (V{3, 7, 12}));
  EXPECT_EQ(Ids("easy:1"), (V{40, 41}));
  EXPECT_EQ(Ids("normal:=10"), (V{12}));
  EXPECT_EQ(Ids("hard:10-20"), (V{3, 7, 12, 40}));
  EXPECT_EQ(Ids("hard:>16"), (V{12}));
  EXPECT_EQ(Ids("hard:>=16"), (V{7, 12}));
  EXPECT_EQ(Ids("hard:<10"), (V{41}));
  EXPECT_EQ(Ids("hard:<=10"), (V{40, 41}));
  EXPECT_EQ(Ids("bpm:>180"), (V{12}));
  EXPECT_EQ(Ids("bpm:>=180"), (V{7, 12}));
  EXPECT_EQ(Ids("bpm:97.5"), (V{40}));
  EXPECT_EQ(Ids("bpm:>97"), (V{7, 12, 40}));
  EXPECT_EQ(Ids("bpm:<97.01"), (V{3, 41}));
  EXPECT_EQ(Ids("time:<2:00"), (V{3, 12}));
  EXPECT_EQ(Ids("time:1:30-2:00"), (V{7, 12}));
  EXPECT_EQ(Ids("time:>=60:00"), (V{41}));
  EXPECT_EQ(Ids("time:59"), (V{3}));
  EXPECT_EQ(Ids("ayu hard:>=11 bpm:<100"), (V{3}));
}

TEST(SongQuery, AQueryThatDoesNotParseSaysWhy) {
  EXPECT_EQ(Error("\"open").kind, SongQueryError::kUnclosedQuote);
  EXPECT_EQ(Error("hard:").kind, SongQueryError::kEmptyValue);
  for (const char* bad : {"hard:ten", "hard:1-", "hard:-5", "hard:>", "bpm:1.234", "bpm:1.", "time:1:75",
                          "time:1:5", "id:1234567890", "hard:10-20-30", "hard:１０"}) {
    const SongQueryError e = Error(bad);
    EXPECT_EQ(e.kind, SongQueryError::kBadNumber) << bad;
    EXPECT_EQ(e.term, bad);
  }
  EXPECT_EQ(Error("hard:20-10").kind, SongQueryError::kRangeReversed);
  const SongQueryError emoji = Error("star 😀");
  EXPECT_EQ(emoji.kind, SongQueryError::kNotGbk);
  EXPECT_EQ(SongQueryErrorTextUtf8(emoji), "搜索里有GBK没有的字符:😀");
  EXPECT_EQ(SongQueryErrorTextUtf8(Error("hard:20-10")), "范围的下限大于上限:hard:20-10");
}

TEST(SongQuery, TickingTouchesOnlyMatchingRows) {
  SongTable t = Library();
  t.SetTicked(4, true);
  const auto q = std::get<SongQuery>(ParseSongQuery("hard:10-20"));
  EXPECT_EQ(TickMatching(t, q, true), 4u);
  EXPECT_EQ(t.TickedCount(), 5u);
  EXPECT_EQ(TickMatching(t, std::get<SongQuery>(ParseSongQuery("ayu")), false), 2u);
  EXPECT_EQ(t.TickedRows(), (std::vector<std::size_t>{1, 3, 4}));
}

}  // namespace
}  // namespace vx
