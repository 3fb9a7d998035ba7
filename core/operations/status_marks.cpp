#include "core/operations/status_marks.h"

#include "core/operations/operation_support.h"

namespace vx {

Outcome SetStatusOfTicked(SongTable& table, const std::string& gbkText, Interaction& ui) {
  if (table.Empty()) {
    detail::Say(ui, msg::kEmptyTableStatus);
    return Outcome::kEmptyTable;
  }
  bool anyTicked = false;
  for (std::size_t r = 0; r < table.Size(); ++r) {
    if (!table.IsTicked(r)) continue;
    table.SetCell(r, kColStatus, gbkText);
    anyTicked = true;
  }
  if (!anyTicked) {
    detail::Say(ui, msg::kTickFirst);
    return Outcome::kNothingTicked;
  }
  return Outcome::kDone;
}

Outcome OnStatusWeekly(SongTable& table, Interaction& ui) {
  return SetStatusOfTicked(table, Gbk(msg::kMarkWeekly), ui);
}
Outcome OnStatusNewest(SongTable& table, Interaction& ui) {
  return SetStatusOfTicked(table, Gbk(msg::kMarkNewest), ui);
}
Outcome OnStatusPopular(SongTable& table, Interaction& ui) {
  return SetStatusOfTicked(table, Gbk(msg::kMarkPopular), ui);
}
Outcome OnStatusClear(SongTable& table, Interaction& ui) {
  return SetStatusOfTicked(table, std::string(), ui);
}

}  // namespace vx
