#include "platform/FlexGrid.h"

#include <algorithm>

#include "platform/Error.h"
#include "platform/Text.h"

namespace trovel {

FlexGrid::FlexGrid(std::string name) : Widget(std::move(name)), cells_(2) {
  cells_.Resize(2);
  alignment_.assign(static_cast<size_t>(cols_), 0);
  width_.assign(static_cast<size_t>(cols_), kDefaultColWidth);
}

void FlexGrid::Reset() {
  for (Observer* o : observers_) o->GridReset();
  NotifyChanged();
}

void FlexGrid::SetRows(int rows) {
  if (rows < 0) throw Error::InvalidValue(Name() + ".Rows");
  cells_.Resize(rows);
  if (fixed_rows_ > rows) fixed_rows_ = rows;
  if (row_ >= rows) row_ = std::max(rows - 1, 0);
  if (row_ < fixed_rows_ && fixed_rows_ < rows) row_ = fixed_rows_;
  Reset();
}

void FlexGrid::SetCols(int cols) {
  if (cols < 0 || cols > kMaxCols)
    throw Error::InvalidValue(Name() + ".Cols must be from 0 to " + std::to_string(kMaxCols));
  cells_.SetCols(cols);
  alignment_.resize(static_cast<size_t>(cols), 0);
  width_.resize(static_cast<size_t>(cols), kDefaultColWidth);
  cols_ = cols;
  if (fixed_cols_ > cols) fixed_cols_ = cols;
  if (col_ >= cols) col_ = std::max(cols - 1, 0);
  Reset();
}

void FlexGrid::SetFixedRows(int n) {
  if (n < 0 || (n > 0 && n >= Rows())) throw Error::InvalidValue(Name() + ".FixedRows");
  fixed_rows_ = n;
  if (row_ < n) row_ = n;
  Reset();
}

void FlexGrid::SetFixedCols(int n) {
  if (n < 0 || (n > 0 && n >= cols_)) throw Error::InvalidValue(Name() + ".FixedCols");
  fixed_cols_ = n;
  if (col_ < n) col_ = n;
  Reset();
}

void FlexGrid::CheckCol(int col) const {
  if (col < 0 || col >= cols_) throw Error::SubscriptOutOfRange(Name() + " column " + std::to_string(col));
}

void FlexGrid::CheckCell(int row, int col) const {
  if (row < 0 || row >= Rows()) throw Error::SubscriptOutOfRange(Name() + " row " + std::to_string(row));
  CheckCol(col);
}

void FlexGrid::MoveTo(int row, int col) {
  CheckCell(row, col);
  if (row == row_ && col == col_) return;
  if (onLeaveCell) onLeaveCell();
  row_ = row, col_ = col;
  NotifyChanged();
  if (onRowColChange) onRowColChange();
}

void FlexGrid::MoveWithin(int row, int col) {
  // Clamping needs a range whose low end is not above its high end.
  if (Rows() <= fixed_rows_ || cols_ <= fixed_cols_) return;
  MoveTo(std::clamp(row, fixed_rows_, Rows() - 1), std::clamp(col, fixed_cols_, cols_ - 1));
}

void FlexGrid::SetRow(int row) { MoveTo(row, col_); }
void FlexGrid::SetCol(int col) { MoveTo(row_, col); }

std::string FlexGrid::TextMatrix(int row, int col) const {
  CheckCell(row, col);
  return std::string(cells_.At(row, col));
}

void FlexGrid::SetTextMatrix(int row, int col, const std::string& text) {
  CheckCell(row, col);
  cells_.Set(row, col, text);
  for (Observer* o : observers_) o->CellChanged(row, col);
  NotifyChanged();
}

void FlexGrid::AddItem(const std::string& text) {
  cells_.AppendRow();
  const int last = Rows() - 1;
  const std::string_view parts(text);
  size_t start = 0;
  for (int c = 0; c < cols_; ++c) {
    size_t tab = parts.find('\t', start);
    cells_.Set(last, c, parts.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  for (Observer* o : observers_) o->RowsAppended(last, last);
}

void FlexGrid::AddRows(std::vector<std::string>& cells, int count) {
  if (count <= 0) return;
  const int first = Rows();
  for (int r = 0; r < count; ++r) cells_.AppendRow(cells.data() + static_cast<size_t>(r) * static_cast<size_t>(cols_));
  cells.clear();
  for (Observer* o : observers_) o->RowsAppended(first, Rows() - 1);
}

void FlexGrid::RemoveItem(int row) {
  if (row < 0 || row >= Rows()) throw Error::SubscriptOutOfRange(Name() + " row " + std::to_string(row));
  if (row < fixed_rows_ || Rows() - 1 <= fixed_rows_)
    throw Error(Error::kInvalidValue, "No se pueden quitar las filas fijas ni la última fila no fija");
  cells_.EraseRow(row);
  if (row_ >= Rows()) row_ = Rows() - 1;
  Reset();
}

void FlexGrid::SetFormatString(const std::string& format) {
  if (Rows() < 1) throw Error::InvalidValue(Name() + ".FormatString needs a header row");
  std::vector<std::string> sections;
  size_t start = 0;
  for (;;) {
    size_t bar = format.find('|', start);
    sections.push_back(format.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  SetCols(static_cast<int>(sections.size()));
  for (size_t c = 0; c < sections.size(); ++c) {
    std::string caption = sections[c];
    int alignment = alignment_[c];
    if (!caption.empty() && (caption[0] == '<' || caption[0] == '^' || caption[0] == '>')) {
      alignment = caption[0] == '<' ? 1 : caption[0] == '^' ? 4 : 7;
      caption.erase(0, 1);
    }
    cells_.Set(0, static_cast<int>(c), caption);
    alignment_[c] = alignment;
    width_[c] = kCharWidth * static_cast<float>(Text::Length(caption)) + 60;
  }
  format_string_ = format;
  Reset();
}

int FlexGrid::ColAlignment(int col) const {
  CheckCol(col);
  return alignment_[static_cast<size_t>(col)];
}

void FlexGrid::SetColAlignment(int col, int alignment) {
  CheckCol(col);
  if (alignment < 0 || alignment > 9) throw Error::InvalidValue(Name() + ".ColAlignment");
  alignment_[static_cast<size_t>(col)] = alignment;
  Reset();
}

float FlexGrid::ColWidth(int col) const {
  CheckCol(col);
  return width_[static_cast<size_t>(col)];
}

void FlexGrid::SetColWidth(int col, float twips) {
  CheckCol(col);
  if (twips < 0 && twips != -1) throw Error::InvalidValue(Name() + ".ColWidth");
  width_[static_cast<size_t>(col)] = twips == -1 ? kDefaultColWidth : twips;
  Reset();
}

float FlexGrid::RowHeight(int row) const {
  if (row < 0 || row >= Rows()) throw Error::SubscriptOutOfRange(Name() + " row " + std::to_string(row));
  return kRowHeight;
}

float FlexGrid::CellLeft() const {
  float left = 0;
  for (int c = 0; c < col_; ++c) left += width_[static_cast<size_t>(c)];
  return left;
}

float FlexGrid::CellTop() const { return kRowHeight * static_cast<float>(row_); }

void FlexGrid::RemoveObserver(Observer* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

}  // namespace trovel
