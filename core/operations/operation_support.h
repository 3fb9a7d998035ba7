#pragma once
// Pieces every operation shares. Internal to core/operations.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/history/history.h"
#include "core/interaction.h"
#include "core/io/file_io.h"
#include "core/io/file_rewrite.h"
#include "core/io/library_lock.h"
#include "core/library/song_table.h"
#include "core/messages.h"
#include "core/operations/interrupted_work.h"
#include "core/operations/operation.h"
#include "core/operations/outcome.h"
#include "core/settings/settings_file.h"
#include "core/text/gbk.h"

namespace vx::detail {

// A message box with the program's caption; `utf8` is one of the texts of messages.h.
inline void Say(Interaction& ui, std::string_view utf8) {
  ui.ShowMessage(Gbk(utf8), Gbk(msg::kAppTitle));
}

// A fixed text followed by GBK details (paths), one per line, cut as MessageWithLines cuts it.
inline void SayWithLines(Interaction& ui, std::string_view utf8Lead,
                         const std::vector<std::string>& gbkLines) {
  ui.ShowMessage(MessageWithLines(Gbk(utf8Lead), gbkLines), Gbk(msg::kAppTitle));
}

// An output path as a message names it: with the reason when the name itself was refused.
inline std::string NamedOutput(const std::string& gbkPath, OutputResult result) {
  switch (result) {
    case OutputResult::kLink:
      return gbkPath + Gbk(msg::kOutputIsLink);
    case OutputResult::kNotRegular:
      return gbkPath + Gbk(msg::kOutputNotRegular);
    default:
      return gbkPath;
  }
}

// The message for a rewrite refused as read-only, without permission or busy, followed by the chart's
// path; false (and nothing said) for any other status.
inline bool SayRewriteRefusal(RewriteStatus status, const std::string& gbkPath, Interaction& ui) {
  std::string_view text;
  switch (status) {
    case RewriteStatus::kReadOnly:
      text = msg::kChartReadOnly;
      break;
    case RewriteStatus::kNoPermission:
      text = msg::kChartNoPermission;
      break;
    case RewriteStatus::kBusy:
      text = msg::kChartBusy;
      break;
    default:
      return false;
  }
  ui.ShowMessage(Gbk(text) + gbkPath, Gbk(msg::kAppTitle));
  return true;
}

// Where the chart at `gbkChart` is kept before it changes: the context's history, or none when there is
// none or when the chart is too large for it and the person agrees to a change that cannot be taken
// back. One huge chart must not push every other entry out, nor stop the change unasked. False when the
// person would rather leave the song as it is.
inline bool ChooseHistory(Interaction& ui, History* history, const std::string& gbkChart, History*& keep) {
  keep = history;
  if (!history) return true;
  const auto size = FileSize(gbkChart);
  if (!size || history->Admits(*size)) return true;
  keep = nullptr;
  return ui.AskOkCancel(MessageWithLines(Gbk(msg::kHistoryChartTooLarge), {gbkChart}), Gbk(msg::kAppTitle));
}

// The folders an operation needs set, besides the settings file that every one of them reads, and
// whether it changes the MUSIC folder (and so must be its only writer while it runs).
enum FolderNeed : unsigned { kNeedMusic = 1, kNeedMove = 2, kNeedImage = 4, kWrites = 8 };

}  // namespace vx::detail

namespace vx {

// What an operation may go on with: its folders and, for one that writes, the MUSIC folder's lock, held
// until this value goes.
struct StartedOperation {
  FolderSettings folders;
  std::optional<LibraryLock> lock;
};

// Ends an operation: `result` with `outcome`, as the value to return.
template <class Result>
Result Finished(Result& result, Outcome outcome) {
  result.outcome = outcome;
  return result;
}

// Takes `lock` on `gbkMusicDir` for a writer that knows its folder without the settings file. False, the
// person told and `stop` kBusy, when another program is changing that folder.
inline bool HoldFolder(OperationContext& ctx, std::string_view gbkMusicDir, std::optional<LibraryLock>& lock,
                       OperationResult& stop) {
  lock.emplace(gbkMusicDir, ctx.lockPatience);
  if (lock->MayWrite()) return true;
  detail::Say(ctx.ui, msg::kLibraryBusy);
  stop.outcome = Outcome::kBusy;
  return false;
}

// The checks every operation on the table starts with, in their fixed order: the settings file (a
// silent end when it cannot be opened) unless the context names the folders, the folders named by
// `needs` ("请检查目录设置"), a table with rows (`emptyTableText`, which differs between commands; empty
// when an empty table is fine), then for a writer the MUSIC folder's lock ("另一个程序正在修改..."), and
// last the mending of what a killed run left in the MUSIC folder (RecoverInterruptedWork). Returns
// what the operation goes on with; otherwise `stop` says how it ended.
inline std::optional<StartedOperation> StartOperation(OperationContext& ctx, unsigned needs,
                                                      std::string_view emptyTableText,
                                                      OperationResult& stop) {
  auto folders = ctx.folders ? ctx.folders : ReadFolders(ctx.gbkSettingsPath);
  if (!folders) {
    stop.outcome = Outcome::kNoSettings;
    return std::nullopt;
  }
  if (((needs & detail::kNeedMusic) && folders->musicDir.empty()) ||
      ((needs & detail::kNeedMove) && folders->moveDir.empty()) ||
      ((needs & detail::kNeedImage) && folders->imageDir.empty())) {
    detail::Say(ctx.ui, msg::kCheckFolders);
    stop.outcome = Outcome::kNoFolder;
    return std::nullopt;
  }
  if (!emptyTableText.empty() && ctx.table.Empty()) {
    detail::Say(ctx.ui, emptyTableText);
    stop.outcome = Outcome::kEmptyTable;
    return std::nullopt;
  }
  StartedOperation started{std::move(*folders), std::nullopt};
  if ((needs & detail::kWrites) && !HoldFolder(ctx, started.folders.musicDir, started.lock, stop))
    return std::nullopt;
  // Whatever a killed run left half done is mended before this one looks at a song.
  if (needs & detail::kNeedMusic) RecoverInterruptedWork(started.folders.musicDir, ctx.ui);
  return started;
}

}  // namespace vx
