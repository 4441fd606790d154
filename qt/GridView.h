// GridView: a QTableView that shows a FlexGrid model through a
// GridTableModel. Clicks and arrow keys move the model's current cell (so
// its leave-cell handler runs before the cell changes), other keys go to
// the model's key-down and key-press handlers, and a double-click to its
// double-click handler. Column widths and row heights follow the model's
// twips, so a cell's place on screen matches the model's cell geometry.
// Rows appended in one go (a page of a search) scroll into view: the first
// of them goes to the top unless it is on screen already. The highlighted
// cell is always the model's current cell (the search controls make the
// first row of a new block current), so the row on screen is the row a
// selection reads.
#pragma once

#include <QTableView>

#include "platform/FlexGrid.h"
#include "qt/GridTableModel.h"
#include "qt/QtHost.h"

namespace trovel::qt {

class GridView : public QTableView {
  Q_OBJECT

 public:
  // REQUIRES: `host` and `model` outlive the view.
  GridView(QtHost& host, FlexGrid& model, QWidget* parent);
  ~GridView() override;

  void Sync();

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  bool event(QEvent* e) override;

 private:
  // Moves the model's current cell; false when that failed or deleted the view.
  bool MoveCurrent(int row, int col);
  // Once the rows appended from table row `first` on are all in, shows them.
  void RowsArrived(int first);

  QtHost& host_;
  FlexGrid& model_;
  GridTableModel table_;
  int arrived_first_ = -1;  // the first row appended since the event loop last ran
};

}  // namespace trovel::qt
