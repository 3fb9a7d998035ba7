#include "ui/app/qt_interaction.h"

#include <QApplication>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "core/io/file_move.h"
#include "core/messages.h"
#include "core/settings/settings_file.h"
#include "ui/app/window_settings.h"
#include "ui/common/qt_text.h"

namespace vx::ui {
namespace {

// The kind of file a chooser is for, named by its first pattern ("*.txt" is "txt", "*.vp?" is "vp"):
// the game list's save and reopen share theirs, as they look for the same files.
QString KindOf(const FileDialogRequest& request) {
  QString kind;
  if (!request.filters.empty())
    for (const QChar c : QString::fromStdString(request.filters.front().pattern))
      if (c.isLetterOrNumber()) kind += c.toLower();
  return kind.isEmpty() ? QStringLiteral("file") : kind;
}

// A folder chooser is named by what it asks for: the install's folder of songs and 目录设置's folders
// are different places, and one must not open where the other was last used.
QString FolderKindOf(const std::string& gbkPrompt) {
  const QByteArray digest =
      QCryptographicHash::hash(QByteArray::fromStdString(gbkPrompt), QCryptographicHash::Sha1);
  return QStringLiteral("folder-") + QString::fromLatin1(digest.toHex().left(8));
}

// A title bar shows the caption only as far as the box is wide, and a box with a short text is narrow:
// "VX歌曲整理器" would lose its end.
void FitCaption(QMessageBox& box) {
  QFont title = box.font();
  title.setBold(true);
  // Room for the window's icon and its buttons on either side of the caption.
  constexpr int kTitleBarExtras = 160;
  const int width = QFontMetrics(title).horizontalAdvance(box.windowTitle()) + kTitleBarExtras;
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
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
  return extension.contains(u'*') || extension.contains(u'?') || extension.contains(u' ') ? QString()
                                                                                          : extension;
}

// A chosen path becomes GBK like every path the program keeps; a name GBK cannot spell is said, not
// mangled.
std::optional<std::string> GbkFromChosen(const QString& chosen) {
  if (chosen.isEmpty()) return std::nullopt;
  const std::string utf8 = chosen.toStdString();
  std::string unmappable;
  if (!GbkFromUtf8(utf8, &unmappable)) {
    QMessageBox box(QMessageBox::Warning, FromUtf8(msg::kAppTitle), FromUtf8(msg::kPathUnmappable) + chosen,
                    QMessageBox::Ok, QApplication::activeWindow());
    FitCaption(box);
    box.exec();
    return std::nullopt;
  }
  return GbkPath(PathFromQt(chosen));
}

}  // namespace

void QtInteraction::ShowMessage(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::NoIcon, FromGbk(caption), FromGbk(text), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.button(QMessageBox::Ok)->setText(FromUtf8(msg::kOk));
  FitCaption(box);
  box.exec();
}

bool QtInteraction::AskOkCancel(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Question, FromGbk(caption), FromGbk(text),
                  QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow());
  box.button(QMessageBox::Ok)->setText(FromUtf8(msg::kOk));
  box.button(QMessageBox::Cancel)->setText(FromUtf8(msg::kCancel));
  FitCaption(box);
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
                         at < 0 ? QString()
                                : SingleExtension(request.filters[static_cast<std::size_t>(at)].pattern);
                     dialog.setDefaultSuffix(extension.isEmpty() ? defaultSuffix : extension);
                   });
}

void QtInteraction::RememberPlaces(WindowSettings* settings, std::string gbkSettingsPath) {
  m_places = settings;
  m_settingsPath = std::move(gbkSettingsPath);
}

QString QtInteraction::StartFolder(const QString& kind) const {
  if (m_places) {
    const QString last = m_places->LastFolder(kind);
    if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
  }
  if (!m_settingsPath.empty()) {
    const auto music = ReadFolder(m_settingsPath, FolderSlot::kMusic);
    if (music && !music->empty()) {
      const QString parent = QFileInfo(QtPath(*music)).absolutePath();
      if (QFileInfo(parent).isDir()) return parent;
    }
  }
  return QDir::homePath();
}

std::optional<std::string> QtInteraction::Chosen(const QString& kind, const QString& path, bool isFolder) {
  std::optional<std::string> gbk = GbkFromChosen(path);
  if (gbk && m_places) m_places->SetLastFolder(kind, isFolder ? path : QFileInfo(path).absolutePath());
  return gbk;
}

