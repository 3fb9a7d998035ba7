// What being durable costs, each against the floor a plain program would reach on the same files, timed
// in the same iteration so the ratio (the "ratio" counter) comes from one run on one machine:
//   install of 1000 songs   vs  a copy of every file and one flush of the file system, in the program
//                               and as the `vxtool install` and `cp; sync -f` processes
//   delete of 1000 songs    vs  a rename of every file into the trash beside its written info file
//   scan of 5000 charts     vs  list the folder, then open, read 300 bytes from and close each chart
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

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
// rounds ("ratio_best") is what each side costs when nothing else is in the way. A shared disk also
// drifts between fast and slow spells lasting several rounds; each round's two sides run back to back,
// so the median of the rounds' own ratios ("ratio_median") compares them within one spell.
// Wall time, and the processor time the program spent (its own and the kernel's on its behalf): the disk
// of a shared machine swings the first by several times between spells, the second hardly.
struct Timing {
  double ms = 0, cpuMs = 0;
};
class Stopwatch {
 public:
  Stopwatch() : m_start(Clock::now()), m_cpu(CpuMs()) {}
  Timing Read() const { return {Ms(Clock::now() - m_start), CpuMs() - m_cpu}; }

 private:
  static double CpuMs() {
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
  }
  Clock::time_point m_start;
  double m_cpu;
};

struct Tally {
  double ours = 0, floor = 0, oursCpu = 0, floorCpu = 0;
  double bestOurs = 1e300, bestFloor = 1e300;
  std::vector<double> ratios;
  std::size_t rounds = 0;

  void Add(benchmark::State& state, Timing oursTime, Timing floorTime) {
    oursCpu += oursTime.cpuMs;
    floorCpu += floorTime.cpuMs;
    if (std::getenv("VXBENCH_ROUNDS"))
      std::fprintf(stderr, "processor: ours %.1f ms, floor %.1f ms\n", oursTime.cpuMs, floorTime.cpuMs);
    Add(state, oursTime.ms, floorTime.ms);
  }
  void Add(benchmark::State& state, double oursMs, double floorMs) {
    ours += oursMs;
    floor += floorMs;
    bestOurs = std::min(bestOurs, oursMs);
    bestFloor = std::min(bestFloor, floorMs);
    ratios.push_back(oursMs / floorMs);
    ++rounds;
    state.SetIterationTime(oursMs / 1000.0);
    if (std::getenv("VXBENCH_ROUNDS")) std::fprintf(stderr, "ours %.1f ms, floor %.1f ms\n", oursMs, floorMs);
  }
  // One round of both sides, taking turns at going first, so neither side always meets the disk as the
  // other left it.
  template <class Ours, class Floor>
  void TakeTurns(benchmark::State& state, Ours ours, Floor floor) {
    Timing oursTime, floorTime;
    if (rounds % 2 == 0) {
      oursTime = ours();
      floorTime = floor();
    } else {
      floorTime = floor();
      oursTime = ours();
    }
    Add(state, oursTime, floorTime);
  }
  void Report(benchmark::State& state) {
    state.counters["ours_ms"] = ours / static_cast<double>(rounds);
    state.counters["floor_ms"] = floor / static_cast<double>(rounds);
    state.counters["ratio"] = ours / floor;
    state.counters["ratio_best"] = bestOurs / bestFloor;
    if (floorCpu > 0) state.counters["ratio_cpu"] = oursCpu / floorCpu;
    std::sort(ratios.begin(), ratios.end());
    state.counters["ratio_median"] = ratios.size() % 2
                                         ? ratios[ratios.size() / 2]
                                         : (ratios[ratios.size() / 2 - 1] + ratios[ratios.size() / 2]) / 2;
  }
};

