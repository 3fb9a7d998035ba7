// Cover export and import: the bytes written, the charts refused, and a failed replace.
#include <gtest/gtest.h>

#include "core/io/byte_reader.h"
#include "core/io/fault_injection.h"
#include "core/operations/covers.h"
#include "tests/core/library_fixture.h"
#include "tests/support/operation_context.h"

namespace vx {

using fixtures::InCall;
namespace {

using testing_support::LibraryTest;
namespace fs = std::filesystem;
using Kind = fixtures::ScriptedInteraction::Event::Kind;
using V = std::vector<std::string>;

class Covers : public LibraryTest {
 protected:
  ~Covers() override { fault_injection::Disarm(); }
  static std::uint32_t U32At(const Bytes& b, std::size_t at) {
    ByteReader in(b);
    std::uint32_t v = 0;
    in.Seek(at);
    in.ReadU32Le(v);
    return v;
  }
  // Only the chart files remain in MUSIC: no temporary file stayed behind.
  std::vector<std::string> MusicFolder() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.Path() / "MUSIC"))
      names.push_back(Utf8FromPath(e.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
  }
  fs::path Image(const std::string& utf8Name) const { return dir.Path() / "images" / PathFromUtf8(utf8Name); }
};

TEST_F(Covers, ExportWritesEachCoverThatLiesInsideItsChart) {
  Song(1, {.title = Gbk("星/之海"), .cover = fixtures::MakeJpeg(16, 16, 1), .afterCover = Bytes(50, 7)});
  Song(2, {.title = "empty", .cover = {}});  // coverSize 0: found, empty file
  Song(5, {.title = "dup", .cover = fixtures::FakeCover(10, 1)});
  Song(6, {.title = "dup", .cover = fixtures::FakeCover(12, 2)});
  Song(7, {.title = "[?]", .cover = fixtures::FakeCover(9)});
  Bytes large = fixtures::FakeCover(5 << 19);  // copied in several pieces
  for (std::size_t i = 2; i + 2 < large.size(); ++i) large[i] = static_cast<std::uint8_t>(i * 31 >> 7);
  Song(8, {.title = "large", .cover = large});
  SongTable table = Scan({0, 1, 2, 3, 4, 5});
  ASSERT_EQ(OnExportCovers(InCall({table, settings, ui})).outcome, Outcome::kDone);

  EXPECT_EQ(Read(Image("星之海.jpg")), fixtures::MakeJpeg(16, 16, 1));
  ASSERT_TRUE(fs::exists(Image("empty.jpg")));
  EXPECT_EQ(fs::file_size(Image("empty.jpg")), 0u);
  EXPECT_EQ(Read(Image("dup.jpg")), fixtures::FakeCover(12, 2));  // the lower row wins
  EXPECT_EQ(Read(Image(".jpg")), fixtures::FakeCover(9));
  EXPECT_EQ(Read(Image("large.jpg")), large);
  EXPECT_EQ(Messages(), V{"完成^_^"});
}

TEST_F(Covers, ExportNamesEverySongThatGotNoCoverFileAndStillWritesTheRest) {
  Song(1, {.title = "ok", .cover = fixtures::FakeCover(20)});
  Song(3, {.title = "past end", .cover = fixtures::FakeCover(40), .truncateTo = 400});
  Song(4, {.title = "huge", .coverSize = 0xFFFFFFFFu});  // never allocated from
  Song(5, {.title = "gone"});
  Song(6, {.title = "cut", .cover = fixtures::FakeCover(20)});
  Song(7, {.title = "taken", .cover = fixtures::FakeCover(20)});
  SongTable table = Scan({0, 1, 2, 3, 4, 5});
  fs::remove(Music("vxma5.vxn"));
  fs::resize_file(Music("vxma6.vxn"), 100);
  fs::create_directories(Image("taken.jpg"));
  EXPECT_EQ(OnExportCovers(InCall({table, settings, ui})).outcome, Outcome::kFailed);
  EXPECT_EQ(Messages(), V{"以下歌曲的封面没有导出:\n"
                          "编号3:封面超出了歌曲文件vxma3.vxn的末尾\n"
                          "编号4:封面超出了歌曲文件vxma4.vxn的末尾\n"
                          "编号5:无法读取歌曲文件vxma5.vxn\n"
                          "编号6:歌曲文件vxma6.vxn不足300字节,文件头不完整\n"
                          "编号7:无法创建文件:" +
                          Utf8FromPath(Image("taken.jpg")) + "(这不是普通文件,没有写入)"});
  EXPECT_EQ(Read(Image("ok.jpg")), fixtures::FakeCover(20));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path() / "images"), fs::directory_iterator()), 2);
}

