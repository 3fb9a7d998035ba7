#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <thread>

#include "core/formats/chart_header.h"
#include "core/io/byte_reader.h"
#include "core/io/fault_injection.h"
#include "core/io/file_io.h"
#include "core/io/file_rewrite.h"
#include "core/library/scan.h"
#include "core/library/sort.h"
#include "core/operations/song_edit.h"
#include "core/text/gbk.h"
#include "tests/support/fixtures.h"
#include "tests/support/operation_context.h"
#include "tests/support/scripted_interaction.h"

namespace vx {

using fixtures::InCall;
namespace {

using fixtures::ChartSpec;
using fixtures::ScriptedInteraction;

class TempFolder {
 public:
  TempFolder() {
    std::random_device seed;
    m_path = std::filesystem::temp_directory_path() / ("vx_song_edit_" + std::to_string(seed()));
    std::filesystem::create_directories(m_path);
  }
  ~TempFolder() { std::filesystem::remove_all(m_path); }
  std::string Path() const { return m_path.string(); }

 private:
  std::filesystem::path m_path;
};

class SongEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    spec7.title = Gbk("旧歌");
    spec7.cover = fixtures::FakeCover(40);
    spec12.title = "Other";
    fixtures::WriteSong(folder.Path(), 7, spec7);
    fixtures::WriteSong(folder.Path(), 12, spec12);
    table.Assign(ScanMusicFolder(folder.Path()));
    before7 = Chart(7);
    before12 = Chart(12);
  }

  Bytes Chart(int id) const { return ReadWholeFile(ChartPath(folder.Path(), id)).value(); }
  SongEditTarget Target(int id) const { return {id, folder.Path()}; }
  SaveOutcome Save(const std::optional<SongEditTarget>& target, const SongEdits& edits) {
    return OnSaveSong(InCall({table, {}, ui}), target, edits).saved;
  }

  TempFolder folder;
  ChartSpec spec7, spec12;
  SongTable table;
  ScriptedInteraction ui;
  Bytes before7, before12;
};

TEST_F(SongEditTest, ConfirmedSaveWritesOnlyTheThirtyEightFieldBytesAndTheRow) {
  ui.okCancelAnswers = {true};
  ASSERT_EQ(Save(Target(7), {"新歌名", "0", "255", "65535"}), SaveOutcome::kSaved);

  Bytes expected = before7;
  const std::string title = Gbk("新歌名");
  std::fill(expected.begin() + chart_offset::kTitle, expected.begin() + chart_offset::kTitle + 32, 0);
  std::copy(title.begin(), title.end(), expected.begin() + chart_offset::kTitle);
  const std::uint8_t levels[] = {0x00, 0x00, 0xFF, 0x00, 0xFF, 0xFF};
  std::copy(std::begin(levels), std::end(levels), expected.begin() + chart_offset::kLevelEasy);
  EXPECT_EQ(Chart(7), expected);
  EXPECT_EQ(Chart(12), before12);

  EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"OK"}));
  ASSERT_EQ(ui.Count(ScriptedInteraction::Event::kOkCancel), 1u);
  EXPECT_EQ(Utf8FromGbk(ui.events.front().text), "确定修改编号7 旧歌吗?");  // names what it writes
  EXPECT_EQ(ui.Captions(), (std::vector<std::string>{"VX歌曲整理器"}));
  EXPECT_EQ(table.Cell(0, kColTitle), title);
  EXPECT_EQ(table.Cell(0, kColHard), "65535");
}

TEST_F(SongEditTest, LevelsAreReadLikeAtoiWhileTheRowKeepsWhatWasTyped) {
  ui.okCancelAnswers = {true};
  ASSERT_EQ(Save(Target(7), {"T", "007", "", "65535"}), SaveOutcome::kSaved);
  const Bytes after = Chart(7);
  EXPECT_EQ(after[chart_offset::kLevelEasy], 7);
  EXPECT_EQ(after[chart_offset::kLevelNormal], 0);
  EXPECT_EQ(after[chart_offset::kLevelHard], 0xFF);
  EXPECT_EQ(after[chart_offset::kLevelHard + 1], 0xFF);
  EXPECT_EQ(table.Cell(0, kColEasy), "007");
}