QStringList QtInteraction::RunFileChooser(const FileDialogRequest& request, QFileDialog::AcceptMode accept,
                                          QFileDialog::FileMode files) const {
  QFileDialog dialog(QApplication::activeWindow());
  dialog.setAcceptMode(accept);
  dialog.setFileMode(files);
  // Choosing an existing file replaces it without a second question, as the program always has.
  if (accept == QFileDialog::AcceptSave) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setDirectory(StartFolder(KindOf(request)));
  SetUpFileDialog(dialog, request);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

std::optional<std::string> QtInteraction::ChooseSaveFile(const FileDialogRequest& request) {
  const QStringList files = RunFileChooser(request, QFileDialog::AcceptSave, QFileDialog::AnyFile);
  if (files.isEmpty()) return std::nullopt;
  return Chosen(KindOf(request), files.front(), false);
}

std::optional<std::string> QtInteraction::ChooseOpenFile(const FileDialogRequest& request) {
  const QStringList files = RunFileChooser(request, QFileDialog::AcceptOpen, QFileDialog::ExistingFile);
  if (files.isEmpty()) return std::nullopt;
  return Chosen(KindOf(request), files.front(), false);
}

std::vector<std::string> QtInteraction::ChooseOpenFiles(const FileDialogRequest& request) {
  std::vector<std::string> chosen;
  // One name GBK cannot spell is said and left out; the others are still taken.
  for (const QString& file : RunFileChooser(request, QFileDialog::AcceptOpen, QFileDialog::ExistingFiles))
    if (auto gbk = Chosen(KindOf(request), file, false)) chosen.push_back(std::move(*gbk));
  return chosen;
}

std::optional<std::string> QtInteraction::ChooseFolder(const std::string& prompt) {
  // Offers only real folders.
  const QString chosen =
      QFileDialog::getExistingDirectory(QApplication::activeWindow(), FromGbk(prompt),
                                        StartFolder(FolderKindOf(prompt)), QFileDialog::ShowDirsOnly);
  if (chosen.isEmpty()) return std::nullopt;
  return Chosen(FolderKindOf(prompt), chosen, true);
}

AllOrNone QtInteraction::MoveToTrash(const std::vector<std::string>& gbkPaths) {
  // Not QFile::moveToTrash: a song's files must go together or not at all, and only the core can bring a
  // file back out of the trash when its partner cannot follow.
  return MoveFilesToTrash(gbkPaths);
}

bool QtInteraction::RestoreFromTrash(const std::vector<std::string>& gbkPaths) {
  return vx::RestoreFromTrash(gbkPaths);
}

std::optional<int> QtInteraction::AskNumber(const std::string& text, const std::string& caption, int initial,
                                            int min, int max, const NumberCheck& check) {
  QDialog dialog(QApplication::activeWindow());
  dialog.setWindowTitle(FromGbk(caption));
  auto* number = new QSpinBox(&dialog);
  number->setObjectName(QStringLiteral("number"));
  number->setRange(min, max);
  number->setValue(initial);
  auto* refused = new QLabel(&dialog);
  refused->setObjectName(QStringLiteral("refused"));
  refused->setWordWrap(true);
  refused->hide();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(FromUtf8(msg::kOk));
  buttons->button(QDialogButtonBox::Cancel)->setText(FromUtf8(msg::kCancel));
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  // A refused number is said beside the field, which keeps what was typed for the person to change.
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    const std::string why = check ? check(number->value()) : std::string();
    if (why.empty()) {
      dialog.accept();
      return;
    }
    refused->setText(FromGbk(why));
    refused->show();
    number->selectAll();
    number->setFocus();
  });
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(FromGbk(text), &dialog));
  layout->addWidget(number);
  layout->addWidget(refused);
  layout->addWidget(buttons);
  number->selectAll();
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return number->value();
}

void QtInteraction::OperationEnded() {
  m_laterClashes.reset();
}

ClashAnswer QtInteraction::AskClash(const std::string& text, const std::vector<ClashAnswer>& offered) {
  if (m_laterClashes && std::find(offered.begin(), offered.end(), *m_laterClashes) != offered.end())
    return *m_laterClashes;
  QMessageBox box(QMessageBox::Question, FromUtf8(msg::kAppTitle), FromGbk(text), QMessageBox::NoButton,
                  QApplication::activeWindow());
  box.setCheckBox(new QCheckBox(FromUtf8(msg::kSameForLaterSongs), &box));
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
  FitCaption(box);
  box.exec();
  for (const auto& [button, answer] : buttons)
    if (box.clickedButton() == button) {
      if (box.checkBox()->isChecked()) m_laterClashes = answer;
      return answer;
    }
  return ClashAnswer::kStop;
}

SaveChangesAnswer QtInteraction::AskSaveChanges(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Question, FromGbk(caption), FromGbk(text), QMessageBox::NoButton,
                  QApplication::activeWindow());
  QPushButton* save = box.addButton(FromUtf8(msg::kSaveButton), QMessageBox::AcceptRole);
  QPushButton* discard = box.addButton(FromUtf8(msg::kDiscardButton), QMessageBox::DestructiveRole);
  QPushButton* cancel = box.addButton(FromUtf8(msg::kCancel), QMessageBox::RejectRole);
  box.setDefaultButton(save);
  box.setEscapeButton(cancel);
  FitCaption(box);
  box.exec();
  if (box.clickedButton() == save) return SaveChangesAnswer::kSave;
  if (box.clickedButton() == discard) return SaveChangesAnswer::kDiscard;
  return SaveChangesAnswer::kCancel;
}

bool QtInteraction::ReportProgress(int done, int total) {
  constexpr int kShowAfterMs = 500;
  if (done >= total) {
    EndProgress();
    return true;
  }
  if (!m_progress) {
    m_progress = new QProgressDialog(QApplication::activeWindow());
    m_progress->setWindowTitle(FromUtf8(msg::kAppTitle));
    m_progress->setCancelButtonText(FromUtf8(msg::kCancel));
    m_progress->setWindowModality(Qt::ApplicationModal);
    // Shown by the clock below: Qt's own estimate never looks again while one large file is unpacked
    // and the count stands still.
    m_progress->setMinimumDuration(INT_MAX);
    m_progress->setAutoReset(false);
    m_progress->setAutoClose(false);
    m_progressClock.start();
  }
  m_progress->setRange(0, total);
  m_progress->setValue(done);
  m_progress->setLabelText(FromUtf8(msg::kInstallProgress) + QString::number(done) + u'/' +
                           QString::number(total));
  if (!m_progress->isVisible() && m_progressClock.elapsed() >= kShowAfterMs) m_progress->show();
  // Only while the modal progress is up: the rest of the window takes no clicks in the meantime.
  if (m_progress->isVisible()) QCoreApplication::processEvents();
  if (!m_progress->wasCanceled()) return true;
  EndProgress();
  return false;
}

void QtInteraction::EndProgress() {
  delete m_progress.data();
}

}  // namespace vx::ui
