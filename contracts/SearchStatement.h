// SearchStatement: one read of a search control, as data.
//
// A control builds its statement as text (the upper-cased base statement,
// " where 1=1 " when the base holds no WHERE, one " and FIELD ..." clause per
// filled filter, the order part), and that text is what it shows and logs.
// It hands the connection the same statement in parts: the base, whether
// " where 1=1 " follows it, each filter as a typed condition (the field as
// the developer named it, the comparison, the value as the user typed it)
// and the order part. A connection renders the conditions in its own
// dialect with every typed value bound as a parameter or checked to be a
// plain number or date, so that nothing a user types or pastes is ever read
// as SQL. What the developer wrote (base, fields, order) is trusted text.
//
// Render() joins the parts in the order of the text; each backend writes
// only its conditions. StandardText() is the rendering for a connection
// that takes text only: values written as standard SQL literals.
//
// Thread-safety: a value type; distinct objects may be used from any thread.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DateTime.h"

namespace trovel {

class SearchStatement {
 public:
  // How a condition compares its field with its value.
  enum class Test { kLike, kEqual, kAtMost, kAtLeast };
  // What the value is, by the column's type.
  enum class Kind { kText, kNumber, kDate };

  struct Condition {
    std::string field;  // as the developer wrote it ("cli.nombre")
    Test test = Test::kEqual;
    Kind kind = Kind::kText;
    // The value as it stands in the statement's text: the LIKE pattern, the
    // number, or the date month first (m/d/yyyy) or year first.
    std::string value;

    // The number in `value`, as a plain numeric literal (an optional sign,
    // digits, at most one decimal point). Throws Error (Error::kTypeMismatch)
    // naming the field when `value` is anything else.
    // REQUIRES: kind == Kind::kNumber.
    const std::string& Number() const;
    // The date in `value`, at midnight. Throws Error (Error::kTypeMismatch)
    // naming the field when it names no day that exists.
    // REQUIRES: kind == Kind::kDate.
    DateTime Date() const;
    // Date() as "yyyy-mm-dd". Throws what Date() throws.
    std::string IsoDate() const;
    // "<=", ">=" or "=", as the test compares.
    const char* Operator() const;
  };

  std::string base;          // the base statement, upper-cased
  bool where_added = false;  // " where 1=1 " follows the base
  std::vector<Condition> conditions;
  std::string order;         // the order part, "" or starting with a blank
  std::string text;          // the whole statement as the control built it

  // Writes one condition, from its field on, into `out`, values bound or
  // checked: say "nombre like ?" with the pattern bound by the caller.
  using ConditionWriter = std::function<void(const Condition& condition, std::string& out)>;

  // The statement to run: `base_sql` (the base as the backend reads it),
  // then on a line of its own (so that a line comment at the base's end
  // never swallows a filter) " where 1=1 " where the text has it, " and "
  // and each condition as `write` writes it, and the order part.
  std::string Render(std::string_view base_sql, const ConditionWriter& write) const;

  // The statement for a connection that takes text only: a pattern as a
  // quoted literal (each ' doubled), a number as checked, a date as
  // DATE 'yyyy-mm-dd'. Throws what Number() and Date() throw.
  std::string StandardText() const;
};

}  // namespace trovel
