// Bringing songs in, renumbering them, and the history that takes a change back.
#include <gtest/gtest.h>

#include "core/formats/song_files.h"
#include "core/history/history.h"
#include "core/io/fault_injection.h"
#include "core/operations/covers.h"
#include "core/operations/history_restore.h"
#include "core/operations/install_songs.h"
#include "core/operations/song_edit.h"
#include "core/operations/song_numbers.h"
#include "core/text/native_path.h"
#include "tests/core/library_fixture.h"
#include "tests/support/operation_context.h"

namespace vx {

using fixtures::InCall;
namespace {

using testing_support::LibraryTest;
namespace fs = std::filesystem;
using V = std::vector<std::string>;
using Kind = fixtures::ScriptedInteraction::Event::Kind;

class InstallAndHistory : public LibraryTest {
 protected:
  ~InstallAndHistory() override { fault_injection::Disarm(); }
  // A song outside the library, as a friend sends it: <name>.vxn and, unless told, <name>.vxm.
  std::string Source(const std::string& name, fixtures::ChartSpec recipe = {}, bool withMusic = true) {
    fixtures::WriteFile(dir.Native("in/" + name + ".vxn"), fixtures::BuildChart(recipe));
    if (withMusic)
      fixtures::WriteFile(dir.Native("in/" + name + ".vxm"), Bytes{'m', static_cast<std::uint8_t>(name[0])});
    return dir.Gbk("in/" + name + ".vxn");
  }
  InstallOutcome Install(SongTable& table, std::vector<std::string> sources) {
    return InstallSongs(InCall({table, {}, ui, &history, FolderSettings{dir.Gbk("MUSIC"), {}, {}}}), sources);
  }
  static std::vector<std::optional<int>> Ids(const InstallOutcome& r) {
    std::vector<std::optional<int>> ids;
    for (const InstalledSong& s : r.songs) ids.push_back(s.id);
    return ids;
  }
  V MusicNames() const {
    V names;
    for (const auto& e : fs::directory_iterator(dir.Path() / "MUSIC"))
      names.push_back(Utf8FromPath(e.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
  }

  History history{dir.Gbk("history")};
};

TEST_F(InstallAndHistory, ASongKeepsAFreeIdOfItsNameAndAClashIsAnsweredPerSong) {
  Song(3, {.title = "Mine"});
  SongTable table = Scan();
  const std::vector<std::string> sources = {
      Source("vxma8", {.title = "Eight"}), Source("vxma3", {.title = "Three"}),
      Source("tune", {.title = "NoId"}), Source("vxma3x", {.title = "X"})};
  // vxma3 clashes: lowest free ID; tune has no ID: skip; vxma3x has none either: stop.
  ui.clashAnswers = {ClashAnswer::kNextFreeId, ClashAnswer::kSkip, ClashAnswer::kStop};
  const InstallOutcome r = Install(table, sources);

  EXPECT_EQ(Ids(r), (std::vector<std::optional<int>>{8, 0, std::nullopt, std::nullopt}));
  EXPECT_EQ(r.outcome, Outcome::kFailed);
  EXPECT_EQ(std::string(r.songs[2].skipped), "选择了跳过");
  EXPECT_EQ(std::string(r.songs[3].skipped), "导入已停止");
  EXPECT_EQ(ui.clashOffers[0], (std::vector<ClashAnswer>{ClashAnswer::kNextFreeId, ClashAnswer::kReplace,
                                                         ClashAnswer::kSkip, ClashAnswer::kStop}));
  EXPECT_EQ(ui.clashOffers[1],
            (std::vector<ClashAnswer>{ClashAnswer::kNextFreeId, ClashAnswer::kSkip, ClashAnswer::kStop}));
  EXPECT_EQ(
      Utf8FromGbk(ui.events[0].text),
      "MUSIC文件夹里已有这个编号的歌曲:\n已有:编号3 Mine\n导入:编号3 Three\n" + Utf8FromGbk(sources[1]));
  // Copied, never moved; each lands as chart and music; the table gains them ticked, at the end.
  EXPECT_EQ(MusicNames(), (V{"vxma0.vxm", "vxma0.vxn", "vxma3.vxm", "vxma3.vxn", "vxma8.vxm", "vxma8.vxn"}));
  EXPECT_EQ(Read(Music("vxma0.vxn")), Read(PathFromUtf8(dir.Native("in/vxma3.vxn"))));
  EXPECT_TRUE(fs::exists(PathFromUtf8(dir.Native("in/vxma3.vxn"))));
  EXPECT_EQ(r.change.appended, 2u);
  ASSERT_EQ(table.Size(), 3u);
  EXPECT_EQ(table.Cell(1, kColTitle), "Eight");
  EXPECT_TRUE(table.IsTicked(1) && table.IsTicked(2) && !table.IsTicked(0));
  EXPECT_EQ(Utf8FromGbk(InstallReportTextGbk(r)).rfind("导入了2首歌曲,跳过了2首:\n", 0), 0u);
}

// A folder's songs come in the order of their IDs, so vxma2 is met, and numbered, before vxma10.
TEST_F(InstallAndHistory, AFoldersSongsComeInTheOrderOfTheirIds) {
  Source("vxma10", {.title = "Ten"});
  Source("vxma2", {.title = "Two"});
  Source("vxma9b", {.title = "NoId"});
  Song(10);
  Song(2);
  SongTable table = Scan();
  ui.clashAnswers = {ClashAnswer::kNextFreeId, ClashAnswer::kNextFreeId, ClashAnswer::kSkip};
  EXPECT_EQ(Ids(Install(table, {dir.Gbk("in")})), (std::vector<std::optional<int>>{0, 1, std::nullopt}));
}

TEST_F(InstallAndHistory, ReplacingKeepsTheOldChartInTheHistoryAndTrashesTheOldSong) {
  Song(5, {.title = "Old"});
  const Bytes old = Read(Music("vxma5.vxn"));
  SongTable table = Scan();
  table.SetCell(0, kColStatus, Gbk("最新更新"));
  ui.clashAnswers = {ClashAnswer::kReplace};
  const InstallOutcome r = Install(table, {Source("vxma5", {.title = "New"})});
  ASSERT_EQ(Ids(r), (std::vector<std::optional<int>>{5}));
  EXPECT_EQ(ui.Count(Kind::kTrash), 2u);
  EXPECT_EQ(Read(Music("vxma5.vxm")), (Bytes{'m', 'v'}));
  EXPECT_EQ(r.change.changedRows, (std::vector<std::size_t>{0}));
  EXPECT_EQ(table.Cell(0, kColTitle), "New");
  EXPECT_TRUE(table.Cell(0, kColStatus).empty());
  const auto entries = history.Entries(dir.Gbk("MUSIC"));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].operation, HistoryOperation::kInstallReplace);
  EXPECT_EQ(entries[0].title, "Old");
  EXPECT_EQ(*history.Chart(entries[0]), old);

