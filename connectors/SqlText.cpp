#include "connectors/SqlText.h"

#include <cstdio>

#include "connectors/AsciiCase.h"
#include "platform/DateTest.h"
#include "platform/Error.h"

namespace trovel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordStart(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || u >= 0x80;
}
bool IsWordChar(char c) { return IsWordStart(c) || IsDigit(c) || c == '$'; }

class Reader {
 public:
  Reader(std::string_view in, SqlText::Dialect dialect)
      : in_(in), dialect_(dialect), pg_(dialect == SqlText::Dialect::kPostgres) {
    out_.text.reserve(in.size() + 16);
  }

  SqlText Read() {
    while (at_ < in_.size()) Step();
    if (!ended_) out_.first_length = out_.text.size();
    return std::move(out_);
  }

 private:
  void Step() {
    char c = in_[at_];
    char next = at_ + 1 < in_.size() ? in_[at_ + 1] : '\0';
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f') return Copy(1);
    if (c == '-' && next == '-') return Copy(Until("\n", at_ + 2, true));
    if (c == '/' && next == '*') return Copy(BlockComment());
    if (c == '#' && dialect_ == SqlText::Dialect::kMariaDb && DateEnd() == 0) return Copy(Until("\n", at_ + 1, true));
    Significant(c);
    if (c == '\'') return Literal(false);
    if (c == '"') return QuotedName();
    if (c == '`') return Copy(Quoted('`', at_ + 1));
    if (c == '[') return Copy(Until("]", at_ + 1, true));
    if (c == '$' && pg_ && DollarQuote()) return;
    if (c == '#' && DateLiteral()) return;
    if (IsWordStart(c)) return Word();
    if (c == ';' && !ended_) {
      ended_ = true;
      out_.first_length = out_.text.size();
    }
    Copy(IsDigit(c) ? Run(IsWordChar) : 1);
  }

  // Called at the start of every token that is not a blank or a comment.
  void Significant(char c) {
    if (ended_ && !rest_found_ && c != ';') {
      rest_found_ = true;
      out_.rest = std::string(in_.substr(at_));
    }
    if (!ended_ && !word_found_ && c != '(' && c != ';') {
      word_found_ = true;
      out_.first_word = IsWordStart(c) ? AsciiCase::Upper(in_.substr(at_, Run(IsWordChar))) : std::string(1, c);
    }
  }

  void Copy(size_t n) {
    out_.text.append(in_.substr(at_, n));
    at_ += n;
  }

  // Length from at_ of the run of characters that satisfy `pred`.
  template <typename Pred>
  size_t Run(Pred pred) const {
    size_t j = at_;
    while (j < in_.size() && pred(in_[j])) ++j;
    return j - at_;
  }

  // Length from at_ up to and including `end` searched from `from`, or to the
  // end of the input when it never comes (the backend then reports the
  // unterminated token).
  size_t Until(std::string_view end, size_t from, bool inclusive) const {
    size_t j = in_.find(end, from);
    if (j == std::string_view::npos) return in_.size() - at_;
    return j + (inclusive ? end.size() : 0) - at_;
  }

  // Length of a quoted token opened at at_ by `quote`, a doubled quote
  // standing for one; with `backslash`, "\" escapes the next character.
  size_t Quoted(char quote, size_t j, bool backslash = false) const {
    while (j < in_.size()) {
      char c = in_[j];
      if (backslash && c == '\\') {
        j += 2;
      } else if (c == quote) {
        if (j + 1 < in_.size() && in_[j + 1] == quote) {
          j += 2;
        } else {
          return j + 1 - at_;
        }
      } else {
        ++j;
      }
    }
    return in_.size() - at_;
  }

  void Literal(bool backslash) { Copy(Quoted('\'', at_ + 1, backslash)); }

  // A "..." name; those of the first statement are noted.
  void QuotedName() {
    const size_t n = Quoted('"', at_ + 1);
    if (!ended_) out_.quoted_names.push_back({out_.text.size(), n});
    Copy(n);
  }

