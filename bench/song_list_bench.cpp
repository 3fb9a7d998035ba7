// Reopening a game song list of 5000 songs, checking a 5000-song folder, and a search over 5000 rows.
// The scan of the same folder runs beside them: reopening reads each chart's head once, as the scan does,
// so the two should cost about the same.
#include <benchmark/benchmark.h>

#include <filesystem>

#include <unistd.h>

#include "core/io/byte_reader.h"
#include "core/library/library_check.h"
#include "core/library/scan.h"
#include "core/library/song_query.h"
#include "core/operations/open_song_list.h"
#include "core/text/native_path.h"
#include "tests/support/fixtures.h"

namespace {

namespace fs = std::filesystem;
using namespace vx;

class FullLibrary {
 public:
  FullLibrary() {
    m_dir = fs::temp_directory_path() / ("vxbench-list-" + std::to_string(::getpid()));
    fs::create_directories(m_dir);
    for (int id = 0; id < kMaxSongs; ++id) {
      fixtures::ChartSpec recipe;
      recipe.title = "Song " + std::to_string(id * 7919 % 5000);
      recipe.hard = static_cast<std::uint16_t>(id % 25);
      recipe.cover = fixtures::FakeCover(2048);
      fixtures::WriteSong(Utf8FromPath(m_dir), id, recipe);
    }
    m_table.Assign(ScanMusicFolder(Gbk()));
    // Every song, bottom up, a mark on every fifth; a tenth of the charts changed since, so they are
    // found by title and author.
    std::vector<std::uint8_t> file(4);
    PutU32Le(file.data(), kMaxSongs);
    for (int id = kMaxSongs - 1; id >= 0; --id) {
      auto head = *ReadFilePrefix(ChartPath(Gbk(), id), kChartHeaderSize);
      if (id % 10 == 0) head[0] ^= 0xFF;
      file.insert(file.end(), head.begin(), head.end());
    }
    std::uint8_t record[16];
    PutU32Le(record, kMaxSongs / 5);
    file.insert(file.end(), record, record + 4);
    for (int id = 0; id < kMaxSongs; id += 5) {
      PutU32Le(record, static_cast<std::uint32_t>(id));
      PutU32Le(record + 4, 0);
      PutU32Le(record + 8, 2);
      PutU32Le(record + 12, 0);
      file.insert(file.end(), record, record + 16);
    }
    m_list = std::get<SongList>(ReadSongList(file));
    m_listBytes = std::move(file);
  }
  ~FullLibrary() { fs::remove_all(m_dir); }
  std::string Gbk() const { return GbkPath(m_dir); }
  const SongTable& Table() const { return m_table; }
  const SongList& List() const { return m_list; }
  const Bytes& ListBytes() const { return m_listBytes; }

 private:
  fs::path m_dir;
  SongTable m_table;
  SongList m_list;
  Bytes m_listBytes;
};

const FullLibrary& Full() {
  static FullLibrary lib;
  return lib;
}

void BM_ReadSongList5000(benchmark::State& state) {
  const Bytes& file = Full().ListBytes();
  for (auto _ : state) benchmark::DoNotOptimize(ReadSongList(file));
}
void BM_ApplySongList5000(benchmark::State& state) {
  const std::string dir = Full().Gbk();
  for (auto _ : state) {
    state.PauseTiming();
    SongTable table = Full().Table();
    state.ResumeTiming();
    benchmark::DoNotOptimize(ApplySongList(table, dir, Full().List()));
  }
}
void BM_ScanReference5000(benchmark::State& state) {
  const std::string dir = Full().Gbk();
  for (auto _ : state) benchmark::DoNotOptimize(ScanMusicFolder(dir));
}
void BM_CheckLibrary5000(benchmark::State& state) {
  const std::string dir = Full().Gbk();
  for (auto _ : state) benchmark::DoNotOptimize(CheckLibrary(dir));
}
void BM_Query5000(benchmark::State& state) {
  const SongTable& table = Full().Table();
  for (auto _ : state) {
    const auto query = std::get<SongQuery>(ParseSongQuery("song 12 hard:5-20 bpm:>=100"));
    benchmark::DoNotOptimize(MatchingRows(table, query));
  }
}

BENCHMARK(BM_ReadSongList5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplySongList5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanReference5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckLibrary5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Query5000)->Unit(benchmark::kMillisecond);

}  // namespace
