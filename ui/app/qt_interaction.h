#pragma once
// The Interaction of the window: message boxes, the OK/Cancel question, file and folder choosers, the
// desktop's trash and the clash question. Dialogs are modal over the active window.

#include <QElapsedTimer>
#include <QFileDialog>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QStringList>

#include "core/interaction.h"

namespace vx::ui {

class WindowSettings;

// Filters, initial name and default extension of a file chooser from the core's request; the default
// extension follows the filter the person picks when that filter names a single extension.
void SetUpFileDialog(QFileDialog& dialog, const FileDialogRequest& request);

class QtInteraction : public Interaction {
 public:
  // Where the choosers start: the folder last used for the same kind of file (kept in `settings`), else
  // the parent of the MUSIC folder named by the settings file at `gbkSettingsPath`, else the home
  // folder. Until this is called they start in the home folder and remember nothing. `settings` must
  // outlive this object's use of it.
  void RememberPlaces(WindowSettings* settings, std::string gbkSettingsPath);

  void ShowMessage(const std::string& text, const std::string& caption) override;
  bool AskOkCancel(const std::string& text, const std::string& caption) override;
  std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) override;
  std::vector<std::string> ChooseOpenFiles(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(const std::string& prompt) override;
  // The core's trash, which takes a song's files all or none.
  AllOrNone MoveToTrash(const std::vector<std::string>& gbkPaths) override;
  bool RestoreFromTrash(const std::vector<std::string>& gbkPaths) override;
  // A message box with one button per offered answer and "对以后的歌曲也这样做"; Escape stops. Once that box
  // is ticked, the later clashes of the operation get the same answer without a question.
  ClashAnswer AskClash(const std::string& text, const std::vector<ClashAnswer>& offered) override;
  void OperationEnded() override;
  // A number field with 确定 and 取消; a number `check` refuses keeps the question open, saying why.
  std::optional<int> AskNumber(const std::string& text, const std::string& caption, int initial, int min,
                               int max, const NumberCheck& check) override;
  // 保存 (Enter), 不保存 and 取消 (Escape).
  SaveChangesAnswer AskSaveChanges(const std::string& text, const std::string& caption) override;
  // A modal progress with 取消, shown only once the work has lasted half a second: a short install
  // should not flash a window.
  bool ReportProgress(int done, int total) override;

 private:
  QString StartFolder(const QString& kind) const;
  // A modal chooser for `request`, starting where its kind of file was last chosen; the files picked,
  // none when it is cancelled.
  QStringList RunFileChooser(const FileDialogRequest& request, QFileDialog::AcceptMode accept,
                             QFileDialog::FileMode files) const;
  // A chosen path as GBK, remembering its folder for the next chooser of its kind.
  std::optional<std::string> Chosen(const QString& kind, const QString& path, bool isFolder);

  WindowSettings* m_places = nullptr;
  void EndProgress();

  // Made by the first report of a piece of work and gone with its last, or when it is cancelled. Owned by
  // the window it stands over, which may go first.
  QPointer<QProgressDialog> m_progress;
  QElapsedTimer m_progressClock;
  std::string m_settingsPath;                 // GBK
  std::optional<ClashAnswer> m_laterClashes;  // the answer the person gave for the rest of the operation
};

}  // namespace vx::ui
