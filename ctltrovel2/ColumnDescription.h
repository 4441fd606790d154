// ColumnDescription: one column of ctlTrovel2 as a form keeps it, the
// arguments of Columns.Add plus the format and visibility set afterwards.
// A form saves the list as JSON, one object per column in Add order:
//
//   [{"key": "0", "field": "codigo", "table": "articulos", "type": 0,
//     "caption": "Código", "length": 6, "skey": "", "format": "",
//     "visible": true}, ...]
//
// Every member may be left out and takes the value shown by the struct.
// "type" is a TIPOC (0 text, 1 number, 2 date).
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "ctltrovel/TIPOC.h"

namespace trovel {

class ctlTrovel2;

struct ColumnDescription {
  std::string key;
  std::string field;
  std::string table;
  TIPOC type = ctvTEXT;
  std::string caption;
  int16_t length = 0;
  std::string skey;  // the key in the collection; "" keys it by field
  std::string format;
  bool visible = true;

  bool operator==(const ColumnDescription&) const = default;

  // The list in `json`, checked as a whole: a member of the wrong type, a
  // type outside TIPOC, a length outside 16 bits or two columns under the
  // same collection key (letter case aside) throw Error naming the column,
  // and nothing is returned.
  static std::vector<ColumnDescription> FromJson(const nlohmann::json& json);
  // The same from JSON text; "" is the empty list.
  static std::vector<ColumnDescription> Parse(const std::string& text);
  // Members equal to their defaults are left out.
  static nlohmann::json ToJson(const std::vector<ColumnDescription>& columns);
  static std::string Text(const std::vector<ColumnDescription>& columns);

  // Adds `columns` to `control` with Columns.Add, as a host program does
  // after loading its form, then sets each column's format and visibility.
  // A column that Add refuses has been reported by Add and is skipped.
  // Throws Error::ObjectNotSet when the control has no collection.
  static void AddAll(ctlTrovel2& control, const std::vector<ColumnDescription>& columns);
};

}  // namespace trovel
