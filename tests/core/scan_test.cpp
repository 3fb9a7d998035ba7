#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "core/formats/song_files.h"
#include "core/library/scan.h"
#include "core/library/sort.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace vx {
namespace {

using fixtures::TempDir;

std::vector<int> Ids(const std::vector<SongRow>& rows) {
  std::vector<int> ids;
  for (const auto& r : rows) ids.push_back(r.Id());
  return ids;
}

TEST(Scan, FindsExactlyTheGamesCharts) {
  TempDir dir;
  fixtures::WriteSong(dir.Native(), 12, {.title = "twelve"});
  fixtures::WriteSong(dir.Native(), 7, {.title = "seven"}, /*withMusic=*/false);  // still a row
  fixtures::WriteFile(dir.Native("vxma0007.vxn"), fixtures::BuildChart({}));
  fixtures::WriteFile(dir.Native("vxma5000.vxn"), fixtures::BuildChart({}));
  fixtures::WriteFile(dir.Native("vxma3.txt"), fixtures::BuildChart({}));
  std::filesystem::create_directories(dir.Path() / "vxma9.vxn");  // a folder of that name is no chart

  const auto rows = ScanMusicFolder(dir.Gbk());
  EXPECT_EQ(Ids(rows), (std::vector<int>{7, 12}));
  EXPECT_EQ(rows[0].cells[kColTitle], "seven");
}

TEST(Scan, OtherCaseCountsOnlyWhereTheFileSystemIgnoresCase) {
  TempDir dir;
  fixtures::WriteFile(dir.Native("VXMA3.VXN"), fixtures::BuildChart({}));
  // The game opens vxma3.vxn; whether that finds VXMA3.VXN is the file system's answer, so the scan
  // must give exactly what the probe gives.
  EXPECT_EQ(Ids(ScanMusicFolder(dir.Gbk())), Ids(fixtures::ProbeScan(dir.Gbk())));
}

#ifndef _WIN32
// A chart the scan cannot read is counted for the summary, unlike a name the game would not load.
TEST(Scan, ChartsThatCannotBeReadAreCountedNotDropped) {
  TempDir dir;
  fixtures::WriteSong(dir.Native(), 1, {});
  ASSERT_EQ(::mkfifo((dir.Path() / "vxma5.vxn").c_str(), 0600), 0);  // never opened as a chart
  fixtures::WriteFile(dir.Native("VXMA7.VXN"), fixtures::BuildChart({}));
  std::size_t unreadable = 0;
  EXPECT_EQ(Ids(ScanMusicFolder(dir.Gbk(), {}, &unreadable)), (std::vector<int>{1}));
  EXPECT_EQ(unreadable, 1u);
}
#endif

TEST(Scan, OnlyAnOutOfRangeChartGivesAnEmptyTable) {
  TempDir dir;
  fixtures::WriteFile(dir.Native("vxma5000.vxn"), fixtures::BuildChart({}));
  EXPECT_TRUE(ScanMusicFolder(dir.Gbk()).empty());
  EXPECT_TRUE(ScanMusicFolder(dir.Gbk("no such folder")).empty());
}

TEST(Scan, ShortChartStillGetsARow) {
  TempDir dir;
  fixtures::WriteFile(dir.Native("vxma1.vxn"), fixtures::BuildChart({.easy = 3, .truncateTo = 0x16}));
  fixtures::WriteFile(dir.Native("vxma2.vxn"), Bytes{});
  const auto rows = ScanMusicFolder(dir.Gbk());
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].cells[kColEasy], "3");
  EXPECT_EQ(rows[0].cells[kColNormal], "0");
  EXPECT_EQ(rows[0].cells[kColTitle], "");
  EXPECT_EQ(rows[0].cells[kColBpm], "120.00");  // the tempo bytes lie before the cut
  EXPECT_EQ(rows[1].cells[kColBpm], "0.00");
  EXPECT_EQ(rows[1].cells[kColTime], "0:00");
}