  // SQLite's comments end at the first "*/"; PostgreSQL's nest.
  size_t BlockComment() const {
    size_t j = at_ + 2;
    int depth = 1;
    while (j < in_.size()) {
      if (in_[j] == '*' && j + 1 < in_.size() && in_[j + 1] == '/') {
        j += 2;
        if (--depth == 0 || !pg_) return j - at_;
      } else if (pg_ && in_[j] == '/' && j + 1 < in_.size() && in_[j + 1] == '*') {
        j += 2;
        ++depth;
      } else {
        ++j;
      }
    }
    return in_.size() - at_;
  }

  // $tag$...$tag$ on PostgreSQL. "$" inside a word belongs to the word and
  // "$1" is a parameter, so neither opens one.
  bool DollarQuote() {
    size_t j = at_ + 1;
    if (j < in_.size() && IsDigit(in_[j])) return false;
    while (j < in_.size() && IsWordChar(in_[j]) && in_[j] != '$') ++j;
    if (j >= in_.size() || in_[j] != '$') return false;
    std::string_view tag = in_.substr(at_, j + 1 - at_);
    Copy(Until(tag, j + 1, true));
    return true;
  }

  // Where the closing "#" of a date literal opened at at_ stands; 0 when
  // none is.
  size_t DateEnd() const {
    size_t j = at_ + 1;
    bool shaped = false;
    while (j < in_.size() && j - at_ <= 16 && (IsDigit(in_[j]) || in_[j] == '/' || in_[j] == '-')) {
      shaped |= !IsDigit(in_[j]);
      ++j;
    }
    if (!shaped || j >= in_.size() || in_[j] != '#' || !IsDigit(in_[at_ + 1])) return 0;
    return j;
  }

  // A "#" that opens a run of digits with "/" or "-" up to the next "#" is a
  // date literal; anything else after "#" is left to the backend.
  bool DateLiteral() {
    const size_t j = DateEnd();
    if (j == 0) return false;
    std::string_view literal = in_.substr(at_, j + 1 - at_);
    DateTime date;
    if (!DateTest::ReadMonthFirst(literal.substr(1, literal.size() - 2), date))
      throw Error(Error::kDatabase, "La fecha " + std::string(literal) +
                                        " no existe: las fechas se escriben mes/día/año, como #12/25/2001#");
    char iso[32];
    std::snprintf(iso, sizeof iso, "'%04d-%02d-%02d'", date.year, date.month, date.day);
    const bool date_keyword = pg_ || dialect_ == SqlText::Dialect::kMariaDb;
    if (date_keyword) out_.text += !out_.text.empty() && IsWordChar(out_.text.back()) ? " DATE " : "DATE ";
    if (dialect_ == SqlText::Dialect::kOdbc) out_.text += "{d ";
    out_.text += iso;
    if (dialect_ == SqlText::Dialect::kOdbc) out_.text += '}';
    at_ = j + 1;
    return true;
  }

  void Word() {
    size_t n = Run(IsWordChar);
    std::string_view word = in_.substr(at_, n);
    bool escaped_literal = pg_ && n == 1 && (word[0] == 'E' || word[0] == 'e') && at_ + 1 < in_.size() &&
                           in_[at_ + 1] == '\'';
    if (escaped_literal) {
      Copy(1);
      return Literal(true);
    }
    Copy(n);
  }

  std::string_view in_;
  SqlText::Dialect dialect_;
  bool pg_;
  size_t at_ = 0;
  SqlText out_;
  bool ended_ = false;        // the first statement's ";" was read
  bool rest_found_ = false;   // `rest` is set
  bool word_found_ = false;   // `first_word` is set
};

}  // namespace

SqlText SqlText::Read(std::string_view sql, Dialect dialect) { return Reader(sql, dialect).Read(); }

std::string SqlText::Unquoted(std::string_view quoted) {
  std::string name;
  for (size_t i = 1; i + 1 < quoted.size(); ++i) {
    name += quoted[i];
    if (quoted[i] == '"') ++i;  // a doubled quote stands for one
  }
  return name;
}

}  // namespace trovel
