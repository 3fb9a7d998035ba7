#pragma once
// The JPEG covers stored inside the charts: export of the ticked songs' covers, import of a new cover
// into the one ticked song's chart.

#include <string_view>

#include "core/history/history.h"
#include "core/interaction.h"
#include "core/io/file_io.h"
#include "core/library/song_table.h"
#include "core/operations/operation.h"
#include "core/operations/outcome.h"

namespace vx {

// The first byte a cover may start at: the new size is written at 268..271 and everything before the
// cover is kept, so a cover placed earlier would be torn by its own size field.
inline constexpr std::uint32_t kMinImportCoverOffset = 272;

// "导出图片": for each ticked row from the top, the cover bytes (coverSize bytes at coverOffset, taken only
// when they lie wholly inside the chart) go unchanged to <image folder>/<title made file-name safe>.jpg,
// replacing a regular file of that name (a link or anything else there is refused). The cover is copied
// in bounded pieces, whatever size its chart declares. Nothing ticked: "请先勾选歌曲". Says "完成^_^" when
// every ticked song got its file; otherwise one message instead names each song that did not and why
// (chart unreadable or not a regular file, shorter than its header, cover outside the chart, file not
// created).
OperationResult OnExportCovers(OperationContext& ctx);

// The rebuilt chart: bytes 0..267 of the old one, the JPEG's length (uint32 LE), bytes 272 up to
// coverOffset of the old one, then the JPEG; exactly coverOffset + jpeg.size() bytes. The caller has
// checked that kMinImportCoverOffset <= coverOffset <= chart.size().
Bytes RebuildChartWithCover(std::span<const std::uint8_t> chart, std::uint32_t coverOffset,
                            std::span<const std::uint8_t> jpeg);

// "导入图片": needs exactly one ticked row; asks for a .jpg, checks its markers, and rewrites the chart with
// RewriteFile (under a lock, through a temporary file renamed over it), so the chart is either the old one
// or the whole new one. A chart that cannot be read, whose coverOffset is below 272 or past its end, that
// is read-only or not the person's to write, or that cannot be replaced is reported and left unchanged. A
// picked file that cannot be read ends silently.
// The chart as it was is kept in `ctx.history` first, when one is given.
// It holds the MUSIC folder's lock for its whole run.
OperationResult OnImportCover(OperationContext& ctx);

// A picture dropped on the cover preview: the import of "导入图片" into song `songId` instead of the one
// ticked row, with `gbkJpegPath` in place of the chooser. The same checks and messages, in the same
// order; where the chooser would open, the person is asked OK/Cancel with the song's ID and title. A song
// without a row says "选定的歌曲已不在列表中,请重新选定".
OperationResult OnDropCover(OperationContext& ctx, int songId, const std::string& gbkJpegPath);

}  // namespace vx
