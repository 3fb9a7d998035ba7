#include "library/song_edit.h"

#include <algorithm>

#include "io/byte_reader.h"
#include "io/file_io.h"
#include "library/chart_header.h"
#include "library/scan.h"
#include "messages.h"
#include "text/gbk.h"
#include "text/number.h"

namespace vx {
namespace {

void Say(Interaction& ui, std::string_view utf8) { ui.ShowMessage(Gbk(utf8), Gbk(msg::kAppTitle)); }

}  // namespace

SaveOutcome OnSaveSong(SongTable& table, const std::optional<SongEditTarget>& target, const SongEdits& edits,
                       Interaction& ui, bool askFirst) {
  if (table.Empty()) {
    Say(ui, msg::kEmptyTableScanFirst);
    return SaveOutcome::kEmptyTable;
  }
  if (askFirst && !ui.AskOkCancel(Gbk(msg::kConfirmSave), Gbk(msg::kAppTitle))) return SaveOutcome::kCancelled;
  if (!target) {
    Say(ui, msg::kChooseSongFirst);
    return SaveOutcome::kNoTarget;
  }
  const auto row = table.FindId(target->songId);
  if (!row) {
    Say(ui, msg::kSongGone);
    return SaveOutcome::kSongGone;
  }
  // A title left as it was loaded keeps its own bytes: they need not survive a trip through the
  // keyboard's Unicode (a byte GBK cannot decode shows as U+FFFD), and one that fills all 32 bytes of its
  // field stays exactly as the file holds it, so changing only the levels always works.
  const std::string& loadedTitle = table.Cell(*row, kColTitle);
  const bool titleUnchanged = edits.title == Utf8FromGbk(loadedTitle);
  std::optional<std::string> title = loadedTitle;
  if (!titleUnchanged) {
    std::string unmappable;
    title = GbkFromUtf8(edits.title, &unmappable);
    if (!title) {
      // The character itself has no GBK form, so the message names its code point.
      ui.ShowMessage(Gbk(msg::kTitleUnmappable) + CodePointName(unmappable), Gbk(msg::kAppTitle));
      return SaveOutcome::kBadTitle;
    }
    if (title->size() > kMaxTitleBytes) {
      Say(ui, msg::kTitleTooLong);
      return SaveOutcome::kBadTitle;
    }
  }

  const std::string path = ChartPath(target->musicDir, target->songId);
  auto chart = ReadWholeFile(path);
  if (!chart) return SaveOutcome::kNotWritten;
  if (chart->size() < kEditableHeaderSize) {
    Say(ui, msg::kChartTooShort);
    return SaveOutcome::kChartTooShort;
  }
  if (title->size() <= kMaxTitleBytes) {
    const auto field = TitleField(*title);
    std::copy(field.begin(), field.end(), chart->begin() + chart_offset::kTitle);
  }
  PutU16Le(&(*chart)[chart_offset::kLevelEasy], static_cast<std::uint16_t>(AtoI(edits.easy)));
  PutU16Le(&(*chart)[chart_offset::kLevelNormal], static_cast<std::uint16_t>(AtoI(edits.normal)));
  PutU16Le(&(*chart)[chart_offset::kLevelHard], static_cast<std::uint16_t>(AtoI(edits.hard)));
  if (!ReplaceFileAtomically(path, *chart)) {
    Say(ui, msg::kChartNotWritten);
    return SaveOutcome::kNotWritten;
  }

  Say(ui, msg::kSaved);
  table.SetCell(*row, kColTitle, *title);
  table.SetCell(*row, kColEasy, edits.easy);
  table.SetCell(*row, kColNormal, edits.normal);
  table.SetCell(*row, kColHard, edits.hard);
  return SaveOutcome::kSaved;
}

}  // namespace vx