  // A replace the trash refuses does not happen, and leaves no entry that would take it back.
  ui.trashSucceeds = false;
  ui.clashAnswers = {ClashAnswer::kReplace};
  const Bytes now = Read(Music("vxma5.vxn"));
  EXPECT_EQ(Ids(Install(table, {Source("vxma5", {.title = "Newer"})})),
            (std::vector<std::optional<int>>{std::nullopt}));
  EXPECT_EQ(Read(Music("vxma5.vxn")), now);
  EXPECT_EQ(history.Entries().size(), 1u);
}

TEST_F(InstallAndHistory, RefusedSourcesAndAFullLibraryAreNamedAndChangeNothing) {
  SongTable table = Scan();
  fixtures::WriteFile(dir.Native("in/short.vxn"), Bytes(120, 1));
  fixtures::WriteFile(dir.Native("in/short.vxm"), Bytes(50, 2));  // found whole only when it is copied
  fixtures::WriteFile(dir.Native("in/notes.txt"), Bytes{1});
  fixtures::WriteFile(Utf8FromPath(Music("vxma1.vxn.vxtmp-abc")), Bytes{1});
  const InstallOutcome r =
      Install(table, {dir.Gbk("in/short.vxn"), dir.Gbk("in/notes.txt"), dir.Gbk("MUSIC")});
  ASSERT_EQ(r.songs.size(), 3u);
  EXPECT_EQ(std::string(r.songs[0].skipped), "不是歌曲文件(.vxn),也不是文件夹");
  EXPECT_EQ(std::string(r.songs[1].skipped), "文件夹里没有歌曲文件(.vxn)");
  EXPECT_EQ(std::string(r.songs[2].skipped), "歌曲文件无法读取或不足300字节");
  // A chart going to the free ID of its name is looked at only as it is copied: it leaves nothing.
  fixtures::WriteFile(dir.Native("cut/vxma30.vxn"), Bytes(299, 1));
  fixtures::WriteFile(dir.Native("cut/vxma30.vxm"), Bytes(50, 2));
  const V before = MusicNames();
  EXPECT_EQ(std::string(Install(table, {dir.Gbk("cut")}).songs[0].skipped), "歌曲文件无法读取或不足300字节");
  EXPECT_EQ(MusicNames(), before);

  for (int id = 0; id < kMaxSongs; ++id) fixtures::WriteFile(Utf8FromPath(Music(MusicFileName(id))), Bytes{});
  ui.clashAnswers = {ClashAnswer::kNextFreeId, ClashAnswer::kNextFreeId};
  const InstallOutcome full = Install(table, {Source("vxma1"), Source("vxma2")});
  EXPECT_EQ(Messages(), V{"MUSIC文件夹里0到4999的编号都已用完,无法再导入歌曲"});  // once
  EXPECT_EQ(std::string(full.songs[1].skipped), "没有空闲的编号");
  EXPECT_FALSE(fs::exists(Music("vxma1.vxn")));
}

#ifndef _WIN32
// An installed song's files keep the source's permission bits, also the ones the process's umask would
// take from a new file (group write, the set-group-ID bit), and a replacing install keeps them too.
TEST_F(InstallAndHistory, InstalledFilesKeepTheirPermissionBits) {
  Song(6, {.title = "Old"});
  SongTable table = Scan();
  const fs::perms kModes[] = {fs::perms::owner_read | fs::perms::owner_write,
                              fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec,
                              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                  fs::perms::group_write | fs::perms::others_write,
                              fs::perms::owner_read | fs::perms::owner_write | fs::perms::set_gid};
  std::vector<std::string> sources;
  for (int i = 0; i < 4; ++i) {
    sources.push_back(Source("vxma" + std::to_string(i + 4)));
    for (const char* ext : {".vxn", ".vxm"})
      fs::permissions(PathFromUtf8(dir.Native("in/vxma" + std::to_string(i + 4) + ext)), kModes[i]);
  }
  ui.clashAnswers = {ClashAnswer::kReplace};
  EXPECT_EQ(Install(table, sources).outcome, Outcome::kDone);
  for (int i = 0; i < 4; ++i)
    for (const char* ext : {".vxn", ".vxm"})
      EXPECT_EQ(fs::status(Music("vxma" + std::to_string(i + 4) + ext)).permissions(), kModes[i])
          << "vxma" << i + 4 << ext;
}
#endif

// A song comes in whole or not at all: its music is found whatever the case of its name, a chart whose
// music is not a readable file is skipped, and a source named twice (or MUSIC through a link) counts once.
TEST_F(InstallAndHistory, AChartWithoutPlayableMusicIsSkippedAndASourceCountsOnce) {
  Song(2);
  SongTable table = Scan();
  fixtures::WriteFile(dir.Native("in/vxma7.VXN"), fixtures::BuildChart({.title = "Seven"}));
  fixtures::WriteFile(dir.Native("in/vxma7.vxm"), Bytes{'7'});
  const std::string lonely = Source("vxma8", {}, /*withMusic=*/false);
  const std::string folderMusic = Source("vxma9", {}, /*withMusic=*/false);
  fs::create_directory(PathFromUtf8(dir.Native("in/vxma9.vxm")));
  const std::string dangling = Source("vxma10", {}, /*withMusic=*/false);
#ifndef _WIN32
  fs::create_symlink(PathFromUtf8(dir.Native("nowhere.vxm")), PathFromUtf8(dir.Native("in/vxma10.vxm")));
  fs::create_directory_symlink(dir.Path() / "MUSIC", dir.Path() / "music-link");
  const std::string viaLink = dir.Gbk("music-link");
#else
  const std::string viaLink = dir.Gbk("MUSIC");
#endif
  const InstallOutcome r = Install(
      table, {dir.Gbk("in/vxma7.VXN"), dir.Gbk("in/vxma7.VXN"), lonely, folderMusic, dangling, viaLink});
  ASSERT_EQ(r.songs.size(), 5u);
  EXPECT_EQ(r.songs[0].id, 7);
  for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(std::string(r.songs[i].skipped), "缺少音乐文件(.vxm)") << i;
  EXPECT_EQ(std::string(r.songs[4].skipped), "已经在MUSIC文件夹里");
  EXPECT_EQ(MusicNames(), (V{"vxma2.vxm", "vxma2.vxn", "vxma7.vxm", "vxma7.vxn"}));
}

TEST_F(InstallAndHistory, RenumberTakesAFreeIdForBothFilesOrRefuses) {
  Song(4, {.title = "Four"});
  Song(9, {.title = "Nine"}, /*withMusic=*/false);
  fixtures::WriteFile(Utf8FromPath(Music("vxma11.vxm")), Bytes{1});
  SongTable table = Scan();
  EXPECT_EQ(LowestFreeId(TakenIdsIn(dir.Gbk("MUSIC"))), 0);
  struct Case {
    int from, to;
    const char* said;
  };
  for (const Case& c :
       {Case{4, 9, "这个编号已有歌曲:编号9 Nine"}, Case{4, 11, "这个编号已有歌曲:编号11 vxma11.vxm"},
        Case{4, 5000, "编号只能是0到4999之间的数"}, Case{4, 4, "新编号和原来的编号一样"}}) {
    ui.events.clear();
    EXPECT_EQ(RenumberSong(InCall({table, {}, ui, &history, FolderSettings{dir.Gbk("MUSIC"), {}, {}}}),
                           c.from, c.to)
                  .outcome,
              Outcome::kRefused)
        << c.to;
    EXPECT_EQ(Messages(), V{c.said});
  }
  EXPECT_TRUE(history.Entries().empty());

  ASSERT_EQ(
      RenumberSong(InCall({table, {}, ui, &history, FolderSettings{dir.Gbk("MUSIC"), {}, {}}}), 4, 0).outcome,
      Outcome::kDone);
  EXPECT_TRUE(fs::exists(Music("vxma0.vxn")) && fs::exists(Music("vxma0.vxm")));
  EXPECT_FALSE(fs::exists(Music("vxma4.vxn")) || fs::exists(Music("vxma4.vxm")));
  EXPECT_EQ(table.Cell(0, kColId), "0");

  // The music's rename fails: the chart is renamed back, and the history forgets the renumber.
  const std::size_t kept = history.Entries().size();
  fault_injection::Arm(4, FsError::kIo, FsCall::kRename);  // after the entry's two, the chart's
  ui.events.clear();
  EXPECT_EQ(
      RenumberSong(InCall({table, {}, ui, &history, FolderSettings{dir.Gbk("MUSIC"), {}, {}}}), 0, 7).outcome,
      Outcome::kFailed);
  fault_injection::Disarm();
  EXPECT_EQ(history.Entries().size(), kept);
  EXPECT_EQ(Messages(), V{"无法更改编号,这首歌的文件都还在原处"});
  EXPECT_TRUE(fs::exists(Music("vxma0.vxn")) && fs::exists(Music("vxma0.vxm")));
  EXPECT_FALSE(fs::exists(Music("vxma7.vxn")));
}

TEST_F(InstallAndHistory, EveryChangeIsKeptAndARestoreCanItselfBeTakenBack) {
  Song(6, {.title = "Orig", .cover = fixtures::FakeCover(40)});
  const Bytes original = Read(Music("vxma6.vxn"));
  SongTable table = Scan({0});
  ui.okCancelAnswers = {true};
  ASSERT_EQ(OnSaveSong(InCall({table, {}, ui, &history}), SongEditTarget{6, dir.Gbk("MUSIC")},
                       {"Edited", "1", "2", "3"}, true)
                .saved,
            SaveOutcome::kSaved);
  const Bytes edited = Read(Music("vxma6.vxn"));
  fixtures::WriteFile(dir.Native("c.jpg"), fixtures::FakeCover(30, 0x22));
  ui.openFileAnswers = {dir.Gbk("c.jpg")};
  ASSERT_EQ(OnImportCover(InCall({table, settings, ui, &history})).outcome, Outcome::kDone);
  ASSERT_EQ(RenumberSong(InCall({table, {}, ui, &history, FolderSettings{dir.Gbk("MUSIC"), {}, {}}}), 6, 16)
                .outcome,
            Outcome::kDone);

  std::vector<HistoryEntry> entries = history.Entries(dir.Gbk("MUSIC"));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].operation, HistoryOperation::kRenumber);
  EXPECT_EQ(entries[0].renumberedTo, 16);
  EXPECT_EQ(entries[1].operation, HistoryOperation::kImportCover);
  EXPECT_EQ(*history.Chart(entries[1]), edited);
  EXPECT_EQ(entries[2].operation, HistoryOperation::kEdit);
  EXPECT_EQ(entries[2].title, "Orig");
  EXPECT_TRUE(history.Entries(dir.Gbk("moved")).empty());

