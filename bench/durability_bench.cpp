// What being durable costs, each against the floor a plain program would reach on the same files, timed
// in the same iteration so the ratio (the "ratio" counter) comes from one run on one machine:
//   install of 1000 songs   vs  a copy of every file and one flush of the file system (cp; sync -f)
//   delete of 1000 songs    vs  a rename of every file into the trash beside its written info file
//   scan of 5000 charts     vs  list the folder, then open, read 300 bytes from and close each chart
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "bench/bench_interaction.h"
#include "core/library/scan.h"
#include "core/operations/install_songs.h"
#include "core/operations/remove_songs.h"
#include "core/text/native_path.h"
#include "tests/support/fixtures.h"
#include "tests/support/operation_context.h"

namespace {

namespace fs = std::filesystem;
using namespace vx;
using Clock = std::chrono::steady_clock;

constexpr int kSongs = 1000;

using YesInteraction = bench::BenchInteraction;

// A folder on the disk the program would write to (the temporary folder may be a RAM disk, where a
// flush costs nothing): $VXBENCH_DIR, else the current folder.
fs::path Place(const std::string& name) {
  const char* chosen = std::getenv("VXBENCH_DIR");
  const fs::path base = chosen ? fs::path(chosen) : fs::current_path();
  return base / ("vxbench-durable-" + std::to_string(::getpid()) + "-" + name);
}

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Songs of about the size a pack holds: a chart with a cover and a few kilobytes of music.
void WriteSongs(const fs::path& folder, int count) {
  fs::create_directories(folder);
  for (int id = 0; id < count; ++id) {
    fixtures::ChartSpec recipe;
    recipe.title = "Song " + std::to_string(id);
    recipe.noteDataSize = 1500;
    recipe.cover = fixtures::FakeCover(2000);
    fixtures::WriteSong(Utf8FromPath(folder), id, recipe);
    fixtures::WriteFile(Utf8FromPath(folder / ("vxma" + std::to_string(id) + ".vxm")), Bytes(2300, 0x5A));
  }
}

void CopyFile(const fs::path& from, const fs::path& to) {
  const int in = ::open(from.c_str(), O_RDONLY);
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  char buffer[1 << 16];
  for (ssize_t n; (n = ::read(in, buffer, sizeof buffer)) > 0;)
    if (::write(out, buffer, static_cast<std::size_t>(n)) != n) break;
  ::close(in);
  ::close(out);
}

// Our time and the floor's, summed over the rounds; the benchmark's own time is ours.
// On a busy machine one slow round of either side swings the ratio of the sums; the ratio of the best
// rounds ("ratio_best") is what each side costs when nothing else is in the way.
struct Tally {
  double ours = 0, floor = 0;
  double bestOurs = 1e300, bestFloor = 1e300;
  std::size_t rounds = 0;

