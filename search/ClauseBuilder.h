// ClauseBuilder: one search statement, built as text and as data at once:
// the start from the base statement (StatementText::Start), one
// " and FIELD" clause per filled filter followed by its condition, then the
// order part. Both search controls build their statements with it; each
// decides which clauses its filters make.
//
// The text is the statement as the control shows it: filter texts stand in
// it as the user typed them, apostrophes included. The same statement goes
// to the connection as a SearchStatement, each filter a typed condition,
// and the connection binds the values: the text is never run as it stands.
//
// Thread-safety: none; a builder serves one statement.
#pragma once

#include <string>
#include <string_view>

#include "contracts/SearchStatement.h"

namespace trovel {

class ClauseBuilder {
 public:
  // Whether a date goes out as typed or with its day and month swapped
  // (DateTest::SwapDayAndMonth), for a database that reads month first.
  enum class DayMonth { kAsTyped, kSwapped };

  explicit ClauseBuilder(const std::string& base_statement);
  ClauseBuilder(const ClauseBuilder&) = delete;
  ClauseBuilder& operator=(const ClauseBuilder&) = delete;

  // Appends " and FIELD", the start of a clause.
  void And(std::string_view field);
  // Append the condition of the clause just started:
  // " like 'PATTERN'";
  void Like(std::string_view pattern);
  // " OP= VALUE", where op is "", "<" or ">";
  void Compare(std::string_view op, std::string_view value);
  // " OP= D DATE D", D being the date delimiter.
  void CompareDate(std::string_view op, std::string_view delimiter, const std::string& date, DayMonth order);

  // The statement with the order part of `order_by` (StatementText::Order)
  // at its end. The builder is left empty.
  SearchStatement Finish(const std::string& order_by);

 private:
  // Appends " OP= " and starts the clause's condition.
  void Operator(std::string_view op, SearchStatement::Kind kind);

  SearchStatement statement_;
  std::string field_;  // the field of the clause just started
};

}  // namespace trovel
