#include "qt/GridDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>

namespace trovel::qt {

namespace {

// The space between a cell's edge and its text, as Qt's item views leave it.
int TextMargin(const QStyleOptionViewItem& option) {
  const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
  return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
}

}  // namespace

const QStaticText& GridDelegate::LayoutOf(const QModelIndex& index, const QString& text, const QFont& font) const {
  if (font != font_) {
    kept_.clear();
    font_ = font;
  }
  const quint64 key = (static_cast<quint64>(static_cast<quint32>(index.row())) << 32) | static_cast<quint32>(index.column());
  Layout* layout = kept_.object(key);
  if (!layout || layout->text != text) {
    layout = new Layout{text, QStaticText(text)};
    layout->shown.setTextFormat(Qt::PlainText);
    layout->shown.prepare(QTransform(), font);
    kept_.insert(key, layout);  // replaces what the key held
  }
  return layout->shown;
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const bool selected = option.state & QStyle::State_Selected;
  const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
                                     : (option.state & QStyle::State_Active) ? QPalette::Active
                                                                             : QPalette::Inactive;
  if (selected) painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
  const QString text = index.data(Qt::DisplayRole).toString();
  if (!text.isEmpty()) {
    const QStaticText& shown = LayoutOf(index, text, option.font);
    const int margin = TextMargin(option);
    const QRect room = option.rect.adjusted(margin, 0, -margin, 0);
    const QSizeF size = shown.size();
    // The view's option leaves the model's roles to the delegate.
    const QVariant aligned = index.data(Qt::TextAlignmentRole);
    Qt::Alignment model_align = aligned.value<Qt::Alignment>();
    if (!model_align) model_align = Qt::Alignment(aligned.toInt());
    const Qt::Alignment align = QStyle::visualAlignment(option.direction, model_align);
    qreal x = room.left();
    if (align & Qt::AlignRight)
      x = room.right() + 1 - size.width();
    else if (align & Qt::AlignHCenter)
      x = room.left() + (room.width() - size.width()) / 2;
    const qreal y = room.top() + (room.height() - size.height()) / 2;
    painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    // Most cells fit; only one that does not is clipped at its edge.
    const bool fits = x >= option.rect.left() && x + size.width() <= option.rect.right() + 1;
    if (!fits) {
      painter->save();
      painter->setClipRect(option.rect, Qt::IntersectClip);
    }
    painter->drawStaticText(QPointF(x, y), shown);
    if (!fits) painter->restore();
  }
  if (option.state & QStyle::State_HasFocus) {
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(option);
    focus.rect = option.rect;
    focus.state |= QStyle::State_KeyboardFocusChange;
    focus.backgroundColor = option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
  }
}

}  // namespace trovel::qt
