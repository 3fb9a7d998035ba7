#pragma once
// The folder settings: the MUSIC folder, the move target and the image-export folder, edited here and
// kept in REC.re. Every operation reads them afresh, so a saved change counts from the next one on.

#include <QDialog>
#include <array>
#include <string>

#include "core/interaction.h"
#include "core/settings/settings_file.h"

class QLineEdit;

namespace vx::ui {

class CFolderSettingsDlg : public QDialog {
  Q_OBJECT

 public:
  // Shows the three folders of the settings file; empty edits when it cannot be read.
  CFolderSettingsDlg(std::string gbkSettingsPath, Interaction& ui, QWidget* parent = nullptr);

  // The browse buttons: the chosen folder, or an empty edit when the chooser is cancelled. What was typed
  // into the other two edits stays.
  void OnBrowse(FolderSlot slot);
  // Writes all three slots and closes. A folder the file cannot hold (over 255 bytes, or a character GBK
  // lacks) and a failed write are said, and the dialog stays open so nothing typed is lost.
  void accept() override;

 private:
  QLineEdit* Edit(FolderSlot slot) const { return m_edits[static_cast<std::size_t>(slot)]; }

  std::string m_strSettingsPath;
  Interaction& m_ui;
  std::array<QLineEdit*, 3> m_edits{};
};

}  // namespace vx::ui
