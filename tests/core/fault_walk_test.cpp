// Every operation that writes, with each of its file-system calls failing in turn (the model is SQLite's
// I/O-error tests): whatever call fails, every song is whole on one side, every file holds its old bytes
// or its finished ones, no temporary file is left, the trash has no entry without its file, a change of a
// chart is kept in the history, a failure is never reported as success, and the table matches the folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "core/archive/background.h"
#include "core/archive/image_export.h"
#include "core/history/history.h"
#include "core/io/fault_injection.h"
#include "core/io/file_move.h"
#include "core/library/scan.h"
#include "core/operations/covers.h"
#include "core/operations/game_list.h"
#include "core/operations/history_restore.h"
#include "core/operations/install_songs.h"
#include "core/operations/remove_songs.h"
#include "core/operations/song_edit.h"
#include "core/operations/song_numbers.h"
#include "core/operations/text_lists.h"
#include "core/settings/settings_file.h"
#include "core/text/native_path.h"
#include "tests/support/archive_fixtures.h"
#include "tests/support/fixtures.h"
#include "tests/support/operation_context.h"
#include "tests/support/scripted_interaction.h"
#if VX_HAVE_LIBARCHIVE
#include "tests/support/song_pack_fixtures.h"
#endif
#include "tests/support/temp_dir.h"

namespace vx {

using fixtures::InCall;
namespace {

namespace fs = std::filesystem;
using Snapshot = std::map<std::string, Bytes>;  // relative path → bytes, for every regular file

// A small library with everything an operation may touch: three songs (the third without music), an old
// text list, game list and exported cover, songs to install (one clashing), a picture to import, a small
// image archive, a background picture, a history with one entry, and the songs to install as a pack too.
class World {
  fs::path m_root;  // first: the members below are made inside it

 public:
  // Made afresh in `root`, the same folder each time, so that files naming it (REC.re) compare equal.
  explicit World(const fs::path& root) : m_root(root) {
    fs::remove_all(m_root);
    fs::create_directories(m_root);
    for (int id : {1, 2, 3})
      fixtures::WriteSong(Native("MUSIC"), id,
                          {.title = "T" + std::to_string(id), .cover = fixtures::FakeCover(1500 + id)},
                          /*withMusic=*/id != 3);
    fs::create_directories(Path("moved"));
    fixtures::WriteFile(Native("images/T1.jpg"), Bytes{'o', 'l', 'd'});
    fixtures::WriteFile(Native("out/list.txt"), Bytes{'o', 'l', 'd'});
    fixtures::WriteFile(Native("out/game.dat"), Bytes{'o', 'l', 'd'});
    fixtures::WriteFile(Native("REC.re"),
                        fixtures::BuildSettingsFile(Gbk("MUSIC"), Gbk("moved"), Gbk("images")));
    fixtures::WriteFile(Native("in/vxma1.vxn"), fixtures::BuildChart({.title = "Incoming"}));
    fixtures::WriteFile(Native("in/vxma1.vxm"), Bytes{'m'});
    fixtures::WriteFile(Native("in/vxma9.vxn"), fixtures::BuildChart({.title = "Nine"}));
    fixtures::WriteFile(Native("in/vxma9.vxm"), Bytes{'9'});
#if VX_HAVE_LIBARCHIVE
    fixtures::WriteFile(Native("in.zip"),
                        *fixtures::BuildPack(fixtures::PackFormat::kZipGbk,
                                             {{"pack/vxma1.vxn", fixtures::BuildChart({.title = "Incoming"})},
                                              {"pack/vxma1.vxm", Bytes{'m'}},
                                              {"pack/vxma9.vxn", fixtures::BuildChart({.title = "Nine"})},
                                              {"pack/vxma9.vxm", Bytes{'9'}}}));
#endif
    fixtures::WriteFile(Native("pick.jpg"), fixtures::FakeCover(700, 0x33));
    fixtures::ArchiveSpec archive;
    archive.entries = {{.name = "Small.vxt", .frames = {{}, {.width = 5, .height = 2}}},
                       {.name = "Note.ini", .raw = Bytes{1}}};
    fixtures::WriteFile(Native("Playing.vpi"), fixtures::BuildArchive(archive));
    fixtures::WriteFile(Native("pictures/bg.bmp"), fixtures::BuildBmp({}));
    History(Gbk("history"))
        .Record(Gbk("MUSIC"), 2, HistoryOperation::kEdit, fixtures::BuildChart({.title = "Was"}));
  }
  ~World() {
    fault_injection::Disarm();
  }