TEST_F(Covers, ImportRebuildsTheChartToCoverOffsetPlusTheJpegAndExportGivesItBack) {
  Song(9,
       {.title = "nine", .noteDataSize = 100, .cover = fixtures::FakeCover(500), .afterCover = Bytes(77, 3)});
  const Bytes old = Read(Music("vxma9.vxn"));
  const Bytes jpeg = fixtures::MakeJpeg(8, 8, 3);
  fixtures::WriteFile(dir.Native("new.jpg"), jpeg);
  SongTable table = Scan({0});
  ui.openFileAnswers.push_back(dir.Gbk("new.jpg"));
  ASSERT_EQ(OnImportCover(InCall({table, settings, ui})).outcome, Outcome::kDone);
  EXPECT_EQ(Messages(), V{});
  EXPECT_EQ(Utf8FromGbk(ui.events[0].request.filters.at(0).description), "JPG图片文件(*.jpg)");
  EXPECT_EQ(ui.events[0].request.defaultExtension, "jpg");

  const Bytes rebuilt = Read(Music("vxma9.vxn"));
  const std::size_t p = 400;
  ASSERT_EQ(rebuilt.size(), p + jpeg.size());
  EXPECT_TRUE(std::equal(old.begin(), old.begin() + 268, rebuilt.begin()));
  EXPECT_EQ(U32At(rebuilt, 268), jpeg.size());
  EXPECT_TRUE(std::equal(old.begin() + 272, old.begin() + p, rebuilt.begin() + 272));
  EXPECT_EQ(U32At(rebuilt, 296), p);
  EXPECT_TRUE(std::equal(jpeg.begin(), jpeg.end(), rebuilt.begin() + p));
  EXPECT_EQ(MusicFolder(), (V{"vxma9.vxm", "vxma9.vxn"}));

  ASSERT_EQ(OnExportCovers(InCall({table, settings, ui})).outcome, Outcome::kDone);
  EXPECT_EQ(Read(Image("nine.jpg")), jpeg);
}

TEST_F(Covers, ImportNeedsExactlyOneTickBeforeAnyDialog) {
  Song(1);
  Song(2);
  SongTable table = Scan({0, 1});
  EXPECT_EQ(OnImportCover(InCall({table, settings, ui})).outcome, Outcome::kNothingTicked);
  EXPECT_EQ(Messages(), V{"导入图片请单选列表!"});
  EXPECT_EQ(ui.Count(Kind::kOpenFile), 0u);
}

struct RefusedImport {
  const char* name;
  fixtures::ChartSpec chart;
  Bytes picked;
  const char* message;
};

class ImportRefusals : public Covers, public ::testing::WithParamInterface<RefusedImport> {};

TEST_P(ImportRefusals, LeaveTheChartByteForByte) {
  const RefusedImport& c = GetParam();
  Song(4, c.chart);
  const Bytes old = Read(Music("vxma4.vxn"));
  fixtures::WriteFile(dir.Native("pick.jpg"), c.picked);
  SongTable table = Scan({0});
  ui.openFileAnswers.push_back(dir.Gbk("pick.jpg"));
  EXPECT_EQ(OnImportCover(InCall({table, settings, ui})).outcome, Outcome::kRefused);
  EXPECT_EQ(Messages(), V{c.message});
  EXPECT_EQ(Read(Music("vxma4.vxn")), old);
  EXPECT_EQ(MusicFolder(), (V{"vxma4.vxm", "vxma4.vxn"}));
}

const Bytes kGoodJpeg = fixtures::FakeCover(30);
const RefusedImport kRefusedImports[] = {
    {"NoStartMarker", {}, Bytes{0xFE, 0xD8, 0xFF, 0xD9}, "请检查导入图片是否JPG(JFIF)格式"},
    {"NoEndMarker", {}, Bytes{0xFF, 0xD8, 0x00, 0xD9}, "请检查导入图片是否JPG(JFIF)格式"},
    {"OneByte", {}, Bytes{0xFF}, "请检查导入图片是否JPG(JFIF)格式"},
    {"EmptyFile", {}, Bytes{}, "请检查导入图片是否JPG(JFIF)格式"},
    {"CoverOffsetInsideTheHeader",
     {.coverOffset = 271},
     kGoodJpeg,
     "这首歌的歌曲文件里封面位置不对,封面没有导入"},
    {"CoverOffsetPastTheEnd",
     {.coverOffset = 100000},
     kGoodJpeg,
     "这首歌的歌曲文件里封面位置不对,封面没有导入"},
    {"ChartShorterThanItsHeader", {.truncateTo = 290}, kGoodJpeg, "无法读取这首歌的歌曲文件,封面没有导入"},
};
INSTANTIATE_TEST_SUITE_P(Covers, ImportRefusals, ::testing::ValuesIn(kRefusedImports),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Covers, ImportIntoAChartThatIsGoneSaysSo) {
  Song(4);
  SongTable table = Scan({0});
  fs::remove(Music("vxma4.vxn"));
  fixtures::WriteFile(dir.Native("pick.jpg"), kGoodJpeg);
  ui.openFileAnswers.push_back(dir.Gbk("pick.jpg"));
  EXPECT_EQ(OnImportCover(InCall({table, settings, ui})).outcome, Outcome::kRefused);
  EXPECT_EQ(Messages(), V{"无法读取这首歌的歌曲文件,封面没有导入"});
  EXPECT_FALSE(fs::exists(Music("vxma4.vxn")));
}

