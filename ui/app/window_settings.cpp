#include "ui/app/window_settings.h"

#include "ui/common/qt_text.h"

namespace vx::ui {
namespace {

const QString kX = QStringLiteral("window/x");
const QString kY = QStringLiteral("window/y");
const QString kWidth = QStringLiteral("window/width");
const QString kHeight = QStringLiteral("window/height");
const QString kMaximized = QStringLiteral("window/maximized");
const QString kColumnWidths = QStringLiteral("table/columnWidths");
const QString kSortColumn = QStringLiteral("table/sortColumn");
const QString kSortAscending = QStringLiteral("table/sortAscending");
const QString kFolders = QStringLiteral("folders/");

// Sizes beyond any screen are no size anyone chose; such a file was written by something else.
constexpr int kMaxExtent = 20000;
constexpr int kMaxColumnWidth = 2000;

}  // namespace

WindowSettings::WindowSettings(const QString& iniPath) : m_file(iniPath, QSettings::IniFormat) {
  // A file QSettings could not make sense of is forgotten whole, not half believed, and written afresh.
  if (m_file.status() != QSettings::NoError) m_file.clear();
}

QString WindowSettings::PathIn(const std::string& gbkStartFolder) {
  return QtPath(JoinPath(gbkStartFolder, "vxorganizer.ini"));
}

std::optional<int> WindowSettings::Int(const QString& key) const {
  const QVariant value = m_file.value(key);
  if (value.typeId() != QMetaType::QString) return std::nullopt;
  bool ok = false;
  const int number = value.toString().trimmed().toInt(&ok);
  if (!ok) return std::nullopt;
  return number;
}

std::optional<bool> WindowSettings::Bool(const QString& key) const {
  const QString text = m_file.value(key).toString().trimmed();
  if (text == QStringLiteral("true")) return true;
  if (text == QStringLiteral("false")) return false;
  return std::nullopt;
}

std::optional<WindowSettings::Placement> WindowSettings::WindowPlacement() const {
  const auto x = Int(kX), y = Int(kY), width = Int(kWidth), height = Int(kHeight);
  const auto maximized = Bool(kMaximized);
  if (!x || !y || !width || !height || !maximized) return std::nullopt;
  if (*width <= 0 || *height <= 0 || *width > kMaxExtent || *height > kMaxExtent) return std::nullopt;
  if (std::abs(*x) > kMaxExtent || std::abs(*y) > kMaxExtent) return std::nullopt;
  return Placement{QRect(*x, *y, *width, *height), *maximized};
}

void WindowSettings::SetWindowPlacement(const Placement& placement) {
  m_file.setValue(kX, QString::number(placement.geometry.x()));
  m_file.setValue(kY, QString::number(placement.geometry.y()));
  m_file.setValue(kWidth, QString::number(placement.geometry.width()));
  m_file.setValue(kHeight, QString::number(placement.geometry.height()));
  m_file.setValue(kMaximized, placement.maximized ? QStringLiteral("true") : QStringLiteral("false"));
}

std::optional<std::vector<int>> WindowSettings::ColumnWidths(int columnCount) const {
  const QStringList parts = m_file.value(kColumnWidths).toString().split(u' ', Qt::SkipEmptyParts);
  if (parts.size() != columnCount) return std::nullopt;
  std::vector<int> widths;
  for (const QString& part : parts) {
    bool ok = false;
    const int width = part.toInt(&ok);
    if (!ok || width < 1 || width > kMaxColumnWidth) return std::nullopt;
    widths.push_back(width);
  }
  return widths;
}

void WindowSettings::SetColumnWidths(const std::vector<int>& widths) {
  QStringList parts;
  for (const int width : widths) parts << QString::number(width);
  m_file.setValue(kColumnWidths, parts.join(u' '));
}

std::optional<WindowSettings::Sort> WindowSettings::LastSort() const {
  const auto column = Int(kSortColumn);
  const auto ascending = Bool(kSortAscending);
  if (!column || !ascending) return std::nullopt;
  return Sort{*column, *ascending};
}

void WindowSettings::SetLastSort(const Sort& sort) {
  m_file.setValue(kSortColumn, QString::number(sort.column));
  m_file.setValue(kSortAscending, sort.ascending ? QStringLiteral("true") : QStringLiteral("false"));
}

QString WindowSettings::LastFolder(const QString& kind) const {
  const QVariant value = m_file.value(kFolders + kind);
  return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

void WindowSettings::SetLastFolder(const QString& kind, const QString& folder) {
  m_file.setValue(kFolders + kind, folder);
}

void WindowSettings::Save() {
  m_file.sync();
}

}  // namespace vx::ui