  std::string Native(const std::string& name) const {
    return Utf8FromPath(Path(name));
  }
  std::string Gbk(const std::string& name) const {
    return GbkPath(Path(name));
  }
  fs::path Path(const std::string& name) const {
    return m_root / PathFromUtf8(name);
  }
  SongTable Table(std::initializer_list<int> ticked) const {
    SongTable table;
    table.Assign(ScanMusicFolder(Gbk("MUSIC")));
    for (int id : ticked) table.SetTicked(*table.FindId(id), true);
    return table;
  }

  // The files as they are. What differs from run to run by nature (the time in a history entry's or a
  // trash entry's description, the name of a history entry) is left out: a history entry is its chart,
  // numbered newest first, and a trash entry's description is only its name.
  Snapshot Take() const {
    Snapshot files;
    std::vector<std::string> history;
    for (const auto& entry : fs::recursive_directory_iterator(m_root)) {
      if (!entry.is_regular_file()) continue;
      const std::string relative = Utf8FromPath(fs::relative(entry.path(), m_root).generic_u8string());
      if (relative.rfind("history/", 0) == 0) {
        if (relative.ends_with(".vxn")) history.push_back(relative);
        continue;
      }
      files[relative] =
          relative.ends_with(".trashinfo") ? Bytes{} : ReadWholeFile(GbkPath(entry.path())).value();
    }
    std::sort(history.rbegin(), history.rend());
    for (std::size_t i = 0; i < history.size(); ++i)
      files["history/" + std::to_string(i)] = ReadWholeFile(GbkPath(Path(history[i]))).value();
    return files;
  }

