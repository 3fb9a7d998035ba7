#pragma once
// The library check's commands: the check itself, read from the settings file, and the removal of the
// leftover temporary files its report names. Both speak to the person; the report is core/library's.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/interaction.h"
#include "core/library/library_check.h"

namespace vx {

// A temporary file younger than this may belong to a rewrite still running in another organizer, so it
// is named but never removed.
inline constexpr int kLeftoverMinAgeSeconds = 60;

// Removes the leftover temporary files the report names, from `gbkMusicDir`: only regular files (never a
// link), only names with the temporary marker, only those at least kLeftoverMinAgeSeconds old. Returns
// the names (GBK) that were left in place, after saying how many went and naming those left.
std::vector<std::string> RemoveLeftoverTemporaries(std::string_view gbkMusicDir, const LibraryReport& report,
                                                   Interaction& ui);

// The check command: the settings file (silent end when it cannot be opened), then the MUSIC folder
// ("请检查目录设置"); the report otherwise. Needs no scanned table.
std::optional<LibraryReport> OnCheckLibrary(std::string_view gbkSettingsPath, Interaction& ui);

}  // namespace vx