TEST_F(SongEditTest, ATitleOfExactly31BytesKeepsItsTerminatorInsideTheField) {
  ui.okCancelAnswers = {true};
  const std::string title(31, 'x');
  ASSERT_EQ(Save(Target(7), {title, "1", "2", "3"}), SaveOutcome::kSaved);
  const Bytes after = Chart(7);
  EXPECT_EQ(std::string(after.begin() + chart_offset::kTitle, after.begin() + chart_offset::kTitle + 31),
            title);
  EXPECT_EQ(after[chart_offset::kTitle + 31], 0);
  EXPECT_EQ(after.size(), before7.size());
}

TEST_F(SongEditTest, TheSaveFollowsTheLoadedSongWhenSortingMovesItsRow) {
  SortTable(table, kColId, false);  // 12 now stands where 7 was loaded from
  ui.okCancelAnswers = {true};
  ASSERT_EQ(Save(Target(7), {"Moved", "1", "1", "1"}), SaveOutcome::kSaved);
  EXPECT_EQ(Chart(12), before12);
  EXPECT_NE(Chart(7), before7);
  EXPECT_EQ(table.Cell(1, kColTitle), "Moved");
  EXPECT_EQ(table.Cell(0, kColTitle), "Other");
}

TEST_F(SongEditTest, AnUnchangedTitleKeepsItsOwnBytes) {
  // A title that fills its whole field, and one with a byte GBK cannot decode: neither survives the
  // keyboard's Unicode, yet changing only the levels must work and leave the title bytes alone.
  ChartSpec full, odd;
  full.title = std::string(32, 'F');
  odd.title =
      "A\xFF"
      "B";
  fixtures::WriteSong(folder.Path(), 40, full);
  fixtures::WriteSong(folder.Path(), 41, odd);
  table.Assign(ScanMusicFolder(folder.Path()));
  for (int id : {40, 41}) {
    const Bytes before = Chart(id);
    const std::string shown = Utf8FromGbk(table.Cell(*table.FindId(id), kColTitle));
    ui.okCancelAnswers = {true};
    ASSERT_EQ(Save(Target(id), {shown, "1", "2", "300"}), SaveOutcome::kSaved) << id;
    Bytes expected = before;
    expected[chart_offset::kLevelEasy] = 1;
    expected[chart_offset::kLevelNormal] = 2;
    expected[chart_offset::kLevelHard] = 300 % 256;
    expected[chart_offset::kLevelHard + 1] = 1;
    if (id == 41)  // a title shorter than its field is written back with zeros after it, as always
      std::fill(expected.begin() + chart_offset::kTitle + 4, expected.begin() + chart_offset::kTitle + 32, 0);
    EXPECT_EQ(Chart(id), expected) << id;
  }
}

struct Refusal {
  const char* name;
  bool emptyTable;
  std::optional<bool> answer;  // the confirmation's answer; empty when it must not be asked
  std::optional<SongEditTarget> target;
  SongEdits edits;
  SaveOutcome outcome;
  std::vector<std::string> messages;
};

class SaveRefusalTest : public SongEditTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(SaveRefusalTest, WritesNothingAndSaysWhy) {
  const Refusal& r = GetParam();
  if (r.emptyTable) table.Clear();
  if (r.answer) ui.okCancelAnswers = {*r.answer};
  std::optional<SongEditTarget> target = r.target;
  if (target && target->musicDir == "here") target->musicDir = folder.Path();
  const auto rowsBefore = table.Size() ? table.Row(0).cells : SongRow{}.cells;

  EXPECT_EQ(Save(target, r.edits), r.outcome);
  EXPECT_EQ(ui.Messages(), r.messages);
  EXPECT_EQ(ui.Count(ScriptedInteraction::Event::kOkCancel), r.answer ? 1u : 0u);
  EXPECT_EQ(Chart(7), before7);
  EXPECT_EQ(Chart(12), before12);
  if (!r.emptyTable) {
    EXPECT_EQ(table.Row(0).cells, rowsBefore);
  }
}

const SongEdits kEdits{"New", "1", "2", "3"};

