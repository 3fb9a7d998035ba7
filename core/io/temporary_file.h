#pragma once
// A temporary file beside a target, "<target>.vxtmp-<letters>": how every file that is to stand in for
// another is written (output files, the rewrite, a copy across file systems), so after a crash the name
// holds the old file or the new one, and at worst a temporary the library check finds by its marker.

#include <cstdint>
#include <span>

#include "core/platform/primitives.h"

namespace vx {

// A fresh name for a temporary beside `target`, for a caller that writes the name down before it makes
// the file (platform::CreateNew then makes it, and a name taken meanwhile fails there).
platform::Path NewTemporaryName(const platform::Path& target);

class TemporaryFile {
 public:
  // Made exclusively beside `target`, never through a link, with what it inherits. !Ok() when it could
  // not be made; Failure() then says why.
  TemporaryFile(const platform::Path& target, const platform::Inherit& inherit);
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool Ok() const { return m_file.Ok(); }
  platform::Failure Failure() const { return m_failure; }
  const platform::Path& Path() const { return m_path; }
  const platform::File& File() const { return m_file; }

  bool Write(std::span<const std::uint8_t> bytes) { return platform::Write(m_file, bytes); }
  // Flushes what was written, when all of it was, and closes; true when both went well. Without `flush`
  // only closes: the caller flushes a whole batch at once (platform::FlushFiles) before it renames any.
  bool Finish(bool written, bool flush = true);
  // Renames it onto `target` and makes that last; on a failure it is still there to abandon.
  platform::Failure Publish(const platform::Path& target, platform::RenameMode mode);
  void Abandon() { platform::Remove(m_path); }

 private:
  platform::Path m_path;
  platform::File m_file;
  platform::Failure m_failure = platform::Failure::kNone;
};

}  // namespace vx
