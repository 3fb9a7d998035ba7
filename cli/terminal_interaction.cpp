#include "terminal_interaction.h"

#include <filesystem>

#include "io/file_move.h"
#include "text/gbk.h"
#include "text/native_path.h"

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

std::optional<std::string> TerminalInteraction::ChooseSaveFile(const FileDialogRequest&) { return saveFile; }
std::optional<std::string> TerminalInteraction::ChooseOpenFile(const FileDialogRequest&) { return openFile; }
std::optional<std::string> TerminalInteraction::ChooseFolder(const std::string&) { return folder; }

bool TerminalInteraction::MoveToTrash(const std::string& gbkPath) {
  switch (deleting) {
    case Deleting::kRefuse:
      return false;
    case Deleting::kToTrash:
      return MoveToDesktopTrash(gbkPath);
    case Deleting::kPermanently: {
      std::error_code ec;
      return std::filesystem::remove(NativePath(gbkPath), ec);
    }
  }
  return false;
}

OverwriteAnswer TerminalInteraction::AskOverwrite(const std::string& gbkTarget) {
  clashes.push_back(gbkTarget);
  return OverwriteAnswer::kSkip;
}

std::string TerminalInteraction::MessagesUtf8() const {
  std::string text;
  for (const std::string& m : messages) text += (text.empty() ? "" : "\n") + Utf8FromGbk(m);
  return text;
}

}  // namespace vx::cli
