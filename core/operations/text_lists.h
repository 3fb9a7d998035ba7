#pragma once
// The two text commands: one fixed-width list of the ticked songs, and one small text file per ticked
// song beside its chart.

#include <string>
#include <string_view>

#include "core/interaction.h"
#include "core/library/song_table.h"
#include "core/operations/operation.h"
#include "core/operations/outcome.h"

namespace vx {

// The whole list: the 114-byte header line, then for each ticked row from the top a CR LF and its song
// line (编号 10, 歌曲名字 32, the three levels 6 each, NOTER 32, BPM 10, 时间 10 bytes, each cell padded
// with blanks and never cut). No line break at the end. GBK bytes.
std::string BuildTextListGbk(const SongTable& table);

// "生成文本列表": asks for the file (.txt) and writes BuildTextListGbk into it, replacing any file of that
// name. Needs no folder. An empty table is refused before the dialog; a file that cannot be created is
// named in a message.
OperationResult OnTextList(OperationContext& ctx);

// The name of a ticked song's text file in the MUSIC folder: vxma<ID><title made file-name safe>.txt.
std::string SongTextPath(std::string_view gbkMusicDir, const SongRow& row);

// "批量文本": writes each ticked song's title (unfiltered, no line break) into its text file, then says
// "生成完毕". Files that cannot be created are named in one message instead. Nothing ticked: silent.
// It holds the MUSIC folder's lock for its whole run.
OperationResult OnBatchText(OperationContext& ctx);

}  // namespace vx
