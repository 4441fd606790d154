// StatementText: the parts of the SQL text that both search controls build
// the same way: the start from the base statement and the order part.
#pragma once

#include <string>

namespace trovel {

struct StatementText {
  // The base statement, all upper-cased (literals included), followed by
  // " where 1=1 " unless the letters WHERE occur anywhere in it, so that
  // every filter can follow as " and ...". `base` receives the upper-cased
  // base alone, `where_added` whether " where 1=1 " followed it.
  static std::string Start(const std::string& base, std::string& upper_base, bool& where_added);
  // "" for an empty order; " " + order_by when it holds "ORDER BY" in any
  // letter case; " ORDER BY " + order_by otherwise. order_by is not
  // upper-cased.
  static std::string Order(const std::string& order_by);
};

}  // namespace trovel
