// Text lists, the game list, status marks, and the checks every operation makes before it starts.
#include <gtest/gtest.h>

#include "core/io/byte_reader.h"
#include "core/library/sort.h"
#include "core/operations/covers.h"
#include "core/operations/game_list.h"
#include "core/operations/remove_songs.h"
#include "core/operations/status_marks.h"
#include "core/operations/text_lists.h"
#include "tests/core/library_fixture.h"
#include "tests/support/operation_context.h"

namespace vx {

using fixtures::InCall;
namespace {

using testing_support::LibraryTest;
namespace fs = std::filesystem;
using Kind = fixtures::ScriptedInteraction::Event::Kind;
using V = std::vector<std::string>;

// ---- The checks before the work, in their fixed order ----

enum class Op { kTextList, kBatchText, kGameList, kDelete, kMove, kExport, kImport, kStatus };
enum class Situation {
  kNoSettingsFile,  // and an empty table, nothing ticked: the settings are looked at first
  kFolderMissing,   // and an empty table: the folders come before the table
  kEmptyTable,
  kNothingTicked,
};

struct PreconditionCase {
  const char* name;
  Op op;
  Situation situation;
  V messages;
};

class Preconditions : public LibraryTest, public ::testing::WithParamInterface<PreconditionCase> {};

Outcome RunOp(Op op, SongTable& table, const std::string& settings, Interaction& ui) {
  switch (op) {
    case Op::kTextList:
      return OnTextList(InCall({table, {}, ui})).outcome;
    case Op::kBatchText:
      return OnBatchText(InCall({table, settings, ui})).outcome;
    case Op::kGameList:
      return OnGameList(InCall({table, settings, ui})).outcome;
    case Op::kDelete:
      return OnDeleteSongs(InCall({table, settings, ui})).outcome;
    case Op::kMove:
      return OnMoveSongs(InCall({table, settings, ui})).outcome;
    case Op::kExport:
      return OnExportCovers(InCall({table, settings, ui})).outcome;
    case Op::kImport:
      return OnImportCover(InCall({table, settings, ui})).outcome;
    case Op::kStatus:
      return OnStatusWeekly(InCall({table, {}, ui})).outcome;
  }
  return Outcome::kDone;
}

TEST_P(Preconditions, SayTheirWordsAndTouchNothing) {
  const PreconditionCase& c = GetParam();
  Song(3, {.cover = fixtures::FakeCover(64)});
  SongTable table = c.situation == Situation::kNothingTicked ? Scan() : SongTable{};
  if (c.situation == Situation::kNoSettingsFile) fs::remove(dir.Path() / "REC.re");
  // The move needs the target, the export the image folder: set the MUSIC folder alone for them.
  if (c.situation == Situation::kFolderMissing)
    SetFolders(c.op == Op::kMove || c.op == Op::kExport ? dir.Gbk("MUSIC") : "");

  const Outcome outcome = RunOp(c.op, table, settings, ui);

  EXPECT_EQ(Messages(), c.messages);
  for (const std::string& caption : ui.Captions()) EXPECT_EQ(caption, "VX歌曲整理器");
  EXPECT_NE(outcome, Outcome::kDone);
  EXPECT_EQ(ui.Count(Kind::kOkCancel) + ui.Count(Kind::kOpenFile) + ui.Count(Kind::kTrash), 0u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path() / "MUSIC"), fs::directory_iterator()), 2);
  EXPECT_TRUE(fs::is_empty(dir.Path() / "moved"));
  EXPECT_TRUE(fs::is_empty(dir.Path() / "images"));
}