  fixtures::ScriptedInteraction ui;
  // The scripted trash deletes; this one is the desktop's, as the window and vxtool use it.
  struct TrashingInteraction : fixtures::ScriptedInteraction {
    AllOrNone MoveToTrash(const std::vector<std::string>& gbkPaths) override {
      return MoveFilesToTrash(gbkPaths);
    }
    bool RestoreFromTrash(const std::vector<std::string>& gbkPaths) override {
      return vx::RestoreFromTrash(gbkPaths);
    }
  } trashUi;
  History history{Gbk("history")};
};

struct Ran {
  bool reportedSuccess;
  std::optional<SongTable> table;  // the table the operation worked on, when it has one
};

struct Walk {
  const char* name;
  std::function<Ran(World&)> run;
  bool usesTrash = false;
  bool acrossFileSystems = false;
  bool talks = true;  // false for a call that only returns its result, which its caller shows
};

Ran Edit(World& w) {
  SongTable table = w.Table({});
  const SaveOutcome saved = OnSaveSong(InCall({table, {}, w.ui, &w.history}),
                                       SongEditTarget{1, w.Gbk("MUSIC")}, {"New", "4", "5", "6"}, false)
                                .saved;
  return {saved == SaveOutcome::kSaved, std::move(table)};
}

Ran ImportCover(World& w) {
  SongTable table = w.Table({1});
  w.ui.openFileAnswers = {w.Gbk("pick.jpg")};
  return {OnImportCover(InCall({table, w.Gbk("REC.re"), w.ui, &w.history})).outcome == Outcome::kDone, table};
}

Ran TextList(World& w) {
  SongTable table = w.Table({1, 3});
  w.ui.saveFileAnswers = {w.Gbk("out/list.txt")};
  return {OnTextList(InCall({table, {}, w.ui})).outcome == Outcome::kDone, table};
}

Ran BatchText(World& w) {
  SongTable table = w.Table({1, 2});
  return {OnBatchText(InCall({table, w.Gbk("REC.re"), w.ui})).outcome == Outcome::kDone, table};
}

Ran GameList(World& w) {
  SongTable table = w.Table({1, 2, 3});
  w.ui.saveFileAnswers = {w.Gbk("out/game.dat")};
  return {OnGameList(InCall({table, w.Gbk("REC.re"), w.ui})).outcome == Outcome::kDone, table};
}

Ran ExportCovers(World& w) {
  SongTable table = w.Table({1, 2});
  return {OnExportCovers(InCall({table, w.Gbk("REC.re"), w.ui})).outcome == Outcome::kDone, table};
}

template <typename Ui>
Ran Delete(World& w, Ui& ui) {
  SongTable table = w.Table({1, 2, 3});
  ui.okCancelAnswers = {true};
  const RemoveOutcome result = OnDeleteSongs(InCall({table, w.Gbk("REC.re"), ui}));
  return {result.outcome == Outcome::kDone, std::move(table)};
}

Ran Move(World& w) {
  SongTable table = w.Table({1, 2, 3});
  w.ui.okCancelAnswers = {true};
  const RemoveOutcome result = OnMoveSongs(InCall({table, w.Gbk("REC.re"), w.ui}));
  return {result.outcome == Outcome::kDone, std::move(table)};
}

Ran ExportFrames(World& w) {
  const std::vector<EntryRow> rows = {{"Small.vxt", 1}};
  const ExportReport report = ExportImages(w.Gbk("Playing.vpi"), w.Gbk("images"), rows, w.ui);
  return {report.rowsFailed == 0 && report.filesWritten == 2, std::nullopt};
}

Ran Background(World& w) {
  return {MakeBackground(w.Gbk("pictures/bg.bmp"), 3, w.ui).status == BackgroundBuild::kWritten,
          std::nullopt};
}

Ran FolderSettings(World& w) {
  return {
      WriteFolders(w.Gbk("REC.re"), {w.Gbk("MUSIC"), w.Gbk("elsewhere"), {}}) == WriteFoldersResult::kWritten,
      std::nullopt};
}

Ran Install(World& w, const char* from) {
  SongTable table = w.Table({});
  w.ui.clashAnswers = {ClashAnswer::kReplace};
  const InstallOutcome result = InstallSongs(
      InCall({table, {}, w.ui, &w.history, vx::FolderSettings{w.Gbk("MUSIC"), {}, {}}}), {w.Gbk(from)});
  return {result.outcome == Outcome::kDone, std::move(table)};
}

Ran Renumber(World& w) {
  SongTable table = w.Table({});
  return {
      RenumberSong(InCall({table, {}, w.ui, &w.history, vx::FolderSettings{w.Gbk("MUSIC"), {}, {}}}), 2, 20)
              .outcome == Outcome::kDone,
      std::move(table)};
}

Ran Restore(World& w) {
  SongTable table = w.Table({});
  const auto entries = w.history.Entries(w.Gbk("MUSIC"));
  return {RestoreHistoryEntry(InCall({table, {}, w.ui, &w.history}), w.history, entries.at(0)).outcome ==
              Outcome::kDone,
          std::move(table)};
}

const Walk kWalks[] = {
    {"Edit", Edit},
    {"ImportCover", ImportCover},
    {"TextList", TextList},
    {"BatchText", BatchText},
    {"GameList", GameList},
    {"ExportCovers", ExportCovers},
    {"DeleteToTrash", [](World& w) { return Delete(w, w.trashUi); }, /*usesTrash=*/true},
    {"DeletePermanently", [](World& w) { return Delete(w, w.ui); }},
    {"Move", Move},
    {"MoveAcrossFileSystems", Move, false, /*acrossFileSystems=*/true},
    {"ExportFrames", ExportFrames},
    {"Background", Background},
    {"FolderSettings", FolderSettings, false, false, /*talks=*/false},
    // The install's report is shown by the window and vxtool.
    {"Install", [](World& w) { return Install(w, "in"); }, false, false, /*talks=*/false},
#if VX_HAVE_LIBARCHIVE
    {"InstallFromPack", [](World& w) { return Install(w, "in.zip"); }, false, false, /*talks=*/false},
#endif
    {"Renumber", Renumber},
    {"Restore", Restore},
};

std::string Where(const Snapshot& files, const std::string& name) {
  for (const char* place : {"MUSIC/", "moved/", "data/Trash/files/"})
    if (files.count(place + name)) return place;
  return "";
}

class FaultWalk : public ::testing::TestWithParam<Walk> {
 protected:
  void SetUp() override {
#ifdef _WIN32
    // The recycle bin of a test run would be the machine's own; the trash's walk runs where the trash
    // is a folder the test can point at.
    if (GetParam().usesTrash) GTEST_SKIP() << "the recycle bin is the machine's own";
#endif
    SetForceCopyingMoveForTesting(GetParam().acrossFileSystems);
  }
  void TearDown() override {
    SetForceCopyingMoveForTesting(false);
    fault_injection::Disarm();
#ifndef _WIN32
    ::unsetenv("XDG_DATA_HOME");
#endif
  }
  Ran RunIn(World& world) {
#ifndef _WIN32
    ::setenv("XDG_DATA_HOME", world.Native("data").c_str(), 1);
#endif
    return GetParam().run(world);
  }
  fixtures::TempDir m_base;
};

TEST_P(FaultWalk, EveryFailingCallLeavesEverythingWholeAndIsReported) {
  Snapshot before, after;
  std::uint64_t calls = 0;
  {
    World world(m_base.Path() / "world");
    before = world.Take();
    fault_injection::Arm(0);
    ASSERT_TRUE(RunIn(world).reportedSuccess) << "the operation itself must work";
    calls = fault_injection::Calls();
    fault_injection::Disarm();
    after = world.Take();
  }
  ASSERT_GT(calls, 0u);
  ASSERT_NE(before, after);
  RecordProperty("failure_points", static_cast<int>(calls));
  const std::set<std::string> songs = {"vxma1", "vxma2", "vxma9", "vxma20"};

  for (const FsError error : {FsError::kNoSpace, FsError::kAccess}) {
    for (std::uint64_t n = 1; n <= calls; ++n) {
      const std::string context = std::string(error == FsError::kNoSpace ? "ENOSPC" : "EACCES") +
                                  " at call " + std::to_string(n) + " of " + std::to_string(calls);
      World world(m_base.Path() / "world");
      fault_injection::Arm(n, error);
      const Ran ran = RunIn(world);
      ASSERT_TRUE(fault_injection::Fired()) << context;
      fault_injection::Disarm();
      const Snapshot now = world.Take();

      if (ran.reportedSuccess) {
        EXPECT_EQ(now, after) << "success reported over an unfinished result, " << context;
      } else if (GetParam().talks) {
        EXPECT_FALSE(world.ui.Messages().empty() && world.trashUi.Messages().empty())
            << "a failure nobody was told of, " << context;
      }
      std::set<std::string> names;
      for (const Snapshot* s : std::initializer_list<const Snapshot*>{&before, &after, &now})
        for (const auto& [name, bytes] : *s) names.insert(name);
      for (const std::string& name : names) {
        EXPECT_EQ(name.find(".vxtmp-"), std::string::npos) << name << " left behind, " << context;
        const auto at = [&name](const Snapshot& s) {
          return s.count(name) ? std::optional(s.at(name)) : std::nullopt;
        };
        if (name.rfind("history/", 0) == 0) continue;  // numbered newest first; counted below
        EXPECT_TRUE(at(now) == at(before) || at(now) == at(after))
            << name << " is neither old nor new, " << context;
        // A trash entry is its file and its description, both or neither.
        if (name.rfind("data/Trash/files/", 0) == 0) {
          EXPECT_TRUE(now.count(name) == now.count("data/Trash/info/" + name.substr(17) + ".trashinfo"))
              << name << ", " << context;
        }
      }
      for (const std::string& song : songs) {
        const bool hasMusic = before.count("MUSIC/" + song + ".vxm") || after.count("MUSIC/" + song + ".vxm");
        // A song is whole on one side: its two files in one place (or, deleted for good, in none).
        if (hasMusic) {
          EXPECT_EQ(Where(now, song + ".vxn"), Where(now, song + ".vxm")) << song << " split, " << context;
        }
      }
      // A chart changed as the operation changes it has its old self in the history.
      std::size_t historyNow = 0, historyAfter = 0;
      for (const auto& [name, bytes] : now) historyNow += name.rfind("history/", 0) == 0;
      for (const auto& [name, bytes] : after) historyAfter += name.rfind("history/", 0) == 0;
      bool chartsAsAfter = true, chartsChanged = false;
      for (const auto& [name, bytes] : after)
        if (name.rfind("MUSIC/", 0) == 0 && name.ends_with(".vxn")) {
          chartsAsAfter = chartsAsAfter && now.count(name) && now.at(name) == bytes;
          chartsChanged = chartsChanged || !before.count(name) || before.at(name) != bytes;
        }
      if (chartsChanged && chartsAsAfter && historyAfter > 0) {
        EXPECT_EQ(historyNow, historyAfter) << "a change without its history, " << context;
      }
      // The table holds exactly the songs whose chart is in MUSIC.
      if (ran.table) {
        std::set<int> rows, charts;
        for (std::size_t r = 0; r < ran.table->Size(); ++r) rows.insert(ran.table->Row(r).Id());
        for (const auto& [name, bytes] : now)
          if (name.rfind("MUSIC/vxma", 0) == 0 && name.ends_with(".vxn"))
            charts.insert(std::stoi(name.substr(10)));
        EXPECT_EQ(rows, charts) << context;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Operations, FaultWalk, ::testing::ValuesIn(kWalks),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vx