// Runs a program to its end; false when it could not be started or did not exit 0.
bool Run(const std::vector<std::string>& words) {
  std::vector<char*> argv;
  for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  if (::posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Rounds of an install of 1000 songs (`ours(in, music)`) against a copy of the same files
// (`floor(in, copy)`), each side timing itself. Every round writes into folders of its own and nothing is
// removed until the end: a file system makes new files slowly where it has just deleted many (ext4 steps
// around recently freed inodes), and whichever side came after a removal would pay for the other's.
template <class Ours, class Floor>
void InstallRounds(benchmark::State& state, const char* name, Ours ours, Floor floor) {
  const fs::path root = Place(name), in = root / "in";
  WriteSongs(in, kSongs);
  Tally tally;
  for (auto _ : state) {
    const fs::path music = root / ("MUSIC" + std::to_string(tally.rounds)),
                   copy = root / ("copy" + std::to_string(tally.rounds));
    fs::create_directories(music);
    fs::create_directories(copy);
    // Each side flushes only its own writes, not what the setup or the other left.
    tally.TakeTurns(
        state, [&] { return ::sync(), ours(in, music); }, [&] { return ::sync(), floor(in, copy); });
  }
  tally.Report(state);
  fs::remove_all(root);
}

void BM_Install1000_VsCopyAndSync(benchmark::State& state) {
  InstallRounds(
      state, "install",
      [&](const fs::path& in, const fs::path& music) {
        SongTable table;
        YesInteraction ui({}, YesInteraction::Trash::kDesktop);
        const Stopwatch watch;
        const InstallOutcome result =
            InstallSongs(fixtures::InCall({table, {}, ui, nullptr, FolderSettings{GbkPath(music), {}, {}}}),
                         {GbkPath(in)});
        if (result.outcome != Outcome::kDone) state.SkipWithError("the install failed");
        return watch.Read();
      },
      [](const fs::path& in, const fs::path& copy) {
        const Stopwatch watch;
        for (const auto& entry : fs::directory_iterator(in))
          CopyFile(entry.path(), copy / entry.path().filename());
        const int folder = ::open(copy.c_str(), O_RDONLY | O_DIRECTORY);
        ::syncfs(folder);
        ::close(folder);
        return watch.Read();
      });
}

// The install as a player would time it: the `vxtool install` process against `cp` of the same files
// and one `sync -f`, each a whole process (or two). The work is the children's: no processor time of
// ours to compare.
void BM_VxtoolInstall1000_VsCpAndSyncF(benchmark::State& state) {
  InstallRounds(
      state, "vxtool",
      [&](const fs::path& in, const fs::path& music) {
        const Stopwatch watch;
        if (!Run({VXTOOL_PATH, "install", music.native(), in.native()}))
          state.SkipWithError("vxtool install failed");
        return Timing{watch.Read().ms, 0};
      },
      [&](const fs::path& in, const fs::path& copy) {
        const Stopwatch watch;
        if (!Run({"/bin/sh", "-c", "cp -- \"$0\"/* \"$1\"/ && sync -f \"$1\"", in.native(), copy.native()}))
          state.SkipWithError("cp failed");
        return Timing{watch.Read().ms, 0};
      });
}

void BM_DeleteToTrash1000_VsRenames(benchmark::State& state) {
  const fs::path root = Place("delete");
  ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
  Tally tally;
  // Songs to delete, and an empty trash; each side makes its own, in a folder of its own (see above).
  const auto fresh = [&](const char* side) {
    const fs::path music = root / (side + std::to_string(tally.rounds));
    WriteSongs(music, kSongs);
    fs::remove_all(root / "data");
    fs::create_directories(root / "data/Trash/files");
    fs::create_directories(root / "data/Trash/info");
    ::sync();
    return music;
  };
  for (auto _ : state) {
    const auto remove = [&] {
      const fs::path music = fresh("MUSIC");
      SongTable table;
      table.Assign(ScanMusicFolder(GbkPath(music)));
      table.SetAllTicked(true);
      YesInteraction ui({}, YesInteraction::Trash::kDesktop);
      const Stopwatch watch;
      const RemoveOutcome result =
          OnDeleteSongs(fixtures::InCall({table, {}, ui, nullptr, FolderSettings{GbkPath(music), {}, {}}}));
      if (result.outcome != Outcome::kDone) state.SkipWithError("the delete failed");
      return watch.Read();
    };
    const auto rename = [&] {
      const fs::path music = fresh("plain");
      const Stopwatch watch;
      for (const auto& entry : fs::directory_iterator(music)) {
        const std::string name = entry.path().filename().native();
        const std::string info =
            "[Trash Info]\nPath=" + entry.path().native() + "\nDeletionDate=2024-01-01T00:00:00\n";
        const int fd = ::open((root / "data/Trash/info" / (name + ".trashinfo")).c_str(),
                              O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (::write(fd, info.data(), info.size()) < 0) state.SkipWithError("write");
        ::close(fd);
        ::rename(entry.path().c_str(), (root / "data/Trash/files" / name).c_str());
      }
      return watch.Read();
    };
    tally.TakeTurns(state, remove, rename);
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

BENCHMARK(BM_Install1000_VsCopyAndSync)->UseManualTime()->Iterations(9)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VxtoolInstall1000_VsCpAndSyncF)->UseManualTime()->Iterations(9)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteToTrash1000_VsRenames)->UseManualTime()->Iterations(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scan5000_VsListOpenRead)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
