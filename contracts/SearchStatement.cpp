#include "contracts/SearchStatement.h"

#include <cstdio>

#include "platform/DateTest.h"
#include "platform/Error.h"

namespace trovel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// An optional sign, digits, at most one decimal point with digits on at
// least one side: a literal that every SQL dialect reads as that number and
// as nothing else.
bool IsPlainNumber(const std::string& text) {
  size_t at = text.empty() || (text[0] != '+' && text[0] != '-') ? 0 : 1;
  size_t digits = 0;
  bool point = false;
  for (; at < text.size(); ++at) {
    if (IsDigit(text[at])) {
      ++digits;
    } else if (text[at] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits > 0;
}

}  // namespace

const std::string& SearchStatement::Condition::Number() const {
  if (!IsPlainNumber(value))
    throw Error(Error::kTypeMismatch, "El filtro de " + field + " no es un número: \"" + value + "\"");
  return value;
}

DateTime SearchStatement::Condition::Date() const {
  DateTime date;
  if (!DateTest::ReadMonthFirst(value, date))
    throw Error(Error::kTypeMismatch, "El filtro de " + field + " no es una fecha válida: \"" + value + "\"");
  return date;
}

std::string SearchStatement::Condition::IsoDate() const {
  const DateTime d = Date();
  char iso[16];
  std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", d.year, d.month, d.day);
  return iso;
}

const char* SearchStatement::Condition::Operator() const {
  switch (test) {
    case Test::kAtMost: return "<=";
    case Test::kAtLeast: return ">=";
    default: return "=";
  }
}

std::string SearchStatement::Render(std::string_view base_sql, const ConditionWriter& write) const {
  std::string sql;
  sql.reserve(base_sql.size() + order.size() + 64 * (conditions.size() + 1));
  sql += base_sql;
  sql += '\n';
  if (where_added) sql += " where 1=1 ";
  for (const Condition& condition : conditions) {
    sql += " and ";
    write(condition, sql);
  }
  sql += order;
  return sql;
}

std::string SearchStatement::StandardText() const {
  return Render(base, [](const Condition& c, std::string& out) {
    out += c.field;
    switch (c.kind) {
      case Kind::kText:
        out += " like '";
        for (char ch : c.value) {
          out += ch;
          if (ch == '\'') out += ch;
        }
        out += '\'';
        return;
      case Kind::kNumber:
        ((out += ' ') += c.Operator()) += ' ';
        out += c.Number();
        return;
      case Kind::kDate:
        ((out += ' ') += c.Operator()) += " DATE '";
        (out += c.IsoDate()) += '\'';
        return;
    }
  });
}

}  // namespace trovel
