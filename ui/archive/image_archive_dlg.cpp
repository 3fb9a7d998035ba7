#include "ui/archive/image_archive_dlg.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>

#include "core/archive/archive_reader.h"
#include "core/archive/background.h"
#include "core/archive/bmp.h"
#include "core/archive/browser.h"
#include "core/archive/image_export.h"
#include "core/messages.h"
#include "core/settings/settings_file.h"
#include "core/text/gbk.h"
#include "ui/common/dialog_units.h"
#include "ui/common/form_anchors.h"
#include "ui/common/qt_text.h"

namespace vx::ui {
namespace {

constexpr int kNameColumn = 0;
constexpr int kTypeColumn = 1;
constexpr int kIndexColumn = 2;
// The row keeps the name's GBK bytes: the text shown may have lost bytes that GBK could not decode.
constexpr int kGbkNameRole = Qt::UserRole;
const char* const kDialogTitle = "VPI(游戏图片)";

}  // namespace

EntryListView::EntryListView(QWidget* parent) : QTreeWidget(parent) {}

void EntryListView::mouseReleaseEvent(QMouseEvent* event) {
  QTreeWidget::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) emit Clicked();
}

void EntryListView::keyPressEvent(QKeyEvent* event) {
  emit KeyDown(event->key());
  QTreeWidget::keyPressEvent(event);
}

ArchivePreview::ArchivePreview(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
  QPalette black = palette();
  black.setColor(QPalette::Dark, Qt::black);
  black.setColor(QPalette::WindowText, Qt::black);
  setPalette(black);
}

void ArchivePreview::SetPicture(QImage picture) {
  m_picture = std::move(picture);
  update();
}

QRect ArchivePreview::DrawRect() const {
  if (m_picture.isNull()) return {};
  const QRect client = contentsRect();
  const PreviewSize size =
      PreviewDrawSize({m_picture.width(), m_picture.height()}, {client.width(), client.height()});
  return QRect(client.topLeft(), QSize(size.width, size.height));
}

void ArchivePreview::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  if (m_picture.isNull()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(DrawRect(), m_picture);
}

QImage FrameBmpToImage(const std::vector<std::uint8_t>& bmp, int width, int height) {
  if (width <= 0 || height <= 0) return {};
  const std::size_t rowBytes = FrameBmpRowBytes(width);
  if (bmp.size() < kBmpHeaderSize + rowBytes * static_cast<std::size_t>(height)) return {};
  // The pixels are X1R5G5B5 like Qt's RGB555, which ignores the top bit as the game does. The copy owns
  // its pixels, so the BMP bytes can go.
  QImage image(bmp.data() + kBmpHeaderSize, width, height, static_cast<qsizetype>(rowBytes),
               QImage::Format_RGB555);
  // A frame BMP stores its rows top row first (negative height field); a positive one would mean the
  // usual bottom-up rows.
  const auto heightField = static_cast<std::int32_t>(ReadLE(bmp.data() + 22, 4));
  return heightField > 0 ? image.mirrored() : image.copy();
}

CImageArchiveDlg::CImageArchiveDlg(std::string gbkSettingsPath, Interaction& ui, QWidget* parent)
    : QDialog(parent), m_strSettingsPath(std::move(gbkSettingsPath)), m_ui(ui) {
  setWindowTitle(QString::fromUtf8(kDialogTitle));
  // The dialog opens at the size it was drawn and may grow: the entry list takes the room. The preview
  // keeps its size, as a taller one would only squeeze a frame out of its proportions.
  setMinimumSize(Dlu.Size(321, 255));
  resize(minimumSize());
  setSizeGripEnabled(true);
  BuildControls();
  m_strImageDir = ReadFolder(m_strSettingsPath, FolderSlot::kImage).value_or(std::string());
  UpdateData();
}

