#pragma once
// The About box: one sunken, centred picture, no buttons; the close box or Escape ends it.

#include <QDialog>

namespace vx::ui {

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace vx::ui
