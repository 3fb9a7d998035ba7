#include "terminal_interaction.h"

#include "text/gbk.h"

namespace vx::cli {

void TerminalInteraction::ShowMessage(const std::string& text, const std::string&) { m_err << Utf8FromGbk(text) << '\n'; }

bool TerminalInteraction::AskOkCancel(const std::string& text, const std::string&) {
  m_err << Utf8FromGbk(text) << (answerOk ? " OK\n" : " Cancel\n");
  return answerOk;
}

std::optional<std::string> TerminalInteraction::ChooseSaveFile(const FileDialogRequest&) { return saveFile; }
std::optional<std::string> TerminalInteraction::ChooseOpenFile(const FileDialogRequest&) { return openFile; }
std::optional<std::string> TerminalInteraction::ChooseFolder(const std::string&) { return folder; }
bool TerminalInteraction::MoveToTrash(const std::string&) { return false; }
OverwriteAnswer TerminalInteraction::AskOverwrite(const std::string&) { return OverwriteAnswer::kSkip; }

}  // namespace vx::cli
