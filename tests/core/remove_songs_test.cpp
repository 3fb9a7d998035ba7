// Deleting and moving songs: the file list, the confirmation, name clashes, moves across file systems,
// and the table following the folder whatever happened to the files.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/io/fault_injection.h"
#include "core/io/file_move.h"
#include "core/operations/remove_songs.h"
#include "core/operations/song_numbers.h"
#include "core/text/native_path.h"
#include "tests/core/library_fixture.h"
#include "tests/support/operation_context.h"

namespace vx {

using fixtures::InCall;
namespace {

using testing_support::LibraryTest;
namespace fs = std::filesystem;
using Kind = fixtures::ScriptedInteraction::Event::Kind;
using V = std::vector<std::string>;
using Positions = std::vector<std::size_t>;

class RemoveSongs : public LibraryTest {
 protected:
  ~RemoveSongs() override {
    SetForceCopyingMoveForTesting(false);
    fault_injection::Disarm();
  }
  static V Ids(const SongTable& table) {
    V ids;
    for (std::size_t r = 0; r < table.Size(); ++r) ids.push_back(table.Cell(r, kColId));
    return ids;
  }
  std::string MusicGbk(const std::string& name) const { return GbkPath(Music(name)); }
  fs::path Moved(const std::string& name) const { return dir.Path() / "moved" / name; }

