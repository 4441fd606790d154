#include "search/ClauseBuilder.h"

#include <utility>

#include "platform/DateTest.h"
#include "search/StatementText.h"

namespace trovel {

ClauseBuilder::ClauseBuilder(const std::string& base_statement) : sql_(StatementText::Start(base_statement)) {
  // Room for a few clauses, so that appending them seldom moves the text.
  sql_.reserve(sql_.size() + 256);
}

void ClauseBuilder::And(std::string_view field) {
  sql_ += " and ";
  sql_ += field;
}

void ClauseBuilder::Like(std::string_view pattern) {
  sql_ += " like '";
  sql_ += pattern;
  sql_ += '\'';
}

void ClauseBuilder::Operator(std::string_view op) {
  sql_ += ' ';
  sql_ += op;
  sql_ += "= ";
}

void ClauseBuilder::Compare(std::string_view op, std::string_view value) {
  Operator(op);
  sql_ += value;
}

void ClauseBuilder::CompareDate(std::string_view op, std::string_view delimiter, const std::string& date,
                                DayMonth order) {
  Operator(op);
  sql_ += delimiter;
  sql_ += order == DayMonth::kSwapped ? DateTest::SwapDayAndMonth(date) : date;
  sql_ += delimiter;
}

std::string ClauseBuilder::Finish(const std::string& order_by) {
  sql_ += StatementText::Order(order_by);
  return std::move(sql_);
}

}  // namespace trovel
