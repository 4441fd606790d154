#include "apps/desktop/DesignFrame.h"

#include <QMouseEvent>
#include <QPainter>

namespace trovel::desktop {

namespace {

constexpr int kBorder = 3;
constexpr int kGrip = 10;

}  // namespace

DesignFrame::DesignFrame(qt::ControlWidget* control, QWidget* parent) : QWidget(parent), control_(control) {
  control_->setParent(this);
  control_->move(kBorder, kBorder);
  // At design time the control's children only show; the frame takes clicks.
  control_->setAttribute(Qt::WA_TransparentForMouseEvents);
  setMouseTracking(true);
  resize(control_->size() + QSize(2 * kBorder + kGrip, 2 * kBorder + kGrip));
}

void DesignFrame::SetSelected(bool selected) {
  selected_ = selected;
  update();
}

bool DesignFrame::InGrip(const QPoint& at) const {
  return at.x() >= width() - kGrip - kBorder && at.y() >= height() - kGrip - kBorder;
}

void DesignFrame::mousePressEvent(QMouseEvent* e) {
  if (onSelected) onSelected();
  if (InGrip(e->position().toPoint())) {
    resizing_ = true;
    grab_offset_ = QPoint(width(), height()) - e->position().toPoint();
  }
  e->accept();
}

void DesignFrame::mouseMoveEvent(QMouseEvent* e) {
  const QPoint at = e->position().toPoint();
  setCursor(resizing_ || InGrip(at) ? Qt::SizeFDiagCursor : Qt::ArrowCursor);
  if (resizing_) {
    const QPoint size = at + grab_offset_;
    resize(std::max(size.x(), 4 * kGrip), std::max(size.y(), 4 * kGrip));
    if (onResized) onResized();
  }
}

void DesignFrame::mouseReleaseEvent(QMouseEvent*) { resizing_ = false; }

void DesignFrame::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  // The control's own resize handler lays its children out.
  control_->resize(width() - 2 * kBorder - kGrip, height() - 2 * kBorder - kGrip);
}

void DesignFrame::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QColor colour = selected_ ? QColor(42, 111, 219) : QColor(190, 190, 190);
  p.setPen(QPen(colour, kBorder));
  p.drawRect(rect().adjusted(1, 1, -kGrip - 2, -kGrip - 2));
  p.fillRect(width() - kGrip, height() - kGrip, kGrip, kGrip, colour);
}

}  // namespace trovel::desktop
