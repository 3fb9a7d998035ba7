#pragma once
// The Interaction of vxtool: messages go to the terminal (stderr, UTF-8), and questions are answered from
// what the command line said beforehand, or refused. Nothing waits for a person to type.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/interaction.h"

namespace vx::cli {

class TerminalInteraction : public Interaction {
 public:
  explicit TerminalInteraction(std::ostream& err) : m_err(err) {}

  // Answers given on the command line (GBK paths). Unset answers refuse: Cancel, no file, no folder.
  bool answerOk = false;
  std::optional<std::string> openFile;
  std::optional<std::string> saveFile;
  std::optional<std::string> folder;

  // What a delete does with a file. The default refuses, so nothing is deleted by accident.
  enum class Deleting { kRefuse, kToTrash, kPermanently };
  Deleting deleting = Deleting::kRefuse;

  // When set, messages are kept in `messages` (GBK) instead of printed, so the command can print them
  // as its error once it knows that the operation failed. Questions are then not echoed either.
  bool holdMessages = false;
  std::vector<std::string> messages;
  // The answer to every clash question, when it is offered (kSkip otherwise); the questions are kept.
  ClashAnswer clashAnswer = ClashAnswer::kSkip;
  // The answer to a number question; cancels when not set.
  std::optional<int> numberAnswer;
  std::vector<std::string> clashes;

  void ShowMessage(const std::string& text, const std::string& caption) override;
  bool AskOkCancel(const std::string& text, const std::string& caption) override;
  std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) override;
  std::vector<std::string> ChooseOpenFiles(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(const std::string& prompt) override;
  AllOrNone MoveToTrash(const std::vector<std::string>& gbkPaths) override;
  bool RestoreFromTrash(const std::vector<std::string>& gbkPaths) override;
  // Without a person to ask, the answer is the one the command line gave, or skip.
  ClashAnswer AskClash(const std::string& text, const std::vector<ClashAnswer>& offered) override;
  // The number the command line gave, unchecked: the operation itself refuses one that is taken and
  // says why, which is where a script's answer must fail.
  std::optional<int> AskNumber(const std::string& text, const std::string& caption, int initial, int min,
                               int max, const NumberCheck& check) override;
  // vxtool holds no typed texts of its own: nothing is saved or dropped unasked, so the answer is 取消.
  SaveChangesAnswer AskSaveChanges(const std::string& text, const std::string& caption) override;

  // The held messages in UTF-8, joined by line breaks.
  std::string MessagesUtf8() const;

 private:
  std::ostream& m_err;
};

}  // namespace vx::cli