TEST(Scan, EqualsProbingEveryNameOnAMixedFolder) {
  TempDir dir;
  std::mt19937 random(7);
  for (int i = 0; i < 700; ++i) {
    const int id = static_cast<int>(random() % 5000);
    fixtures::ChartSpec recipe;
    recipe.title = "t" + std::to_string(random() % 1000);
    recipe.bpm = static_cast<float>(random() % 600);
    recipe.playTime = static_cast<std::uint16_t>(random());
    if (i % 13 == 0) recipe.truncateTo = random() % 300;
    fixtures::WriteSong(dir.Native(), id, recipe, i % 3 != 0);
  }
  fixtures::WriteFile(dir.Native("vxma00.vxn"), fixtures::BuildChart({}));
  fixtures::WriteFile(dir.Native("vxma4999.VXN"), fixtures::BuildChart({}));

  std::vector<int> progress;
  const auto rows = ScanMusicFolder(dir.Gbk(), [&](int done, int total) {
    EXPECT_LE(done, total);
    progress.push_back(done);
  });
  const auto probed = fixtures::ProbeScan(dir.Gbk());
  ASSERT_EQ(rows.size(), probed.size());
  for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].cells, probed[i].cells) << "row " << i;
  ASSERT_FALSE(progress.empty());
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
}

TEST(OnScan, ReadsTheMusicFolderFromTheSettingsFile) {
  TempDir dir;
  fixtures::WriteSong(dir.Native("音乐"), 5, {});
  fixtures::WriteSong(dir.Native("音乐"), 3, {});
  SongTable table;
  table.Append(SongRow{});

  // No settings file: nothing happens at all.
  EXPECT_FALSE(OnScan(table, dir.Gbk("REC.re")));
  EXPECT_EQ(table.Size(), 1u);

  fixtures::WriteFile(dir.Native("REC.re"), fixtures::BuildSettingsFile(dir.Gbk("音乐")));
  const auto outcome = OnScan(table, dir.Gbk("REC.re"));
  ASSERT_TRUE(outcome);
  EXPECT_EQ(outcome->songCount, 2u);
  EXPECT_EQ(outcome->musicDir, dir.Gbk("音乐"));

  // Ticks and order do not survive a new scan; the sort directions do.
  table.SetAllTicked(true);
  OnHeaderClick(table, kColId, {});
  ASSERT_EQ(table.Cell(0, kColId), "5");
  OnScan(table, dir.Gbk("REC.re"));
  EXPECT_EQ(table.Cell(0, kColId), "3");
  EXPECT_EQ(table.TickedCount(), 0u);
  EXPECT_TRUE(table.NextAscending(kColId));
}

// A scan stopped before its end hands back nothing half read: the table stays as it was.
TEST(OnScan, AStoppedScanLeavesTheTableAsItWas) {
  TempDir dir;
  fixtures::WriteSong(dir.Native("音乐"), 5, {});
  fixtures::WriteFile(dir.Native("REC.re"), fixtures::BuildSettingsFile(dir.Gbk("音乐")));
  SongTable table;
  table.Append(SongRow{.ticked = true});
  std::stop_source stop;
  stop.request_stop();
  const auto outcome = OnScan(table, dir.Gbk("REC.re"), {}, stop.get_token());
  ASSERT_TRUE(outcome);
  EXPECT_TRUE(outcome->cancelled);
  ASSERT_EQ(table.Size(), 1u);
  EXPECT_TRUE(table.IsTicked(0));
}

TEST(OnScan, TellsAMissingFolderFromAnEmptyOne) {
  TempDir dir;
  std::filesystem::create_directories(dir.Path() / PathFromUtf8("空"));
  SongTable table;
  for (const auto& [folder, unreadable] : {std::pair{"空", false}, std::pair{"没有这个文件夹", true}}) {
    fixtures::WriteFile(dir.Native("REC.re"), fixtures::BuildSettingsFile(dir.Gbk(folder)));
    const auto outcome = OnScan(table, dir.Gbk("REC.re"));
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->folderUnreadable, unreadable) << folder;
    EXPECT_EQ(outcome->songCount, 0u);
  }
}

}  // namespace
}  // namespace vx
