// The archive reader beside a plain read of the same bytes: the directory of a 10,000-entry archive, and
// one 596 x 558 frame turned into a frame BMP. Each pair runs in one binary, so the ratio comes from one
// run on one machine.
#include <benchmark/benchmark.h>

#include <filesystem>

#include <unistd.h>

#include "core/archive/archive_reader.h"
#include "core/io/file_io.h"
#include "core/text/native_path.h"
#include "tests/support/archive_fixtures.h"
#include "tests/support/fixtures.h"

namespace {

namespace fs = std::filesystem;
using namespace vx;

constexpr int kEntries = 10000;

// Writes an archive once per process and removes it at exit.
class ArchiveFile {
 public:
  ArchiveFile(const std::string& name, const fixtures::ArchiveSpec& recipe) {
    m_path = fs::temp_directory_path() / ("vxbench-" + std::to_string(::getpid()) + "-" + name);
    const Bytes bytes = fixtures::BuildArchive(recipe);
    m_size = bytes.size();
    fixtures::WriteFile(m_path.string(), bytes);
  }
  ~ArchiveFile() { fs::remove(m_path); }
  std::string Gbk() const { return GbkPath(m_path); }
  std::size_t Size() const { return m_size; }

 private:
  fs::path m_path;
  std::size_t m_size = 0;
};

const ArchiveFile& Big() {
  static const ArchiveFile file("big.vpi", [] {
    fixtures::ArchiveSpec recipe;
    for (int i = 0; i < kEntries; ++i)
      recipe.entries.push_back(
          {.name = "Entry_" + std::to_string(i) + (i % 2 ? ".vxs" : ".ini"), .raw = Bytes(8, 1)});
    return recipe;
  }());
  return file;
}

const ArchiveFile& Background() {
  static const ArchiveFile file("bg.vpi", {.entries = {{.name = "Playing_BG1.vxs", .frames = {{596, 558}}}}});
  return file;
}

void BM_ReadDirectory_10000(benchmark::State& state) {
  const std::string path = Big().Gbk();
  for (auto _ : state) benchmark::DoNotOptimize(ReadDirectory(path));
}
// The same bytes the reader reads: the entry count and the whole directory, with no parsing.
void BM_PlainRead_Directory_10000(benchmark::State& state) {
  const std::string path = Big().Gbk();
  const std::size_t directory = kDirectoryRecordSize * kEntries;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ReadFileRange(path, 4, 4));
    benchmark::DoNotOptimize(ReadFileRange(path, Big().Size() - directory, directory));
  }
}

void BM_DecodeFrame_596x558(benchmark::State& state) {
  const std::string path = Background().Gbk();
  for (auto _ : state) benchmark::DoNotOptimize(DecodeFrame(path, 0, 1, 1));
}
// The frame's 665136 pixel bytes in one read.
void BM_PlainRead_Frame_596x558(benchmark::State& state) {
  const std::string path = Background().Gbk();
  for (auto _ : state) benchmark::DoNotOptimize(ReadFileRange(path, kArchiveHeaderSize + 32, 665136));
}

BENCHMARK(BM_ReadDirectory_10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainRead_Directory_10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeFrame_596x558)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainRead_Frame_596x558)->Unit(benchmark::kMicrosecond);

}  // namespace
