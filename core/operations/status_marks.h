#pragma once
// Status marks: a label in the 状态 cell of the ticked rows that the game list turns into a status
// record. It lives only in the table; no file holds it.

#include <string>

#include "core/interaction.h"
#include "core/library/song_table.h"
#include "core/operations/operation.h"
#include "core/operations/outcome.h"

namespace vx {

// Puts `gbkText` (one of the three marks, or empty to clear) into the 状态 cell of every ticked row.
// Empty table: "列表为空,先扫描.."; rows but none ticked: "请先勾选歌曲"; either way nothing changes.
// Success says nothing. The highlight plays no part, and the window's edit fields are not touched.
OperationResult SetStatusOfTicked(OperationContext& ctx, const std::string& gbkText);

// The four menu commands.
OperationResult OnStatusWeekly(OperationContext& ctx);   // "一周更新"
OperationResult OnStatusNewest(OperationContext& ctx);   // "最新更新"
OperationResult OnStatusPopular(OperationContext& ctx);  // "最受欢迎"
OperationResult OnStatusClear(OperationContext& ctx);    // "撤销状态": empties the cell

}  // namespace vx