  // Where each file of a song is: "MUSIC", "moved" or "" (gone). A song is whole when both files are in
  // the same place.
  std::string Where(const std::string& name) const {
    if (fs::exists(Music(name))) return "MUSIC";
    if (fs::exists(Moved(name))) return "moved";
    return "";
  }
  void ExpectEverySongWhole(std::initializer_list<int> ids, const std::string& context) const {
    for (int id : ids) {
      const std::string n = std::to_string(id);
      EXPECT_EQ(Where("vxma" + n + ".vxn"), Where("vxma" + n + ".vxm"))
          << "song " << id << " split, " << context;
    }
    for (const fs::path& folder : {dir.Path() / "MUSIC", dir.Path() / "moved"})
      for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().filename().string().find(".vxtmp-"), std::string::npos)
            << entry.path() << " left, " << context;
  }
  // The table holds exactly the songs whose chart is in MUSIC.
  void ExpectTableMatchesFolder(const SongTable& table, std::initializer_list<int> ids,
                                const std::string& context) const {
    for (int id : ids)
      EXPECT_EQ(table.FindId(id).has_value(), fs::exists(Music("vxma" + std::to_string(id) + ".vxn")))
          << "song " << id << ", " << context;
  }
};

TEST_F(RemoveSongs, TheKthRemovalTakesTheRowNowAtItsPositionMinusK) {
  for (int id = 0; id < 8; ++id) Song(id);
  SongTable table = Scan({2, 5, 6});
  EXPECT_EQ(RemoveRows(table, {2, 5, 6}), (Positions{2, 4, 4}));
  EXPECT_EQ(Ids(table), (V{"0", "1", "3", "4", "7"}));

  SongTable again = Scan({2, 5, 6});
  ui.okCancelAnswers.push_back(true);
  const RemoveOutcome result = OnDeleteSongs(InCall({again, settings, ui}));
  EXPECT_EQ(result.outcome, Outcome::kDone);
  EXPECT_EQ(result.change.removedAt, (Positions{2, 4, 4}));
  EXPECT_EQ(Ids(again), (V{"0", "1", "3", "4", "7"}));
}

TEST_F(RemoveSongs, FileListHoldsChartsInTableOrderThenMusicFilesAndOnlyFilesThatExist) {
  Song(30);
  Song(10, {}, /*withMusic=*/false);
  Song(20);
  Song(40);
  SongTable table = Scan({0, 1, 2});                    // 10, 20, 30
  table.Reorder(std::vector<std::size_t>{2, 0, 1, 3});  // 30, 10, 20, 40
  fs::remove(Music("vxma20.vxn"));
  const auto files = CollectTickedFiles(table, dir.Gbk("MUSIC"), ui);
  ASSERT_TRUE(files);
  EXPECT_EQ(files->positions, (Positions{0, 1, 2}));
  EXPECT_EQ(files->paths, (V{MusicGbk("vxma30.vxn"), MusicGbk("vxma10.vxn"), MusicGbk("vxma30.vxm"),
                             MusicGbk("vxma20.vxm")}));
}

TEST_F(RemoveSongs, DeleteAsksWithTheCountsThenTrashesOnlyChartAndMusic) {
  Song(1);
  Song(2, {}, /*withMusic=*/false);
  Song(3);
  fixtures::WriteFile(Utf8FromPath(Music("vxma1Song.txt")), Bytes{1});
  SongTable table = Scan({0, 1});

  ui.okCancelAnswers.push_back(false);
  EXPECT_EQ(OnDeleteSongs(InCall({table, settings, ui})).outcome, Outcome::kCancelled);
  EXPECT_EQ(Utf8FromGbk(ui.events[0].text), "确定把2首歌曲(共3个文件)移到回收站吗?");
  EXPECT_EQ(ui.Count(Kind::kTrash), 0u);
  EXPECT_EQ(table.Size(), 3u);

  ui.okCancelAnswers.push_back(true);
  const RemoveOutcome result = OnDeleteSongs(InCall({table, settings, ui}));
  EXPECT_EQ(result.filesDone, 3u);
  EXPECT_EQ(Ids(table), (V{"3"}));
  EXPECT_FALSE(table.IsTicked(0));
  EXPECT_TRUE(fs::exists(Music("vxma1Song.txt")));
  EXPECT_TRUE(fs::exists(Music("vxma3.vxn")));
}

TEST_F(RemoveSongs, ASongThatCannotBeTrashedKeepsItsRowAndIsNamed) {
  Song(1, {.title = "One"});
  Song(2, {.title = "Two"});
  SongTable table = Scan({0, 1});
  ui.okCancelAnswers.push_back(true);
  ui.trashSucceeds = false;
  const RemoveOutcome result = OnDeleteSongs(InCall({table, settings, ui}));
  EXPECT_EQ(result.outcome, Outcome::kFailed);
  EXPECT_EQ(result.filesFailed, 4u);
  EXPECT_EQ(Ids(table), (V{"1", "2"}));
  EXPECT_TRUE(table.IsTicked(0) && table.IsTicked(1));
  EXPECT_EQ(Messages(), V{"以下歌曲没能删除,它们的文件都还在原处:\n编号1 One\n编号2 Two"});
}

#ifndef _WIN32
// A music name that leads to no file (a link to a drive that is not mounted) is a song that cannot be
// carried whole: delete, move and renumber leave it as it is and name it.
TEST_F(RemoveSongs, ASongWhoseMusicCannotBeReachedStaysWholeAndIsNamed) {
  Song(1, {.title = "One"});
  Song(2, {.title = "Away"}, /*withMusic=*/false);
  fs::create_symlink(dir.Path() / "unmounted" / "vxma2.vxm", Music("vxma2.vxm"));
  const std::string said = "这些歌曲的音乐文件无法访问(链接指向的位置不在了?),歌曲原样保留:\n编号2 Away";
  SongTable table = Scan({0, 1});
  ui.okCancelAnswers = {true};
  EXPECT_EQ(OnDeleteSongs(InCall({table, settings, ui})).outcome, Outcome::kDone);
  EXPECT_EQ(Messages(), V{said});
  EXPECT_EQ(Utf8FromGbk(ui.events[1].text), "确定把1首歌曲(共2个文件)移到回收站吗?");
  EXPECT_EQ(Ids(table), V{"2"});

  ui.events.clear();
  table.SetTicked(0, true);
  EXPECT_EQ(OnMoveSongs(InCall({table, settings, ui})).outcome, Outcome::kNothingTicked);
  ui.events.clear();
  EXPECT_EQ(RenumberSong(InCall({table, settings, ui}), 2, 3).outcome, Outcome::kRefused);
  EXPECT_EQ(Messages(), V{said});
  EXPECT_TRUE(fs::exists(Music("vxma2.vxn")) && fs::is_symlink(Music("vxma2.vxm")));
  EXPECT_EQ(Ids(table), V{"2"});
}
#endif

TEST_F(RemoveSongs, AClashIsAskedOncePerSongAndItsAnswerMovesOrKeepsTheWholeSong) {
  for (int id : {1, 2, 3, 4}) Song(id, {.title = "new" + std::to_string(id)});
  for (const char* name : {"vxma1.vxn", "vxma2.vxn", "vxma3.vxm"})
    fixtures::WriteFile(Utf8FromPath(Moved(name)), Bytes{9});
  SongTable table = Scan({0, 1, 2, 3});
  ui.okCancelAnswers.push_back(true);
  // Song 1 replaces what is there, song 2 is skipped, the clash of song 3 stops it and song 4.
  ui.clashAnswers = {ClashAnswer::kReplace, ClashAnswer::kSkip, ClashAnswer::kStop};
  const RemoveOutcome result = OnMoveSongs(InCall({table, settings, ui}));

  EXPECT_EQ(Utf8FromGbk(ui.events[0].text),
            "确定把4首歌曲(共8个文件)转移到以下文件夹吗?\n" + Utf8FromGbk(dir.Gbk("moved")));
  ASSERT_EQ(ui.Count(Kind::kClash), 3u);
  std::vector<std::string> questions;
  for (const auto& e : ui.events)
    if (e.kind == Kind::kClash) questions.push_back(Utf8FromGbk(e.text));
  EXPECT_EQ(questions[1], "转移目标文件夹里已有这首歌的同名文件:\n编号2 new2\n" +
                              Utf8FromPath(Moved("vxma2.vxn")) +
                              "\n替换:已有的文件先移到回收站;跳过:这首歌留在原处。");
  EXPECT_EQ(ui.clashOffers[0],
            (std::vector<ClashAnswer>{ClashAnswer::kReplace, ClashAnswer::kSkip, ClashAnswer::kStop}));
  EXPECT_EQ(ui.Count(Kind::kTrash), 1u);  // the vxma1.vxn that was there, before song 1 took its place
  EXPECT_EQ(result.outcome, Outcome::kCancelled);
  EXPECT_EQ(result.filesDone, 2u);
  EXPECT_EQ(result.filesSkipped, 6u);
  ASSERT_EQ(result.skipped.size(), 1u);
  EXPECT_EQ(result.skipped[0].id, 2);
  EXPECT_EQ(Read(Moved("vxma1.vxn")), fixtures::BuildChart({.title = "new1"}));
  EXPECT_EQ(Read(Moved("vxma2.vxn")), Bytes{9});
  EXPECT_EQ(Read(Moved("vxma3.vxm")), Bytes{9});
  ExpectEverySongWhole({1, 2, 3, 4}, "after the clashes");
  EXPECT_EQ(Where("vxma2.vxn"), "MUSIC");
  EXPECT_EQ(result.change.removedAt, (Positions{0}));
  EXPECT_EQ(Ids(table), (V{"2", "3", "4"}));
  EXPECT_TRUE(table.IsTicked(0));
}

// Every call that changes the file system fails in turn, within one file system and across two: each song
// ends whole on one side, no temporary file is left, the table follows the folder, and a failure is said.
TEST_F(RemoveSongs, AMoveThatFailsAtAnyStepLeavesEverySongWhole) {
  for (bool copying : {false, true}) {
    SetForceCopyingMoveForTesting(copying);
    std::uint64_t calls = 0;
    for (std::uint64_t n = 0; n == 0 || n <= calls; ++n) {
      const std::string context =
          std::string(copying ? "copying" : "renaming") + ", call " + std::to_string(n);
      fs::remove_all(dir.Path() / "MUSIC");
      fs::remove_all(dir.Path() / "moved");
      fs::create_directories(dir.Path() / "moved");
      Song(1, {.cover = fixtures::FakeCover(100000)});
      Song(2);
      SongTable table = Scan({0, 1});
      ui.events.clear();
      ui.okCancelAnswers = {true};
      fault_injection::Arm(n);
      const RemoveOutcome result = OnMoveSongs(InCall({table, settings, ui}));
      if (n == 0) calls = fault_injection::Calls();
      fault_injection::Disarm();
      ExpectEverySongWhole({1, 2}, context);
      ExpectTableMatchesFolder(table, {1, 2}, context);
      if (n == 0) {
        EXPECT_EQ(result.outcome, Outcome::kDone);
        EXPECT_GE(calls, copying ? 16u : 4u);
      } else if (!Messages().empty() && Messages()[0].rfind("无法写入操作日志", 0) == 0) {
        // The journal could not be written: nothing was touched.
        EXPECT_EQ(result.outcome, Outcome::kFailed) << context;
        EXPECT_TRUE(result.failed.empty()) << context;
      } else if (result.outcome == Outcome::kDone) {
        // The journal's removal failed once and went through the second time.
        EXPECT_FALSE(fs::exists(dir.Path() / "MUSIC/vxorganizer.journal")) << context;
      } else {
        EXPECT_EQ(result.outcome, Outcome::kFailed) << context;
        ASSERT_EQ(result.failed.size(), 1u) << context;
        EXPECT_EQ(Messages(), V{"以下歌曲没能转移,它们的文件都还在原处:\n编号" +
                                std::to_string(result.failed[0].id) + " Song"})
            << context;
      }
    }
  }
}

TEST_F(RemoveSongs, ADeleteThatFailsAtAnyStepLeavesEverySongWhole) {
  std::uint64_t calls = 0;
  for (std::uint64_t n = 0; n == 0 || n <= calls; ++n) {
    const std::string context = "call " + std::to_string(n);
    fs::remove_all(dir.Path() / "MUSIC");
    Song(1);
    Song(2);
    SongTable table = Scan({0, 1});
    ui.events.clear();
    ui.okCancelAnswers = {true};
    fault_injection::Arm(n);
    const RemoveOutcome result = OnDeleteSongs(InCall({table, settings, ui}));
    if (n == 0) calls = fault_injection::Calls();
    fault_injection::Disarm();
    ExpectEverySongWhole({1, 2}, context);
    ExpectTableMatchesFolder(table, {1, 2}, context);
    // A removal that fails once is tried again, so some failures still end in a delete that is done.
    const bool gone = !fs::exists(Music("vxma1.vxn")) && !fs::exists(Music("vxma2.vxn"));
    EXPECT_EQ(result.outcome, gone ? Outcome::kDone : Outcome::kFailed) << context;
    if (n == 0) {
      EXPECT_TRUE(gone);
    }
  }
  EXPECT_GE(calls, 8u);  // two renames and two removals per song
}

TEST_F(RemoveSongs, MoveIntoAMissingFolderIsRefusedBeforeAnything) {
  Song(1);
  SetFolders(dir.Gbk("MUSIC"), dir.Gbk("nowhere"));
  SongTable table = Scan({0});
  EXPECT_EQ(OnMoveSongs(InCall({table, settings, ui})).outcome, Outcome::kRefused);
  EXPECT_EQ(Messages(), V{"转移目标文件夹不存在:\n" + Utf8FromGbk(dir.Gbk("nowhere"))});
  EXPECT_EQ(ui.Count(Kind::kOkCancel), 0u);
  EXPECT_EQ(table.Size(), 1u);
}

TEST_F(RemoveSongs, AMoveAcrossFileSystemsCopiesFlushesThenDeletes) {
  Song(5, {.cover = fixtures::FakeCover(200000)});  // larger than one copy buffer
  const Bytes chart = Read(Music("vxma5.vxn"));
  SetForceCopyingMoveForTesting(true);
  SongTable table = Scan({0});
  ui.okCancelAnswers.push_back(true);
  EXPECT_EQ(OnMoveSongs(InCall({table, settings, ui})).outcome, Outcome::kDone);
  EXPECT_EQ(Read(Moved("vxma5.vxn")), chart);
  EXPECT_FALSE(fs::exists(Music("vxma5.vxn")));
  EXPECT_EQ(table.Size(), 0u);
}

TEST_F(RemoveSongs, MoveFileToNeverReplacesUnlessTold) {
  fixtures::WriteFile(dir.Native("a"), Bytes{1});
  fixtures::WriteFile(dir.Native("b"), Bytes{2});
  for (bool copying : {false, true}) {
    SetForceCopyingMoveForTesting(copying);
    EXPECT_EQ(MoveFileTo(dir.Gbk("a"), dir.Gbk("b"), false), MoveResult::kTargetExists);
    EXPECT_EQ(Read(dir.Path() / "a"), Bytes{1});
    EXPECT_EQ(Read(dir.Path() / "b"), Bytes{2});
    EXPECT_EQ(MoveFileTo(dir.Gbk("missing"), dir.Gbk("c"), false), MoveResult::kFailed);
  }
  // Replacing a file by itself through the copying path must not end by deleting it.
  EXPECT_EQ(MoveFileTo(dir.Gbk("a"), dir.Gbk("a"), true), MoveResult::kFailed);
  EXPECT_EQ(Read(dir.Path() / "a"), Bytes{1});
  SetForceCopyingMoveForTesting(false);
  EXPECT_EQ(MoveFileTo(dir.Gbk("a"), dir.Gbk("b"), true), MoveResult::kMoved);
  EXPECT_EQ(Read(dir.Path() / "b"), Bytes{1});
  EXPECT_FALSE(fs::exists(dir.Path() / "a"));
}

#ifndef _WIN32  // the freedesktop trash; Windows has the recycle bin
TEST_F(RemoveSongs, TheDesktopTrashKeepsBothFilesOfTheSameNameWithTheirOrigin) {
  const std::string home = dir.Native("data");
  const char* old = std::getenv("XDG_DATA_HOME");
  const std::string saved = old ? old : "";
  ::setenv("XDG_DATA_HOME", home.c_str(), 1);
  fixtures::WriteFile(Utf8FromPath(Music("vxma1 x.vxn")), Bytes{1});
  fixtures::WriteFile(dir.Native("other/vxma1 x.vxn"), Bytes{2});
  const bool first = MoveToDesktopTrash(MusicGbk("vxma1 x.vxn"));
  const bool second = MoveToDesktopTrash(dir.Gbk("other") + "/vxma1 x.vxn");
  const bool missing = MoveToDesktopTrash(dir.Gbk("nothing"));
  if (old)
    ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
  else
    ::unsetenv("XDG_DATA_HOME");

  EXPECT_TRUE(first && second);
  EXPECT_FALSE(missing);
  const fs::path trash = PathFromUtf8(home) / "Trash";
  EXPECT_EQ(Read(trash / "files" / "vxma1 x.vxn"), Bytes{1});
  EXPECT_EQ(Read(trash / "files" / "vxma1 x.2.vxn"), Bytes{2});
  const std::string info = Text(trash / "info" / "vxma1 x.vxn.trashinfo");
  EXPECT_EQ(info.rfind("[Trash Info]\nPath=/", 0), 0u);
  EXPECT_NE(info.find("/MUSIC/vxma1%20x.vxn\nDeletionDate="), std::string::npos);
  EXPECT_NE(info.find("%E6%B5%8B%E8%AF%95"), std::string::npos);  // 测试 of the folder, escaped UTF-8
  EXPECT_FALSE(fs::exists(Music("vxma1 x.vxn")));
}

TEST_F(RemoveSongs, WhenTheTrashTakesOneFileOfASongButNotTheOtherTheFirstComesBack) {
  const std::string home = dir.Native("data");
  ::setenv("XDG_DATA_HOME", home.c_str(), 1);
  Song(3);
  const Bytes chart = Read(Music("vxma3.vxn"));
  const std::vector<std::string> files = {MusicGbk("vxma3.vxn"), MusicGbk("vxma3.vxm")};
  fault_injection::Arm(2, FsError::kIo, FsCall::kTrash);
  const AllOrNone result = MoveFilesToTrash(files);
  fault_injection::Disarm();
  ::unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(result, AllOrNone::kNone);
  EXPECT_EQ(Read(Music("vxma3.vxn")), chart);
  EXPECT_TRUE(fs::exists(Music("vxma3.vxm")));
  const fs::path trash = PathFromUtf8(home) / "Trash";
  EXPECT_TRUE(fs::is_empty(trash / "files"));
  EXPECT_TRUE(fs::is_empty(trash / "info"));
}
#endif

}  // namespace
}  // namespace vx
