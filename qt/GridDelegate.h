// GridDelegate: paints the cells of a GridView. A flex grid shows each cell
// on one line, clipped at its edge, in the view's font: no icons, checks,
// wrapping or eliding to work out. Each cell's text is laid out once, into a
// QStaticText kept for the cells painted lately, and drawn from there in the
// frames that follow, so that a scrolled frame costs the drawing of the
// visible cells and the layout of the rows new to the screen only.
//
// Threading: Qt's GUI thread only.
// Ownership: owned by its view (a Qt child).
#pragma once

#include <QCache>
#include <QFont>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace trovel::qt {

class GridDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit GridDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  // The most cell layouts kept: a few screens of a wide grid.
  static constexpr int kKept = 8192;

 private:
  struct Layout {
    QString text;
    QStaticText shown;
  };
  // The layout of `text` in `index`'s cell, made when the cell's text or the
  // font changed since it was kept.
  const QStaticText& LayoutOf(const QModelIndex& index, const QString& text, const QFont& font) const;

  mutable QCache<quint64, Layout> kept_{kKept};
  mutable QFont font_;  // the font the kept layouts were made in
};

}  // namespace trovel::qt