// The window's drop test answers the question; here, what it asks and what it refuses before asking.
TEST_F(Covers, ADroppedPictureNamesItsSongInTheQuestionAndNeedsItsRow) {
  Song(4, {.title = Gbk("星之海")});
  fixtures::WriteFile(dir.Native("drop.jpg"), kGoodJpeg);
  SongTable table = Scan();  // nothing ticked: the drop names its song itself
  EXPECT_EQ(OnDropCover(InCall({table, settings, ui}), 4, dir.Gbk("drop.jpg")).outcome, Outcome::kCancelled);
  EXPECT_EQ(Utf8FromGbk(ui.events.at(0).text),
            "要把这张图片导入为这首歌的封面吗?\n编号4 星之海\n图片:" + Utf8FromGbk(dir.Gbk("drop.jpg")));
  EXPECT_EQ(OnDropCover(InCall({table, settings, ui}), 6, dir.Gbk("drop.jpg")).outcome, Outcome::kRefused);
  EXPECT_EQ(Messages(), V{"选定的歌曲已不在列表中,请重新选定"});
  EXPECT_EQ(ui.Count(Kind::kOkCancel), 1u);
}

TEST_F(Covers, AFailedRewriteIsReportedAndLeavesTheOldChartAndNoTemporaryFile) {
  Song(4, {.cover = fixtures::FakeCover(300)});
  const Bytes old = Read(Music("vxma4.vxn"));
  fixtures::WriteFile(dir.Native("pick.jpg"), fixtures::FakeCover(900));
  // The calls are counted on another song, then each fails in turn on this one.
  Song(5, {.cover = fixtures::FakeCover(300)});
  SongTable counting = Scan({1});
  ui.openFileAnswers = {dir.Gbk("pick.jpg")};
  fault_injection::Arm(0);
  ASSERT_EQ(OnImportCover(InCall({counting, settings, ui})).outcome, Outcome::kDone);
  const std::uint64_t calls = fault_injection::Calls();
  SongTable table = Scan({0});
  for (std::uint64_t n = 1; n <= calls; ++n) {
    ui.events.clear();
    ui.openFileAnswers = {dir.Gbk("pick.jpg")};
    fault_injection::Arm(n);
    const Outcome outcome = OnImportCover(InCall({table, settings, ui})).outcome;
    fault_injection::Disarm();
    EXPECT_EQ(outcome, Outcome::kFailed) << n;
    EXPECT_EQ(Messages(), V{"无法写入歌曲文件,封面没有导入,歌曲文件没有改变"}) << n;
    EXPECT_EQ(Read(Music("vxma4.vxn")), old) << n;
    EXPECT_EQ(MusicFolder(), (V{"vxma4.vxm", "vxma4.vxn", "vxma5.vxm", "vxma5.vxn"})) << n;
  }
  EXPECT_GE(calls, 4u);
}

#ifndef _WIN32
TEST_F(Covers, ImportIntoAReadOnlyChartIsRefusedByName) {
  Song(4);
  const Bytes old = Read(Music("vxma4.vxn"));
  fs::permissions(Music("vxma4.vxn"), fs::perms::owner_read);
  fixtures::WriteFile(dir.Native("pick.jpg"), kGoodJpeg);
  SongTable table = Scan({0});
  ui.openFileAnswers.push_back(dir.Gbk("pick.jpg"));
  EXPECT_EQ(OnImportCover(InCall({table, settings, ui})).outcome, Outcome::kRefused);
  EXPECT_EQ(Messages(), V{"歌曲文件是只读的,没有修改:" + Utf8FromPath(Music("vxma4.vxn"))});
  EXPECT_EQ(Read(Music("vxma4.vxn")), old);
}
#endif

}  // namespace
}  // namespace vx