void CImageArchiveDlg::BuildControls() {
  BuildEntryList();

  m_preview = new ArchivePreview(this);
  m_preview->setObjectName(QStringLiteral("preview"));
  m_preview->setGeometry(Dlu(163, 7, 151, 138));
  auto* anchors = new FormAnchors(this);
  anchors->Add(m_entryList, FormAnchors::Anchor::kGrow);
  const auto followRight = [anchors](QWidget* control) {
    anchors->Add(control, FormAnchors::Anchor::kFollowRight);
    return control;
  };
  followRight(m_preview);

  m_frameSlider = new QSlider(Qt::Horizontal, this);
  m_frameSlider->setObjectName(QStringLiteral("frameSlider"));
  m_frameSlider->setGeometry(Dlu(159, 150, 109, 11));
  followRight(m_frameSlider);
  m_frameSlider->setTickPosition(QSlider::NoTicks);
  m_frameSlider->setRange(0, 100);  // a slider's range until an entry sets it
  connect(m_frameSlider, &QSlider::valueChanged, this, &CImageArchiveDlg::OnHScroll);

  const auto number = [this, followRight](const char* name, QRect rect) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(rect);
    edit->setReadOnly(true);
    followRight(edit);
    return edit;
  };
  m_currentFrameEdit = number("currentFrame", Dlu(273, 151, 15, 12));
  auto* separator = new QLabel(QStringLiteral("\\"), this);
  separator->setGeometry(Dlu(290, 152, 8, 8));
  separator->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  followRight(separator);
  m_frameCountEdit = number("frameCount", Dlu(299, 151, 15, 12));

  const auto button = [this, followRight](const char* text, const char* name, QRect rect) {
    auto* pushButton = new QPushButton(QString::fromUtf8(text), this);
    pushButton->setObjectName(QString::fromLatin1(name));
    pushButton->setGeometry(rect);
    followRight(pushButton);
    // The dialog has no OK button; Enter must not press one of these.
    pushButton->setAutoDefault(false);
    return pushButton;
  };
  connect(button("打开VPI/VPA文件", "openArchive", Dlu(162, 167, 80, 37)), &QPushButton::clicked, this,
          &CImageArchiveDlg::OnOpenArchive);
  connect(button("导出图片", "exportImages", Dlu(259, 167, 55, 37)), &QPushButton::clicked, this,
          &CImageArchiveDlg::OnExportImages);

  m_backgroundCombo = new QComboBox(this);
  m_backgroundCombo->setObjectName(QStringLiteral("backgroundCombo"));
  const QRect comboRect = Dlu(161, 212, 153, 39);
  m_backgroundCombo->setGeometry(comboRect.x(), comboRect.y(), comboRect.width(),
                                 m_backgroundCombo->sizeHint().height());
  followRight(m_backgroundCombo);
  for (const BackgroundScene& scene : BackgroundListOrder())
    m_backgroundCombo->addItem(FromUtf8(scene.listText), scene.number);
  m_backgroundCombo->setCurrentIndex(0);
  // Common controls 6 drop the whole short list whatever the height in the dialog's layout says.
  m_backgroundCombo->setMaxVisibleItems(m_backgroundCombo->count());
  connect(button("自制BMP背景图->VPI", "makeBackground", Dlu(161, 230, 153, 18)), &QPushButton::clicked, this,
          &CImageArchiveDlg::OnMakeBackground);
}

void CImageArchiveDlg::BuildEntryList() {
  m_entryList = new EntryListView(this);
  m_entryList->setObjectName(QStringLiteral("entryList"));
  m_entryList->setGeometry(Dlu(1, 7, 152, 241));
  m_entryList->setColumnCount(3);
  m_entryList->setHeaderLabels({QStringLiteral("ID"), QStringLiteral("TYPE"), QString()});
  m_entryList->setRootIsDecorated(false);
  m_entryList->setUniformRowHeights(true);
  m_entryList->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_entryList->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_entryList->setAllColumnsShowFocus(true);
  QHeaderView* header = m_entryList->header();
  header->setStretchLastSection(false);
  header->setSectionsMovable(false);
  header->setMinimumSectionSize(1);
  header->resizeSection(kNameColumn, 180);
  header->resizeSection(kTypeColumn, 100);
  // The directory index rides along in a column too narrow to read.
  header->resizeSection(kIndexColumn, 1);
  connect(m_entryList, &EntryListView::Clicked, this, &CImageArchiveDlg::OnClickEntryList);
  connect(m_entryList, &EntryListView::KeyDown, this, &CImageArchiveDlg::OnKeydownEntryList);
}

