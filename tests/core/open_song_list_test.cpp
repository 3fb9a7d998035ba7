#include <gtest/gtest.h>

#include <filesystem>

#include "core/formats/song_files.h"
#include "core/library/scan.h"
#include "core/messages.h"
#include "core/operations/open_song_list.h"
#include "core/text/gbk.h"
#include "tests/support/fixtures.h"
#include "tests/support/operation_context.h"
#include "tests/support/scripted_interaction.h"
#include "tests/support/song_list_builder.h"
#include "tests/support/temp_dir.h"

namespace vx {

using fixtures::InCall;
namespace {

using fixtures::BuildChart;
using fixtures::BuildSongList;
using fixtures::ChartSpec;
using fixtures::ScriptedInteraction;
using fixtures::SongListSpec;
using fixtures::TempDir;

constexpr std::size_t kStatusAt = 4 + 300;  // where the second count lies in a one-chart list

// A MUSIC folder, REC.re naming it, and the scanned table; the list file goes beside them.
class Library {
 public:
  Library() { fixtures::WriteFile(m_dir.Native("REC.re"), fixtures::BuildSettingsFile(m_dir.Gbk("MUSIC"))); }

  void Song(int id, const ChartSpec& recipe) { fixtures::WriteSong(m_dir.Native("MUSIC"), id, recipe); }
  Bytes Chart(int id) const { return *ReadWholeFile(ChartPath(m_dir.Gbk("MUSIC"), id)); }
  void Scan() { m_table.Assign(ScanMusicFolder(m_dir.Gbk("MUSIC"))); }
  SongTable& Table() { return m_table; }
  const TempDir& Dir() const { return m_dir; }

  // Opens `list` as if chosen in the file dialog.
  OpenSongListResult Open(const Bytes& list, ScriptedInteraction& ui) {
    fixtures::WriteFile(m_dir.Native("list.dat"), list);
    ui.openFileAnswers.push_back(m_dir.Gbk("list.dat"));
    return OnOpenSongList(InCall({m_table, m_dir.Gbk("REC.re"), ui}));
  }

  std::vector<int> TickedIds() const {
    std::vector<int> ids;
    for (std::size_t r : m_table.TickedRows()) ids.push_back(m_table.Row(r).Id());
    return ids;
  }
  std::string Status(int id) const { return Utf8FromGbk(m_table.Cell(*m_table.FindId(id), kColStatus)); }

 private:
  TempDir m_dir;
  SongTable m_table;
};

// What the list writer does for the table as it stands: the ticked rows' first 300 bytes in table order,
// then a status record for each ticked row with a mark.
Bytes ListOfTicked(Library& lib) {
  SongListSpec recipe;
  const SongTable& t = lib.Table();
  for (std::size_t r : t.TickedRows()) {
    recipe.charts.push_back(lib.Chart(t.Row(r).Id()));
    const std::string mark = Utf8FromGbk(t.Cell(r, kColStatus));
    if (mark.empty()) continue;
    fixtures::StatusRecordSpec s{.id = t.Row(r).Id()};
    if (mark == "一周更新") s = {.id = s.id, .kind = 0, .oneWeek = 1};
    if (mark == "最受欢迎") s.kind = 2;
    recipe.statuses.push_back(s);
  }
  return BuildSongList(recipe);
}

TEST(OpenSongList, ReadsBackTheTicksAndMarksItWasWrittenFrom) {
  Library lib;
  lib.Song(3, {.title = "\xD0\xC7\xD6\xAE\xBA\xA3", .noter = "Ayu"});
  lib.Song(7, {.title = "seven"});
  lib.Song(12, {.title = "twelve", .cover = fixtures::FakeCover(100)});
  lib.Song(40, {.title = "forty"});
  lib.Scan();
  SongTable& t = lib.Table();
  // Ticked in a sorted order, with marks of every kind and one on an unticked row, which is not listed.
  t.Reorder(std::vector<std::size_t>{2, 0, 3, 1});  // 12, 3, 40, 7
  for (int id : {12, 3, 40}) t.SetTicked(*t.FindId(id), true);
  t.SetCell(*t.FindId(12), kColStatus, Gbk("最新更新"));
  t.SetCell(*t.FindId(3), kColStatus, Gbk("一周更新"));
  t.SetCell(*t.FindId(40), kColStatus, Gbk("最受欢迎"));
  t.SetCell(*t.FindId(7), kColStatus, Gbk("最受欢迎"));
  const Bytes list = ListOfTicked(lib);
  t.SetTicked(*t.FindId(7), true);

  // Change everything the list decides, then reopen it.
  for (int id : {12, 3}) t.SetTicked(*t.FindId(id), false);
  ScriptedInteraction ui;
  const auto result = lib.Open(list, ui);
  ASSERT_TRUE(result.applied);
  EXPECT_TRUE(result.change.allRowsChanged);
  EXPECT_EQ(lib.TickedIds(), (std::vector<int>{12, 3, 40}));
  EXPECT_EQ(lib.Status(12), "最新更新");
  EXPECT_EQ(lib.Status(3), "一周更新");
  EXPECT_EQ(lib.Status(40), "最受欢迎");
  EXPECT_EQ(lib.Status(7), "");  // cleared: the list holds no mark for it
  EXPECT_EQ(ui.Messages(), std::vector<std::string>{"已勾选3首歌曲,设置了3个状态。"});
  EXPECT_EQ(ui.Captions(), std::vector<std::string>{"VX歌曲整理器"});
  ASSERT_EQ(ui.Count(ScriptedInteraction::Event::kOpenFile), 1u);
  const auto& filters = ui.events[0].request.filters;
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].pattern, "*.dat");
  EXPECT_EQ(filters[1].pattern, "*.SML");
}