  // Taking back the renumber gives the song its old ID; then the edit's entry puts the original back.
  ASSERT_EQ(RestoreHistoryEntry(InCall({table, {}, ui, &history}), history, entries[0]).outcome,
            Outcome::kDone);
  EXPECT_EQ(table.Cell(0, kColId), "6");
  ASSERT_EQ(RestoreHistoryEntry(InCall({table, {}, ui, &history}), history, entries[2]).outcome,
            Outcome::kDone);
  EXPECT_EQ(Read(Music("vxma6.vxn")), original);
  EXPECT_EQ(table.Cell(0, kColTitle), "Orig");
  EXPECT_TRUE(table.IsTicked(0));
  // The restore kept what it replaced: restoring that entry brings the imported cover back.
  entries = history.Entries(dir.Gbk("MUSIC"));
  ASSERT_EQ(entries[0].operation, HistoryOperation::kRestore);
  ASSERT_EQ(RestoreHistoryEntry(InCall({table, {}, ui, &history}), history, entries[0]).outcome,
            Outcome::kDone);
  EXPECT_NE(Read(Music("vxma6.vxn")), original);
  EXPECT_EQ(ParseChartHeader(Read(Music("vxma6.vxn"))).coverSize, 30u);

  // Ctrl+Z: the newest entry of the settings' MUSIC folder, after a question naming it.
  ui.events.clear();
  ui.okCancelAnswers = {true};
  ASSERT_EQ(OnUndoLastChange(InCall({table, settings, ui}), history).outcome, Outcome::kDone);
  EXPECT_EQ(Read(Music("vxma6.vxn")), original);
  EXPECT_EQ(Utf8FromGbk(ui.events[0].text).rfind("恢复这条修改记录吗?\n", 0), 0u);
  EXPECT_NE(Utf8FromGbk(ui.events[0].text).find("编号6 Orig(恢复修改记录)"), std::string::npos);
}

