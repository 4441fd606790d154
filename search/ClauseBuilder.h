// ClauseBuilder: the text of one search statement, built in one string: the
// start from the base statement (StatementText::Start), one " and FIELD"
// clause per filled filter followed by its condition, then the order part. Both search controls build
// their statements with it; each decides which clauses its filters make.
//
// Filter texts go in as the user typed them, apostrophes included: the
// connection that runs the statement is the guard (its read scope, its
// case-blind LIKE and its reading of date literals), not this builder.
//
// Thread-safety: none; a builder serves one statement.
#pragma once

#include <string>
#include <string_view>

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
  std::string Finish(const std::string& order_by);

 private:
  // Appends " OP= ".
  void Operator(std::string_view op);

  std::string sql_;
};

}  // namespace trovel
