#include "cli/terminal_interaction.h"

#include <algorithm>

#include "core/io/file_move.h"
#include "core/text/gbk.h"
#include "core/text/native_path.h"

namespace vx::cli {

void TerminalInteraction::ShowMessage(const std::string& text, const std::string&) {
  if (holdMessages)
    messages.push_back(text);
  else
    m_err << Utf8FromGbk(text) << '\n';
}

bool TerminalInteraction::AskOkCancel(const std::string& text, const std::string&) {
  if (!holdMessages) m_err << Utf8FromGbk(text) << (answerOk ? " OK\n" : " Cancel\n");
  return answerOk;
}

std::optional<std::string> TerminalInteraction::ChooseSaveFile(const FileDialogRequest&) {
  return saveFile;
}
std::optional<std::string> TerminalInteraction::ChooseOpenFile(const FileDialogRequest&) {
  return openFile;
}
std::vector<std::string> TerminalInteraction::ChooseOpenFiles(const FileDialogRequest&) {
  return openFile ? std::vector<std::string>{*openFile} : std::vector<std::string>{};
}
std::optional<std::string> TerminalInteraction::ChooseFolder(const std::string&) {
  return folder;
}

AllOrNone TerminalInteraction::MoveToTrash(const std::vector<std::string>& gbkPaths) {
  switch (deleting) {
    case Deleting::kRefuse:
      return AllOrNone::kNone;
    case Deleting::kToTrash:
      return MoveFilesToTrash(gbkPaths);
    case Deleting::kPermanently:
      return DeleteFiles(gbkPaths);
  }
  return AllOrNone::kNone;
}

bool TerminalInteraction::RestoreFromTrash(const std::vector<std::string>& gbkPaths) {
  return deleting == Deleting::kToTrash && vx::RestoreFromTrash(gbkPaths);
}

ClashAnswer TerminalInteraction::AskClash(const std::string& text, const std::vector<ClashAnswer>& offered) {
  clashes.push_back(text);
  return std::find(offered.begin(), offered.end(), clashAnswer) != offered.end() ? clashAnswer
                                                                                 : ClashAnswer::kSkip;
}

std::optional<int> TerminalInteraction::AskNumber(const std::string&, const std::string&, int, int min,
                                                  int max, const NumberCheck&) {
  if (numberAnswer && *numberAnswer >= min && *numberAnswer <= max) return numberAnswer;
  return std::nullopt;
}

SaveChangesAnswer TerminalInteraction::AskSaveChanges(const std::string& text, const std::string&) {
  if (!holdMessages) m_err << Utf8FromGbk(text) << " Cancel\n";
  return SaveChangesAnswer::kCancel;
}

std::string TerminalInteraction::MessagesUtf8() const {
  std::string text;
  for (const std::string& m : messages) text += (text.empty() ? "" : "\n") + Utf8FromGbk(m);
  return text;
}

}  // namespace vx::cli