TEST(OpenSongList, FindsChangedChartsByNameAndReportsTheRest) {
  Library lib;
  lib.Song(1, {.hard = 9, .title = "edited", .noter = "n1"});
  lib.Song(2, {.title = "gone", .noter = "n2"});
  lib.Song(3, {.title = "short", .truncateTo = 200});
  lib.Song(5, {.title = "twin", .noter = "same"});
  lib.Song(6, {.title = "twin", .noter = "same"});  // the same song copied under a second ID
  lib.Song(8, {.title = "edited", .noter = "someone else"});
  lib.Song(9, {.hard = 4, .title = ""});  // untitled like the last record: no match by name for that
  lib.Song(20, {.easy = 1, .title = "pair", .noter = "p"});
  lib.Song(21, {.easy = 2, .title = "pair", .noter = "p"});
  SongListSpec recipe;
  // 21 as it was before an edit comes first; 20 unchanged after it must still get its own row.
  recipe.charts.push_back(BuildChart({.easy = 3, .title = "pair", .noter = "p"}));
  for (int id : {1, 2, 3, 5, 6, 20}) recipe.charts.push_back(lib.Chart(id));
  recipe.charts.push_back(BuildChart({.title = ""}));  // an untitled song this folder never had
  recipe.statuses = {{.id = 2, .kind = 2}, {.id = 6, .kind = 1}, {.id = 4000, .kind = 1}};
  const Bytes list = BuildSongList(recipe);

  // Since the list was written: song 1 got a new level, song 2 left the folder.
  lib.Song(1, {.hard = 12, .title = "edited", .noter = "n1"});
  std::filesystem::remove(lib.Dir().Path() / "MUSIC" / "vxma2.vxn");
  lib.Scan();
  ScriptedInteraction ui;
  const auto result = lib.Open(list, ui);
  ASSERT_TRUE(result.applied);
  EXPECT_EQ(lib.TickedIds(), (std::vector<int>{1, 3, 5, 6, 20, 21}));  // not 8: another author
  EXPECT_EQ(result.applied->missingTitles, (std::vector<std::string>{"gone", ""}));
  EXPECT_EQ(result.applied->missingStatusIds, (std::vector<int>{2, 4000}));
  EXPECT_EQ(lib.Status(6), "最新更新");
  EXPECT_EQ(ui.Messages(), std::vector<std::string>{"已勾选6首歌曲,设置了1个状态。\n"
                                                    "列表里的以下歌曲不在文件夹里:\ngone\n(无歌名)\n"
                                                    "以下编号有状态资料,但文件夹里没有这首歌:2,4000"});
}

