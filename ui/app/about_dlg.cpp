#include "ui/app/about_dlg.h"

#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

#include "ui/resources/resources.h"

namespace vx::ui {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  EnsureResources();
  setWindowTitle(QStringLiteral("关于 VX歌曲整理器"));
  auto* picture = new QLabel(this);
  picture->setObjectName(QStringLiteral("aboutPicture"));
  picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  picture->setAlignment(Qt::AlignCenter);
  // Drawn twice as large for screens at 150% and 200%, where the plain one would be blurred.
  const bool sharp = devicePixelRatioF() > 1.0;
  QPixmap pixmap(sharp ? QStringLiteral(":/pictures/about@2x.png") : QStringLiteral(":/pictures/about.png"));
  pixmap.setDevicePixelRatio(sharp ? 2.0 : 1.0);
  picture->setPixmap(pixmap);
  // The box is sized around the whole 381 x 550 picture and its frame, with the 7-unit margin of the
  // dialog on every side: the layout asks the label, which knows its frame and the style's extras.
  auto* layout = new QVBoxLayout(this);
  const int margin = 14;
  layout->setContentsMargins(margin, margin, margin, margin);
  layout->addWidget(picture);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace vx::ui