TEST_F(InstallAndHistory, AHistoryThatCannotBeWrittenStopsTheChangeAndTheOldestEntriesGoFirst) {
  Song(1);
  const Bytes before = Read(Music("vxma1.vxn"));
  SongTable table = Scan({0});
  fixtures::WriteFile(dir.Native("blocked"), Bytes{1});  // a file where the history's folder should be
  History blocked(dir.Gbk("blocked") + std::string(1, kPathSeparator) + "history");
  ui.okCancelAnswers = {true};
  EXPECT_EQ(OnSaveSong(InCall({table, {}, ui, &blocked}), SongEditTarget{1, dir.Gbk("MUSIC")},
                       {"X", "1", "2", "3"}, true)
                .saved,
            SaveOutcome::kNotWritten);
  EXPECT_EQ(Messages(), V{"无法写入修改记录,什么也没有改变:\n" + Utf8FromGbk(blocked.Folder())});
  EXPECT_EQ(Read(Music("vxma1.vxn")), before);

  History capped(dir.Gbk("capped"), HistoryLimits{3, 2000});
  for (int i = 0; i < 5; ++i)
    ASSERT_TRUE(capped.Record(dir.Gbk("MUSIC"), i, HistoryOperation::kEdit,
                              Bytes(200, static_cast<std::uint8_t>(i))));
  const auto entries = capped.Entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries.front().id, 4);
  EXPECT_EQ(entries.back().id, 2);
  // A chart over a tenth of the byte limit gets no place and pushes no other entry out.
  EXPECT_FALSE(capped.Record(dir.Gbk("MUSIC"), 9, HistoryOperation::kEdit, Bytes(201, 9)));
  EXPECT_EQ(capped.Entries().size(), 3u);
  History bytesCapped(dir.Gbk("bytes"), HistoryLimits{50, 1000});
  for (int i = 0; i < 12; ++i)
    ASSERT_TRUE(bytesCapped.Record(dir.Gbk("MUSIC"), i, HistoryOperation::kEdit, Bytes(100, 1)));
  EXPECT_EQ(bytesCapped.Entries().size(), 10u);  // ten charts of 100 bytes fit, an eleventh would not
}

