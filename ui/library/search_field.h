#pragma once
// The search field of the toolbar. Typing only highlights; the two Enter keys are the only way it changes
// the table, so they are told apart here: Enter ticks, Shift+Enter unticks. Escape empties the field.

#include <QLineEdit>

namespace vx::ui {

class SearchField : public QLineEdit {
  Q_OBJECT

 public:
  explicit SearchField(QWidget* parent = nullptr);

  // Wide enough for the placeholder when the toolbar has room, narrower rather than pushed out of sight
  // when it has not.
  void SetWidths(int minimum, int preferred);
  QSize sizeHint() const override;

 signals:
  void Submitted(const QString& text, bool tick);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  int m_preferredWidth = 0;
};

}  // namespace vx::ui
