// DesignFrame: holds one control on a form at design time. A click selects
// it (its children do not react to the mouse), the grip at its lower right
// corner (drawn as a small square) resizes it, and the control's layout runs on every resize.
#pragma once

#include <QWidget>
#include <functional>

#include "qt/ControlWidget.h"

namespace trovel::desktop {

class DesignFrame : public QWidget {
  Q_OBJECT

 public:
  // Takes the control widget as its child.
  DesignFrame(qt::ControlWidget* control, QWidget* parent);

  void SetSelected(bool selected);
  std::function<void()> onSelected;
  // After each step of a resize with the mouse (not after other resizes).
  std::function<void()> onResized;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  bool InGrip(const QPoint& at) const;

  qt::ControlWidget* control_;
  bool selected_ = false;
  bool resizing_ = false;
  QPoint grab_offset_;
};

}  // namespace trovel::desktop
