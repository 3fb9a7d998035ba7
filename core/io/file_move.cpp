// The all-or-nothing moves and deletes of a song's files, over the platform's single-file calls.
#include <string>

#include "core/io/file_io.h"
#include "core/io/file_move.h"
#include "core/io/file_rewrite.h"

namespace vx {

AllOrNone MoveFilesTo(const std::vector<std::string>& gbkSources,
                      const std::vector<std::string>& gbkTargets) {
  for (std::size_t i = 0; i < gbkSources.size(); ++i) {
    if (MoveFileTo(gbkSources[i], gbkTargets[i], /*replace=*/false) == MoveResult::kMoved) continue;
    // Back the way they came, last first; a name taken meanwhile is not overwritten.
    bool undone = true;
    for (std::size_t k = i; k-- > 0;)
      undone = MoveFileTo(gbkTargets[k], gbkSources[k], /*replace=*/false) == MoveResult::kMoved && undone;
    return undone ? AllOrNone::kNone : AllOrNone::kPartial;
  }
  return AllOrNone::kAll;
}

AllOrNone DeleteFiles(const std::vector<std::string>& gbkPaths) {
  // The renames are the step that can be taken back. Once every file has its new name the song is out of
  // the game's sight whatever happens next.
  std::vector<std::string> staged;
  for (const std::string& path : gbkPaths) {
    // A name left by an earlier delete that could not finish must not block this one.
    std::string name = path + std::string(kTemporaryMarker) + "deleted";
    for (int n = 2; FileExists(name) && n < 1000; ++n)
      name = path + std::string(kTemporaryMarker) + "deleted" + std::to_string(n);
    staged.push_back(std::move(name));
  }
  if (const AllOrNone renamed = MoveFilesTo(gbkPaths, staged); renamed != AllOrNone::kAll) return renamed;
  bool all = true;
  for (const std::string& path : staged) {
    // One more try: a removal that fails once (a virus scanner, a busy network share) often goes through.
    if (!RemoveFile(path) && !RemoveFile(path)) all = false;
  }
  return all ? AllOrNone::kAll : AllOrNone::kPartial;
}

}  // namespace vx
