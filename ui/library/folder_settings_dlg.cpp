#include "ui/library/folder_settings_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <vector>

#include "core/io/file_io.h"
#include "core/messages.h"
#include "core/text/gbk.h"
#include "ui/common/dialog_units.h"
#include "ui/common/qt_text.h"

namespace vx::ui {

CFolderSettingsDlg::CFolderSettingsDlg(std::string gbkSettingsPath, Interaction& ui, QWidget* parent)
    : QDialog(parent), m_strSettingsPath(std::move(gbkSettingsPath)), m_ui(ui) {
  setWindowTitle(QStringLiteral("目录设置"));
  setFixedSize(Dlu.Size(254, 152));

  struct Row {
    const char* label;
    QRect labelRect, editRect, buttonRect;
    const char* editName;
    const char* buttonName;
  };
  const std::array<Row, 3> rows = {{
      {"MUSIC文件夹目录", Dlu(7, 7, 63, 8), Dlu(7, 23, 197, 14), Dlu(212, 22, 35, 14), "musicDir",
       "browseMusic"},
      {"移动歌曲目标文件夹", Dlu(7, 51, 73, 8), Dlu(7, 67, 197, 14), Dlu(212, 67, 35, 14), "moveDir",
       "browseMove"},
      {"歌曲图片导出目录", Dlu(7, 95, 65, 8), Dlu(7, 111, 197, 14), Dlu(212, 112, 35, 14), "imageDir",
       "browseImage"},
  }};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    auto* label = new QLabel(QString::fromUtf8(rows[i].label), this);
    label->setGeometry(rows[i].labelRect.adjusted(0, 0, 80, 4));  // room for the wider fallback font
    m_edits[i] = new QLineEdit(this);
    m_edits[i]->setObjectName(QString::fromLatin1(rows[i].editName));
    m_edits[i]->setGeometry(rows[i].editRect);
    auto* browse = new QPushButton(QStringLiteral("浏览"), this);
    browse->setObjectName(QString::fromLatin1(rows[i].buttonName));
    browse->setGeometry(rows[i].buttonRect);
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, [this, i] { OnBrowse(static_cast<FolderSlot>(i)); });
  }

  // 确定 and 取消 in the order and at the side the platform puts them, along the bottom row.
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setGeometry(Dlu(7, 131, 240, 14));
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setText(QStringLiteral("确定"));
  ok->setObjectName(QStringLiteral("ok"));
  ok->setDefault(true);
  QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
  cancel->setText(QStringLiteral("取消"));
  cancel->setObjectName(QStringLiteral("cancel"));
  cancel->setAutoDefault(false);
  connect(buttons, &QDialogButtonBox::accepted, this, &CFolderSettingsDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CFolderSettingsDlg::reject);

  if (const auto folders = ReadFolders(m_strSettingsPath)) {
    Edit(FolderSlot::kMusic)->setText(FromGbk(folders->musicDir));
    Edit(FolderSlot::kMove)->setText(FromGbk(folders->moveDir));
    Edit(FolderSlot::kImage)->setText(FromGbk(folders->imageDir));
  }
}

void CFolderSettingsDlg::OnBrowse(FolderSlot slot) {
  // A cancelled chooser leaves what the field held: 确定 must not then save an empty folder unasked.
  if (const auto chosen = m_ui.ChooseFolder(Gbk(msg::kChooseFolderPrompt)))
    Edit(slot)->setText(FromGbk(*chosen));
}

void CFolderSettingsDlg::accept() {
  const auto say = [this](std::string_view utf8Text, const std::string& gbkDetail) {
    m_ui.ShowMessage(Gbk(utf8Text) + gbkDetail, Gbk(msg::kAppTitle));
  };
  std::array<std::string, 3> gbk;
  for (std::size_t i = 0; i < gbk.size(); ++i) {
    std::string unmappable;
    const auto converted = GbkFromUtf8(m_edits[i]->text().toStdString(), &unmappable);
    if (!converted) {
      say(msg::kFolderUnmappable, CodePointName(unmappable));
      return;
    }
    gbk[i] = *converted;
  }
  // A folder that cannot be stored is said before a missing one is asked about: no question is answered
  // only to be refused.
  const auto tooLong = std::find_if(
      gbk.begin(), gbk.end(), [](const std::string& folder) { return folder.size() > kMaxFolderBytes; });
  if (tooLong != gbk.end()) {
    say(msg::kFolderTooLong, *tooLong);
    return;
  }
  // A folder typed wrong, or on a drive not plugged in, may be meant: the person is warned and decides.
  std::vector<std::string> missing;
  for (const std::string& folder : gbk)
    if (!folder.empty() && !DirectoryExists(folder)) missing.push_back(folder);
  if (!missing.empty() &&
      !m_ui.AskOkCancel(MessageWithLines(Gbk(msg::kFoldersMissing), missing), Gbk(msg::kAppTitle)))
    return;
  switch (WriteFolders(m_strSettingsPath, FolderSettings{gbk[0], gbk[1], gbk[2]})) {
    case WriteFoldersResult::kWriteFailed:
      say(msg::kSettingsNotWritten, {});
      return;
    case WriteFoldersResult::kTooLong:  // said above
    case WriteFoldersResult::kNoFile:   // nothing saved and nothing said, as this dialog always did
    case WriteFoldersResult::kWritten:
      break;
  }
  QDialog::accept();
}

}  // namespace vx::ui
