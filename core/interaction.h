#pragma once
// The one door between an operation and the person (or the desktop). The window implements it with
// message boxes and file choosers, vxtool with its arguments and the terminal, tests with a script.
// Every text that crosses it is GBK, like every other text in the core.

#include <optional>
#include <string>
#include <vector>

#include "messages.h"
#include "text/gbk.h"

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

enum class OverwriteAnswer { kReplace, kSkip, kCancelRest };

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
  virtual std::optional<std::string> ChooseFolder(const std::string& prompt) = 0;
  // Moves a file to the desktop's trash; false when it could not.
  virtual bool MoveToTrash(const std::string& gbkPath) = 0;
  // A move would replace `gbkTarget`: replace it, skip this file, or stop moving.
  virtual OverwriteAnswer AskOverwrite(const std::string& gbkTarget) = 0;
};

// A message made of a lead text and one detail per line (GBK). A box must fit on the screen, so a long
// list shows its first 20 lines and the total.
inline std::string MessageWithLines(std::string gbkLead, const std::vector<std::string>& gbkLines) {
  constexpr std::size_t kMaxLines = 20;
  for (std::size_t i = 0; i < gbkLines.size() && i < kMaxLines; ++i) gbkLead += "\n" + gbkLines[i];
  if (gbkLines.size() > kMaxLines)
    gbkLead += "\n" + Gbk(msg::kListTotalBefore) + std::to_string(gbkLines.size()) + Gbk(msg::kListTotalAfter);
  return gbkLead;
}

}  // namespace vx
