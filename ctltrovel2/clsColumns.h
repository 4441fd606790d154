// clsColumns: the ordered, keyed collection of column descriptions behind
// ctlTrovel2 ("Columnas de Consulta"). Positions count from 1 in insertion
// order; keys are unique and compare without regard to letter case.
//
// Only ctlTrovel2 creates a collection, binds it to its result grid and sets
// the width of one character; Add hands both to each new column, so later
// changes reach only columns added afterwards. The grid reference is shared,
// not owned.
//
// Add and Item report their failures in a critical "Mensaje" box and return
// null; Count, Remove and iteration leave failures to the caller.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ctltrovel/TIPOC.h"
#include "ctltrovel2/clsColumn.h"
#include "platform/RefObject.h"
#include "platform/Variant.h"

namespace trovel {

class FlexGrid;
class Host;

class clsColumns : public RefObject {
 public:
  using const_iterator = std::vector<std::shared_ptr<clsColumn>>::const_iterator;

  // Widens the grid by one column, describes that column (Key names its grid
  // column) and appends it under sKey, or under Field when sKey is empty.
  // Failures of the heading, alignment and width writes are shown by the
  // column and Add goes on; any other failure is shown here and gives null,
  // leaving the list as it was (grid changes already made stay).
  std::shared_ptr<clsColumn> Add(const std::string& Key, const std::string& Field, const std::string& Table,
                                 TIPOC TypeData, const std::string& Caption, int16_t Longht,
                                 const std::string& sKey = "");
  // A numeric index is a position from 1 (rounded half to even); a text
  // index is a key. Any other index, a position outside 1..Count() or an
  // absent key is shown as a failure and gives null.
  std::shared_ptr<clsColumn> Item(const Variant& vntIndexKey);
  std::shared_ptr<clsColumn> operator[](const Variant& vntIndexKey) { return Item(vntIndexKey); }
  int32_t Count() const { return static_cast<int32_t>(columns_.size()); }
  // Drops one entry, by position or key; the grid and the other columns stay
  // as they are. Throws Error for an index that names no entry.
  void Remove(const Variant& vntIndexKey);

  // The columns in list order. Add and Remove invalidate the iterators.
  const_iterator begin() const { return columns_.begin(); }
  const_iterator end() const { return columns_.end(); }

 private:
  friend class ctlTrovel2;
  friend struct ColumnsTestPeer;

  explicit clsColumns(Host* host) : host_(host) {}
  // A new, empty, unbound collection whose messages go to `host`; a null
  // host is refused with Error::ObjectNotSet.
  static std::shared_ptr<clsColumns> Create(Host* host);

  // An empty reference unbinds the collection.
  void SetGrid(std::weak_ptr<FlexGrid> grid) { grid_ = std::move(grid); }
  // Twips per character; a negative or non-finite unit is refused with
  // Error::InvalidValue.
  void SetWidthUnit(float unit);

  // The zero-based list index that vntIndexKey names, or Error.
  std::size_t IndexOf(const Variant& vntIndexKey) const;

  Host* host_;
  // Parallel lists: the column at i is stored under the key folded_keys_[i],
  // kept upper-cased for case-blind comparison. Collections hold a handful
  // of columns, so a linear search is enough.
  std::vector<std::shared_ptr<clsColumn>> columns_;
  std::vector<std::string> folded_keys_;
  std::weak_ptr<FlexGrid> grid_;
  float width_unit_ = 0;
};

}  // namespace trovel
