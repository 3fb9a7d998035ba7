// The game list for 5000 ticked songs and the cover export for 1000, each beside a plain copy of the
// same bytes with stdio, so the cost of the operation's checks shows as the ratio of one run; and the
// install of 1000 songs from a zip beside the same songs from a folder (the goal: within 1.5x).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "bench/bench_interaction.h"
#include "core/formats/chart_header.h"
#include "core/library/scan.h"
#include "core/operations/covers.h"
#include "core/operations/game_list.h"
#include "core/operations/install_songs.h"
#include "core/settings/settings_file.h"
#include "core/text/native_path.h"
#include "tests/support/fixtures.h"
#if VX_HAVE_LIBARCHIVE
#include "tests/support/song_pack_fixtures.h"
#endif

namespace {

namespace fs = std::filesystem;
using namespace vx;

constexpr std::size_t kCoverBytes = 2048;

// Always picks the same file, forgets what it is told, and trashes nothing.
using QuietInteraction = bench::BenchInteraction;

// MUSIC with `songs` songs, an image folder and REC.re, built once per process and removed at exit.
class OperationsLibrary {
 public:
  explicit OperationsLibrary(int songs) : m_songs(songs) {
    m_dir = fs::temp_directory_path() /
            ("vxbench-ops-" + std::to_string(::getpid()) + "-" + std::to_string(songs));
    fs::create_directories(m_dir / "MUSIC");
    fs::create_directories(m_dir / "images");
    for (int id = 0; id < songs; ++id) {
      fixtures::ChartSpec recipe;
      recipe.title = "Song " + std::to_string(id);
      recipe.cover = fixtures::FakeCover(kCoverBytes);
      fixtures::WriteSong((m_dir / "MUSIC").string(), id, recipe);
    }
    fixtures::WriteFile((m_dir / "REC.re").string(),
                        fixtures::BuildSettingsFile(Gbk("MUSIC"), {}, Gbk("images")));
    m_table.Assign(ScanMusicFolder(Gbk("MUSIC")));
    m_table.SetAllTicked(true);
  }
  ~OperationsLibrary() { fs::remove_all(m_dir); }
  std::string Gbk(const std::string& name) const { return GbkPath(m_dir / name); }
  fs::path Native(const std::string& name) const { return m_dir / name; }
  const SongTable& Table() const { return m_table; }
  int Songs() const { return m_songs; }

 private:
  fs::path m_dir;
  SongTable m_table;
  int m_songs;
};

const OperationsLibrary& FiveThousand() {
  static OperationsLibrary lib(5000);
  return lib;
}
const OperationsLibrary& OneThousand() {
  static OperationsLibrary lib(1000);
  return lib;
}

void BM_GameList_5000(benchmark::State& state) {
  const OperationsLibrary& lib = FiveThousand();
  QuietInteraction ui(lib.Gbk("list.dat"));
  SongTable table = lib.Table();
  OperationContext ctx{table, lib.Gbk("REC.re"), ui};
  for (auto _ : state) benchmark::DoNotOptimize(OnGameList(ctx));
}

// The same 8 + 300 x 5000 bytes: each chart's first 300 bytes read with stdio and appended to one file.
void BM_GameListCopyReference_5000(benchmark::State& state) {
  const OperationsLibrary& lib = FiveThousand();
  const std::string out = lib.Native("reference.dat").string();
  for (auto _ : state) {
    std::FILE* list = std::fopen(out.c_str(), "wb");
    const std::uint32_t count = 5000, zero = 0;
    std::fwrite(&count, 4, 1, list);
    char header[kChartHeaderSize];
    for (int id = 0; id < lib.Songs(); ++id) {
      std::FILE* chart = std::fopen((lib.Native("MUSIC") / ChartFileName(id)).c_str(), "rb");
      const std::size_t n = std::fread(header, 1, sizeof header, chart);
      std::fclose(chart);
      std::fwrite(header, 1, n, list);
    }
    std::fwrite(&zero, 4, 1, list);
    std::fclose(list);
  }
}

void BM_ExportCovers_1000(benchmark::State& state) {
  const OperationsLibrary& lib = OneThousand();
  QuietInteraction ui;
  SongTable table = lib.Table();
  OperationContext ctx{table, lib.Gbk("REC.re"), ui};
  for (auto _ : state) benchmark::DoNotOptimize(OnExportCovers(ctx));
}

// The same covers copied with stdio from where the fixture put them, trusting the layout unchecked.
void BM_ExportCopyReference_1000(benchmark::State& state) {
  const OperationsLibrary& lib = OneThousand();
  const long coverOffset = static_cast<long>(kChartHeaderSize + fixtures::ChartSpec{}.noteDataSize);
  std::vector<char> cover(kCoverBytes);
  for (auto _ : state) {
    for (int id = 0; id < lib.Songs(); ++id) {
      std::FILE* chart = std::fopen((lib.Native("MUSIC") / ChartFileName(id)).c_str(), "rb");
      std::fseek(chart, coverOffset, SEEK_SET);
      const std::size_t n = std::fread(cover.data(), 1, cover.size(), chart);
      std::fclose(chart);
      std::FILE* out =
          std::fopen((lib.Native("images") / ("Song " + std::to_string(id) + ".jpg")).c_str(), "wb");
      std::fwrite(cover.data(), 1, n, out);
      std::fclose(out);
    }
  }
}

// Installs `source` into an empty MUSIC folder beside the library's, made anew (untimed) each time.
void InstallInto(benchmark::State& state, const OperationsLibrary& lib, const std::string& source) {
  QuietInteraction ui;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(lib.Native("installed"));
    fs::create_directories(lib.Native("installed"));
    SongTable table;
    state.ResumeTiming();
    OperationContext ctx{table, {}, ui, nullptr, FolderSettings{lib.Gbk("installed"), {}, {}}};
    if (InstallSongs(ctx, {source}).outcome != Outcome::kDone) state.SkipWithError("not every song went in");
  }
}

void BM_InstallFromFolder_1000(benchmark::State& state) {
  const OperationsLibrary& lib = OneThousand();
  InstallInto(state, lib, lib.Gbk("MUSIC"));
}

#if VX_HAVE_LIBARCHIVE
// The library's 1000 songs as a zip in a folder of the pack, as players get them.
void BM_InstallFromZip_1000(benchmark::State& state) {
  const OperationsLibrary& lib = OneThousand();
  if (!fs::exists(lib.Native("songs.zip"))) {
    std::vector<fixtures::PackEntry> entries;
    for (const auto& file : fs::directory_iterator(lib.Native("MUSIC")))
      entries.push_back(
          {"pack/" + file.path().filename().string(), ReadWholeFile(GbkPath(file.path())).value_or(Bytes{})});
    fixtures::WriteFile(lib.Native("songs.zip").string(),
                        *fixtures::BuildPack(fixtures::PackFormat::kZipUtf8, entries));
  }
  InstallInto(state, lib, lib.Gbk("songs.zip"));
}
BENCHMARK(BM_InstallFromZip_1000)->Unit(benchmark::kMillisecond)->Iterations(3);
#endif
BENCHMARK(BM_InstallFromFolder_1000)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK(BM_GameList_5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GameListCopyReference_5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportCovers_1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportCopyReference_1000)->Unit(benchmark::kMillisecond);

}  // namespace
