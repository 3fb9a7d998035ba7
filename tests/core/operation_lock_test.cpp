// Every operation that changes a MUSIC folder waits for that folder's lock, and when another program keeps
// it, ends saying so without touching a file.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <map>

#include "core/history/history.h"
#include "core/io/library_lock.h"
#include "core/library/library_check.h"
#include "core/operations/covers.h"
#include "core/operations/history_restore.h"
#include "core/operations/install_songs.h"
#include "core/operations/library_check_ops.h"
#include "core/operations/remove_songs.h"
#include "core/operations/song_edit.h"
#include "core/operations/song_numbers.h"
#include "core/operations/text_lists.h"
#include "tests/core/library_fixture.h"

namespace vx {
namespace {

using namespace std::chrono_literals;
using testing_support::LibraryTest;
namespace fs = std::filesystem;

struct Writer {
  const char* name;
  std::function<OperationResult(OperationContext&, History&, const LibraryReport&, const std::string& jpeg,
                                const std::string& sources)>
      run;
};

class OperationLock : public LibraryTest, public ::testing::WithParamInterface<Writer> {
 protected:
  // Every file under the test folder, by its path, with its bytes.
  std::map<fs::path, Bytes> Snapshot() const {
    std::map<fs::path, Bytes> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir.Path()))
      files[entry.path()] = entry.is_regular_file() ? Read(entry.path()) : Bytes{};
    return files;
  }
  OperationContext Context(SongTable& table, History& history) {
    return {table, settings, ui, &history,
            FolderSettings{dir.Gbk("MUSIC"), dir.Gbk("moved"), dir.Gbk("images")}};
  }
};

TEST_P(OperationLock, AWriterFindingItsFolderHeldChangesNothingAndSaysSo) {
  Song(1);
  Song(2);
  fixtures::WriteFile(dir.Native("cover.jpg"), fixtures::FakeCover(30));
  fixtures::WriteSong(dir.Native("in"), 50, {}, /*withMusic=*/true);
  // A leftover of an interrupted rewrite, old enough to be removed.
  fixtures::WriteFile(Music("vxma1.vxn.vxtmp-Ab12Cd").string(), Bytes{1, 2, 3});
  fs::last_write_time(Music("vxma1.vxn.vxtmp-Ab12Cd"), fs::file_time_type::clock::now() - 2h);
  SongTable table = Scan({0});
  History history(dir.Gbk("history"));
  // An entry for the restores to take back, made while nobody else holds the folder.
  OperationContext first = Context(table, history);
  ASSERT_EQ(OnSaveSong(first, SongEditTarget{2, dir.Gbk("MUSIC")}, {"Kept", "1", "2", "3"},
                       /*askFirst=*/false)
                .saved,
            SaveOutcome::kSaved);
  const LibraryReport report = CheckLibrary(dir.Gbk("MUSIC"));
  ui.events.clear();
  ui.okCancelAnswers = {true, true};
  ui.openFileAnswers = {dir.Gbk("cover.jpg")};
  ui.clashAnswers = {ClashAnswer::kReplace};
  const auto before = Snapshot();

  std::promise<void> held, done;
  auto holder = std::async(std::launch::async, [&] {
    LibraryLock other(dir.Gbk("MUSIC"));
    held.set_value();
    done.get_future().wait();
  });
  held.get_future().wait();
  OperationContext ctx = Context(table, history);
  ctx.lockPatience = 20ms;
  const OperationResult result = GetParam().run(ctx, history, report, dir.Gbk("cover.jpg"), dir.Gbk("in"));
  done.set_value();
  holder.get();

  EXPECT_EQ(result.outcome, Outcome::kBusy);
  EXPECT_TRUE(result.change.Empty());
  EXPECT_EQ(Messages(), std::vector<std::string>{std::string(msg::kLibraryBusy)});
  EXPECT_EQ(Snapshot(), before);
}

// Declared here so the cases below read as one table.
OperationResult Restore(OperationContext& ctx, History& history) {
  return RestoreHistoryEntry(ctx, history, history.Entries(ctx.folders->musicDir).at(0));
}

const Writer kWriters[] = {
    {"Save",
     [](OperationContext& ctx, History&, const LibraryReport&, const std::string&, const std::string&) {
       return OnSaveSong(ctx, SongEditTarget{1, ctx.folders->musicDir}, {"New", "4", "5", "6"}, false);
     }},
    {"ImportCover", [](OperationContext& ctx, auto&, auto&, auto&, auto&) { return OnImportCover(ctx); }},
    {"DropCover", [](OperationContext& ctx, History&, const LibraryReport&, const std::string& jpeg,
                     const std::string&) { return OnDropCover(ctx, 1, jpeg); }},
    {"BatchText", [](OperationContext& ctx, auto&, auto&, auto&, auto&) { return OnBatchText(ctx); }},
    {"Install", [](OperationContext& ctx, History&, const LibraryReport&, const std::string&,
                   const std::string& in) { return InstallSongs(ctx, {in}); }},
    {"Renumber", [](OperationContext& ctx, auto&, auto&, auto&, auto&) { return RenumberSong(ctx, 1, 9); }},
    {"Restore",
     [](OperationContext& ctx, History& history, auto&, auto&, auto&) { return Restore(ctx, history); }},
    {"Undo", [](OperationContext& ctx, History& history, auto&, auto&,
                auto&) { return OnUndoLastChange(ctx, history); }},
    {"Delete", [](OperationContext& ctx, auto&, auto&, auto&, auto&) { return OnDeleteSongs(ctx); }},
    {"Move", [](OperationContext& ctx, auto&, auto&, auto&, auto&) { return OnMoveSongs(ctx); }},
    {"RemoveLeftovers", [](OperationContext& ctx, History&, const LibraryReport& report, auto&,
                           auto&) { return RemoveLeftoverTemporaries(ctx, report); }},
};
INSTANTIATE_TEST_SUITE_P(Writers, OperationLock, ::testing::ValuesIn(kWriters),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vx
