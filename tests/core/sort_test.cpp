#include <gtest/gtest.h>

#include "core/library/sort.h"

namespace vx {
namespace {

SongRow Row(std::string id, std::string title = "", std::string bpm = "0.00", std::string time = "0:00",
            std::string hard = "0") {
  SongRow r;
  r.cells[kColId] = std::move(id);
  r.cells[kColTitle] = std::move(title);
  r.cells[kColBpm] = std::move(bpm);
  r.cells[kColTime] = std::move(time);
  r.cells[kColHard] = std::move(hard);
  return r;
}

std::vector<std::string> Column(const SongTable& t, int column) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < t.Size(); ++i) out.push_back(t.Cell(i, column));
  return out;
}

SongTable Table(std::vector<SongRow> rows) {
  SongTable t;
  t.Assign(std::move(rows));
  return t;
}

using V = std::vector<std::string>;

TEST(HeaderClick, EmptyTableDoesNothing) {
  SongTable t;
  for (int c = 0; c < kColumnCount; ++c) EXPECT_FALSE(OnHeaderClick(t, c, {}).handled);
  EXPECT_FALSE(t.NextAscending(kColId));
}

TEST(HeaderClick, FirstClickDescendsThenAlternatesPerColumn) {
  SongTable t = Table({Row("3", "b"), Row("10", "a"), Row("7", "c")});
  const auto first = OnHeaderClick(t, kColId, {});
  EXPECT_EQ(Column(t, kColId), (V{"10", "7", "3"}));
  EXPECT_EQ(first.order, (std::vector<std::size_t>{1, 2, 0}));
  OnHeaderClick(t, kColTitle, {});  // another column has its own direction
  EXPECT_EQ(Column(t, kColTitle), (V{"c", "b", "a"}));
  OnHeaderClick(t, kColId, {});
  EXPECT_EQ(Column(t, kColId), (V{"3", "7", "10"}));
  OnHeaderClick(t, kColId, {});
  EXPECT_EQ(Column(t, kColId), (V{"10", "7", "3"}));
}

TEST(HeaderClick, StatusColumnReordersNothing) {
  SongTable t = Table({Row("1"), Row("2")});
  t.SetCell(0, kColStatus, "x");
  const auto r = OnHeaderClick(t, kColStatus, {});
  EXPECT_TRUE(r.handled);  // the editor fields are still redisplayed
  EXPECT_TRUE(r.order.empty());
  EXPECT_EQ(Column(t, kColId), (V{"1", "2"}));
}

TEST(HeaderClick, TickColumnTogglesTheSelectedRowsTogether) {
  SongTable t = Table({Row("0"), Row("1"), Row("2"), Row("3"), Row("4")});
  t.SetTicked(0, true);
  t.SetTicked(1, true);
  t.SetTicked(4, true);  // not selected: never changes
  const std::vector<std::size_t> selected = {0, 1, 2};

  EXPECT_FALSE(OnHeaderClick(t, kColTick, {}).ticksChanged);
  EXPECT_EQ(t.TickedCount(), 3u);

  OnHeaderClick(t, kColTick, selected);
  EXPECT_TRUE(t.IsTicked(0) && t.IsTicked(1) && t.IsTicked(2));
  EXPECT_FALSE(t.IsTicked(3));
  OnHeaderClick(t, kColTick, selected);
  EXPECT_FALSE(t.IsTicked(0) || t.IsTicked(1) || t.IsTicked(2));
  EXPECT_TRUE(t.IsTicked(4));
}

TEST(Sort, NumericKeysReadLikeAtoi) {
  // BPM counts only its integer part; equal keys keep their order in both directions.
  SongTable t = Table({Row("1", "", "99.99"), Row("2", "", "100.00"), Row("3", "", "99.01")});
  SortTable(t, kColBpm, false);
  EXPECT_EQ(Column(t, kColId), (V{"2", "1", "3"}));
  SortTable(t, kColBpm, true);
  EXPECT_EQ(Column(t, kColId), (V{"1", "3", "2"}));

  SongTable levels =
      Table({Row("1", "", "", "", "5"), Row("2", "", "", "", "abc"), Row("3", "", "", "", "-1")});
  SortTable(levels, kColHard, true);
  EXPECT_EQ(Column(levels, kColId), (V{"3", "2", "1"}));
}

TEST(Sort, RowsCarryTheirTickAndStatus) {
  SongTable t = Table({Row("1"), Row("2")});
  t.SetTicked(0, true);
  t.SetCell(0, kColStatus, "mark");
  SortTable(t, kColId, false);
  EXPECT_EQ(t.Cell(1, kColId), "1");
  EXPECT_TRUE(t.IsTicked(1));
  EXPECT_EQ(t.Cell(1, kColStatus), "mark");
  EXPECT_FALSE(t.IsTicked(0));
}

TEST(Sort, TitlesByGbkCharacters) {
  SongTable t =
      Table({Row("1", "\xD0\xC7"), Row("2", "Zoo"), Row("3", "\xB0\xA1"), Row("4", "Zo"), Row("5", "apple")});
  SortTable(t, kColTitle, true);
  EXPECT_EQ(Column(t, kColId), (V{"4", "2", "5", "3", "1"}));
}

TEST(Sort, TimeIsAConsistentOrder) {
  SongTable t = Table({Row("1", "", "", "9:59"), Row("2", "", "", "10:00"), Row("3", "", "", "0:30"),
                       Row("4", "", "", "100:00"), Row("5", "", "", "9:59")});
  SortTable(t, kColTime, false);
  EXPECT_EQ(Column(t, kColId), (V{"4", "2", "1", "5", "3"}));
  SortTable(t, kColTime, true);
  EXPECT_EQ(Column(t, kColId), (V{"3", "1", "5", "2", "4"}));
}

TEST(ListSize, ThreeHundredBytesASongRoundedDown) {
  SongTable t;
  EXPECT_EQ(ListSizeKB(t), 0);
  for (int i = 0; i < 700; ++i) t.Append(Row(std::to_string(i)));
  EXPECT_EQ(ListSizeKB(t), 0);
  auto tick = [&](int n) {
    t.SetAllTicked(false);
    for (int i = 0; i < n; ++i) t.SetTicked(static_cast<std::size_t>(i), true);
    return ListSizeKB(t);
  };
  EXPECT_EQ(tick(3), 0);  // 932 bytes
  EXPECT_EQ(tick(4), 1);
  EXPECT_EQ(tick(685), 200);
  EXPECT_EQ(tick(686), 201);
  t.SetAllTicked(true);
  EXPECT_EQ(t.TickedCount(), 700u);
}

}  // namespace
}  // namespace vx
