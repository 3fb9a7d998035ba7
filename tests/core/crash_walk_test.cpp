// Every multi-file operation stopped dead right before each of its file-system calls in turn (a child
// process that ends at call n without any clean-up), then the folder opened again: whatever the crash
// point, every song is whole on one side once the journal has been acted on. Songs are audited by
// content, so a chart that lands on another song's music is seen. POSIX only: it forks.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <set>

#include "core/io/fault_injection.h"
#include "core/io/file_move.h"
#include "core/io/library_journal.h"
#include "core/library/scan.h"
#include "core/operations/install_songs.h"
#include "core/operations/interrupted_work.h"
#include "core/operations/remove_songs.h"
#include "core/operations/song_numbers.h"
#include "core/text/native_path.h"
#include "tests/support/fixtures.h"
#include "tests/support/operation_context.h"
#include "tests/support/scripted_interaction.h"
#if VX_HAVE_LIBARCHIVE
#include "tests/support/song_pack_fixtures.h"
#endif
#include "tests/support/temp_dir.h"

namespace vx {
namespace {

namespace fs = std::filesystem;
using fixtures::InCall;

constexpr int kCrashed = 86;

// Each song's chart and music differ from every other song's, so a file says which song it belongs to.
Bytes ChartOf(const std::string& song) {
  return fixtures::BuildChart({.title = song, .noteDataSize = 64 + song.size() * 7});
}
Bytes MusicOf(const std::string& song) {
  Bytes music(200, 0);
  for (std::size_t i = 0; i < music.size(); ++i) music[i] = static_cast<std::uint8_t>(song[i % song.size()]);
  return music;
}

// MUSIC with songs 1-3, an empty move target, and songs to install: 8 and 9 (new), and another song 1;
// the same as packs (new.zip, clash.zip).
struct World {
  fs::path root;
  explicit World(const fs::path& at) : root(at) {
    fs::remove_all(root);
    for (const char* folder : {"MUSIC", "moved", "data"}) fs::create_directories(root / folder);
    const auto song = [&](const std::string& folder, int id, const std::string& name) {
      fixtures::WriteFile(Native(folder + "/vxma" + std::to_string(id) + ".vxn"), ChartOf(name));
      fixtures::WriteFile(Native(folder + "/vxma" + std::to_string(id) + ".vxm"), MusicOf(name));
    };
    for (int id : {1, 2, 3}) song("MUSIC", id, "old" + std::to_string(id));
    song("new", 8, "new8");
    song("new", 9, "new9");
    song("clash", 1, "other1");
    song("clash", 9, "new9");
#if VX_HAVE_LIBARCHIVE
    const auto pack = [&](const std::string& name, std::vector<std::pair<int, std::string>> songs) {
      std::vector<fixtures::PackEntry> entries;
      for (const auto& [id, title] : songs) {
        entries.push_back({"曲包/vxma" + std::to_string(id) + ".vxn", ChartOf(title)});
        entries.push_back({"曲包/vxma" + std::to_string(id) + ".vxm", MusicOf(title)});
      }
      fixtures::WriteFile(Native(name), *fixtures::BuildPack(fixtures::PackFormat::kZipGbk, entries));
    };
    pack("new.zip", {{8, "new8"}, {9, "new9"}});
    pack("clash.zip", {{1, "other1"}, {9, "new9"}});
#endif
  }
  std::string Native(const std::string& name) const {
    return Utf8FromPath(root / PathFromUtf8(name));
  }
  std::string Gbk(const std::string& name) const {
    return GbkPath(root / PathFromUtf8(name));
  }
  FolderSettings Folders() const {
    return {Gbk("MUSIC"), Gbk("moved"), {}};
  }
  SongTable Table(std::initializer_list<int> ticked) const {
    SongTable table;
    table.Assign(ScanMusicFolder(Gbk("MUSIC")));
    for (int id : ticked) table.SetTicked(*table.FindId(id), true);
    return table;
  }
};

struct TrashingInteraction : fixtures::ScriptedInteraction {
  AllOrNone MoveToTrash(const std::vector<std::string>& gbkPaths) override {
    return MoveFilesToTrash(gbkPaths);
  }
  bool RestoreFromTrash(const std::vector<std::string>& gbkPaths) override {
    return vx::RestoreFromTrash(gbkPaths);
  }
};

struct CrashWalk {
  const char* name;
  std::function<void(World&)> run;
  std::set<std::string> mayVanish;  // songs that may end nowhere (deleted for good, or not installed)
  bool acrossFileSystems = false;
};

void Renumber(World& w) {
  SongTable table = w.Table({});
  fixtures::ScriptedInteraction ui;
  RenumberSong(InCall({table, {}, ui, nullptr, w.Folders()}), 2, 20);
}

void Install(World& w, const char* from) {
  SongTable table = w.Table({});
  TrashingInteraction ui;
  ui.clashAnswers = {ClashAnswer::kReplace, ClashAnswer::kReplace};
  InstallSongs(InCall({table, {}, ui, nullptr, w.Folders()}), {w.Gbk(from)});
}

template <class Ui>
void Delete(World& w) {
  SongTable table = w.Table({1, 2});
  Ui ui;
  ui.okCancelAnswers = {true};
  OnDeleteSongs(InCall({table, {}, ui, nullptr, w.Folders()}));
}

void Move(World& w) {
  SongTable table = w.Table({1, 2});
  fixtures::ScriptedInteraction ui;
  ui.okCancelAnswers = {true};
  OnMoveSongs(InCall({table, {}, ui, nullptr, w.Folders()}));
}

const CrashWalk kWalks[] = {
    {"Renumber", Renumber, {}},
    {"Install", [](World& w) { Install(w, "new"); }, {"new8", "new9"}},
    {"ReplacingInstall", [](World& w) { Install(w, "clash"); }, {"other1", "new9"}},
#if VX_HAVE_LIBARCHIVE
    {"InstallFromPack", [](World& w) { Install(w, "new.zip"); }, {"new8", "new9"}},
    {"ReplacingInstallFromPack", [](World& w) { Install(w, "clash.zip"); }, {"other1", "new9"}},
#endif
    {"DeleteToTrash", Delete<TrashingInteraction>, {}},
    {"DeletePermanently", Delete<fixtures::ScriptedInteraction>, {"old1", "old2"}},
    {"Move", Move, {}},
    {"MoveAcrossFileSystems", Move, {}, /*acrossFileSystems=*/true},
};

// Where each song's files are: "MUSIC/vxma2", "moved/vxma2", or "trash" (whose names may carry a number).
struct Audit {
  std::map<std::string, std::vector<std::string>> charts, music;
};

Audit Look(const World& w) {
  std::map<Bytes, std::string> chartOf, musicOf;
  for (const char* song : {"old1", "old2", "old3", "new8", "new9", "other1"}) {
    chartOf[ChartOf(song)] = song;
    musicOf[MusicOf(song)] = song;
  }
  Audit audit;
  for (const char* place : {"MUSIC", "moved", "data/Trash/files"}) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(w.root / place, ec)) {
      const std::string name = Utf8FromPath(entry.path().filename());
      // A leftover copy is no song: the library check names it.
      if (!entry.is_regular_file() || name.find(".vxtmp-") != std::string::npos) continue;
      const Bytes bytes = ReadWholeFile(GbkPath(entry.path())).value();
      const std::string where = std::string(place) == "data/Trash/files"
                                    ? "trash"
                                    : std::string(place) + "/" + name.substr(0, name.find('.'));
      if (chartOf.count(bytes)) audit.charts[chartOf[bytes]].push_back(where);
      if (musicOf.count(bytes)) audit.music[musicOf[bytes]].push_back(where);
    }
  }
  return audit;
}

