#include "core/operations/status_marks.h"

#include "core/operations/operation_support.h"

namespace vx {

OperationResult SetStatusOfTicked(OperationContext& ctx, const std::string& gbkText) {
  SongTable& table = ctx.table;
  Interaction& ui = ctx.ui;
  OperationResult result;
  if (table.Empty()) {
    detail::Say(ui, msg::kEmptyTableStatus);
    return Finished(result, Outcome::kEmptyTable);
  }
  bool anyTicked = false;
  for (std::size_t r = 0; r < table.Size(); ++r) {
    if (!table.IsTicked(r)) continue;
    table.SetCell(r, kColStatus, gbkText);
    anyTicked = true;
  }
  if (!anyTicked) {
    detail::Say(ui, msg::kTickFirst);
    return Finished(result, Outcome::kNothingTicked);
  }
  result.change.changedColumn = kColStatus;
  return Finished(result, Outcome::kDone);
}

OperationResult OnStatusWeekly(OperationContext& ctx) {
  return SetStatusOfTicked(ctx, Gbk(msg::kMarkWeekly));
}
OperationResult OnStatusNewest(OperationContext& ctx) {
  return SetStatusOfTicked(ctx, Gbk(msg::kMarkNewest));
}
OperationResult OnStatusPopular(OperationContext& ctx) {
  return SetStatusOfTicked(ctx, Gbk(msg::kMarkPopular));
}
OperationResult OnStatusClear(OperationContext& ctx) {
  return SetStatusOfTicked(ctx, std::string());
}

}  // namespace vx