  void Add(benchmark::State& state, double oursMs, double floorMs) {
    ours += oursMs;
    floor += floorMs;
    bestOurs = std::min(bestOurs, oursMs);
    bestFloor = std::min(bestFloor, floorMs);
    ++rounds;
    state.SetIterationTime(oursMs / 1000.0);
  }
  void Report(benchmark::State& state) const {
    state.counters["ours_ms"] = ours / static_cast<double>(rounds);
    state.counters["floor_ms"] = floor / static_cast<double>(rounds);
    state.counters["ratio"] = ours / floor;
    state.counters["ratio_best"] = bestOurs / bestFloor;
  }
};

void BM_Install1000_VsCopyAndSync(benchmark::State& state) {
  const fs::path root = Place("install");
  WriteSongs(root / "in", kSongs);
  Tally tally;
  for (auto _ : state) {
    fs::create_directories(root / "MUSIC");
    SongTable table;
    YesInteraction ui({}, YesInteraction::Trash::kDesktop);
    ::sync();  // each side flushes only its own writes, not what the setup or the other left
    auto start = Clock::now();
    const InstallOutcome result = InstallSongs(
        fixtures::InCall({table, {}, ui, nullptr, FolderSettings{GbkPath(root / "MUSIC"), {}, {}}}),
        {GbkPath(root / "in")});
    const double installed = Ms(Clock::now() - start);
    if (result.outcome != Outcome::kDone) state.SkipWithError("the install failed");
    fs::remove_all(root / "MUSIC");

    fs::create_directories(root / "copy");
    ::sync();  // each side flushes only its own writes, not what the setup or the other left
    start = Clock::now();
    for (const auto& entry : fs::directory_iterator(root / "in"))
      CopyFile(entry.path(), root / "copy" / entry.path().filename());
    const int folder = ::open((root / "copy").c_str(), O_RDONLY | O_DIRECTORY);
    ::syncfs(folder);
    ::close(folder);
    const double copied = Ms(Clock::now() - start);
    fs::remove_all(root / "copy");

    tally.Add(state, installed, copied);
  }
  tally.Report(state);
  fs::remove_all(root);
}

void BM_DeleteToTrash1000_VsRenames(benchmark::State& state) {
  const fs::path root = Place("delete");
  ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
  Tally tally;
  for (auto _ : state) {
    WriteSongs(root / "MUSIC", kSongs);
    fs::remove_all(root / "data");
    fs::create_directories(root / "data/Trash/files");
    fs::create_directories(root / "data/Trash/info");
    SongTable table;
    table.Assign(ScanMusicFolder(GbkPath(root / "MUSIC")));
    table.SetAllTicked(true);
    YesInteraction ui({}, YesInteraction::Trash::kDesktop);
    auto start = Clock::now();
    const RemoveOutcome result = OnDeleteSongs(
        fixtures::InCall({table, {}, ui, nullptr, FolderSettings{GbkPath(root / "MUSIC"), {}, {}}}));
    const double deleted = Ms(Clock::now() - start);
    if (result.outcome != Outcome::kDone) state.SkipWithError("the delete failed");

    WriteSongs(root / "MUSIC", kSongs);
    fs::remove_all(root / "data");
    fs::create_directories(root / "data/Trash/files");
    fs::create_directories(root / "data/Trash/info");
    start = Clock::now();
    for (const auto& entry : fs::directory_iterator(root / "MUSIC")) {
      const std::string name = entry.path().filename().native();
      const std::string info =
          "[Trash Info]\nPath=" + entry.path().native() + "\nDeletionDate=2024-01-01T00:00:00\n";
      const int fd = ::open((root / "data/Trash/info" / (name + ".trashinfo")).c_str(),
                            O_WRONLY | O_CREAT | O_EXCL, 0600);
      if (::write(fd, info.data(), info.size()) < 0) state.SkipWithError("write");
      ::close(fd);
      ::rename(entry.path().c_str(), (root / "data/Trash/files" / name).c_str());
    }
    const double renamed = Ms(Clock::now() - start);

    tally.Add(state, deleted, renamed);
  }
  tally.Report(state);
  ::unsetenv("XDG_DATA_HOME");
  fs::remove_all(root);
}

void BM_Scan5000_VsListOpenRead(benchmark::State& state) {
  const fs::path root = Place("scan");
  WriteSongs(root, 5000);
  Tally tally;
  for (auto _ : state) {
    auto start = Clock::now();
    benchmark::DoNotOptimize(ScanMusicFolder(GbkPath(root)));
    const double scanned = Ms(Clock::now() - start);

    start = Clock::now();
    std::size_t bytes = 0;
    DIR* dir = ::opendir(root.c_str());
    while (const dirent* entry = ::readdir(dir)) {
      const std::string_view name = entry->d_name;
      if (!name.ends_with(".vxn")) continue;
      const int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY);
      char header[300];
      const ssize_t n = ::read(fd, header, sizeof header);
      bytes += n > 0 ? static_cast<std::size_t>(n) : 0;
      ::close(fd);
    }
    ::closedir(dir);
    benchmark::DoNotOptimize(bytes);
    const double looped = Ms(Clock::now() - start);

    tally.Add(state, scanned, looped);
  }
  tally.Report(state);
  fs::remove_all(root);
}

}  // namespace

BENCHMARK(BM_Install1000_VsCopyAndSync)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteToTrash1000_VsRenames)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scan5000_VsListOpenRead)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
