#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>

#include "tests/cli/run_vxtool.h"
#include "tests/support/fixtures.h"
#include "tests/support/song_list_builder.h"
#include "tests/support/temp_dir.h"

namespace vx {
namespace {

using fixtures::TempDir;

TEST(VxtoolGameListRead, PrintsTheRecordsAndTheMarks) {
  TempDir dir;
  fixtures::SongListSpec recipe;
  recipe.charts = {
      fixtures::BuildChart({.bpm = 97.3f,
                            .easy = 2,
                            .normal = 6,
                            .hard = 11,
                            .title = "\xD0\xC7\xD6\xAE\xBA\xA3",
                            .noter = "Ayu",
                            .playTime = 59}),
      fixtures::BuildChart({.bpm = 150.5f, .easy = 65535, .title = "ABC", .noter = "", .playTime = 3600})};
  recipe.statuses = {{.id = 12, .kind = 1}, {.id = 7, .kind = 0, .oneWeek = 1}};
  fixtures::WriteFile(dir.Native("列表.SML"), fixtures::BuildSongList(recipe));
  const VxtoolResult r = Vxtool({"game-list-read", dir.Native("列表.SML")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "charts 2\n"
            "1\t星之海\t2\t6\t11\tAyu\t97.00\t0:59\n"
            "2\tABC\t65535\t5\t9\t\t150.00\t60:00\n"
            "marks 2\n"
            "12\t最新更新\n"
            "7\t一周更新\n");
}

TEST(VxtoolGameListRead, NamesTheSongsOfAFolderThatReopeningTicks) {
  TempDir dir;
  fixtures::WriteSong(dir.Native("MUSIC"), 12, {.title = "twelve"});
  fixtures::WriteSong(dir.Native("MUSIC"), 30, {.hard = 2, .title = "thirty"});
  fixtures::SongListSpec recipe;
  recipe.charts = {fixtures::BuildChart({.title = "gone"}),
                   fixtures::BuildChart({.hard = 9, .title = "thirty"}),
                   fixtures::BuildChart({.title = "twelve"})};
  fixtures::WriteFile(dir.Native("list.dat"), fixtures::BuildSongList(recipe));
  const VxtoolResult r = Vxtool({"game-list-read", dir.Native("list.dat"), "--music", dir.Native("MUSIC")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "charts 3\n"
            "1\tgone\t1\t5\t9\tnoter\t120.00\t2:05\t-\n"
            "2\tthirty\t1\t5\t9\tnoter\t120.00\t2:05\t30\n"
            "3\ttwelve\t1\t5\t9\tnoter\t120.00\t2:05\t12\n"
            "marks 0\n");
  EXPECT_EQ(Vxtool({"game-list-read", dir.Native("list.dat"), "--music", dir.Native("nope")}).code, 1);
}

TEST(VxtoolGameListRead, RefusesWhatDoesNotAddUp) {
  TempDir dir;
  fixtures::WriteFile(dir.Native("bad.dat"), fixtures::BuildSongList({.chartCount = 3}));
  const VxtoolResult bad = Vxtool({"game-list-read", dir.Native("bad.dat")});
  EXPECT_EQ(bad.code, 1);
  EXPECT_EQ(bad.out, "");
  EXPECT_EQ(bad.err, "vxtool: " + dir.Native("bad.dat") + ": 文件在歌曲资料中间结束了(第8字节)\n");
  EXPECT_EQ(Vxtool({"game-list-read", dir.Native("none.dat")}).code, 1);
  EXPECT_EQ(Vxtool({"game-list-read"}).code, 2);
}

TEST(VxtoolCheck, RemovingEveryLeftoverItFoundLeavesAFolderThatIsClean) {
  TempDir dir;
  fixtures::WriteSong(dir.Native(), 3, {.cover = fixtures::FakeCover(16)});
  fixtures::WriteFile(dir.Native("vxma3.vxn.vxtmp-abc123"), fixtures::BuildChart({}));
  std::filesystem::last_write_time(dir.Path() / "vxma3.vxn.vxtmp-abc123",
                                   std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  const VxtoolResult removed = Vxtool({"check", dir.Native(), "--remove-temp"});
  EXPECT_EQ(removed.code, 0) << removed.out << removed.err;
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "vxma3.vxn.vxtmp-abc123"));
  // A folder that is not there has no history to list either.
  EXPECT_EQ(Vxtool({"history", dir.Native("missing")}).code, 1);
}

TEST(VxtoolCheck, ExitsOneWhenItFindsAProblem) {
  TempDir dir;
  fixtures::WriteSong(dir.Native(), 3, {.cover = fixtures::FakeCover(16)});
  const VxtoolResult clean = Vxtool({"check", dir.Native()});
  EXPECT_EQ(clean.code, 0) << clean.out;
  EXPECT_EQ(clean.out, "没有发现问题\n");

  fixtures::WriteFile(dir.Native("vxma03.vxn"), fixtures::BuildChart({}));
  fixtures::WriteSong(dir.Native(), 4, {.title = "four", .cover = fixtures::FakeCover(16)},
                      /*withMusic=*/false);
  const VxtoolResult found = Vxtool({"check", dir.Native()});
  EXPECT_EQ(found.code, 1);
  EXPECT_EQ(found.out, "编号4:缺少音乐文件vxma4.vxm\nvxma03.vxn:编号前面有0,游戏不会读取这个文件\n");
  EXPECT_EQ(found.err, "");

  EXPECT_EQ(Vxtool({"check", dir.Native("nope")}).code, 1);
  EXPECT_EQ(Vxtool({"check"}).code, 2);
}

}  // namespace
}  // namespace vx