// A chart too large for the history is asked about before it changes, and changes without an entry
// only when the person agrees; the other entries stay.
TEST_F(InstallAndHistory, AChartTooLargeForTheHistoryIsAskedAboutFirst) {
  Song(1, {.title = "Big"});
  const Bytes before = Read(Music("vxma1.vxn"));
  SongTable table = Scan({0});
  History small(dir.Gbk("small"), HistoryLimits{50, 10 * (before.size() - 1)});
  ASSERT_TRUE(small.Record(dir.Gbk("MUSIC"), 7, HistoryOperation::kEdit, Bytes(300, 7)));
  const auto save = [&](bool goOn) {
    ui.okCancelAnswers = {true, goOn};
    ui.events.clear();
    return OnSaveSong(InCall({table, {}, ui, &small}), SongEditTarget{1, dir.Gbk("MUSIC")},
                      {"Changed", "1", "2", "3"}, true)
        .saved;
  };
  EXPECT_EQ(save(false), SaveOutcome::kCancelled);
  ASSERT_EQ(ui.Count(Kind::kOkCancel), 2u);
  EXPECT_EQ(Utf8FromGbk(ui.events[1].text),
            "这首歌的谱面太大,修改记录放不下它:这次修改以后无法撤销。仍然修改吗?\n" +
                Utf8FromGbk(ChartPath(dir.Gbk("MUSIC"), 1)));
  EXPECT_EQ(Read(Music("vxma1.vxn")), before);
  EXPECT_EQ(save(true), SaveOutcome::kSaved);
  EXPECT_NE(Read(Music("vxma1.vxn")), before);
  ASSERT_EQ(small.Entries().size(), 1u);
  EXPECT_EQ(small.Entries().front().id, 7);
}

}  // namespace
}  // namespace vx

