#include "app/qt_interaction.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include "messages.h"
#include "text/gbk.h"
#include "text/native_path.h"

namespace vx::ui {
namespace {

QString FromGbk(const std::string& gbk) {
  return QString::fromStdString(Utf8FromGbk(gbk));
}
QString FromUtf8(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::filesystem::path PathFromQt(const QString& path) {
#ifdef _WIN32
  return std::filesystem::path(path.toStdWString());
#else
  return std::filesystem::path(path.toStdString());
#endif
}

// One Qt filter per core filter. Qt takes the pattern from the parentheses that end the text, so a
// description ending in its own pattern is shown as it is, and any other gets the pattern appended.
QStringList Filters(const FileDialogRequest& request) {
  QStringList filters;
  for (const FileFilter& filter : request.filters) {
    QString text = FromGbk(filter.description);
    const QString pattern = QString::fromStdString(filter.pattern);
    if (!text.endsWith(u'(' + pattern + u')')) text += QStringLiteral(" (") + pattern + u')';
    filters << text;
  }
  return filters;
}

// "*.SML" names one extension; "*.*" or a list of patterns does not.
QString SingleExtension(const std::string& pattern) {
  const QString text = QString::fromStdString(pattern);
  if (!text.startsWith(QStringLiteral("*.")) || text.size() < 3) return {};
  const QString extension = text.mid(2);
  return extension.contains(u'*') || extension.contains(u'?') || extension.contains(u' ') ? QString() : extension;
}

// A chosen path becomes GBK like every path the program keeps; a name GBK cannot spell is said, not
// mangled.
std::optional<std::string> GbkFromChosen(const QString& chosen) {
  if (chosen.isEmpty()) return std::nullopt;
  const std::string utf8 = chosen.toStdString();
  std::string unmappable;
  if (!GbkFromUtf8(utf8, &unmappable)) {
    QMessageBox::warning(QApplication::activeWindow(), FromUtf8(msg::kAppTitle),
                         FromUtf8(msg::kPathUnmappable) + chosen);
    return std::nullopt;
  }
  return GbkPath(PathFromQt(chosen));
}

}  // namespace

void QtInteraction::ShowMessage(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::NoIcon, FromGbk(caption), FromGbk(text), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.button(QMessageBox::Ok)->setText(FromUtf8(msg::kOk));
  box.exec();
}

bool QtInteraction::AskOkCancel(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Question, FromGbk(caption), FromGbk(text),
                  QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow());
  box.button(QMessageBox::Ok)->setText(FromUtf8(msg::kOk));
  box.button(QMessageBox::Cancel)->setText(FromUtf8(msg::kCancel));
  return box.exec() == QMessageBox::Ok;
}

void SetUpFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
  dialog.setNameFilters(Filters(request));
  if (!request.initialName.empty()) dialog.selectFile(FromGbk(request.initialName));
  const QString defaultSuffix = QString::fromStdString(request.defaultExtension);
  dialog.setDefaultSuffix(defaultSuffix);
  // A name typed without extension gets the one of the filter chosen, so the .SML entry saves a .SML
  // file; a filter such as "*.*" falls back to the request's default.
  // Qt trims the filter texts it keeps (" 列表文件(*.SML)" loses its blank), so the chosen one is looked
  // up among the dialog's own.
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog, request, defaultSuffix](const QString& chosen) {
                     const qsizetype at = dialog.nameFilters().indexOf(chosen);
                     const QString extension =
                         at < 0 ? QString() : SingleExtension(request.filters[static_cast<std::size_t>(at)].pattern);
                     dialog.setDefaultSuffix(extension.isEmpty() ? defaultSuffix : extension);
                   });
}

std::optional<std::string> QtInteraction::ChooseSaveFile(const FileDialogRequest& request) {
  QFileDialog dialog(QApplication::activeWindow());
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  // Choosing an existing file replaces it without a second question, as the program always has.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  SetUpFileDialog(dialog, request);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return GbkFromChosen(dialog.selectedFiles().front());
}

std::optional<std::string> QtInteraction::ChooseOpenFile(const FileDialogRequest& request) {
  QFileDialog dialog(QApplication::activeWindow());
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  SetUpFileDialog(dialog, request);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return GbkFromChosen(dialog.selectedFiles().front());
}

std::optional<std::string> QtInteraction::ChooseFolder(const std::string& prompt) {
  // Starts at the top of the file system and offers only real folders.
  return GbkFromChosen(QFileDialog::getExistingDirectory(QApplication::activeWindow(), FromGbk(prompt),
                                                         QStringLiteral("/"), QFileDialog::ShowDirsOnly));
}

AllOrNone QtInteraction::MoveToTrash(const std::vector<std::string>& gbkPaths) {
  // Not QFile::moveToTrash: a song's files must go together or not at all, and only the core can bring a
  // file back out of the trash when its partner cannot follow.
  return MoveFilesToTrash(gbkPaths);
}

ClashAnswer QtInteraction::AskClash(const std::string& text, const std::vector<ClashAnswer>& offered) {
  QMessageBox box(QMessageBox::Question, FromUtf8(msg::kAppTitle), FromGbk(text), QMessageBox::NoButton,
                  QApplication::activeWindow());
  std::vector<std::pair<QPushButton*, ClashAnswer>> buttons;
  for (const ClashAnswer answer : offered) {
    std::string_view label = msg::kStopRest;
    QMessageBox::ButtonRole role = QMessageBox::DestructiveRole;
    switch (answer) {
      case ClashAnswer::kNextFreeId:
        label = msg::kNextFreeId;
        role = QMessageBox::AcceptRole;
        break;
      case ClashAnswer::kReplace:
        label = msg::kReplace;
        role = QMessageBox::AcceptRole;
        break;
      case ClashAnswer::kSkip:
        label = msg::kSkip;
        role = QMessageBox::RejectRole;
        break;
      case ClashAnswer::kStop:
        break;
    }
    QPushButton* button = box.addButton(FromUtf8(label), role);
    buttons.emplace_back(button, answer);
    // Skipping is the answer that changes nothing, so it is what Enter gives; Escape stops.
    if (answer == ClashAnswer::kSkip) box.setDefaultButton(button);
    if (answer == ClashAnswer::kStop) box.setEscapeButton(button);
  }
  box.exec();
  for (const auto& [button, answer] : buttons)
    if (box.clickedButton() == button) return answer;
  return ClashAnswer::kStop;
}

}  // namespace vx::ui
