#pragma once
// The Interaction of the window: message boxes, the OK/Cancel question, file and folder choosers, the
// desktop's trash and the clash question. Dialogs are modal over the active window.

#include "interaction.h"

class QFileDialog;

namespace vx::ui {

// Filters, initial name and default extension of a file chooser from the core's request; the default
// extension follows the filter the person picks when that filter names a single extension.
void SetUpFileDialog(QFileDialog& dialog, const FileDialogRequest& request);

class QtInteraction : public Interaction {
 public:
  void ShowMessage(const std::string& text, const std::string& caption) override;
  bool AskOkCancel(const std::string& text, const std::string& caption) override;
  std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(const std::string& prompt) override;
  // The core's trash, which takes a song's files all or none.
  AllOrNone MoveToTrash(const std::vector<std::string>& gbkPaths) override;
  // A message box with one button per offered answer; Escape stops.
  ClashAnswer AskClash(const std::string& text, const std::vector<ClashAnswer>& offered) override;
};

}  // namespace vx::ui
