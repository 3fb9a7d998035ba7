#pragma once
// The Interaction of the window: message boxes, the OK/Cancel question, file and folder choosers, the
// desktop's trash and the overwrite question. Dialogs are modal over the active window.

#include <filesystem>

#include "interaction.h"

class QFileDialog;
class QString;

namespace vx::ui {

// A path Qt gives (always with forward slashes) as the file system's own: UTF-16 with backslashes on
// Windows, so what the program stores and shows reads as Windows writes it.
std::filesystem::path PathFromQt(const QString& path);

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
  bool MoveToTrash(const std::string& gbkPath) override;
  OverwriteAnswer AskOverwrite(const std::string& gbkTarget) override;
};

}  // namespace vx::ui
