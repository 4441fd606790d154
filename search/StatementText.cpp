#include "search/StatementText.h"

#include "platform/Text.h"

namespace trovel {

std::string StatementText::Start(const std::string& base) {
  std::string sql = Text::Upper(base);
  if (sql.find("WHERE") == std::string::npos) sql += " where 1=1 ";
  return sql;
}

std::string StatementText::Order(const std::string& order_by) {
  if (order_by.empty()) return "";
  if (Text::Upper(order_by).find("ORDER BY") != std::string::npos) return " " + order_by;
  return " ORDER BY " + order_by;
}

}  // namespace trovel