INSTANTIATE_TEST_SUITE_P(Save, SaveRefusalTest,
                         ::testing::Values(Refusal{"EmptyTableAsksNothing",
                                                   true,
                                                   std::nullopt,
                                                   SongEditTarget{7, "here"},
                                                   kEdits,
                                                   SaveOutcome::kEmptyTable,
                                                   {"列表为空,请先扫描"}},
                                           Refusal{"CancelledSaysNothing",
                                                   false,
                                                   false,
                                                   SongEditTarget{7, "here"},
                                                   kEdits,
                                                   SaveOutcome::kCancelled,
                                                   {}},
                                           Refusal{"NoRowChosenYetAsksNothing",
                                                   false,
                                                   std::nullopt,
                                                   std::nullopt,
                                                   kEdits,
                                                   SaveOutcome::kNoTarget,
                                                   {"请先选定一首歌"}},
                                           Refusal{"LoadedSongNoLongerListedAsksNothing",
                                                   false,
                                                   std::nullopt,
                                                   SongEditTarget{30, "here"},
                                                   kEdits,
                                                   SaveOutcome::kSongGone,
                                                   {"选定的歌曲已不在列表中,请重新选定"}},
                                           Refusal{"TitleOver31BytesIsRefusedBeforeTheQuestion",
                                                   false,
                                                   std::nullopt,
                                                   SongEditTarget{7, "here"},
                                                   {std::string(32, 'x'), "1", "2", "3"},
                                                   SaveOutcome::kBadInput,
                                                   {"歌曲名字太长,最多31个字节(15个汉字)"}},
                                           Refusal{"SixteenChineseCharactersAreTooLong",
                                                   false,
                                                   std::nullopt,
                                                   SongEditTarget{7, "here"},
                                                   {"一二三四五六七八九十一二三四五六", "1", "2", "3"},
                                                   SaveOutcome::kBadInput,
                                                   {"歌曲名字太长,最多31个字节(15个汉字)"}},
                                           Refusal{"TitleWithACharacterGbkLacks",
                                                   false,
                                                   std::nullopt,
                                                   SongEditTarget{7, "here"},
                                                   {"Song 🎵", "1", "2", "3"},
                                                   SaveOutcome::kBadInput,
                                                   {"歌曲名字里有游戏无法显示的字符:U+1F3B5"}},
                                           Refusal{"TitleWithATab",
                                                   false,
                                                   std::nullopt,
                                                   SongEditTarget{7, "here"},
                                                   {"A\tB", "1", "2", "3"},
                                                   SaveOutcome::kBadInput,
                                                   {"歌曲名字里不能有制表符、换行之类的控制字符"}},
                                           Refusal{"LevelAbove65535IsNotStoredAsAnotherLevel",
                                                   false,
                                                   std::nullopt,
                                                   SongEditTarget{7, "here"},
                                                   {"New", "1", "2", "65536"},
                                                   SaveOutcome::kBadInput,
                                                   {"等级只能是0到65535之间的数,这一项超出了范围:困难"}},
                                           Refusal{"NegativeLevel",
                                                   false,
                                                   std::nullopt,
                                                   SongEditTarget{7, "here"},
                                                   {"New", "-1", "2", "3"},
                                                   SaveOutcome::kBadInput,
                                                   {"等级只能是0到65535之间的数,这一项超出了范围:简单"}},
                                           Refusal{"ChartMissingEndsSilently",
                                                   false,
                                                   true,
                                                   SongEditTarget{7, "/no/such/folder"},
                                                   kEdits,
                                                   SaveOutcome::kNotWritten,
                                                   {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SongEditTest, AChartTooShortForTheFieldsIsNotExtended) {
  ChartSpec shortSpec;
  shortSpec.truncateTo = 120;  // ends inside the title field
  fixtures::WriteSong(folder.Path(), 20, shortSpec);
  table.Assign(ScanMusicFolder(folder.Path()));
  const Bytes before = Chart(20);
  ui.okCancelAnswers = {true};
  EXPECT_EQ(Save(Target(20), kEdits), SaveOutcome::kChartTooShort);
  EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"歌曲文件太短,无法保存"}));
  EXPECT_EQ(Chart(20), before);
}

