#include "core/io/temporary_file.h"

#include <atomic>
#include <cstdio>
#include <random>

#include "core/io/file_rewrite.h"

namespace vx {

TemporaryFile::TemporaryFile(const platform::Path& target, const platform::Inherit& inherit) {
  static std::atomic<unsigned> counter{0};
  thread_local std::mt19937 random{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char letters[24];
    std::snprintf(letters, sizeof letters, "%x%x", static_cast<unsigned>(random()), counter++);
    m_path = target;
    m_path += std::string(kTemporaryMarker) + letters;
    m_failure = platform::CreateNew(m_path, inherit, m_file);
    if (m_failure != platform::Failure::kExists) return;
  }
}

bool TemporaryFile::Finish(bool written) {
  const bool flushed = written && platform::Flush(m_file);
  return m_file.Close() && flushed;
}

platform::Failure TemporaryFile::Publish(const platform::Path& target, platform::RenameMode mode) {
  const platform::Failure failure = platform::Rename(m_path, target, mode);
  if (failure == platform::Failure::kNone) platform::SyncFolderOf(target);
  return failure;
}

}  // namespace vx
