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

QString NativeFromGbk(const std::string& gbkPath) {
#ifdef _WIN32
  return QString::fromStdWString(NativePath(gbkPath).wstring());
#else
  return QString::fromStdString(NativePath(gbkPath).string());
#endif
}

std::filesystem::path PathFromQt(const QString& path) {
#ifdef _WIN32
  return std::filesystem::path(path.toStdWString());
#else
  return std::filesystem::path(path.toStdString());
#endif
}

QString Filters(const FileDialogRequest& request) {
  QStringList filters;
  for (const FileFilter& filter : request.filters) {
    QString description = FromGbk(filter.description);
    const QString pattern = QString::fromStdString(filter.pattern);
    // Qt reads the patterns from the parentheses; add them when the description lacks them.
    if (!description.contains(u'(')) description += QStringLiteral(" (") + pattern + u')';
    filters << description;
  }
  return filters.join(QStringLiteral(";;"));
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

std::optional<std::string> QtInteraction::ChooseSaveFile(const FileDialogRequest& request) {
  QFileDialog dialog(QApplication::activeWindow(), QString(), FromGbk(request.initialName), Filters(request));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  // Choosing an existing file replaces it without a second question, as the program always has.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return GbkFromChosen(dialog.selectedFiles().front());
}

std::optional<std::string> QtInteraction::ChooseOpenFile(const FileDialogRequest& request) {
  QFileDialog dialog(QApplication::activeWindow(), QString(), FromGbk(request.initialName), Filters(request));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return GbkFromChosen(dialog.selectedFiles().front());
}

std::optional<std::string> QtInteraction::ChooseFolder(const std::string& prompt) {
  // Starts at the top of the file system and offers only real folders.
  return GbkFromChosen(QFileDialog::getExistingDirectory(QApplication::activeWindow(), FromGbk(prompt),
                                                         QStringLiteral("/"), QFileDialog::ShowDirsOnly));
}

bool QtInteraction::MoveToTrash(const std::string& gbkPath) {
  return QFile::moveToTrash(NativeFromGbk(gbkPath));
}

OverwriteAnswer QtInteraction::AskOverwrite(const std::string& gbkTarget) {
  QMessageBox box(QMessageBox::Question, FromUtf8(msg::kAppTitle),
                  FromUtf8(msg::kOverwriteQuestion) + u'\n' + FromGbk(gbkTarget), QMessageBox::NoButton,
                  QApplication::activeWindow());
  QPushButton* replace = box.addButton(FromUtf8(msg::kReplace), QMessageBox::AcceptRole);
  QPushButton* skip = box.addButton(FromUtf8(msg::kSkip), QMessageBox::RejectRole);
  QPushButton* cancel = box.addButton(FromUtf8(msg::kCancelRest), QMessageBox::DestructiveRole);
  box.setDefaultButton(skip);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == replace) return OverwriteAnswer::kReplace;
  if (box.clickedButton() == skip) return OverwriteAnswer::kSkip;
  return OverwriteAnswer::kCancelRest;
}

}  // namespace vx::ui
