// FlexGrid: the model of the result grid. Rows and columns count from 0;
// the first FixedRows rows are headers. Cells hold UTF-8 text, stored row by
// row in blocks (GridCells), so appending a row costs constant time per cell
// and never moves the rows already there.
//
// An address outside the grid fails with Error::SubscriptOutOfRange; a
// negative count or width, or an unknown alignment code, with
// Error::InvalidValue. Nothing changes when a call fails.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/GridCells.h"
#include "platform/Widget.h"

namespace trovel {

class FlexGrid : public Widget {
 public:
  // Views follow the model through an observer; it is not owned.
  class Observer {
   public:
    virtual ~Observer() = default;
    virtual void GridReset() = 0;                    // shape or many cells changed
    virtual void RowsAppended(int first, int last) = 0;
    virtual void CellChanged(int row, int col) = 0;
  };

  explicit FlexGrid(std::string name);

  int Rows() const { return cells_.Rows(); }
  void SetRows(int rows);
  int Cols() const { return cols_; }
  void SetCols(int cols);
  int FixedRows() const { return fixed_rows_; }
  void SetFixedRows(int n);   // REQUIRES: n < Rows()
  int FixedCols() const { return fixed_cols_; }
  void SetFixedCols(int n);   // REQUIRES: n < Cols()

  // The current cell. Changing it fires onLeaveCell first, then moves.
  int Row() const { return row_; }
  void SetRow(int row);
  int Col() const { return col_; }
  void SetCol(int col);
  // Makes the non-fixed cell nearest to (row, col) current, in one move,
  // as arrow keys and clicks do: they may ask for any cell. A grid with no
  // non-fixed row or column has no such cell and keeps its current cell.
  void MoveWithin(int row, int col);
  std::string Text() const { return TextMatrix(row_, col_); }
  void SetText(const std::string& text) { SetTextMatrix(row_, col_, text); }

  std::string TextMatrix(int row, int col) const;
  void SetTextMatrix(int row, int col, const std::string& text);

  // Appends a row whose cells are the TAB-separated parts of `text`; parts
  // beyond Cols() are dropped, missing ones are empty.
  void AddItem(const std::string& text);
  // Appends `count` rows at once, taking their texts from `cells`, Cols()
  // per row, row after row, with one notice to the observers. `cells` is
  // left empty, its capacity kept for the next block. Unlike AddItem, a TAB
  // inside a text is kept as it is.
  // REQUIRES: cells.size() == count * Cols().
  void AddRows(std::vector<std::string>& cells, int count);
  // Removes a non-fixed row; later rows move up.
  void RemoveItem(int row);

  // Header captions separated by "|"; sets Cols() to the number of sections,
  // writes the captions into row 0 and sizes each column to its caption.
  // A leading "<", "^" or ">" aligns the column left, centre or right.
  const std::string& FormatString() const { return format_string_; }
  void SetFormatString(const std::string& format);

  int ColAlignment(int col) const;
  void SetColAlignment(int col, int alignment);  // 0..9
  float ColWidth(int col) const;
  void SetColWidth(int col, float twips);        // -1 restores the default
  float RowHeight(int row) const;

  // Geometry of the current cell inside the grid, in twips.
  float CellLeft() const;
  float CellTop() const;
  float CellWidth() const { return ColWidth(col_); }
  float CellHeight() const { return RowHeight(row_); }

  void AddObserver(Observer* observer) { observers_.push_back(observer); }
  void RemoveObserver(Observer* observer);

  std::function<void()> onDblClick;
  std::function<void()> onLeaveCell;
  std::function<void()> onRowColChange;

  // Twips per character used to size a column to its caption.
  static constexpr float kCharWidth = 90;
  static constexpr float kDefaultColWidth = 975;
  // The most columns a grid holds: far more than a screen shows, and few
  // enough that a wrong number from a file cannot exhaust the memory.
  static constexpr int kMaxCols = 4096;
  static constexpr float kRowHeight = 240;

 private:
  void CheckCell(int row, int col) const;
  void CheckCol(int col) const;
  void MoveTo(int row, int col);
  void Reset();

  GridCells cells_;
  int cols_ = 2;
  int fixed_rows_ = 1;
  int fixed_cols_ = 0;
  int row_ = 1;
  int col_ = 0;
  std::vector<int> alignment_;
  std::vector<float> width_;
  std::string format_string_;
  std::vector<Observer*> observers_;
};

}  // namespace trovel
