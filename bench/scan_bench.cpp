// The scan against the naive probe of all 5000 names, on a full and a sparse folder, and the sort of a
// full table. Each pair runs in one binary so the ratio comes from one run on one machine.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include <unistd.h>

#include "core/library/scan.h"
#include "core/library/sort.h"
#include "core/text/native_path.h"
#include "tests/support/fixtures.h"

namespace {

namespace fs = std::filesystem;
using namespace vx;

// Builds a MUSIC folder once per process and removes it at exit.
class Library {
 public:
  explicit Library(int songs, int stride) {
    m_dir =
        fs::temp_directory_path() / ("vxbench-" + std::to_string(::getpid()) + "-" + std::to_string(songs));
    fs::create_directories(m_dir);
    for (int i = 0; i < songs; ++i) {
      fixtures::ChartSpec recipe;
      recipe.title = "Song " + std::to_string(i * 7919 % 5000);
      recipe.playTime = static_cast<std::uint16_t>(60 + (i * 37) % 400);
      recipe.cover = fixtures::FakeCover(2048);
      fixtures::WriteSong(m_dir.string(), i * stride, recipe);
    }
  }
  ~Library() { fs::remove_all(m_dir); }
  std::string Gbk() const { return GbkPath(m_dir); }

 private:
  fs::path m_dir;
};

const Library& Full() {
  static Library lib(5000, 1);
  return lib;
}
const Library& Sparse() {
  static Library lib(500, 10);
  return lib;
}

void BM_Scan_Full(benchmark::State& state) {
  const std::string dir = Full().Gbk();
  for (auto _ : state) benchmark::DoNotOptimize(ScanMusicFolder(dir));
}
void BM_ProbeReference_Full(benchmark::State& state) {
  const std::string dir = Full().Gbk();
  for (auto _ : state) benchmark::DoNotOptimize(fixtures::ProbeScan(dir));
}
void BM_Scan_Sparse(benchmark::State& state) {
  const std::string dir = Sparse().Gbk();
  for (auto _ : state) benchmark::DoNotOptimize(ScanMusicFolder(dir));
}
void BM_ProbeReference_Sparse(benchmark::State& state) {
  const std::string dir = Sparse().Gbk();
  for (auto _ : state) benchmark::DoNotOptimize(fixtures::ProbeScan(dir));
}

void SortBench(benchmark::State& state, int column) {
  SongTable scanned;
  scanned.Assign(ScanMusicFolder(Full().Gbk()));
  std::mt19937 shuffle(42);
  for (auto _ : state) {
    state.PauseTiming();
    SongTable table = scanned;
    state.ResumeTiming();
    benchmark::DoNotOptimize(SortTable(table, column, shuffle() % 2 == 0));
  }
}
void BM_Sort5000_Title(benchmark::State& state) {
  SortBench(state, kColTitle);
}
void BM_Sort5000_Time(benchmark::State& state) {
  SortBench(state, kColTime);
}

BENCHMARK(BM_Scan_Full)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProbeReference_Full)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scan_Sparse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProbeReference_Sparse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sort5000_Title)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sort5000_Time)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
