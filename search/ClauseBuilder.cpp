#include "search/ClauseBuilder.h"

#include <utility>

#include "platform/DateTest.h"
#include "search/StatementText.h"

namespace trovel {

namespace {

SearchStatement::Test TestOf(std::string_view op) {
  if (op == "<") return SearchStatement::Test::kAtMost;
  if (op == ">") return SearchStatement::Test::kAtLeast;
  return SearchStatement::Test::kEqual;
}

}  // namespace

ClauseBuilder::ClauseBuilder(const std::string& base_statement) {
  statement_.text = StatementText::Start(base_statement, statement_.base, statement_.where_added);
  // Room for a few clauses, so that appending them seldom moves the text.
  statement_.text.reserve(statement_.text.size() + 256);
}

void ClauseBuilder::And(std::string_view field) {
  std::string& sql = statement_.text;
  sql += " and ";
  sql += field;
  field_ = field;
}

void ClauseBuilder::Like(std::string_view pattern) {
  std::string& sql = statement_.text;
  sql += " like '";
  sql += pattern;
  sql += '\'';
  statement_.conditions.push_back(
      {field_, SearchStatement::Test::kLike, SearchStatement::Kind::kText, std::string(pattern)});
}

void ClauseBuilder::Operator(std::string_view op, SearchStatement::Kind kind) {
  std::string& sql = statement_.text;
  sql += ' ';
  sql += op;
  sql += "= ";
  statement_.conditions.push_back({field_, TestOf(op), kind, std::string()});
}

void ClauseBuilder::Compare(std::string_view op, std::string_view value) {
  Operator(op, SearchStatement::Kind::kNumber);
  statement_.text += value;
  statement_.conditions.back().value = value;
}

void ClauseBuilder::CompareDate(std::string_view op, std::string_view delimiter, const std::string& date,
                                DayMonth order) {
  Operator(op, SearchStatement::Kind::kDate);
  std::string& value = statement_.conditions.back().value;
  value = order == DayMonth::kSwapped ? DateTest::SwapDayAndMonth(date) : date;
  std::string& sql = statement_.text;
  sql += delimiter;
  sql += value;
  sql += delimiter;
}

SearchStatement ClauseBuilder::Finish(const std::string& order_by) {
  statement_.order = StatementText::Order(order_by);
  statement_.text += statement_.order;
  return std::move(statement_);
}

}  // namespace trovel