namespace vx {
namespace {

// A restore puts a chart back only onto the song it was kept from, and only a chart that is whole.
TEST_F(InstallAndHistory, ARestoreRefusesAnotherSongUnderTheIdAndADamagedEntry) {
  Song(6, {.title = "Orig"});
  SongTable table = Scan({0});
  ui.okCancelAnswers = {true, true};
  ASSERT_EQ(OnSaveSong(InCall({table, {}, ui, &history}), SongEditTarget{6, dir.Gbk("MUSIC")},
                       {"Edited", "1", "2", "3"}, true)
                .saved,
            SaveOutcome::kSaved);
  const HistoryEntry edit = history.Entries().front();
  ASSERT_TRUE(edit.song);

  // Another song now holds ID 6: its music differs, so the kept chart stays where it is.
  fixtures::WriteFile(Utf8FromPath(Music("vxma6.vxm")), Bytes{'o', 't', 'h', 'e', 'r'});
  const Bytes now = Read(Music("vxma6.vxn"));
  ui.events.clear();
  EXPECT_EQ(RestoreHistoryEntry(InCall({table, {}, ui, &history}), history, edit).outcome, Outcome::kRefused);
  EXPECT_EQ(
      Messages(),
      V{"这个编号现在是另一首歌,记录里的歌曲文件不能恢复到它上面:\n记录:编号6 Orig\n现在:编号6 Edited"});
  EXPECT_EQ(Read(Music("vxma6.vxn")), now);

  // An entry cut short is refused before anything is written.
  const auto keptChart = history.Folder() + std::string(1, kPathSeparator) + edit.name + ".vxn";
  fixtures::WriteFile(Utf8FromPath(NativePath(keptChart)), Bytes(10, 1));
  ui.events.clear();
  EXPECT_EQ(RestoreHistoryEntry(InCall({table, {}, ui, &history}), history, edit).outcome, Outcome::kRefused);
  EXPECT_EQ(Messages(), V{"记录里保存的歌曲文件不完整,不能恢复:\n" + edit.name});
  EXPECT_EQ(Read(Music("vxma6.vxn")), now);
}

#ifndef _WIN32
// Local time can go back; the entry just written must still be the newest and must never be pruned.
TEST_F(InstallAndHistory, TheNewestEntryStaysNewestWhenTheClockGoesBack) {
  const char* zone = std::getenv("TZ");
  const std::string saved = zone ? zone : "";
  History capped(dir.Gbk("capped"), HistoryLimits{3, 1 << 20});
  ::setenv("TZ", "UTC-14", 1);
  ::tzset();
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(capped.Record(dir.Gbk("MUSIC"), i, HistoryOperation::kEdit, Bytes(300, 1)));
  ::setenv("TZ", "UTC+12", 1);
  ::tzset();
  const auto newest = capped.Record(dir.Gbk("MUSIC"), 9, HistoryOperation::kEdit, Bytes(300, 2));
  if (zone)
    ::setenv("TZ", saved.c_str(), 1);
  else
    ::unsetenv("TZ");
  ::tzset();
  ASSERT_TRUE(newest);
  const auto entries = capped.Entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries.front().name, *newest);
  EXPECT_EQ(entries.back().id, 1);
}
#endif

}  // namespace
}  // namespace vx

