// The window on a full MUSIC folder, offscreen: the scan button (scan, model reset, the table painted)
// the first sort by title (header click, layout change, the table painted), the rows a delete or move
// takes out (from the operation's copy, then replayed on the window's table in one step), and the filter
// hiding the rows that do not match. The table is a model over the core rows, so the cost must not grow
// with an item per cell.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <memory>

#include "core/operations/remove_songs.h"
#include "tests/support/fixtures.h"
#include "tests/support/scripted_interaction.h"
#include "ui/library/song_search.h"
#include "ui/library/song_table_model.h"
#include "ui/library/trakly_view.h"

namespace {

using namespace vx;

// A start folder with REC.re and 5000 songs, built once per process.
class FullLibrary {
 public:
  FullLibrary() {
    const std::string music = Path() + "/MUSIC";
    for (int id = 0; id < kMaxSongs; ++id) {
      fixtures::ChartSpec recipe;
      recipe.title = "Song " + std::to_string(id * 7919 % kMaxSongs);
      recipe.cover = fixtures::FakeCover(2048);
      fixtures::WriteSong(music, id, recipe);
    }
    fixtures::WriteFile(Path() + "/REC.re", fixtures::BuildSettingsFile(music));
  }
  std::string Path() const { return m_dir.path().toStdString(); }

 private:
  QTemporaryDir m_dir;
};

const FullLibrary& Library() {
  static FullLibrary library;
  return library;
}

struct Window {
  fixtures::ScriptedInteraction ui;
  ui::CTRAKLYView view{Library().Path(), ui};
  Window() { view.show(); }
  void Paint() { view.SongList()->viewport()->repaint(); }
};

void BM_ScanIntoVisibleTable(benchmark::State& state) {
  Window window;
  for (auto _ : state) {
    window.view.OnScan();
    window.view.WaitForScan();
    window.Paint();
  }
  state.counters["rows"] = static_cast<double>(window.view.Table().Size());
}

void BM_FirstSortByTitle(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto window = std::make_unique<Window>();  // a fresh view: its first click on 歌曲名字
    window->view.OnScan();
    window->view.WaitForScan();
    window->Paint();
    state.ResumeTiming();
    emit window->view.SongList()->horizontalHeader()->sectionClicked(kColTitle);
    window->Paint();
    state.PauseTiming();
    window.reset();
    state.ResumeTiming();
  }
}

// The worst case for the replay: every other song of 5000 goes, so no two removals share a block and
// the view hears 2500 separate removals. Beside it, the table copy the operation runs on.
void BM_ReplayEveryOtherRemoved(benchmark::State& state) {
  Window window;
  std::vector<std::size_t> everyOther;
  for (std::size_t p = 0; p < kMaxSongs; p += 2) everyOther.push_back(p);
  for (auto _ : state) {
    state.PauseTiming();
    window.view.OnScan();
    window.view.WaitForScan();
    window.Paint();
    SongTable copy = window.view.Table();
    const std::vector<std::size_t> removedAt = RemoveRows(copy, everyOther);
    state.ResumeTiming();
    window.view.Model()->ReplayRemovals(removedAt);
    window.Paint();
  }
  state.counters["rows_left"] = static_cast<double>(window.view.Table().Size());
}

// What the delete does to its copy of the table before the replay: the same 2500 rows out of 5000.
void BM_CoreRemovesEveryOther(benchmark::State& state) {
  Window window;
  window.view.OnScan();
  window.view.WaitForScan();
  std::vector<std::size_t> everyOther;
  for (std::size_t p = 0; p < kMaxSongs; p += 2) everyOther.push_back(p);
  for (auto _ : state) {
    state.PauseTiming();
    SongTable copy = window.view.Table();
    state.ResumeTiming();
    benchmark::DoNotOptimize(RemoveRows(copy, everyOther));
  }
}

void BM_CopyFullTable(benchmark::State& state) {
  Window window;
  window.view.OnScan();
  window.view.WaitForScan();
  for (auto _ : state) {
    SongTable copy = window.view.Table();
    benchmark::DoNotOptimize(copy);
  }
}

// Typing a query with "只显示匹配" on: about 3900 scattered songs of 5000 do not hold "Song 1" and are
// hidden, the table is painted, then the field is emptied and every row comes back.
void BM_NarrowAndWiden(benchmark::State& state) {
  Window window;
  window.view.OnScan();
  window.view.WaitForScan();
  window.view.Search()->SetMatchesOnly(true);
  for (auto _ : state) {
    window.view.Search()->OnTextChanged(QStringLiteral("Song 1"));
    window.Paint();
    window.view.Search()->OnTextChanged(QString());
    window.Paint();
  }
}

BENCHMARK(BM_ScanIntoVisibleTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstSortByTitle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplayEveryOtherRemoved)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NarrowAndWiden)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CoreRemovesEveryOther)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyFullTable)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  Library();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
