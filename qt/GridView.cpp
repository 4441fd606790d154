#include "qt/GridView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>
#include <QMouseEvent>
#include <QTimer>
#include <utility>

#include "qt/GridDelegate.h"
#include "qt/KeyTranslation.h"
#include "qt/ViewSync.h"

namespace trovel::qt {

GridView::GridView(QtHost& host, FlexGrid& model, QWidget* parent)
    : QTableView(parent), host_(host), model_(model), table_(model) {
  setObjectName(QString::fromStdString(model.Name()));
  setModel(&table_);
  setFrameShape(QFrame::NoFrame);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setHighlightSections(false);
  // A flex grid shows each cell on one line, clipped at the cell's edge:
  // no wrapping, no ellipsis. Neither has then to be worked out for every
  // cell of every frame painted, and each cell's text is laid out once
  // (GridDelegate).
  setWordWrap(false);
  setTextElideMode(Qt::ElideNone);
  setItemDelegate(new GridDelegate(this));
  host_.AttachView(&model_, this);
  model_.onChanged = [this] { Sync(); };
  connect(&table_, &QAbstractItemModel::modelReset, this, [this] {
    arrived_first_ = -1;  // a new grid: it starts at its top
    Sync();
  });
  connect(&table_, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first) { RowsArrived(first); });
  Sync();
}

GridView::~GridView() {
  model_.onChanged = nullptr;
  host_.DetachView(&model_);
}

void GridView::Sync() {
  SyncCommon(host_, this, model_, false);
  // The grid's name is for a screen reader; a tooltip would cover its cells.
  ShowNames(this, QString::fromStdString(model_.ToolTipText()), QString());
  const QWidget* at = parentWidget() ? parentWidget() : this;
  horizontalHeader()->setFixedHeight(ToPixels(model_.RowHeight(0), at));
  verticalHeader()->setDefaultSectionSize(ToPixels(FlexGrid::kRowHeight, at));
  for (int c = 0; c < model_.Cols(); ++c) {
    const int width = ToPixels(model_.ColWidth(c), at);
    setColumnHidden(c, width == 0);
    if (width > 0) setColumnWidth(c, width);
  }
  if (model_.Row() >= 1 && model_.Row() - 1 < table_.rowCount()) {
    QModelIndex current = table_.index(model_.Row() - 1, model_.Col());
    if (currentIndex() != current) {
      // A current row among rows still arriving is shown with them, at the
      // top (RowsArrived); elsewhere the view scrolls just enough to show it.
      const bool arriving = arrived_first_ >= 0 && current.row() >= arrived_first_;
      const bool scrolls = hasAutoScroll();
      if (arriving) setAutoScroll(false);
      setCurrentIndex(current);
      setAutoScroll(scrolls);
    }
  }
}

void GridView::RowsArrived(int first) {
  // A block comes a row at a time inside one handler; it is shown once the
  // handler is done and the event loop runs again.
  if (arrived_first_ >= 0) return;
  arrived_first_ = first;
  QTimer::singleShot(0, this, [this] {
    const int first = std::exchange(arrived_first_, -1);
    if (first < 0 || first >= table_.rowCount()) return;
    const QModelIndex at = table_.index(first, std::max(0, model_.Col()));
    if (!viewport()->rect().contains(visualRect(at))) scrollTo(at, QAbstractItemView::PositionAtTop);
  });
}

bool GridView::MoveCurrent(int row, int col) {
  if (!host_.Guarded(this, [&] { model_.MoveWithin(row, col); })) return false;
  Sync();
  return true;
}

bool GridView::event(QEvent* e) {
  if (HandleTab(host_, this, e)) return true;
  return QTableView::event(e);
}

void GridView::keyPressEvent(QKeyEvent* e) {
  e->accept();
  const int page = std::max(1, viewport()->height() / std::max(1, verticalHeader()->defaultSectionSize()));
  switch (e->key()) {
    case Qt::Key_Up: MoveCurrent(model_.Row() - 1, model_.Col()); return;
    case Qt::Key_Down: MoveCurrent(model_.Row() + 1, model_.Col()); return;
    case Qt::Key_Left: MoveCurrent(model_.Row(), model_.Col() - 1); return;
    case Qt::Key_Right: MoveCurrent(model_.Row(), model_.Col() + 1); return;
    case Qt::Key_PageUp: MoveCurrent(model_.Row() - page, model_.Col()); return;
    case Qt::Key_PageDown: MoveCurrent(model_.Row() + page, model_.Col()); return;
    case Qt::Key_Home: MoveCurrent(model_.FixedRows(), model_.Col()); return;
    case Qt::Key_End: MoveCurrent(model_.Rows() - 1, model_.Col()); return;
    default: break;
  }
  // The key-press handler may raise an event whose form deletes this view.
  TranslatedKey k = Translate(e);
  if (k.key_code && !host_.Guarded(this, [&] { model_.FireKeyDown(k.key_code); })) return;
  if (k.character) {
    int16_t code = *k.character;
    host_.Guarded(this, [&] { model_.FireKeyPress(code); });
  }
}

void GridView::mousePressEvent(QMouseEvent* e) {
  e->accept();
  QModelIndex at = indexAt(e->position().toPoint());
  if (at.isValid()) MoveCurrent(at.row() + 1, at.column());
}

void GridView::mouseDoubleClickEvent(QMouseEvent* e) {
  e->accept();
  QModelIndex at = indexAt(e->position().toPoint());
  if (at.isValid() && !MoveCurrent(at.row() + 1, at.column())) return;
  host_.Guarded(this, [this] { if (model_.onDblClick) model_.onDblClick(); });
}

}  // namespace trovel::qt
