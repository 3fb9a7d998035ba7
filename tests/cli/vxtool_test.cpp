#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/cli/run_vxtool.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace vx {
namespace {

using fixtures::TempDir;

TEST(VxtoolScan, PrintsOneTabSeparatedLinePerSong) {
  TempDir dir;
  fixtures::WriteSong(dir.Native(), 12,
                      {.bpm = 97.3f,
                       .easy = 2,
                       .normal = 6,
                       .hard = 11,
                       .title = "\xD0\xC7\xD6\xAE\xBA\xA3",
                       .noter = "Ayu",
                       .playTime = 59});
  fixtures::WriteSong(dir.Native(), 7,
                      {.bpm = 150.5f,
                       .easy = 65535,
                       .normal = 0,
                       .hard = 3,
                       .title = "ABC",
                       .noter = "\xB0\xA2",
                       .playTime = 3600});
  const VxtoolResult r = Vxtool({"scan", dir.Native()});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "7\tABC\t65535\t0\t3\t阿\t150.00\t60:00\n"
            "12\t星之海\t2\t6\t11\tAyu\t97.00\t0:59\n");
  EXPECT_EQ(r.err, "");

  EXPECT_EQ(Vxtool({"scan", dir.Native(), "--sort", "title"}).out.substr(0, 3), "12\t");  // desc by default
  EXPECT_EQ(Vxtool({"scan", dir.Native(), "--sort", "title:asc"}).out.substr(0, 2), "7\t");
  EXPECT_EQ(Vxtool({"scan", dir.Native(), "--sort", "time:desc"}).out.substr(0, 2), "7\t");
}

TEST(VxtoolScan, ErrorsSayWhatWentWrong) {
  TempDir dir;
  const VxtoolResult missing = Vxtool({"scan", dir.Native("nope")});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err.rfind("vxtool: ", 0), 0u);
  EXPECT_EQ(missing.err.back(), '\n');
  EXPECT_EQ(missing.out, "");

  EXPECT_EQ(Vxtool({"scan"}).code, 2);
  EXPECT_EQ(Vxtool({"scan", dir.Native(), "--sort", "colour"}).code, 2);
  EXPECT_EQ(Vxtool({"scan", dir.Native(), "--sort", "id:up"}).code, 2);
  EXPECT_EQ(Vxtool({"scan", dir.Native(), "--sort"}).code, 2);
  EXPECT_EQ(Vxtool({"scan", dir.Native(), "--sort", "id", "--sort", "title"}).code, 2);
  EXPECT_EQ(Vxtool({"scan", dir.Native(), "--songs", "3"}).code, 2);
  EXPECT_EQ(Vxtool({"frobnicate"}).code, 2);
  EXPECT_EQ(Vxtool({}).code, 2);
  EXPECT_EQ(Vxtool({"--help"}).code, 0);
}

TEST(VxtoolScan, EscapesControlCharactersSoEachSongStaysOneLine) {
  TempDir dir;
  const std::string title = "a\tb\nc\\d\re\x01";
  fixtures::WriteSong(dir.Native(), 1, {.title = title, .noter = "x"});
  fixtures::WriteSong(dir.Native(), 2, {.title = title, .noter = "x"});
  const VxtoolResult scan = Vxtool({"scan", dir.Native()});
  EXPECT_EQ(scan.out,
            "1\ta\\tb\\nc\\\\d\\re\\x01\t1\t5\t9\tx\t120.00\t2:05\n"
            "2\ta\\tb\\nc\\\\d\\re\\x01\t1\t5\t9\tx\t120.00\t2:05\n");
  // The check's duplicate line carries the title too.
  EXPECT_EQ(Vxtool({"check", dir.Native()}).out,
            "编号1,2:歌曲名字和NOTER都相同,可能重复:a\\tb\\nc\\\\d\\re\\x01 / x\n");
}

TEST(VxtoolDemo, BuildsALibraryTheScanReads) {
  TempDir dir;
  const VxtoolResult made = Vxtool({"demo", dir.Native("demo"), "--songs", "12"});
  ASSERT_EQ(made.code, 0) << made.err;
  const VxtoolResult scan = Vxtool({"scan", dir.Native("demo/MUSIC")});
  EXPECT_EQ(std::count(scan.out.begin(), scan.out.end(), '\n'), 12);
  EXPECT_NE(scan.out.find("星之海"), std::string::npos);
  // REC.re names the demo's MUSIC folder in slot 0.
  const auto rec = ReadWholeFile(dir.Gbk("demo/REC.re"));
  ASSERT_TRUE(rec);
  EXPECT_EQ(rec->size(), 769u);
  const std::string slot0(rec->begin() + 1, rec->begin() + 1 + (*rec)[0]);
  EXPECT_TRUE(std::filesystem::equivalent(NativePath(slot0), NativePath(dir.Gbk("demo/MUSIC")))) << slot0;
  // Some songs come without their music file, all with a real JPEG cover.
  EXPECT_FALSE(FileExists(dir.Gbk("demo/MUSIC/vxma23.vxm")));

  EXPECT_EQ(Vxtool({"demo", dir.Native("x"), "--songs", "5001"}).code, 2);
  EXPECT_EQ(Vxtool({"demo", dir.Native("x"), "--songs", "many"}).code, 2);
  EXPECT_EQ(Vxtool({"demo", dir.Native("x"), "--songs", "1", "--songs", "2"}).code, 2);
}

TEST(VxtoolDemo, GoesOnlyIntoANewOrEmptyFolder) {
  TempDir dir;
  std::filesystem::create_directories(dir.Path() / "empty");
  EXPECT_EQ(Vxtool({"demo", dir.Native("empty"), "--songs", "1"}).code, 0);
  // A library in use: its REC.re and charts stay as they are.
  fixtures::WriteFile(dir.Native("lib/REC.re"), Bytes{1, 2, 3});
  fixtures::WriteSong(dir.Native("lib/MUSIC"), 1, {.title = "mine"});
  const Bytes chart = *ReadWholeFile(dir.Gbk("lib/MUSIC/vxma1.vxn"));
  const VxtoolResult refused = Vxtool({"demo", dir.Native("lib"), "--songs", "1"});
  EXPECT_EQ(refused.code, 1);
  EXPECT_NE(refused.err.find("not empty"), std::string::npos) << refused.err;
  EXPECT_EQ(*ReadWholeFile(dir.Gbk("lib/REC.re")), (Bytes{1, 2, 3}));
  EXPECT_EQ(*ReadWholeFile(dir.Gbk("lib/MUSIC/vxma1.vxn")), chart);
  EXPECT_FALSE(FileExists(dir.Gbk("lib/Playing.vpi")));
}

}  // namespace
}  // namespace vx