namespace vx {
namespace {

// Blue Sky → B → C, then Ctrl+Z, Ctrl+Z, Ctrl+Y, Ctrl+Y: one step back or forward each time, the file on
// disk following, and a new change ending what Ctrl+Y could put back.
TEST_F(InstallAndHistory, CtrlZGoesBackOneStepAtATimeAndCtrlYPutsItBack) {
  Song(6, {.title = "Blue Sky"});
  SongTable table = Scan();
  const auto save = [&](const char* title) {
    ASSERT_EQ(OnSaveSong(InCall({table, {}, ui, &history}), SongEditTarget{6, dir.Gbk("MUSIC")},
                         {title, "1", "2", "3"}, false)
                  .saved,
              SaveOutcome::kSaved);
  };
  const auto title = [&] { return ParseChartHeader(Read(Music("vxma6.vxn"))).title; };
  const auto step = [&](auto operation) {
    ui.okCancelAnswers = {true};
    return operation(InCall({table, settings, ui}), history).outcome;
  };
  save("B");
  save("C");
  const struct {
    OperationResult (*operation)(OperationContext&, History&);
    const char* title;
  } steps[] = {{&OnUndoLastChange, "B"},
               {&OnUndoLastChange, "Blue Sky"},
               {&OnRedoChange, "B"},
               {&OnRedoChange, "C"},
               {&OnUndoLastChange, "B"}};
  for (const auto& s : steps) {
    ASSERT_EQ(step(s.operation), Outcome::kDone) << s.title;
    EXPECT_EQ(title(), s.title);
    EXPECT_EQ(table.Cell(0, kColTitle), s.title);
    // Each step asks first, Ctrl+Y in its own words.
    const std::string asked = Utf8FromGbk(ui.events.back().text);
    EXPECT_EQ(asked.rfind(s.operation == &OnRedoChange ? "重做这条修改吗?\n" : "恢复这条修改记录吗?\n", 0),
              0u);
  }
  save("D");  // a new change: nothing is left to put back
  ui.events.clear();
  EXPECT_EQ(step(&OnRedoChange), Outcome::kNothingTicked);
  EXPECT_EQ(Messages(), V{"没有可以重做的修改"});
  // Back past D to the B it replaced, then past the Ctrl+Y that gave B, to the very first title.
  for (const char* expected : {"B", "Blue Sky"}) {
    ASSERT_EQ(step(&OnUndoLastChange), Outcome::kDone) << expected;
    EXPECT_EQ(title(), expected);
  }
  ui.events.clear();
  EXPECT_EQ(step(&OnUndoLastChange), Outcome::kNothingTicked);
  EXPECT_EQ(Messages(), V{"没有可以撤销的修改了"});
}

// A renumber that never happened, or a song that is gone, is passed over with a word once, and the
// step goes on to the next change; descriptions written before the links still load.
TEST_F(InstallAndHistory, AnEntryThatCannotBeTakenBackIsPassedOverOnce) {
  Song(4, {.title = "Four"});
  Song(5, {.title = "Five"});
  SongTable table = Scan();
  ASSERT_EQ(OnSaveSong(InCall({table, {}, ui, &history}), SongEditTarget{4, dir.Gbk("MUSIC")},
                       {"Four+", "1", "2", "3"}, false)
                .saved,
            SaveOutcome::kSaved);
  // As a renumber that failed after its entry was written leaves it: song 5 is still 5.
  ASSERT_TRUE(history.Record(dir.Gbk("MUSIC"), 5, HistoryOperation::kRenumber, Read(Music("vxma5.vxn")), 9));
  ui.events.clear();
  ui.okCancelAnswers = {true};
  ASSERT_EQ(OnUndoLastChange(InCall({table, settings, ui}), history).outcome, Outcome::kDone);
  EXPECT_EQ(ParseChartHeader(Read(Music("vxma4.vxn"))).title, "Four");
  ASSERT_GE(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].rfind("这些修改已无法撤销,以后不再提供:\n", 0), 0u);
  EXPECT_NE(Messages()[0].find("编号5 Five(更改编号)"), std::string::npos);
  // Marked for good: the next Ctrl+Y and Ctrl+Z say nothing of it.
  ui.events.clear();
  ui.okCancelAnswers = {true};
  ASSERT_EQ(OnRedoChange(InCall({table, settings, ui}), history).outcome, Outcome::kDone);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(ParseChartHeader(Read(Music("vxma4.vxn"))).title, "Four+");

  // The links are kept in the description and read back; an old description has none.
  const std::vector<HistoryEntry> entries = history.Entries(dir.Gbk("MUSIC"));
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].redoes, entries[1].name);
  EXPECT_EQ(entries[1].undoes, entries[3].name);
  EXPECT_TRUE(entries[2].passedOver);
  const auto reread = ParseHistoryEntry(entries[0].name, DescribeHistoryEntry(entries[0]));
  ASSERT_TRUE(reread);
  EXPECT_EQ(reread->redoes, entries[1].name);
  const auto old = ParseHistoryEntry("old", "music=/m\nid=3\noperation=edit\ntime=t\ntitle=x\n");
  ASSERT_TRUE(old);
  EXPECT_TRUE(old->undoes.empty() && old->redoes.empty() && !old->passedOver);
}

}  // namespace
}  // namespace vx
