#pragma once
// The one door between an operation and the person (or the desktop). The window implements it with
// message boxes and file choosers, vxtool with its arguments and the terminal, tests with a script.
// Every text that crosses it is GBK, like every other text in the core.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/io/file_move.h"
#include "core/messages.h"
#include "core/text/gbk.h"

namespace vx {

struct FileFilter {
  std::string description;  // GBK, e.g. "文件(*.txt)"
  std::string pattern;      // e.g. "*.txt"
};

struct FileDialogRequest {
  std::vector<FileFilter> filters;
  std::string defaultExtension;  // without the dot; added when the chosen name has none
  std::string initialName;
};

// The answers to a clash: a song meets files or a song already there. Each question offers some of them.
enum class ClashAnswer {
  kNextFreeId,  // give the song the lowest free ID instead
  kReplace,     // what is there goes to the trash first, then the song takes its place
  kSkip,        // leave this song where it is
  kStop,        // leave this song and every one after it
};

// Why a number asked for cannot be taken (GBK), or empty when it can.
using NumberCheck = std::function<std::string(int)>;

// The answers to "save what was typed first?" before the editor's song is left.
enum class SaveChangesAnswer {
  kSave,     // save the typed texts, then go on
  kDiscard,  // drop them and go on
  kCancel,   // stay where the editor is
};

class Interaction {
 public:
  virtual ~Interaction() = default;

  // A message box with a single OK button.
  virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
  // The OK/Cancel question; true for OK.
  virtual bool AskOkCancel(const std::string& text, const std::string& caption) = 0;
  // File choosers; empty optional when the person cancels. Paths are GBK.
  virtual std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) = 0;
  // Several existing files at once; empty when the person cancels.
  virtual std::vector<std::string> ChooseOpenFiles(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> ChooseFolder(const std::string& prompt) = 0;
  // Moves the files of one song to the desktop's trash: all of them or, when one cannot go, none
  // (AllOrNone::kPartial only when even undoing failed).
  virtual AllOrNone MoveToTrash(const std::vector<std::string>& gbkPaths) = 0;
  // Brings back files this Interaction moved to the trash (by the places they had), all or none; false
  // when it cannot.
  virtual bool RestoreFromTrash(const std::vector<std::string>& gbkPaths) = 0;
  // A clash, described by `text` (GBK); the answer is one of `offered`, which come in the order their
  // buttons are shown. The person may give one answer for the clashes still to come in the same
  // operation; the caller marks where an operation ends with OperationEnded.
  virtual ClashAnswer AskClash(const std::string& text, const std::vector<ClashAnswer>& offered) = 0;
  // An operation is over: an answer given for "the later songs" is not carried into the next one.
  virtual void OperationEnded() {}
  // A whole number from `min` to `max`, `initial` proposed; empty when the person cancels. A number
  // `check` refuses is not taken: the person is told why and may give another.
  virtual std::optional<int> AskNumber(const std::string& text, const std::string& caption, int initial,
                                       int min, int max, const NumberCheck& check) = 0;
  // Typed but unsaved changes are about to be left: 保存, 不保存 or 取消.
  virtual SaveChangesAnswer AskSaveChanges(const std::string& text, const std::string& caption) = 0;
  // How far a long install has come: `done` of `total` songs, called between songs and while a large
  // file is unpacked, and once with done == total at the end unless it was cancelled. False when the
  // person asked to stop: the work ends at the next point where every song is still whole. Whoever
  // cannot offer a stop keeps the default.
  virtual bool ReportProgress(int done, int total) {
    (void)done;
    (void)total;
    return true;
  }
};

// A message made of a lead text and one detail per line (GBK). A box must fit on the screen, so a long
// list shows its first 20 lines and the total.
inline std::string MessageWithLines(std::string gbkLead, const std::vector<std::string>& gbkLines) {
  constexpr std::size_t kMaxLines = 20;
  for (std::size_t i = 0; i < gbkLines.size() && i < kMaxLines; ++i) gbkLead += "\n" + gbkLines[i];
  if (gbkLines.size() > kMaxLines)
    gbkLead +=
        "\n" + Gbk(msg::kListTotalBefore) + std::to_string(gbkLines.size()) + Gbk(msg::kListTotalAfter);
  return gbkLead;
}

}  // namespace vx
