#pragma once
// The library check's commands: the check itself, read from the settings file, and the removal of the
// leftover temporary files its report names. Both speak to the person; the report is core/library's.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/interaction.h"
#include "core/library/library_check.h"
#include "core/operations/operation.h"

namespace vx {

// A temporary file younger than this may belong to a rewrite still running in another organizer, so it
// is named but never removed.
inline constexpr int kLeftoverMinAgeSeconds = 60;

struct LeftoversResult : OperationResult {
  std::vector<std::string> kept;  // the names (GBK) left in place
};

// Removes the leftover temporary files the report names, from the context's MUSIC folder, holding its
// lock: only regular files (never a link), only names with the temporary marker, only those at least
// kLeftoverMinAgeSeconds old. Says how many went and names those left (then the outcome is kFailed).
LeftoversResult RemoveLeftoverTemporaries(OperationContext& ctx, const LibraryReport& report);

// The check command: the settings file (silent end when it cannot be opened), then the MUSIC folder
// ("请检查目录设置"); the report otherwise. Needs no scanned table.
struct CheckLibraryResult : OperationResult {
  std::optional<LibraryReport> report;
};
CheckLibraryResult OnCheckLibrary(OperationContext& ctx);

}  // namespace vx
