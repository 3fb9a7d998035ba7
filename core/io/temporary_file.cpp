#include "core/io/temporary_file.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <random>

#include "core/io/file_rewrite.h"

namespace vx {
namespace {

// A name only has to differ from the names of other processes and of earlier attempts, so one seed from
// the system per process, stirred with a counter (splitmix64), is enough. Not std::mt19937: the static
// Qt of the Windows build carries its own copy of that template, compiled on the assumption that the
// call keeps registers a differently compiled copy overwrites, and the linker keeps only one copy.
std::uint64_t NextNameNumber() {
  static const std::uint64_t seed = (std::uint64_t{std::random_device{}()} << 32) ^ std::random_device{}();
  static std::atomic<std::uint64_t> counter{0};
  std::uint64_t z = seed + ++counter * 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

platform::Path NewTemporaryName(const platform::Path& target) {
  char letters[24];
  std::snprintf(letters, sizeof letters, "%llx", static_cast<unsigned long long>(NextNameNumber()));
  platform::Path name = target;
  name += std::string(kTemporaryMarker) + letters;
  return name;
}

TemporaryFile::TemporaryFile(const platform::Path& target, const platform::Inherit& inherit) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    m_path = NewTemporaryName(target);
    m_failure = platform::CreateNew(m_path, inherit, m_file);
    if (m_failure != platform::Failure::kExists) return;
  }
}

bool TemporaryFile::Finish(bool written, bool flush) {
  const bool flushed = written && (!flush || platform::Flush(m_file));
  return m_file.Close() && flushed;
}

platform::Failure TemporaryFile::Publish(const platform::Path& target, platform::RenameMode mode) {
  const platform::Failure failure = platform::Rename(m_path, target, mode);
  if (failure == platform::Failure::kNone) platform::SyncFolderOf(target);
  return failure;
}

}  // namespace vx
