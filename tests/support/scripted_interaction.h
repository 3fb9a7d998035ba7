#pragma once
// An Interaction for tests: records every message and question, answers from a script. Texts are GBK
// like everything crossing the interface; `Said()` gives them back in UTF-8 for readable assertions.

#include <deque>
#include <string>
#include <vector>

#include "interaction.h"
#include "text/gbk.h"

namespace vx::fixtures {

class ScriptedInteraction : public Interaction {
 public:
  struct Event {
    enum Kind { kMessage, kOkCancel, kSaveFile, kOpenFile, kFolder, kTrash, kOverwrite } kind;
    std::string text;     // message, question, prompt or path (GBK)
    std::string caption;  // GBK
    FileDialogRequest request;
  };

  // Scripts, consumed front first. An empty script answers Cancel / no file / no folder / kCancelRest,
  // so a test that forgets an answer cannot write anything by accident.
  std::deque<bool> okCancelAnswers;
  std::deque<std::optional<std::string>> saveFileAnswers;  // GBK paths
  std::deque<std::optional<std::string>> openFileAnswers;
  std::deque<std::optional<std::string>> folderAnswers;
  std::deque<OverwriteAnswer> overwriteAnswers;
  bool trashSucceeds = true;  // when true the file is really removed, as the trash would

  std::vector<Event> events;

  void ShowMessage(const std::string& text, const std::string& caption) override;
  bool AskOkCancel(const std::string& text, const std::string& caption) override;
  std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(const std::string& prompt) override;
  bool MoveToTrash(const std::string& gbkPath) override;
  OverwriteAnswer AskOverwrite(const std::string& gbkTarget) override;

  // The texts of all message boxes shown, in UTF-8, in order.
  std::vector<std::string> Messages() const;
  // The captions of all message boxes shown, in UTF-8.
  std::vector<std::string> Captions() const;
  std::size_t Count(Event::Kind kind) const;
};

}  // namespace vx::fixtures
