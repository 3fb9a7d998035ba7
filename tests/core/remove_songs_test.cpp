// Deleting and moving songs: the file list, the confirmation, name clashes, moves across file systems,
// and the table following the folder whatever happened to the files.
#include <gtest/gtest.h>

#include <cstdlib>

#include "io/file_move.h"
#include "library_fixture.h"
#include "operations/remove_songs.h"
#include "text/native_path.h"

namespace vx {
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
    SetCopyFailureAfterBytesForTesting(std::nullopt);
  }
  static V Ids(const SongTable& table) {
    V ids;
    for (std::size_t r = 0; r < table.Size(); ++r) ids.push_back(table.Cell(r, kColId));
    return ids;
  }
  std::string MusicGbk(const std::string& name) const { return GbkPath(Music(name)); }
  fs::path Moved(const std::string& name) const { return dir.Path() / "moved" / name; }
};

TEST_F(RemoveSongs, TheKthRemovalTakesTheRowNowAtItsPositionMinusK) {
  for (int id = 0; id < 8; ++id) Song(id);
  SongTable table = Scan({2, 5, 6});
  EXPECT_EQ(RemoveRows(table, {2, 5, 6}), (Positions{2, 4, 4}));
  EXPECT_EQ(Ids(table), (V{"0", "1", "3", "4", "7"}));

  SongTable again = Scan({2, 5, 6});
  ui.okCancelAnswers.push_back(true);
  const RemoveOutcome result = OnDeleteSongs(again, settings, ui);
  EXPECT_EQ(result.outcome, Outcome::kDone);
  EXPECT_EQ(result.removedAt, (Positions{2, 4, 4}));
  EXPECT_EQ(Ids(again), (V{"0", "1", "3", "4", "7"}));
}

TEST_F(RemoveSongs, FileListHoldsChartsInTableOrderThenMusicFilesAndOnlyFilesThatExist) {
  Song(30);
  Song(10, {}, /*withMusic=*/false);
  Song(20);
  Song(40);
  SongTable table = Scan({0, 1, 2});  // 10, 20, 30
  table.Reorder(std::vector<std::size_t>{2, 0, 1, 3});  // 30, 10, 20, 40
  fs::remove(Music("vxma20.vxn"));
  const auto files = CollectTickedFiles(table, dir.Gbk("MUSIC"), ui);
  ASSERT_TRUE(files);
  EXPECT_EQ(files->positions, (Positions{0, 1, 2}));
  EXPECT_EQ(files->paths, (V{MusicGbk("vxma30.vxn"), MusicGbk("vxma10.vxn"), MusicGbk("vxma30.vxm"), MusicGbk("vxma20.vxm")}));
}

TEST_F(RemoveSongs, DeleteAsksWithTheCountsThenTrashesOnlyChartAndMusic) {
  Song(1);
  Song(2, {}, /*withMusic=*/false);
  Song(3);
  fixtures::WriteFile(Utf8FromPath(Music("vxma1Song.txt")), Bytes{1});
  SongTable table = Scan({0, 1});

  ui.okCancelAnswers.push_back(false);
  EXPECT_EQ(OnDeleteSongs(table, settings, ui).outcome, Outcome::kCancelled);
  EXPECT_EQ(Utf8FromGbk(ui.events[0].text), "确定把2首歌曲(共3个文件)移到回收站吗?");
  EXPECT_EQ(ui.Count(Kind::kTrash), 0u);
  EXPECT_EQ(table.Size(), 3u);

  ui.okCancelAnswers.push_back(true);
  const RemoveOutcome result = OnDeleteSongs(table, settings, ui);
  EXPECT_EQ(result.filesDone, 3u);
  EXPECT_EQ(Ids(table), (V{"3"}));
  EXPECT_FALSE(table.IsTicked(0));
  EXPECT_TRUE(fs::exists(Music("vxma1Song.txt")));
  EXPECT_TRUE(fs::exists(Music("vxma3.vxn")));
}

TEST_F(RemoveSongs, ARowStaysExactlyWhenItsChartCouldNotBeTrashed) {
  Song(1);
  Song(2);
  SongTable table = Scan({0, 1});
  ui.okCancelAnswers.push_back(true);
  ui.trashSucceeds = false;
  const RemoveOutcome result = OnDeleteSongs(table, settings, ui);
  EXPECT_EQ(result.outcome, Outcome::kFailed);
  EXPECT_EQ(result.filesFailed, 4u);
  EXPECT_EQ(Ids(table), (V{"1", "2"}));
  EXPECT_TRUE(table.IsTicked(0) && table.IsTicked(1));
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].rfind("以下文件没能删除,仍在原处:\n", 0), 0u);
}

