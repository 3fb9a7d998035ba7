#pragma once
// Controls are placed in dialog units, as the forms were drawn; one unit is a fixed number of pixels
// for the font a dialog uses.

#include <QRect>
#include <QSize>
#include <QtGlobal>

namespace vx::ui {

// Dialogs in the System font measure 2 px per dialog unit.
inline constexpr int kDialogPxPerUnit = 2;

struct DialogUnits {
  double pxPerUnit;

  constexpr int Px(int units) const { return qRound(units * pxPerUnit); }
  // A rectangle in dialog units, rounded edge by edge so neighbours that touch in units touch in pixels.
  QRect operator()(int x, int y, int w, int h) const {
    return QRect(Px(x), Px(y), Px(x + w) - Px(x), Px(y + h) - Px(y));
  }
  QSize Size(int w, int h) const { return QSize(Px(w), Px(h)); }
};

// The units of the dialogs in the System font.
inline constexpr DialogUnits Dlu{kDialogPxPerUnit};

}  // namespace vx::ui