class CrashWalkTest : public ::testing::TestWithParam<CrashWalk> {
 protected:
  void SetUp() override { SetForceCopyingMoveForTesting(GetParam().acrossFileSystems); }
  void TearDown() override {
    SetForceCopyingMoveForTesting(false);
    fault_injection::Disarm();
    ::unsetenv("XDG_DATA_HOME");
  }
  fs::path WorldPath() const { return m_base.Path() / "world"; }
  fixtures::TempDir m_base;
};

TEST_P(CrashWalkTest, EverySongEndsWholeOnOneSideWhereverTheCrashFalls) {
  std::uint64_t calls = 0;
  {
    World world(WorldPath());
    ::setenv("XDG_DATA_HOME", world.Native("data").c_str(), 1);
    fault_injection::Arm(0);
    GetParam().run(world);
    calls = fault_injection::Calls();
    fault_injection::Disarm();
  }
  ASSERT_GT(calls, 1u);
  std::cout << "[ crash points ] " << GetParam().name << ": " << calls << "\n";
  RecordProperty("crash_points", static_cast<int>(calls));

  std::map<std::string, int> splits;
  for (std::uint64_t n = 1; n <= calls; ++n) {
    const std::string context = "crash before call " + std::to_string(n) + " of " + std::to_string(calls);
    World world(WorldPath());
    ::setenv("XDG_DATA_HOME", world.Native("data").c_str(), 1);
    std::cout.flush();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      fault_injection::ArmCrash(n, kCrashed);
      GetParam().run(world);
      std::_Exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kCrashed)
        << "the crash did not come, " << context;

    fixtures::ScriptedInteraction ui;
    const Recovery recovery = RecoverInterruptedWork(world.Gbk("MUSIC"), ui);
    EXPECT_TRUE(recovery == Recovery::kNothing || recovery == Recovery::kDone) << context;
    if (recovery == Recovery::kDone) {
      EXPECT_EQ(ui.Messages().at(0).rfind("上次的操作没有完成:", 0), 0u) << context;
    }
    EXPECT_FALSE(fs::exists(world.root / "MUSIC" / std::string(kJournalFileName))) << context;
    // The target is no folder a library check looks at: a copy killed there must not stay.
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(world.root / "moved", ec))
      EXPECT_EQ(entry.path().filename().string().find(".vxtmp-"), std::string::npos)
          << entry.path() << " left, " << context;

    const Audit audit = Look(world);
    for (const char* song : {"old1", "old2", "old3", "new8", "new9", "other1"}) {
      const auto find = [song](const std::map<std::string, std::vector<std::string>>& in) {
        return in.count(song) ? in.at(song) : std::vector<std::string>{};
      };
      const std::vector<std::string> chart = find(audit.charts), music = find(audit.music);
      if (chart.empty() && music.empty()) {
        const bool wasThere = std::string(song).rfind("old", 0) == 0;
        EXPECT_TRUE(!wasThere || GetParam().mayVanish.count(song)) << song << " lost, " << context;
        continue;
      }
      // Whole on one side: one chart and one music file, under one name in one folder (or both in the
      // trash). A song that was never going to be installed counts too, with its copies in "new".
      EXPECT_TRUE(chart.size() == 1 && music.size() == 1 && chart == music)
          << song << " split, " << context << ": chart in " << ::testing::PrintToString(chart)
          << ", music in " << ::testing::PrintToString(music);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Operations, CrashWalkTest, ::testing::ValuesIn(kWalks),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vx
#endif