TEST(OpenSongList, ALongSummaryShowsTheStartOfEachListAndItsTotal) {
  Library lib;
  lib.Song(1, {});
  lib.Scan();
  SongListSpec recipe;
  for (int i = 0; i < 60; ++i) {
    recipe.charts.push_back(BuildChart({.title = "t" + std::to_string(i)}));
    recipe.statuses.push_back({.id = 100 + i});
  }
  ScriptedInteraction ui;
  lib.Open(BuildSongList(recipe), ui);
  ASSERT_EQ(ui.Messages().size(), 1u);
  const std::string text = ui.Messages()[0];
  EXPECT_NE(text.find("\nt19\n……(共60首)\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("t20"), std::string::npos);
  EXPECT_NE(text.find(",149……(共60首)"), std::string::npos) << text;
  EXPECT_EQ(text.find("150"), std::string::npos);
}

TEST(OpenSongList, ChecksComeBeforeTheDialogAndCancelChangesNothing) {
  Library lib;
  lib.Song(1, {});
  ScriptedInteraction empty;
  EXPECT_FALSE(OnOpenSongList(InCall({lib.Table(), lib.Dir().Gbk("REC.re"), empty})).change.allRowsChanged);
  EXPECT_EQ(empty.Messages(), std::vector<std::string>{"列表为空,请先扫描"});

  lib.Scan();
  lib.Table().SetTicked(0, true);
  ScriptedInteraction cancel;
  EXPECT_FALSE(OnOpenSongList(InCall({lib.Table(), lib.Dir().Gbk("REC.re"), cancel})).change.allRowsChanged);
  EXPECT_TRUE(lib.Table().IsTicked(0));
  EXPECT_TRUE(cancel.Messages().empty());

  ScriptedInteraction noSettings;
  EXPECT_FALSE(
      OnOpenSongList(InCall({lib.Table(), lib.Dir().Gbk("none.re"), noSettings})).change.allRowsChanged);
  EXPECT_TRUE(noSettings.events.empty());

  fixtures::WriteFile(lib.Dir().Native("REC.re"), fixtures::BuildSettingsFile(""));
  ScriptedInteraction noFolder;
  OnOpenSongList(InCall({lib.Table(), lib.Dir().Gbk("REC.re"), noFolder}));
  EXPECT_EQ(noFolder.Messages(), std::vector<std::string>{"请检查目录设置"});
  EXPECT_EQ(noFolder.Count(ScriptedInteraction::Event::kOpenFile), 0u);
}

struct Damaged {
  const char* name;
  Bytes file;
  SongListError::Kind kind;
  std::size_t offset;
};

Bytes OneChart(std::vector<fixtures::StatusRecordSpec> statuses,
               std::optional<std::int32_t> statusCount = {}) {
  return BuildSongList(
      {.charts = {BuildChart({})}, .statuses = std::move(statuses), .statusCount = statusCount});
}

Bytes Cut(Bytes b, std::size_t n) {
  b.resize(n);
  return b;
}

Bytes Append(Bytes b, std::size_t n) {
  b.resize(b.size() + n, 0);
  return b;
}

const Damaged kDamaged[] = {
    {"Empty", {}, SongListError::kChartCountMissing, 0},
    {"ThreeBytes", {1, 0, 0}, SongListError::kChartCountMissing, 0},
    {"NegativeChartCount", BuildSongList({.chartCount = -1}), SongListError::kChartCountInvalid, 0},
    {"HugeChartCount", BuildSongList({.chartCount = 0x7FFFFFFF}), SongListError::kChartCountInvalid, 0},
    {"ChartCountAbove5000", BuildSongList({.chartCount = 5001}), SongListError::kChartCountInvalid, 0},
    {"ChartsCutShort", BuildSongList({.charts = {BuildChart({})}, .chartCount = 2}),
     SongListError::kChartsTruncated, 308},
    {"NoStatusCount", Cut(BuildSongList({}), 4), SongListError::kChartsTruncated, 4},
    {"NegativeStatusCount", OneChart({}, -1), SongListError::kStatusCountInvalid, kStatusAt},
    {"MoreMarksThanCharts", OneChart({{.id = 1}, {.id = 2}}), SongListError::kStatusCountInvalid, kStatusAt},
    {"StatusRecordCutShort", Cut(OneChart({{.id = 1}}), kStatusAt + 4 + 8), SongListError::kStatusesTruncated,
     kStatusAt + 4 + 8},
    {"TrailingByte", Append(OneChart({{.id = 1}}), 1), SongListError::kTrailingBytes, kStatusAt + 4 + 16},
    {"TrailingBytesWithoutMarks", Append(OneChart({}), 16), SongListError::kTrailingBytes, kStatusAt + 4},
    {"StatusId5000", OneChart({{.id = 5000}}), SongListError::kStatusIdInvalid, kStatusAt + 4},
    {"NegativeStatusId", OneChart({{.id = -1}}), SongListError::kStatusIdInvalid, kStatusAt + 4},
    {"SecondFieldNotZero", OneChart({{.id = 1, .zero = 1}}), SongListError::kStatusPaddingNonZero,
     kStatusAt + 8},
    {"UnknownKind", OneChart({{.id = 1, .kind = 3}}), SongListError::kStatusMarkUnknown, kStatusAt + 12},
    {"NewestAndWeekly", OneChart({{.id = 1, .kind = 1, .oneWeek = 1}}), SongListError::kStatusMarkUnknown,
     kStatusAt + 12},
    {"WeeklyFlagTwo", OneChart({{.id = 1, .kind = 0, .oneWeek = 2}}), SongListError::kStatusMarkUnknown,
     kStatusAt + 12},
    {"NoMarkAtAll", OneChart({{.id = 1, .kind = 0, .oneWeek = 0}}), SongListError::kStatusMarkUnknown,
     kStatusAt + 12},
    {"RepeatedId",
     BuildSongList(
         {.charts = {BuildChart({}), BuildChart({})}, .statuses = {{.id = 9}, {.id = 9, .kind = 2}}}),
     SongListError::kStatusIdRepeated, 4 + 600 + 4 + 16},
    {"LargerThanAnyList", Bytes(song_list::kMaxFileSize + 1, 0), SongListError::kTooLarge,
     song_list::kMaxFileSize},
};

class DamagedSongList : public ::testing::TestWithParam<Damaged> {};

TEST_P(DamagedSongList, IsRefusedAndLeavesTheTableAlone) {
  const Damaged& d = GetParam();
  const auto read = ReadSongList(d.file);
  ASSERT_TRUE(std::holds_alternative<SongListError>(read));
  EXPECT_EQ(std::get<SongListError>(read).kind, d.kind);
  EXPECT_EQ(std::get<SongListError>(read).offset, d.offset);

  Library lib;
  lib.Song(1, {});
  lib.Scan();
  lib.Table().SetTicked(0, true);
  lib.Table().SetCell(0, kColStatus, Gbk("最新更新"));
  ScriptedInteraction ui;
  EXPECT_FALSE(lib.Open(d.file, ui).change.allRowsChanged);
  EXPECT_TRUE(lib.Table().IsTicked(0));
  EXPECT_EQ(lib.Status(1), "最新更新");
  ASSERT_EQ(ui.Messages().size(), 1u);
  EXPECT_EQ(ui.Messages()[0].rfind("这不是完整的游戏歌曲列表文件:", 0), 0u) << ui.Messages()[0];
  EXPECT_NE(ui.Messages()[0].find("(第" + std::to_string(d.offset) + "字节)"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedSongList, ::testing::ValuesIn(kDamaged),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OpenSongList, AFileThatCannotBeReadIsSaidSo) {
  Library lib;
  lib.Song(1, {});
  lib.Scan();
  ScriptedInteraction ui;
  ui.openFileAnswers.push_back(lib.Dir().Gbk("MUSIC"));  // a folder: opens nowhere as a file
  EXPECT_FALSE(OnOpenSongList(InCall({lib.Table(), lib.Dir().Gbk("REC.re"), ui})).change.allRowsChanged);
  ASSERT_EQ(ui.Messages().size(), 1u);
  EXPECT_EQ(ui.Messages()[0].rfind("无法读取文件:", 0), 0u);
}

}  // namespace
}  // namespace vx