TEST_F(SongEditTest, EveryFailedStepOfTheRewriteLeavesChartAndRowAsTheyWere) {
  // Count the calls that change the file system, then fail each in turn.
  fault_injection::Arm(0);
  ui.okCancelAnswers = {true};
  ASSERT_EQ(Save(Target(12), kEdits), SaveOutcome::kSaved);
  const std::uint64_t calls = fault_injection::Calls();
  ASSERT_GE(calls, 4u);  // create, write, flush, rename
  for (std::uint64_t n = 1; n <= calls; ++n) {
    ui.events.clear();
    ui.okCancelAnswers = {true};
    fault_injection::Arm(n);
    const SaveOutcome outcome = Save(Target(7), kEdits);
    fault_injection::Disarm();
    EXPECT_EQ(outcome, SaveOutcome::kNotWritten) << n;
    EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"无法写入歌曲文件,什么也没有改变"})) << n;
    EXPECT_EQ(Chart(7), before7) << n;
    EXPECT_EQ(table.Cell(0, kColTitle), Gbk("旧歌")) << n;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 4)
        << "temporary left at " << n;
  }
}

#ifndef _WIN32
TEST_F(SongEditTest, AReadOnlyChartIsRefusedAndAWritableOneKeepsItsPermissions) {
  namespace fs = std::filesystem;
  const fs::path chart7 = ChartPath(folder.Path(), 7), chart12 = ChartPath(folder.Path(), 12);
  fs::permissions(chart7, fs::perms::owner_read | fs::perms::group_read);
  ui.okCancelAnswers = {true};
  EXPECT_EQ(Save(Target(7), kEdits), SaveOutcome::kNotWritten);
  EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"歌曲文件是只读的,没有修改:" + chart7.string()}));
  EXPECT_EQ(Chart(7), before7);
  EXPECT_EQ(table.Cell(0, kColTitle), Gbk("旧歌"));

  const auto kept = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(chart12, kept);
  ui.okCancelAnswers = {true};
  ASSERT_EQ(Save(Target(12), kEdits), SaveOutcome::kSaved);
  EXPECT_EQ(fs::status(chart12).permissions(), kept);
}

TEST_F(SongEditTest, AChartThatIsALinkIsRewrittenWhereItPointsAndStaysALink) {
  namespace fs = std::filesystem;
  const fs::path elsewhere = fs::path(folder.Path()) / "elsewhere";
  fs::create_directories(elsewhere);
  const fs::path real = elsewhere / "real.vxn", link = ChartPath(folder.Path(), 7);
  fs::rename(link, real);
  fs::create_symlink(real, link);
  ui.okCancelAnswers = {true};
  ASSERT_EQ(Save(Target(7), kEdits), SaveOutcome::kSaved);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::read_symlink(link), real);
  EXPECT_EQ(ParseChartHeader(*ReadWholeFile(real.string())).title, "New");
}
#endif

TEST_F(SongEditTest, RewritesAtTheSameTimeTakeTurnsAndLoseNoChange) {
  // Each thread sets its own level field from a fresh read; without the lock one write would carry the
  // other's field back to what it read.
  for (int round = 0; round < 20; ++round) {
    const std::string path = ChartPath(folder.Path(), 7);
    std::vector<std::thread> writers;
    for (std::size_t field :
         {chart_offset::kLevelEasy, chart_offset::kLevelNormal, chart_offset::kLevelHard}) {
      writers.emplace_back([&, field] {
        EXPECT_EQ(RewriteFile(path,
                              [&](Bytes& chart) {
                                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                                PutU16Le(&chart[field], static_cast<std::uint16_t>(round + 1));
                                return true;
                              }),
                  RewriteStatus::kRewritten);
      });
    }
    for (std::thread& t : writers) t.join();
    const ChartHeader header = ParseChartHeader(Chart(7));
    ASSERT_EQ(header.levelEasy, round + 1);
    ASSERT_EQ(header.levelNormal, round + 1);
    ASSERT_EQ(header.levelHard, round + 1);
  }
}

}  // namespace
}  // namespace vx
