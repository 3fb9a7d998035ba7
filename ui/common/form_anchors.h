#pragma once
// Where a form's controls go when its window grows. The form places every control at a fixed spot; at
// its rest size (what the window shows when it opens) they all sit exactly there. Beyond it one control
// (the song table, the archive's entry list) takes the extra width and height, and each other control
// keeps to the edges it is anchored to. A form never lays out below its rest size.

#include <QObject>
#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace vx::ui {

class FormAnchors : public QObject {
  Q_OBJECT

 public:
  enum class Anchor {
    kGrow,          // takes the extra width and height
    kFollowBottom,  // keeps its size and its distance from the bottom edge
    kFollowRight,   // keeps its size and its distance from the right edge
  };

  // `form` is watched for resizes; its size now is the rest size until SetRestSize says otherwise.
  explicit FormAnchors(QWidget* form);

  // Records `control` where it is placed now.
  void Add(QWidget* control, Anchor anchor);
  void SetRestSize(QSize rest);
  QSize RestSize() const { return m_rest; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Place();

  struct Anchored {
    QWidget* control;
    QRect placed;
    Anchor anchor;
  };
  QWidget* m_form;
  QSize m_rest;
  std::vector<Anchored> m_controls;
};

}  // namespace vx::ui
