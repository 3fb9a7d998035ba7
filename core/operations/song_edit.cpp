#include "core/operations/song_edit.h"

#include <algorithm>
#include <array>

#include "core/formats/chart_header.h"
#include "core/formats/song_files.h"
#include "core/io/byte_reader.h"
#include "core/io/file_rewrite.h"
#include "core/messages.h"
#include "core/operations/operation_support.h"
#include "core/operations/remove_songs.h"
#include "core/text/gbk.h"
#include "core/text/number.h"

namespace vx {
namespace {

void Say(Interaction& ui, std::string_view utf8) {
  ui.ShowMessage(Gbk(utf8), Gbk(msg::kAppTitle));
}

bool HasControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F;
  });
}

struct CheckedEdits {
  std::string title;  // GBK, at most 31 bytes, or the loaded title's own bytes
  std::array<std::uint16_t, 3> levels{};
};

// What was typed, checked before the question is asked, so an OK is never followed by a refusal of the
// text. A title left as it was loaded keeps its own bytes: they need not survive a trip through the
// keyboard's Unicode (a byte GBK cannot decode shows as U+FFFD), and one that fills all 32 bytes of its
// field stays exactly as the file holds it, so changing only the levels always works.
std::optional<CheckedEdits> CheckEdits(const SongEdits& edits, const std::string* loadedTitle,
                                       Interaction& ui) {
  CheckedEdits checked;
  if (loadedTitle && edits.title == Utf8FromGbk(*loadedTitle)) {
    checked.title = *loadedTitle;
  } else {
    if (HasControlCharacter(edits.title)) {
      Say(ui, msg::kTitleControlCharacter);
      return std::nullopt;
    }
    std::string unmappable;
    auto title = GbkFromUtf8(edits.title, &unmappable);
    if (!title) {
      // The character itself has no GBK form, so the message names its code point.
      ui.ShowMessage(Gbk(msg::kTitleUnmappable) + CodePointName(unmappable), Gbk(msg::kAppTitle));
      return std::nullopt;
    }
    if (title->size() > kMaxTitleBytes) {
      Say(ui, msg::kTitleTooLong);
      return std::nullopt;
    }
    checked.title = std::move(*title);
  }
  // A level the field cannot hold is refused: stored modulo 65536 it would be some other level.
  const std::array<std::pair<const std::string*, std::string_view>, 3> levels = {
      {{&edits.easy, msg::kLevelEasy}, {&edits.normal, msg::kLevelNormal}, {&edits.hard, msg::kLevelHard}}};
  for (std::size_t i = 0; i < levels.size(); ++i) {
    const std::int32_t value = AtoI(*levels[i].first);
    if (value < 0 || value > 0xFFFF) {
      ui.ShowMessage(Gbk(msg::kLevelOutOfRange) + Gbk(levels[i].second), Gbk(msg::kAppTitle));
      return std::nullopt;
    }
    checked.levels[i] = static_cast<std::uint16_t>(value);
  }
  return checked;
}

}  // namespace

SaveResult OnSaveSong(OperationContext& ctx, const std::optional<SongEditTarget>& target,
                      const SongEdits& edits, bool askFirst) {
  SongTable& table = ctx.table;
  Interaction& ui = ctx.ui;
  History* const history = ctx.history;
  SaveResult result;
  const auto ended = [&result](SaveOutcome saved, Outcome outcome) {
    result.saved = saved;
    result.outcome = outcome;
    return result;
  };
  if (table.Empty()) {
    Say(ui, msg::kEmptyTableScanFirst);
    return ended(SaveOutcome::kEmptyTable, Outcome::kEmptyTable);
  }
  // Nothing is asked about a song that is not there to be saved.
  if (!target) {
    Say(ui, msg::kChooseSongFirst);
    return ended(SaveOutcome::kNoTarget, Outcome::kNothingTicked);
  }
  const std::optional<std::size_t> found = table.FindId(target->songId);
  if (!found) {
    Say(ui, msg::kSongGone);
    return ended(SaveOutcome::kSongGone, Outcome::kRefused);
  }
  const std::size_t row = *found;
  const std::string& loadedTitle = table.Cell(row, kColTitle);
  const auto checked = CheckEdits(edits, &loadedTitle, ui);
  if (!checked) return ended(SaveOutcome::kBadInput, Outcome::kRefused);
  // Nothing is asked about a chart that cannot be saved now.
  if (RefuseUnreadableSong(ui, target->musicDir, target->songId))
    return ended(SaveOutcome::kNotWritten, Outcome::kRefused);
  // The question names the song the save will write, as its row shows it now.
  if (askFirst && !ui.AskOkCancel(Gbk(msg::kConfirmSaveBefore) + SongLabelGbk(target->songId, loadedTitle) +
                                      Gbk(msg::kConfirmSaveAfter),
                                  Gbk(msg::kAppTitle)))
    return ended(SaveOutcome::kCancelled, Outcome::kCancelled);
  std::optional<LibraryLock> lock;
  if (!HoldFolder(ctx, target->musicDir, lock, result)) return ended(SaveOutcome::kBusy, Outcome::kBusy);

  const std::string path = ChartPath(target->musicDir, target->songId);
  History* keep = nullptr;
  if (!detail::ChooseHistory(ui, history, path, keep))
    return ended(SaveOutcome::kCancelled, Outcome::kCancelled);
  bool tooShort = false, historyFailed = false;
  const RewriteStatus status = RewriteFile(path, [&](Bytes& chart) {
    if (chart.size() < kEditableHeaderSize) {
      tooShort = true;
      return false;
    }
    if (keep && !keep->Record(target->musicDir, target->songId, HistoryOperation::kEdit, chart)) {
      historyFailed = true;
      return false;
    }
    // A loaded title that fills all 32 bytes has no room for its terminator; its field stays as it is.
    if (checked->title.size() <= kMaxTitleBytes) {
      const auto field = TitleField(checked->title);
      std::copy(field.begin(), field.end(), chart.begin() + chart_offset::kTitle);
    }
    PutU16Le(&chart[chart_offset::kLevelEasy], checked->levels[0]);
    PutU16Le(&chart[chart_offset::kLevelNormal], checked->levels[1]);
    PutU16Le(&chart[chart_offset::kLevelHard], checked->levels[2]);
    return true;
  });
  if (status != RewriteStatus::kRewritten) {
    if (tooShort) {
      Say(ui, msg::kChartTooShort);
      return ended(SaveOutcome::kChartTooShort, Outcome::kRefused);
    }
    if (historyFailed) {
      ui.ShowMessage(Gbk(msg::kHistoryNotWritten) + "\n" + history->Folder(), Gbk(msg::kAppTitle));
      return ended(SaveOutcome::kNotWritten, Outcome::kFailed);
    }
    // A chart that is not there ends silently, as an unopenable file always has.
    if (status != RewriteStatus::kMissing && !detail::SayRewriteRefusal(status, path, ui))
      Say(ui, msg::kChartNotWritten);
    return ended(SaveOutcome::kNotWritten, Outcome::kFailed);
  }

  Say(ui, msg::kSaved);
  table.SetCell(row, kColTitle, checked->title);
  table.SetCell(row, kColEasy, edits.easy);
  table.SetCell(row, kColNormal, edits.normal);
  table.SetCell(row, kColHard, edits.hard);
  result.change.changedRows.push_back(row);
  return ended(SaveOutcome::kSaved, Outcome::kDone);
}

}  // namespace vx
