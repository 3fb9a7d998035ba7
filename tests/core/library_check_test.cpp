#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "core/library/scan.h"
#include "core/operations/library_check_ops.h"
#include "core/text/gbk.h"
#include "tests/support/fixtures.h"
#include "tests/support/operation_context.h"
#include "tests/support/scripted_interaction.h"
#include "tests/support/temp_dir.h"

namespace vx {
namespace {

using fixtures::InCall;

using fixtures::BuildChart;
using fixtures::ChartSpec;
using fixtures::TempDir;
using Kind = LibraryFinding::Kind;

struct Found {
  Kind kind;
  std::vector<int> ids;
  std::string fileName;
  bool operator==(const Found&) const = default;
  friend void PrintTo(const Found& f, std::ostream* os) {
    *os << "{kind " << f.kind << ", ids";
    for (int id : f.ids) *os << ' ' << id;
    *os << ", " << f.fileName << '}';
  }
};

std::vector<Found> Findings(const LibraryReport& report) {
  std::vector<Found> found;
  for (const auto& f : report.findings) found.push_back({f.kind, f.ids, f.fileName});
  return found;
}

std::vector<std::string> Lines(const LibraryReport& report) {
  std::vector<std::string> lines;
  const std::string text = Utf8FromGbk(LibraryReportTextGbk(report));
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    EXPECT_NE(end, std::string::npos) << "every line ends in a line break";
    if (end == std::string::npos) break;
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Each song its own title, so no two look like duplicates unless a test wants them to.
ChartSpec WithCover(int id) {
  return {.title = "song " + std::to_string(id), .cover = fixtures::FakeCover(64)};
}

TEST(LibraryCheck, ACleanFolderSaysSo) {
  TempDir dir;
  fixtures::WriteSong(dir.Native(), 0,
                      {.title = "a", .cover = fixtures::FakeCover(2)});  // the smallest cover
  fixtures::WriteSong(dir.Native(), 4999, {.title = "b"});               // no cover at all is no finding
  fixtures::WriteFile(dir.Native("readme.txt"), {1, 2, 3});
  fixtures::WriteFile(dir.Native("vxma7.vxn.bak"), {});
  const LibraryReport report = CheckLibrary(dir.Gbk());
  EXPECT_TRUE(report.Clean()) << Utf8FromGbk(LibraryReportTextGbk(report));
  EXPECT_EQ(Lines(report), std::vector<std::string>{"没有发现问题"});
}

TEST(LibraryCheck, MissingPartnersAndNamesTheGameNeverLoads) {
  TempDir dir;
  fixtures::WriteSong(dir.Native(), 7, WithCover(7), /*withMusic=*/false);
  fixtures::WriteFile(dir.Native("vxma8.vxm"), {1});
  fixtures::WriteFile(dir.Native("vxma0007.vxn"), BuildChart(WithCover(0)));
  fixtures::WriteFile(dir.Native("vxma5000.vxn"), BuildChart(WithCover(0)));
  fixtures::WriteFile(dir.Native("vxma123456.vxm"), {});
  // Music that is no file (here a folder; a link to a drive that is not mounted reads alike): the song
  // cannot play.
  fixtures::WriteSong(dir.Native(), 9, WithCover(9), /*withMusic=*/false);
  std::filesystem::create_directory(dir.Path() / "vxma9.vxm");
  const LibraryReport report = CheckLibrary(dir.Gbk());
  EXPECT_EQ(Findings(report), (std::vector<Found>{
                                  {Kind::kMusicMissing, {7}, "vxma7.vxm"},
                                  {Kind::kChartMissing, {8}, "vxma8.vxn"},
                                  {Kind::kMusicUnreachable, {9}, "vxma9.vxm"},
                                  {Kind::kNameLeadingZeros, {}, "vxma0007.vxn"},
                                  {Kind::kNameIdTooLarge, {}, "vxma123456.vxm"},
                                  {Kind::kNameIdTooLarge, {}, "vxma5000.vxn"},
                              }));
  EXPECT_EQ(Lines(report), (std::vector<std::string>{
                               "编号7:缺少音乐文件vxma7.vxm",
                               "编号8:只有音乐文件,缺少歌曲文件vxma8.vxn",
                               "编号9:音乐文件无法读取(指向的文件不存在或不是普通文件):vxma9.vxm",
                               "vxma0007.vxn:编号前面有0,游戏不会读取这个文件",
                               "vxma123456.vxm:编号超过4999,游戏不会读取这个文件",
                               "vxma5000.vxn:编号超过4999,游戏不会读取这个文件",
                           }));
  EXPECT_EQ(ReportedIds(report), (std::set<int>{7, 8, 9}));
}

TEST(LibraryCheck, OtherCaseIsAFindingOnlyWhereTheGameCannotReachIt) {
  TempDir dir;
  fixtures::WriteFile(dir.Native("VXMA3.VXN"), BuildChart(WithCover(3)));
  fixtures::WriteFile(dir.Native("vxma3.vxm"), {});
  // The game asks for vxma3.vxn; whether that reaches VXMA3.VXN is the file system's answer.
  if (FileExists(dir.Gbk("vxma3.vxn"))) {
    EXPECT_TRUE(CheckLibrary(dir.Gbk()).Clean())
        << Utf8FromGbk(LibraryReportTextGbk(CheckLibrary(dir.Gbk())));
    return;
  }
  fixtures::WriteSong(dir.Native(), 9, WithCover(9));
  fixtures::WriteFile(dir.Native("vxma9.VXM"), {});  // beside the exact name, the game never picks it
  const LibraryReport report = CheckLibrary(dir.Gbk());
  EXPECT_EQ(Findings(report), (std::vector<Found>{
                                  {Kind::kChartMissing, {3}, "vxma3.vxn"},
                                  {Kind::kNameOtherCase, {}, "VXMA3.VXN"},
                                  {Kind::kNameOtherCase, {}, "vxma9.VXM"},
                              }));
  EXPECT_EQ(Lines(report)[1], "VXMA3.VXN:大小写和游戏要的不同,游戏不会读取这个文件,应为vxma3.vxn");
}

TEST(LibraryCheck, DamagedChartsAndCovers) {
  TempDir dir;
  fixtures::WriteSong(dir.Native(), 1, {.title = "t1", .cover = fixtures::FakeCover(64), .truncateTo = 299});
  fixtures::WriteSong(
      dir.Native(), 2,
      {.title = "t2", .cover = fixtures::FakeCover(64), .coverSize = 65});  // one byte too far
  fixtures::WriteSong(dir.Native(), 3,
                      {.title = "t3", .cover = fixtures::FakeCover(64), .coverOffset = 0xFFFFFFF0u});
  fixtures::WriteSong(dir.Native(), 4, {.title = "t4", .cover = Bytes(64, 0x11)});  // no JPEG markers
  fixtures::WriteSong(dir.Native(), 5,
                      {.title = "t5", .cover = Bytes{0xFF}});  // too short to hold both markers
  Bytes endMarkerMissing = fixtures::FakeCover(64);
  endMarkerMissing[62] = 0;
  fixtures::WriteSong(dir.Native(), 6, {.title = "t6", .cover = endMarkerMissing});
  fixtures::WriteSong(dir.Native(), 10, {.title = "", .cover = fixtures::FakeCover(64), .truncateTo = 0});
  std::filesystem::create_directories(dir.Path() / "vxma11.vxn");  // a folder where the chart should be
  fixtures::WriteFile(dir.Native("vxma11.vxm"), {});
  const LibraryReport report = CheckLibrary(dir.Gbk());
  EXPECT_EQ(Findings(report), (std::vector<Found>{
                                  {Kind::kChartShort, {1}, "vxma1.vxn"},
                                  {Kind::kCoverOutside, {2}, "vxma2.vxn"},
                                  {Kind::kCoverOutside, {3}, "vxma3.vxn"},
                                  {Kind::kCoverNotJpeg, {4}, "vxma4.vxn"},
                                  {Kind::kCoverNotJpeg, {5}, "vxma5.vxn"},
                                  {Kind::kCoverNotJpeg, {6}, "vxma6.vxn"},
                                  {Kind::kChartShort, {10}, "vxma10.vxn"},
                                  {Kind::kChartNotRegular, {11}, "vxma11.vxn"},
                              }));
  const auto lines = Lines(report);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], "编号1:歌曲文件vxma1.vxn不足300字节,文件头不完整");
  EXPECT_EQ(lines[1], "编号2:封面超出了歌曲文件vxma2.vxn的末尾");
  EXPECT_EQ(lines[3], "编号4:歌曲文件vxma4.vxn里的封面不是JPG图片");
  EXPECT_EQ(
      lines[7],
      "编号11:歌曲文件vxma11.vxn不是普通文件(是管道、设备、文件夹或指向它们的链接),游戏和本程序都不会读取它");
}

TEST(LibraryCheck, DuplicatesShareTitleAndAuthor) {
  TempDir dir;
  const std::string star = "\xD0\xC7\xD6\xAE\xBA\xA3";  // 星之海
  fixtures::WriteSong(dir.Native(), 4,
                      {.hard = 3, .title = star, .noter = "Ayu", .cover = fixtures::FakeCover(8)});
  fixtures::WriteSong(dir.Native(), 9,
                      {.hard = 7, .title = star, .noter = "Ayu", .cover = fixtures::FakeCover(8)});
  fixtures::WriteSong(dir.Native(), 12, {.title = star, .noter = "Ayu", .cover = fixtures::FakeCover(8)});
  fixtures::WriteSong(dir.Native(), 13, {.title = star, .noter = "ayu", .cover = fixtures::FakeCover(8)});
  fixtures::WriteSong(dir.Native(), 20, {.title = "", .noter = "x", .cover = fixtures::FakeCover(8)});
  fixtures::WriteSong(dir.Native(), 21, {.title = "", .noter = "x", .cover = fixtures::FakeCover(8)});
  const LibraryReport report = CheckLibrary(dir.Gbk());
  EXPECT_EQ(Findings(report), (std::vector<Found>{{Kind::kDuplicate, {4, 9, 12}, ""}}));
  EXPECT_EQ(Lines(report),
            std::vector<std::string>{"编号4,9,12:歌曲名字和NOTER都相同,可能重复:星之海 / Ayu"});

  // "Tick the songs it names" ticks those rows and leaves the other ticks as they were.
  SongTable table;
  table.Assign(ScanMusicFolder(dir.Gbk()));
  table.SetTicked(*table.FindId(20), true);
  EXPECT_EQ(TickIds(table, ReportedIds(report)), 3u);
  std::vector<int> ticked;
  for (std::size_t r : table.TickedRows()) ticked.push_back(table.Row(r).Id());
  EXPECT_EQ(ticked, (std::vector<int>{4, 9, 12, 20}));
}

TEST(LibraryCheck, LeftoverTemporaryFilesAreNamedAndOnlyOldRegularOnesRemoved) {
  namespace fs = std::filesystem;
  TempDir dir;
  fixtures::WriteSong(dir.Native(), 3, WithCover(3));
  const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(5);
  for (const char* name : {"vxma3.vxn.vxtmp-Ab12Cd", "vxma3.vxm.vxtmp-deleted"}) {
    fixtures::WriteFile(dir.Native(name), {1});
    fs::last_write_time(dir.Path() / name, old);
  }
  fixtures::WriteFile(dir.Native("vxma9.vxn.vxtmp-Fresh1"), {1});  // may belong to a rewrite running now
#ifndef _WIN32
  fs::create_symlink(dir.Path() / "vxma3.vxn", dir.Path() / "vxma4.vxn.vxtmp-link00");
#endif
  const LibraryReport report = CheckLibrary(dir.Gbk());
  std::vector<std::string> leftovers;
  for (const auto& f : report.findings)
    if (f.kind == Kind::kLeftoverTemporary) leftovers.push_back(f.fileName);
  std::vector<std::string> expected = {"vxma3.vxm.vxtmp-deleted", "vxma3.vxn.vxtmp-Ab12Cd",
#ifndef _WIN32
                                       "vxma4.vxn.vxtmp-link00",
#endif
                                       "vxma9.vxn.vxtmp-Fresh1"};
  EXPECT_EQ(leftovers, expected);  // and no song: nothing reads them as charts
  EXPECT_EQ(Lines(report)[0], "程序中断时留下的临时文件,可以删除:vxma3.vxm.vxtmp-deleted");
  EXPECT_TRUE(HasLeftoverTemporaries(report));

  fixtures::ScriptedInteraction ui;
  expected.erase(expected.begin(), expected.begin() + 2);
  SongTable noTable;
  OperationContext ctx{noTable, {}, ui, nullptr, FolderSettings{dir.Gbk(), {}, {}}};
  EXPECT_EQ(RemoveLeftoverTemporaries(ctx, report).kept, expected);
  EXPECT_FALSE(fs::exists(dir.Path() / "vxma3.vxn.vxtmp-Ab12Cd"));
  EXPECT_TRUE(fs::exists(dir.Path() / "vxma3.vxn"));  // what the link named is untouched
  ASSERT_EQ(ui.Messages().size(), 1u);
  EXPECT_EQ(ui.Messages()[0].rfind("已删除2个临时文件。\n以下临时文件没有删除", 0), 0u);
}

TEST(LibraryCheck, TheCommandReadsTheMusicFolderFromTheSettings) {
  TempDir dir;
  fixtures::WriteSong(dir.Native("MUSIC"), 1, WithCover(0), /*withMusic=*/false);
  fixtures::WriteFile(dir.Native("REC.re"), fixtures::BuildSettingsFile(dir.Gbk("MUSIC")));
  fixtures::ScriptedInteraction ui;
  SongTable noTable;  // the check reads the folder, not the table
  const auto report = OnCheckLibrary(InCall({noTable, dir.Gbk("REC.re"), ui})).report;
  ASSERT_TRUE(report);
  EXPECT_EQ(ReportedIds(*report), std::set<int>{1});
  EXPECT_TRUE(ui.events.empty());

  EXPECT_FALSE(OnCheckLibrary(InCall({noTable, dir.Gbk("missing.re"), ui})).report);
  EXPECT_TRUE(ui.events.empty());
  fixtures::WriteFile(dir.Native("REC.re"), fixtures::BuildSettingsFile(""));
  EXPECT_FALSE(OnCheckLibrary(InCall({noTable, dir.Gbk("REC.re"), ui})).report);
  EXPECT_EQ(ui.Messages(), std::vector<std::string>{"请检查目录设置"});

  const LibraryReport unreadable = CheckLibrary(dir.Gbk("no such folder"));
  EXPECT_FALSE(unreadable.Clean());
  EXPECT_EQ(Lines(unreadable), std::vector<std::string>{"无法读取MUSIC文件夹,什么也没有检查"});
}

}  // namespace
}  // namespace vx