void CImageArchiveDlg::UpdateData() {
  m_currentFrameEdit->setText(QString::number(m_nCurrentFrame));
  m_frameCountEdit->setText(QString::number(m_nFrameCount));
}

void CImageArchiveDlg::OnOpenArchive() {
  FileDialogRequest request;
  request.filters = {{Gbk(msg::kArchiveFilter), "*.vp?"}};
  const auto chosen = m_ui.ChooseOpenFile(request);
  if (!chosen) return;
  OpenArchive(*chosen);
}

void CImageArchiveDlg::EmptyPreview() {
  m_preview->SetPicture(QImage());
  m_nFrameCount = 0;
  m_nCurrentFrame = 0;
  UpdateData();
}

void CImageArchiveDlg::OpenArchive(const std::string& gbkArchivePath) {
  m_strArchivePath = gbkArchivePath;
  // With several archives about (Playing.vpi, Playing1_300.vpi, ...) the list says nothing of which
  // one it lists.
  setWindowTitle(QString::fromUtf8(kDialogTitle) + QStringLiteral(" - ") +
                 QFileInfo(QtPath(m_strArchivePath)).fileName());
  const auto directory = ReadDirectory(m_strArchivePath);
  if (!directory) {
    // The old list and picture under the new file's name would show entries this file does not have,
    // and an empty list alone would look like an archive without entries.
    m_entryList->clear();
    m_nCurrentRow = 0;
    EmptyPreview();
    m_ui.ShowMessage(
        Gbk(msg::kArchiveUnreadable) + m_strArchivePath + "\n" + ArchiveErrorTextGbk(directory.Error()),
        Gbk(msg::kAppTitle));
    return;
  }
  m_entryList->clear();
  m_nCurrentRow = 0;
  EmptyPreview();
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(directory->size()));
  for (const DirectoryRecord& record : *directory) {
    auto* item = new QTreeWidgetItem;
    const QString name = FromGbk(record.name);
    const QString type = FromGbk(EntryTypeTextGbk(record.name));
    item->setText(kNameColumn, name);
    item->setData(kNameColumn, kGbkNameRole,
                  QByteArray(record.name.data(), static_cast<qsizetype>(record.name.size())));
    item->setToolTip(kNameColumn, name);
    item->setText(kTypeColumn, type);
    if (!type.isEmpty()) item->setToolTip(kTypeColumn, type);
    item->setText(kIndexColumn, QString::number(record.directoryIndex));
    items << item;
  }
  m_entryList->addTopLevelItems(items);
}

