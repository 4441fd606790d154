#include "search/StatementText.h"

#include "platform/Text.h"

namespace trovel {

std::string StatementText::Start(const std::string& base, std::string& upper_base, bool& where_added) {
  upper_base = Text::Upper(base);
  where_added = upper_base.find("WHERE") == std::string::npos;
  return where_added ? upper_base + " where 1=1 " : upper_base;
}

std::string StatementText::Order(const std::string& order_by) {
  if (order_by.empty()) return "";
  if (Text::Upper(order_by).find("ORDER BY") != std::string::npos) return " " + order_by;
  return " ORDER BY " + order_by;
}

}  // namespace trovel
