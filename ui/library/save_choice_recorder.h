#pragma once
// An Interaction that passes everything on to another and keeps the last file chosen to save into, so a
// handler can say where an operation wrote without the operation having to report it.

#include <optional>
#include <string>
#include <vector>

#include "core/interaction.h"

namespace vx::ui {

class SaveChoiceRecorder : public Interaction {
 public:
  explicit SaveChoiceRecorder(Interaction& person) : m_person(person) {}

  // GBK; empty until a save chooser was answered.
  const std::optional<std::string>& SavedTo() const { return m_savedTo; }

  std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) override {
    m_savedTo = m_person.ChooseSaveFile(request);
    return m_savedTo;
  }
  void ShowMessage(const std::string& text, const std::string& caption) override {
    m_person.ShowMessage(text, caption);
  }
  bool AskOkCancel(const std::string& text, const std::string& caption) override {
    return m_person.AskOkCancel(text, caption);
  }
  std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) override {
    return m_person.ChooseOpenFile(request);
  }
  std::vector<std::string> ChooseOpenFiles(const FileDialogRequest& request) override {
    return m_person.ChooseOpenFiles(request);
  }
  std::optional<std::string> ChooseFolder(const std::string& prompt) override {
    return m_person.ChooseFolder(prompt);
  }
  AllOrNone MoveToTrash(const std::vector<std::string>& gbkPaths) override {
    return m_person.MoveToTrash(gbkPaths);
  }
  bool RestoreFromTrash(const std::vector<std::string>& gbkPaths) override {
    return m_person.RestoreFromTrash(gbkPaths);
  }
  ClashAnswer AskClash(const std::string& text, const std::vector<ClashAnswer>& offered) override {
    return m_person.AskClash(text, offered);
  }
  void OperationEnded() override { m_person.OperationEnded(); }
  std::optional<int> AskNumber(const std::string& text, const std::string& caption, int initial, int min,
                               int max, const NumberCheck& check) override {
    return m_person.AskNumber(text, caption, initial, min, max, check);
  }
  SaveChangesAnswer AskSaveChanges(const std::string& text, const std::string& caption) override {
    return m_person.AskSaveChanges(text, caption);
  }

 private:
  Interaction& m_person;
  std::optional<std::string> m_savedTo;
};

}  // namespace vx::ui
