// clsColumn: one column description of ctlTrovel2. It names the database
// field and table behind the column and carries its heading, display length,
// type, number format, visibility and the value of the last selected row.
//
// Caption, Longht, TypeData and Visible write through to the grid column
// named by Key (its leading decimal number, rounded half to even; 0 when Key
// does not start with a number). The index is read from Key at every write,
// so a later change of Key redirects later writes only. A failed grid write
// keeps the new value stored and is shown in a critical "Mensaje" box; it is
// never thrown.
//
// Columns are created only by clsColumns::Add; the grid reference is shared,
// not owned: a grid that is gone reads as unbound.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ctltrovel/TIPOC.h"
#include "platform/RefObject.h"

namespace trovel {

class FlexGrid;
class Host;

class clsColumn : public RefObject {
 public:
  // The grid column this column occupies, as a zero-based decimal number.
  // Plain data: reading or writing it has no side effect.
  std::string Key;

  const std::string& Table() const { return table_; }
  void Table(const std::string& v) { table_ = v; }
  const std::string& Field() const { return field_; }
  void Field(const std::string& v) { field_ = v; }
  const std::string& Value() const { return value_; }
  void Value(const std::string& v) { value_ = v; }
  const std::string& Format() const { return format_; }
  void Format(const std::string& v) { format_ = v; }

  // Stores the heading, then writes it into row 0 of the grid column.
  const std::string& Caption() const { return caption_; }
  void Caption(const std::string& v);
  // Stores the length in characters, then sizes the grid column.
  int16_t Longht() const { return longht_; }
  void Longht(int16_t v);
  // Stores the type unchecked, then right-aligns numbers, left-aligns others.
  TIPOC TypeData() const { return type_data_; }
  void TypeData(TIPOC v);
  // Stores the flag, then hides the grid column (width 0) or restores the
  // width of the stored length.
  bool Visible() const { return visible_; }
  void Visible(bool v);

 private:
  friend class clsColumns;
  friend class ctlTrovel2;
  friend struct ColumnsTestPeer;

  explicit clsColumn(Host* host) : host_(host) {}

  // An empty reference unbinds the column.
  void SetGrid(std::weak_ptr<FlexGrid> grid) { grid_ = std::move(grid); }
  // Twips per character; a negative or non-finite unit is refused with
  // Error::InvalidValue.
  void SetWidthUnit(float unit);
  // Sizes the grid column for `length` characters: (length + 3) units below
  // 50 characters, 53 units from 50 on, rounded to whole twips half to even.
  // Throws on failure; the caller reports it.
  void ApplyWidth(int16_t length);

  // The bound grid, or Error::ObjectNotSet.
  std::shared_ptr<FlexGrid> Grid() const;
  // The grid column Key addresses; Error::SubscriptOutOfRange when the
  // number does not fit a column number at all.
  int ColumnIndex() const;
  void Message(const std::string& text) const;

  Host* host_;
  std::weak_ptr<FlexGrid> grid_;
  float width_unit_ = 0;
  bool visible_ = true;
  int16_t longht_ = 0;
  std::string caption_;
  std::string field_;
  std::string table_;
  TIPOC type_data_ = ctvTEXT;
  std::string format_;
  std::string value_;
};

}  // namespace trovel
