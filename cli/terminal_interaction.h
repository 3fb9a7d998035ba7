#pragma once
// The Interaction of vxtool: messages go to the terminal (stderr, UTF-8), and questions are answered from
// what the command line said beforehand, or refused. Nothing waits for a person to type.

#include <optional>
#include <ostream>
#include <string>

#include "interaction.h"

namespace vx::cli {

class TerminalInteraction : public Interaction {
 public:
  explicit TerminalInteraction(std::ostream& err) : m_err(err) {}

  // Answers given on the command line (GBK paths). Unset answers refuse: Cancel, no file, no folder.
  bool answerOk = false;
  std::optional<std::string> openFile;
  std::optional<std::string> saveFile;
  std::optional<std::string> folder;

  void ShowMessage(const std::string& text, const std::string& caption) override;
  bool AskOkCancel(const std::string& text, const std::string& caption) override;
  std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(const std::string& prompt) override;
  // The terminal has no trash to offer: refused, so nothing is deleted for good by accident.
  bool MoveToTrash(const std::string& gbkPath) override;
  // Never replaces a file it was not told it may replace.
  OverwriteAnswer AskOverwrite(const std::string& gbkTarget) override;

 private:
  std::ostream& m_err;
};

}  // namespace vx::cli