const PreconditionCase kPreconditionCases[] = {
    {"TextListEmptyTable", Op::kTextList, Situation::kEmptyTable, {"列表为空，请先扫描歌曲"}},
    {"BatchTextNoSettings", Op::kBatchText, Situation::kNoSettingsFile, {}},
    {"BatchTextNoFolder", Op::kBatchText, Situation::kFolderMissing, {"请检查目录设置"}},
    {"BatchTextEmptyTable", Op::kBatchText, Situation::kEmptyTable, {"列表为空啊,先扫描"}},
    {"BatchTextNothingTicked", Op::kBatchText, Situation::kNothingTicked, {}},
    {"GameListNoSettings", Op::kGameList, Situation::kNoSettingsFile, {}},
    {"GameListNoFolder", Op::kGameList, Situation::kFolderMissing, {"请检查目录设置"}},
    {"GameListEmptyTable", Op::kGameList, Situation::kEmptyTable, {"列表为空啊,先扫描"}},
    {"DeleteNoSettings", Op::kDelete, Situation::kNoSettingsFile, {}},
    {"DeleteNoFolder", Op::kDelete, Situation::kFolderMissing, {"请检查目录设置"}},
    {"DeleteEmptyTable", Op::kDelete, Situation::kEmptyTable, {"列表为空啊,先扫描"}},
    {"DeleteNothingTicked", Op::kDelete, Situation::kNothingTicked, {"请先勾选歌曲"}},
    {"MoveNoSettings", Op::kMove, Situation::kNoSettingsFile, {}},
    {"MoveNoTarget", Op::kMove, Situation::kFolderMissing, {"请检查目录设置"}},
    {"MoveEmptyTable", Op::kMove, Situation::kEmptyTable, {"列表为空啊,先扫描"}},
    {"MoveNothingTicked", Op::kMove, Situation::kNothingTicked, {"请先勾选歌曲"}},
    {"ExportNoSettings", Op::kExport, Situation::kNoSettingsFile, {}},
    {"ExportNoImageFolder", Op::kExport, Situation::kFolderMissing, {"请检查目录设置"}},
    {"ExportEmptyTable", Op::kExport, Situation::kEmptyTable, {"列表为空啊,先扫描"}},
    {"ExportNothingTicked", Op::kExport, Situation::kNothingTicked, {"请先勾选歌曲"}},
    {"ImportNoSettings", Op::kImport, Situation::kNoSettingsFile, {}},
    {"ImportNoFolder", Op::kImport, Situation::kFolderMissing, {"请检查目录设置"}},
    {"ImportEmptyTable", Op::kImport, Situation::kEmptyTable, {"列表为空,请先扫描"}},
    {"ImportNothingTicked", Op::kImport, Situation::kNothingTicked, {"导入图片请单选列表!"}},
    {"StatusEmptyTable", Op::kStatus, Situation::kEmptyTable, {"列表为空,先扫描.."}},
    {"StatusNothingTicked", Op::kStatus, Situation::kNothingTicked, {"请先勾选歌曲"}},
};
INSTANTIATE_TEST_SUITE_P(Operations, Preconditions, ::testing::ValuesIn(kPreconditionCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Text lists ----

// The header line, spelled out field by field rather than from the code's table.
const std::string kListHeader = Gbk("歌曲编号") + "  " + Gbk("歌曲名称") + std::string(24, ' ') +
                                Gbk("简单") + "  " + Gbk("普通") + "  " + Gbk("困难") + "  " + "NOTER" +
                                std::string(27, ' ') + "BPM" + std::string(7, ' ') + Gbk("时间") +
                                std::string(8, ' ');

class TextLists : public LibraryTest {};

TEST_F(TextLists, HeaderThenOneFixedWidthLinePerTickedRow) {
  Song(123, {.bpm = 150.0f,
             .easy = 3,
             .normal = 12,
             .hard = 105,
             .title = Gbk("星之海"),
             .noter = "Ayu",
             .playTime = 125});
  Song(7, {.title = std::string(33, 'T'), .noter = std::string(32, 'N')});
  Song(8, {.title = "unticked"});
  SongTable table = Scan({0, 2});  // 7 and 123
  ui.saveFileAnswers.push_back(dir.Gbk("list.txt"));
  ASSERT_EQ(OnTextList(InCall({table, {}, ui})).outcome, Outcome::kDone);

  ASSERT_EQ(kListHeader.size(), 114u);
  // A cell as wide as its field or wider is written whole and pushes the rest right; the title field
  // holds 32 bytes at most, so the 33rd T was never read.
  const std::string line7 = "7" + std::string(9, ' ') + std::string(32, 'T') + "1     5     9     " +
                            std::string(32, 'N') + "120.00    2:05      ";
  const std::string line123 = "123" + std::string(7, ' ') + Gbk("星之海") + std::string(26, ' ') +
                              "3     12    105   " + "Ayu" + std::string(29, ' ') + "150.00    2:05      ";
  EXPECT_EQ(line123.size(), 112u);
  EXPECT_EQ(Text(dir.Path() / "list.txt"), kListHeader + "\r\n" + line7 + "\r\n" + line123);
  ASSERT_EQ(ui.Count(Kind::kSaveFile), 1u);
  const FileDialogRequest& request = ui.events[0].request;
  EXPECT_EQ(request.defaultExtension, "txt");
  ASSERT_EQ(request.filters.size(), 2u);
  EXPECT_EQ(Utf8FromGbk(request.filters[0].description), "文件(*.txt)");
  EXPECT_EQ(Utf8FromGbk(request.filters[1].description), " (*.*)");
  EXPECT_EQ(Messages(), V{});
}

TEST_F(TextLists, NothingTickedStillWritesTheHeaderAndAnUncreatableFileIsNamed) {
  Song(1);
  SongTable table = Scan();
  ui.saveFileAnswers.push_back(dir.Gbk("list.txt"));
  ASSERT_EQ(OnTextList(InCall({table, {}, ui})).outcome, Outcome::kDone);
  EXPECT_EQ(Text(dir.Path() / "list.txt"), kListHeader);

  ui.saveFileAnswers.push_back(dir.Gbk("MUSIC"));  // a folder cannot be created as a file
  EXPECT_EQ(OnTextList(InCall({table, {}, ui})).outcome, Outcome::kFailed);
  EXPECT_EQ(Messages(), V{"无法创建文件:\n" + Utf8FromGbk(dir.Gbk("MUSIC")) + "(这不是普通文件,没有写入)"});
}

TEST_F(TextLists, BatchTextNamesFilesByIdAndSafeTitleAndHoldsTheTitleAsIs) {
  Song(12, {.title = "AB/C"});
  Song(13, {.title = "[:*?]"});
  Song(14, {.title = "old"});
  SongTable table = Scan({0, 1});
  ASSERT_EQ(OnBatchText(InCall({table, settings, ui})).outcome, Outcome::kDone);
  EXPECT_EQ(Text(Music("vxma12ABC.txt")), "AB/C");  // the slash leaves the name, not the content
  EXPECT_TRUE(fs::exists(Music("vxma13.txt")));
  EXPECT_EQ(fs::file_size(Music("vxma13.txt")), 5u);
  EXPECT_FALSE(fs::exists(Music("vxma14old.txt")));
  EXPECT_EQ(Messages(), V{"生成完毕"});
}

TEST_F(TextLists, BatchTextDoesNotSayDoneOverFilesItCouldNotWrite) {
  Song(1, {.title = "a"});
  Song(2, {.title = "b"});
  fs::create_directories(Music("vxma1a.txt"));  // in the way of the first song's file
  SongTable table = Scan({0, 1});
  EXPECT_EQ(OnBatchText(InCall({table, settings, ui})).outcome, Outcome::kFailed);
  EXPECT_EQ(Text(Music("vxma2b.txt")), "b");
  EXPECT_EQ(Messages(), V{"以下文件无法创建:\n" + Utf8FromGbk(GbkPath(Music("vxma1a.txt"))) +
                          "(这不是普通文件,没有写入)"});
}

TEST_F(TextLists, ALongListOfFailuresShowsItsFirstLinesAndTheTotal) {
  for (int id = 0; id < 25; ++id) {
    Song(id, {.title = "x"}, /*withMusic=*/false);
    fs::create_directories(Music("vxma" + std::to_string(id) + "x.txt"));
  }
  SongTable table = Scan();
  table.SetAllTicked(true);
  EXPECT_EQ(OnBatchText(InCall({table, settings, ui})).outcome, Outcome::kFailed);
  ASSERT_EQ(Messages().size(), 1u);
  const std::string text = Messages()[0];
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 21);
  EXPECT_EQ(text.substr(text.rfind('\n') + 1), "……(共25个)");
}

// ---- The game list ----

class GameList : public LibraryTest {
 protected:
  static std::array<std::uint32_t, 4> StatusRecord(const Bytes& file, std::size_t at) {
    ByteReader in(file);
    in.Seek(at);
    std::array<std::uint32_t, 4> r{};
    for (auto& v : r) in.ReadU32Le(v);
    return r;
  }
  static std::uint32_t U32(const Bytes& file, std::size_t at) { return StatusRecord(file, at)[0]; }
};

TEST_F(GameList, ChartRecordsInTableOrderThenTheStatusRecordsOfTickedMarkedRows) {
  for (int id : {3, 9, 40, 41})
    Song(id, {.title = "s" + std::to_string(id), .cover = fixtures::FakeCover(40)});
  SongTable table = Scan({0, 1, 2, 3});
  SortTable(table, kColId, /*ascending=*/false);  // 41, 40, 9, 3
  table.SetCell(0, kColStatus, Gbk("一周更新"));
  table.SetCell(1, kColStatus, Gbk("最新更新"));
  table.SetCell(3, kColStatus, Gbk("最受欢迎"));
  table.SetCell(2, kColStatus, Gbk("最新更新"));
  table.SetTicked(2, false);  // marked but unticked: in neither section
  ui.saveFileAnswers.push_back(dir.Gbk("list.dat"));
  ASSERT_EQ(OnGameList(InCall({table, settings, ui})).outcome, Outcome::kDone);

  const Bytes file = Read(dir.Path() / "list.dat");
  ASSERT_EQ(file.size(), 8u + 300 * 3 + 16 * 3);
  EXPECT_EQ(U32(file, 0), 3u);
  const int order[] = {41, 40, 3};
  for (std::size_t i = 0; i < 3; ++i) {
    const Bytes chart = Read(Music("vxma" + std::to_string(order[i]) + ".vxn"));
    EXPECT_TRUE(std::equal(chart.begin(), chart.begin() + 300, file.begin() + 4 + 300 * static_cast<long>(i)))
        << "record " << i;
  }
  EXPECT_EQ(U32(file, 904), 3u);
  EXPECT_EQ(StatusRecord(file, 908), (std::array<std::uint32_t, 4>{41, 0, 0, 1}));
  EXPECT_EQ(StatusRecord(file, 924), (std::array<std::uint32_t, 4>{40, 0, 1, 0}));
  EXPECT_EQ(StatusRecord(file, 940), (std::array<std::uint32_t, 4>{3, 0, 2, 0}));
  EXPECT_EQ(Messages(), V{});
  const FileDialogRequest& request = ui.events[0].request;
  EXPECT_EQ(request.defaultExtension, "dat");
  ASSERT_EQ(request.filters.size(), 2u);
  EXPECT_EQ(Utf8FromGbk(request.filters[0].description), "VX列表文件(*.dat)");
  EXPECT_EQ(request.filters[1].pattern, "*.SML");
}

TEST_F(GameList, NothingTickedGivesTwoZeroCounts) {
  Song(1);
  SongTable table = Scan();
  table.SetCell(0, kColStatus, Gbk("最新更新"));
  ui.saveFileAnswers.push_back(dir.Gbk("list.SML"));
  ASSERT_EQ(OnGameList(InCall({table, settings, ui})).outcome, Outcome::kDone);
  EXPECT_EQ(Read(dir.Path() / "list.SML"), Bytes(8, 0));
}

TEST_F(GameList, UnreadableAndShortChartsKeepAFullRecordAndAreNamed) {
  Song(1);
  Song(2, {.truncateTo = 120});
  Song(5);
  SongTable table = Scan({0, 1, 2});
  fs::remove(Music("vxma5.vxn"));
  fs::create_directories(Music("vxma5.vxn"));  // opens, but does not read
  ui.saveFileAnswers.push_back(dir.Gbk("list.dat"));
  ASSERT_EQ(OnGameList(InCall({table, settings, ui})).outcome, Outcome::kDone);

  const Bytes file = Read(dir.Path() / "list.dat");
  ASSERT_EQ(file.size(), 8u + 900);
  const Bytes shortChart = Read(Music("vxma2.vxn"));
  Bytes expected(shortChart);
  expected.resize(300, 0);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), file.begin() + 304));
  EXPECT_TRUE(std::all_of(file.begin() + 604, file.begin() + 904, [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(Messages(),
            V{"列表已生成,但以下歌曲的文件无法读取或不足300字节,它们在列表中的资料为空。编号:2,5"});
}

// ---- Status marks ----

TEST_F(LibraryTest, StatusMarksGoToTickedRowsOnlyAndClearEmpties) {
  for (int id : {1, 2, 3}) Song(id);
  SongTable table = Scan({0, 2});
  table.SetCell(1, kColStatus, Gbk("最受欢迎"));
  const std::pair<OperationResult (*)(OperationContext&), const char*> handlers[] = {
      {OnStatusWeekly, "一周更新"},
      {OnStatusNewest, "最新更新"},
      {OnStatusPopular, "最受欢迎"},
      {OnStatusClear, ""}};
  for (const auto& [handler, text] : handlers) {
    const OperationResult result = handler(InCall({table, {}, ui}));
    EXPECT_EQ(result.outcome, Outcome::kDone);
    EXPECT_EQ(result.change.changedColumn, kColStatus);
    EXPECT_EQ(Utf8FromGbk(table.Cell(0, kColStatus)), text);
    EXPECT_EQ(Utf8FromGbk(table.Cell(2, kColStatus)), text);
    EXPECT_EQ(Utf8FromGbk(table.Cell(1, kColStatus)), "最受欢迎");
  }
  EXPECT_EQ(Messages(), V{});
}

}  // namespace
}  // namespace vx
