// The fault-injection seam, disarmed, as every file-system change of the program passes it: one check
// alone, and the smallest write it sits in (a 1 KB output file, written through a temporary file, flushed
// and renamed), so its share of a real write shows as the ratio of the two.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>

#include "core/io/fault_injection.h"
#include "core/io/file_io.h"
#include "core/text/native_path.h"

namespace {

using namespace vx;

void BM_FaultSeamDisarmedCheck(benchmark::State& state) {
  fault_injection::Disarm();
  for (auto _ : state) benchmark::DoNotOptimize(FaultInjected(FsCall::kWrite));
}
BENCHMARK(BM_FaultSeamDisarmedCheck);

void BM_OutputFile1KB(benchmark::State& state) {
  fault_injection::Disarm();
  const auto dir = std::filesystem::temp_directory_path() / ("vxbench-seam-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = GbkPath(dir / "out.bin");
  const Bytes bytes(1024, 0x5A);
  for (auto _ : state) benchmark::DoNotOptimize(WriteOutputFile(path, bytes));
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_OutputFile1KB)->Unit(benchmark::kMicrosecond);

}  // namespace
