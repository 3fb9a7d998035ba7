// Any bytes as a history entry's description: it reads or is refused, and what reads writes back to the
// same entry.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/history/history.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto entry = vx::ParseHistoryEntry("e", std::string_view(reinterpret_cast<const char*>(data), size));
  if (!entry) return 0;
  const auto again = vx::ParseHistoryEntry("e", vx::DescribeHistoryEntry(*entry));
  if (!again || again->musicDir != entry->musicDir || again->id != entry->id ||
      again->title != entry->title || again->operation != entry->operation ||
      again->renumberedTo != entry->renumberedTo)
    __builtin_trap();
  return 0;
}
