#include "app/qt_interaction.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include "io/file_move.h"
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

#ifndef _WIN32
QString NativeFromGbk(const std::string& gbkPath) {
  return QString::fromStdString(NativePath(gbkPath).string());
}
#endif

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

std::filesystem::path PathFromQt(const QString& path) {
#ifdef _WIN32
  return std::filesystem::path(QDir::toNativeSeparators(path).toStdWString());
#else
  return std::filesystem::path(path.toStdString());
#endif
}

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

bool QtInteraction::MoveToTrash(const std::string& gbkPath) {
#ifdef _WIN32
  // One recycle-bin path for the window and vxtool, the one the core's tests run under Wine.
  return MoveToDesktopTrash(gbkPath);
#else
  return QFile::moveToTrash(NativeFromGbk(gbkPath));
#endif
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