std::vector<std::size_t> CImageArchiveDlg::SelectedRows() const {
  std::vector<std::size_t> rows;
  for (const QModelIndex& index : m_entryList->selectionModel()->selectedRows())
    rows.push_back(static_cast<std::size_t>(index.row()));
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::optional<std::string> CImageArchiveDlg::RowName(int row) const {
  const QTreeWidgetItem* item = m_entryList->topLevelItem(row);
  if (!item) return std::nullopt;
  return item->data(kNameColumn, kGbkNameRole).toByteArray().toStdString();
}

int CImageArchiveDlg::RowDirectoryIndex(int row) const {
  const QTreeWidgetItem* item = m_entryList->topLevelItem(row);
  return item ? item->text(kIndexColumn).toInt() : -1;
}

void CImageArchiveDlg::SelectEntry(int row) {
  const auto name = RowName(row);
  if (!name) return;
  std::optional<int> frames;
  if (IsImageEntryName(*name))
    if (const auto read = ReadFrameCount(m_strArchivePath, RowDirectoryIndex(row))) frames = *read;
  // The frame of another entry left in view would be read as this entry's.
  if (!frames) {
    EmptyPreview();
    return;
  }
  m_nFrameCount = *frames;
  m_nCurrentFrame = 1;
  {
    // Setting the range is not the person moving the slider.
    const QSignalBlocker quiet(m_frameSlider);
    m_frameSlider->setRange(1, std::max(m_nFrameCount, 1));
    m_frameSlider->setValue(1);
  }
  UpdateData();
}

void CImageArchiveDlg::ShowFrame(int row, int frame) {
  if (m_nCurrentFrame == 0) return;
  const auto name = RowName(row);
  if (!name || !IsImageEntryName(*name)) return;
  const auto file = OpenArchiveFile(m_strArchivePath);
  if (!file) return;
  const int directoryIndex = RowDirectoryIndex(row);
  // The entry's own frame count places its pixels, whichever entry the slider last ranged over.
  const auto frames = ReadFrameCount(*file, directoryIndex);
  if (!frames) return;
  const auto decoded = DecodeFrame(*file, directoryIndex, frame, *frames);
  // A frame that does not decode shows nothing rather than its neighbour.
  m_preview->SetPicture(decoded ? FrameBmpToImage(decoded->bmp, decoded->width, decoded->height) : QImage());
}

void CImageArchiveDlg::OnClickEntryList() {
  if (m_entryList->topLevelItemCount() == 0) return;
  const std::vector<std::size_t> selected = SelectedRows();
  const auto row = SoleSelectedRow(selected);
  if (!row) return;
  const int r = static_cast<int>(*row);
  SelectEntry(r);
  ShowFrame(r, 1);
  m_nCurrentRow = r;
}

void CImageArchiveDlg::OnKeydownEntryList(int qtKey) {
  if (qtKey != Qt::Key_Up && qtKey != Qt::Key_Down) return;
  const std::vector<std::size_t> selected = SelectedRows();
  const auto row = EntryRowForArrowKey(qtKey == Qt::Key_Up ? ArrowKey::kUp : ArrowKey::kDown, selected,
                                       static_cast<std::size_t>(m_entryList->topLevelItemCount()));
  if (!row) return;
  const int r = static_cast<int>(*row);
  SelectEntry(r);
  ShowFrame(r, 1);
  m_nCurrentRow = r;
}

void CImageArchiveDlg::OnHScroll() {
  if (m_entryList->topLevelItemCount() == 0 || m_nCurrentFrame == 0) return;
  m_nCurrentFrame = m_frameSlider->value();
  UpdateData();
  ShowFrame(m_nCurrentRow, m_nCurrentFrame);
}

void CImageArchiveDlg::OnExportImages() {
  std::vector<EntryRow> rows;
  for (const std::size_t row : SelectedRows()) {
    const int r = static_cast<int>(row);
    rows.push_back({RowName(r).value_or(std::string()), RowDirectoryIndex(r)});
  }
  // The core checks the image folder first and says one message per row; an empty list gives no rows.
  ExportImages(m_strArchivePath, m_strImageDir, rows, m_ui);
}

void CImageArchiveDlg::OnMakeBackground() {
  const QVariant number = m_backgroundCombo->currentData();
  if (!number.isValid()) return;
  vx::OnMakeBackground(number.toInt(), m_ui);
}

void CImageArchiveDlg::SelectRows(std::span<const int> rows) {
  m_entryList->clearSelection();
  for (const int row : rows)
    if (QTreeWidgetItem* item = m_entryList->topLevelItem(row)) {
      item->setSelected(true);
      m_entryList->setCurrentItem(item, 0, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

}  // namespace vx::ui
