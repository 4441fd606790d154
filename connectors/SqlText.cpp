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
bool SameWord(std::string_view word, std::string_view upper) { return AsciiCase::Same(upper, word); }

// Reads the digits of `part` into `value`; false when it is empty or longer
// than `max_digits`.
bool ReadNumber(std::string_view part, size_t max_digits, int& value) {
  if (part.empty() || part.size() > max_digits) return false;
  value = 0;
  for (char c : part) {
    if (!IsDigit(c)) return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

// Turns the body of a date literal (between the "#") into y, m, d: either
// m/d/y (the form the controls write) or yyyy-mm-dd. False when the body is
// not a date that can exist.
bool ParseDateBody(std::string_view body, int& y, int& m, int& d) {
  char sep = body.find('/') != std::string_view::npos ? '/' : '-';
  size_t a = body.find(sep), b = a == std::string_view::npos ? a : body.find(sep, a + 1);
  if (b == std::string_view::npos || body.find(sep, b + 1) != std::string_view::npos) return false;
  std::string_view p1 = body.substr(0, a), p2 = body.substr(a + 1, b - a - 1), p3 = body.substr(b + 1);
  bool ok = sep == '/' ? ReadNumber(p1, 2, m) && ReadNumber(p2, 2, d) && ReadNumber(p3, 4, y)
                       : p1.size() == 4 && ReadNumber(p1, 4, y) && ReadNumber(p2, 2, m) && ReadNumber(p3, 2, d);
  if (!ok) return false;
  if (sep == '/' && p3.size() <= 2) y += y < 30 ? 2000 : 1900;
  return y >= 1 && m >= 1 && m <= 12 && d >= 1 && d <= DateTest::DaysInMonth(y, m);
}

class Reader {
 public:
  Reader(std::string_view in, SqlText::Dialect dialect)
      : in_(in), pg_(dialect == SqlText::Dialect::kPostgres) {
    out_.text.reserve(in.size() + 16);
  }

  SqlText Read() {
    while (at_ < in_.size()) Step();
    FinishPattern(true);
    if (!ended_) out_.first_length = out_.text.size();
    if (!head_found_) out_.head_length = out_.first_length;
    return std::move(out_);
  }

 private:
  void Step() {
    char c = in_[at_];
    char next = at_ + 1 < in_.size() ? in_[at_ + 1] : '\0';
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f') return Copy(1);
    if (c == '-' && next == '-') return Copy(Until("\n", at_ + 2, true));
    if (c == '/' && next == '*') return Copy(BlockComment());
    Significant(c);
    if (c == '\'') return Literal(false);
    if (c == '"') return Copy(Quoted('"', at_ + 1));
    if (c == '`') return Copy(Quoted('`', at_ + 1));
    if (c == '[') return Copy(Until("]", at_ + 1, true));
    if (c == '$' && pg_ && DollarQuote()) return;
    if (c == '#' && DateLiteral()) return;
    if (IsWordStart(c)) return Word();
    if (c == '(') ++depth_;
    if (c == ')' && depth_ > 0) --depth_;
    if (c == ';' && !ended_) {
      ended_ = true;
      out_.first_length = out_.text.size();
    }
    Copy(IsDigit(c) ? Run(IsWordChar) : 1);
  }

  // Called at the start of every token that is not a blank or a comment.
  void Significant(char c) {
    if (like_ == kAfterPattern) {
      // A plain pattern ends here; PostgreSQL would read "\" in it as an
      // escape unless we say there is none. Only before a token that cannot
      // continue the pattern's expression, and not when the statement names
      // an escape (or a collation) itself.
      bool word = IsWordStart(c);
      std::string_view w = word ? in_.substr(at_, Run(IsWordChar)) : std::string_view();
      bool ends = c == ')' || c == ',' || c == ';' || (word && !SameWord(w, "ESCAPE") && !SameWord(w, "COLLATE"));
      FinishPattern(ends);
    } else if (like_ == kAfterLike && c != '\'') {
      like_ = kNone;
    }
    if (ended_ && !rest_found_ && c != ';') {
      rest_found_ = true;
      out_.rest = std::string(in_.substr(at_));
    }
    if (!ended_ && !word_found_ && c != '(' && c != ';') {
      word_found_ = true;
      out_.first_word = IsWordStart(c) ? AsciiCase::Upper(in_.substr(at_, Run(IsWordChar))) : std::string(1, c);
    }
  }

  void FinishPattern(bool insert_escape) {
    if (like_ == kAfterPattern && insert_escape) out_.text.insert(pattern_end_, " ESCAPE ''");
    like_ = kNone;
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

  void Literal(bool backslash) {
    Copy(Quoted('\'', at_ + 1, backslash));
    if (like_ == kAfterLike) {
      like_ = backslash ? kNone : kAfterPattern;
      pattern_end_ = out_.text.size();
    }
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
    like_ = kNone;
    return true;
  }

  // A "#" that opens a run of digits with "/" or "-" up to the next "#" is a
  // date literal; anything else after "#" is left to the backend.
  bool DateLiteral() {
    size_t j = at_ + 1;
    bool shaped = false;
    while (j < in_.size() && j - at_ <= 16 && (IsDigit(in_[j]) || in_[j] == '/' || in_[j] == '-')) {
      shaped |= !IsDigit(in_[j]);
      ++j;
    }
    if (!shaped || j >= in_.size() || in_[j] != '#' || !IsDigit(in_[at_ + 1])) return false;
    std::string_view literal = in_.substr(at_, j + 1 - at_);
    int y = 0, m = 0, d = 0;
    if (!ParseDateBody(literal.substr(1, literal.size() - 2), y, m, d))
      throw Error(Error::kDatabase, "impossible date " + std::string(literal) +
                                        ": dates are written month/day/year, as #12/25/2001#");
    char iso[32];
    std::snprintf(iso, sizeof iso, "'%04d-%02d-%02d'", y, m, d);
    if (pg_) out_.text += !out_.text.empty() && IsWordChar(out_.text.back()) ? " DATE " : "DATE ";
    out_.text += iso;
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
    if (pg_ && SameWord(word, "LIKE")) {
      out_.text += word[0] == 'l' ? "i" : "I";
      like_ = kAfterLike;
    }
    if (!ended_ && !head_found_ && depth_ == 0 && SameWord(word, "WHERE")) {
      head_found_ = true;
      out_.head_length = out_.text.size();
    }
    Copy(n);
  }

  enum LikeState { kNone, kAfterLike, kAfterPattern };

  std::string_view in_;
  bool pg_;
  size_t at_ = 0;
  SqlText out_;
  bool ended_ = false;        // the first statement's ";" was read
  bool rest_found_ = false;   // `rest` is set
  bool word_found_ = false;   // `first_word` is set
  LikeState like_ = kNone;
  bool head_found_ = false;   // `head_length` is set
  size_t depth_ = 0;          // open parentheses of the first statement
  size_t pattern_end_ = 0;    // where ESCAPE '' goes in the output
};

}  // namespace

SqlText SqlText::Read(std::string_view sql, Dialect dialect) { return Reader(sql, dialect).Read(); }

}  // namespace trovel
