#pragma once
// Pieces every operation shares. Internal to core/operations.

#include <string>
#include <string_view>
#include <vector>

#include <optional>

#include "core/interaction.h"
#include "core/io/file_io.h"
#include "core/io/file_rewrite.h"
#include "core/library/song_table.h"
#include "core/messages.h"
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

// The folders an operation needs set, besides the settings file that every one of them reads.
enum FolderNeed : unsigned { kNeedMusic = 1, kNeedMove = 2, kNeedImage = 4 };

// The checks every operation on the table starts with, in their fixed order: the settings file (a
// silent end when it cannot be opened), the folders named by `needs` ("请检查目录设置"), a table with
// rows (`emptyTableText`, which differs between commands). Returns the folders when the operation may go
// on; otherwise `stop` says how it ended.
inline std::optional<FolderSettings> StartOperation(const SongTable& table, std::string_view gbkSettingsPath,
                                                    Interaction& ui, unsigned needs,
                                                    std::string_view emptyTableText, Outcome& stop) {
  auto folders = ReadFolders(gbkSettingsPath);
  if (!folders) {
    stop = Outcome::kNoSettings;
    return std::nullopt;
  }
  if (((needs & kNeedMusic) && folders->musicDir.empty()) ||
      ((needs & kNeedMove) && folders->moveDir.empty()) ||
      ((needs & kNeedImage) && folders->imageDir.empty())) {
    Say(ui, msg::kCheckFolders);
    stop = Outcome::kNoFolder;
    return std::nullopt;
  }
  if (table.Empty()) {
    Say(ui, emptyTableText);
    stop = Outcome::kEmptyTable;
    return std::nullopt;
  }
  return folders;
}

}  // namespace vx::detail