TEST_F(RemoveSongs, MoveAsksOnEveryClashAndTheTableFollowsTheFolder) {
  for (int id : {1, 2, 3, 4}) Song(id, {.title = "new" + std::to_string(id)});
  for (const char* name : {"vxma1.vxn", "vxma2.vxn", "vxma3.vxm"}) fixtures::WriteFile(Utf8FromPath(Moved(name)), Bytes{9});
  SongTable table = Scan({0, 1, 2, 3});
  ui.okCancelAnswers.push_back(true);
  // vxma1.vxn replaced, vxma2.vxn skipped, then the clash on vxma3.vxm stops the rest.
  ui.overwriteAnswers = {OverwriteAnswer::kReplace, OverwriteAnswer::kSkip, OverwriteAnswer::kCancelRest};
  const RemoveOutcome result = OnMoveSongs(table, settings, ui);

  EXPECT_EQ(Utf8FromGbk(ui.events[0].text), "确定把4首歌曲(共8个文件)转移到以下文件夹吗?\n" + Utf8FromGbk(dir.Gbk("moved")));
  EXPECT_EQ(ui.Count(Kind::kOverwrite), 3u);
  EXPECT_EQ(result.outcome, Outcome::kCancelled);
  EXPECT_EQ(result.filesDone, 5u);     // charts 1, 3, 4; music 1, 2
  EXPECT_EQ(result.filesSkipped, 3u);  // chart 2; music 3 and 4 after the stop
  EXPECT_EQ(Read(Moved("vxma1.vxn")), fixtures::BuildChart({.title = "new1"}));
  EXPECT_EQ(Read(Moved("vxma2.vxn")), Bytes{9});
  EXPECT_EQ(Read(Moved("vxma3.vxm")), Bytes{9});
  EXPECT_TRUE(fs::exists(Music("vxma2.vxn")) && fs::exists(Music("vxma3.vxm")) && fs::exists(Music("vxma4.vxm")));
  // Rows whose chart left go, in the position arithmetic; song 2 stays ticked.
  EXPECT_EQ(result.removedAt, (Positions{0, 1, 1}));
  EXPECT_EQ(Ids(table), (V{"2"}));
  EXPECT_TRUE(table.IsTicked(0));
}

TEST_F(RemoveSongs, MoveIntoAMissingFolderIsRefusedBeforeAnything) {
  Song(1);
  SetFolders(dir.Gbk("MUSIC"), dir.Gbk("nowhere"));
  SongTable table = Scan({0});
  EXPECT_EQ(OnMoveSongs(table, settings, ui).outcome, Outcome::kRefused);
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
  EXPECT_EQ(OnMoveSongs(table, settings, ui).outcome, Outcome::kDone);
  EXPECT_EQ(Read(Moved("vxma5.vxn")), chart);
  EXPECT_FALSE(fs::exists(Music("vxma5.vxn")));
  EXPECT_EQ(table.Size(), 0u);
}

TEST_F(RemoveSongs, ACopyThatFailsKeepsTheSourceTheRowAndLeavesNothingInTheTarget) {
  Song(5, {.cover = fixtures::FakeCover(200000)});
  const Bytes chart = Read(Music("vxma5.vxn"));
  SetForceCopyingMoveForTesting(true);
  SetCopyFailureAfterBytesForTesting(100000);
  SongTable table = Scan({0});
  ui.okCancelAnswers.push_back(true);
  const RemoveOutcome result = OnMoveSongs(table, settings, ui);
  EXPECT_EQ(result.outcome, Outcome::kFailed);
  EXPECT_EQ(Read(Music("vxma5.vxn")), chart);
  EXPECT_TRUE(fs::exists(Moved("vxma5.vxm")));  // small enough to get through; nothing else did
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path() / "moved"), fs::directory_iterator()), 1);
  EXPECT_EQ(table.Size(), 1u);
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
  if (old) ::setenv("XDG_DATA_HOME", saved.c_str(), 1); else ::unsetenv("XDG_DATA_HOME");

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
#endif

}  // namespace
}  // namespace vx
