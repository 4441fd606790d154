#include "connectors/OdbcConnection.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>

#include "connectors/NamedFields.h"
#include "connectors/OdbcAddress.h"
#include "connectors/OdbcDialect.h"
#include "connectors/OdbcText.h"
#include "connectors/OdbcWait.h"
#include "connectors/OdbcWindow.h"
#include "connectors/ReadHold.h"
#include "connectors/ReadRefusal.h"
#include "connectors/SqlText.h"
#include "platform/Decimal.h"
#include "platform/Error.h"

namespace trovel {

namespace {

// A driver's account of a failed connection without the places it names:
// drivers quote the socket, host or library they tried ("Can't connect to
// local server through socket '/run/mysqld/mysqld.sock' (2)"), and where the
// server lives is no business of the user's.
std::string Unplaced(const std::string& text) {
  // A quoted name opens after a blank (not "Can't") and closes before a
  // blank, a bracket or punctuation.
  auto closes = [&](size_t at) { return at + 1 == text.size() || std::strchr(" ),.:;", text[at + 1]) != nullptr; };
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char quote = text[i];
    size_t end = std::string::npos;
    if ((quote == '\'' || quote == '"') && (i == 0 || text[i - 1] == ' ' || text[i - 1] == '(')) {
      for (end = text.find(quote, i + 1); end != std::string::npos && !closes(end); end = text.find(quote, end + 1)) {
      }
    }
    if (end == std::string::npos) {
      out += quote;
      continue;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    i = end;
  }
  return out;
}

using Wide = OdbcText::Wide;

// The first block of the controls is 51 rows, and a 52nd tells them that
// more remain: the first fetch brings exactly that. Later pages come 256
// rows to a fetch, which keeps the arrays of a wide row under a few
// hundred kilobytes.
constexpr SQLULEN kFirstBatch = 52;
constexpr SQLULEN kLaterBatch = 256;
// Text columns that may hold more characters than this are read whole with
// SQLGetData, a row at a time, rather than bound into arrays.
constexpr SQLULEN kLongText = 1024;
// Idle driver connections kept for the next reads.
constexpr size_t kIdleKept = 4;
// How long a driver may take to connect.
constexpr SQLULEN kLoginSeconds = 10;

struct Diagnostic {
  std::string state;
  SQLINTEGER native = 0;
  std::string text;
};

// The driver's account of a failure: the state and native code of its
// first record and the messages of the first three, without the
// "[vendor][driver]" prefixes.
Diagnostic Diagnose(SQLSMALLINT type, SQLHANDLE handle) {
  Diagnostic d;
  for (SQLSMALLINT i = 1; i <= 3; ++i) {
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLWCHAR message[1024];
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetDiagRecW(type, handle, i, state, &native, message, 1024, &length))) break;
    std::string text = OdbcText::ToUtf8(message, static_cast<size_t>(std::clamp<SQLSMALLINT>(length, 0, 1023)));
    while (text.size() > 1 && text[0] == '[' && text.find(']') != std::string::npos) text.erase(0, text.find(']') + 1);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    if (i == 1) {
      d.state = OdbcText::ToUtf8(state, 5);
      d.native = native;
    }
    if (text.empty() || d.text.find(text) != std::string::npos) continue;
    if (!d.text.empty()) d.text += ". ";
    d.text += text;
  }
  if (d.text.empty()) d.text = "el controlador ODBC no dijo por qué (estado " + (d.state.empty() ? "?" : d.state) + ")";
  return d;
}

// A statement ended by its time limit: the query timeout (HYT00), MariaDB's
// max_statement_time (1969; MySQL's 3024), PostgreSQL's statement_timeout.
bool TimedOut(const Diagnostic& d) {
  return d.state == "HYT00" || d.state == "HYT01" || d.state == "70100" || d.state == "57014" || d.native == 1969 ||
         d.native == 3024;
}

// A failure that tells of the connection itself: the communication link
// (class 08), MariaDB's "server has gone away" and "lost connection".
bool TellsOfLostLink(const Diagnostic& d) {
  return d.state.compare(0, 2, "08") == 0 || d.native == 2006 || d.native == 2013 || d.native == 2055 ||
         d.text.find("server closed the connection") != std::string::npos ||
         d.text.find("no connection to the server") != std::string::npos ||
         d.text.find("Could not send Query") != std::string::npos;
}

bool IsQuery(const std::string& first_word) {
  for (const char* word : {"SELECT", "WITH", "VALUES", "TABLE"})
    if (first_word == word) return true;
  return false;
}

std::string Info(SQLHDBC dbc, SQLUSMALLINT what) {
  SQLWCHAR text[256] = {};
  SQLSMALLINT bytes = 0;
  if (!SQL_SUCCEEDED(SQLGetInfoW(dbc, what, text, sizeof text, &bytes))) return "";
  return OdbcText::ToUtf8(text, std::min<size_t>(static_cast<size_t>(std::max<SQLSMALLINT>(bytes, 0)) / sizeof(SQLWCHAR), 255));
}

// The environment of the driver manager, shared by a session's driver
// connections, which it must outlive.
struct Env {
  Env() {
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handle)))
      throw Error(Error::kDatabase, "no se pudo iniciar el gestor de controladores ODBC");
    SQLSetEnvAttr(handle, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  }
  ~Env() { SQLFreeHandle(SQL_HANDLE_ENV, handle); }
  Env(const Env&) = delete;
  Env& operator=(const Env&) = delete;
  SQLHENV handle = nullptr;
};

}  // namespace

// One driver connection.
struct OdbcLink {
  explicit OdbcLink(std::shared_ptr<Env> environment) : env(std::move(environment)) {}
  ~OdbcLink() {
    if (connected) SQLDisconnect(dbc);
    if (dbc) SQLFreeHandle(SQL_HANDLE_DBC, dbc);
  }
  OdbcLink(const OdbcLink&) = delete;
  OdbcLink& operator=(const OdbcLink&) = delete;

  // Whether the driver finds the connection gone (after a failure only: a
  // driver may ask its server).
  bool Dead() const {
    SQLUINTEGER dead = SQL_CD_FALSE;
    return SQL_SUCCEEDED(SQLGetConnectAttr(dbc, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) && dead == SQL_CD_TRUE;
  }

  std::shared_ptr<Env> env;
  SQLHDBC dbc = nullptr;
  bool connected = false;
  bool reused = false;  // it served an earlier read: its server may have gone meanwhile
  bool broken = false;  // lost, or in a state not worth finding out: never reused
};

// What a connection and its cursors share, so that a cursor may outlive the
// connection object.
struct OdbcConnection::Session : std::enable_shared_from_this<OdbcConnection::Session> {
  Session(const std::string& address, const ConnectionSettings& settings)
      : connection_string(OdbcAddress::ConnectionString(address)),
        shown(OdbcAddress::Masked(address)),
        settings(settings),
        wait(settings) {}

  // Puts the masked address wherever a text quotes the connection string.
  std::string Scrub(std::string text) const {
    const std::string shown_string = shown.substr(5);
    if (connection_string == shown_string) return text;
    for (size_t at = 0; (at = text.find(connection_string, at)) != std::string::npos; at += shown_string.size())
      text.replace(at, connection_string.size(), shown_string);
    return text;
  }

  [[noreturn]] void Fail(const std::string& description, const std::string& driver_text) {
    last_error = Scrub(driver_text);
    throw Error(Error::kDatabase, Scrub(description));
  }
  [[noreturn]] void Fail(const std::string& description) { Fail(description, description); }

  // A new driver connection, set up for reads or for set-up scripts. The
  // first one learns the dialect, and connects again when the driver wants
  // options of its own (OdbcDialect::DriverOptions). Throws Error.
  std::unique_ptr<OdbcLink> Connect(bool read_only) {
    if (!env) env = std::make_shared<Env>();
    auto link = std::make_unique<OdbcLink>(env);
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env->handle, &link->dbc)))
      Fail(ReadRefusal::Unreachable("no se pudo crear una conexión ODBC"));
    SQLSetConnectAttr(link->dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(kLoginSeconds), 0);
    // The driver's options first, so that the address may change them.
    const std::optional<Wide> text = OdbcText::ToWide(options + connection_string);
    if (!text) Fail("La dirección de la base de datos no es válida: no es texto UTF-8");
    const SQLRETURN r = SQLDriverConnectW(link->dbc, nullptr, const_cast<SQLWCHAR*>(text->c_str()),
                                          static_cast<SQLSMALLINT>(std::min<size_t>(text->size(), 32767)), nullptr, 0,
                                          nullptr, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(r)) {
      const Diagnostic d = Diagnose(SQL_HANDLE_DBC, link->dbc);
      const std::string why = Unplaced(d.text);
      Fail(ReadRefusal::Unreachable(why), why);
    }
    link->connected = true;
    if (!known) {
      dialect = OdbcDialect(Info(link->dbc, SQL_DBMS_NAME), Info(link->dbc, SQL_DRIVER_NAME),
                            Info(link->dbc, SQL_DRIVER_VER));
      known = true;
      options = dialect.DriverOptions();
      if (!options.empty()) return Connect(read_only);
    }
    if (read_only)  // drivers that know no such mode ignore it; the session below is the rule
      SQLSetConnectAttr(link->dbc, SQL_ATTR_ACCESS_MODE, reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0);
    for (const std::string& sql : read_only ? dialect.ReadSession() : dialect.ScriptSession()) {
      if (std::optional<Diagnostic> d = Direct(*link, sql))
        Fail(ReadRefusal::Unreachable(Unplaced(d->text)), Unplaced(d->text));
    }
    return link;
  }

  // Runs `sql`, which returns no rows, on `link`; the driver's account when
  // it fails.
  std::optional<Diagnostic> Direct(OdbcLink& link, const std::string& sql) {
    SQLHSTMT stmt = nullptr;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, link.dbc, &stmt))) return Diagnose(SQL_HANDLE_DBC, link.dbc);
    std::optional<Wide> text = OdbcText::ToWide(sql);
    std::optional<Diagnostic> failure;
    if (!text) {
      failure = Diagnostic{"22021", 0, "la sentencia no es texto UTF-8 válido"};
    } else {
      const SQLRETURN r = SQLExecDirectW(stmt, const_cast<SQLWCHAR*>(text->c_str()), static_cast<SQLINTEGER>(text->size()));
      if (!SQL_SUCCEEDED(r) && r != SQL_NO_DATA) failure = Diagnose(SQL_HANDLE_STMT, stmt);
    }
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return failure;
  }

  // Learns the dialect, connecting when no read did yet. Throws Error.
  void EnsureKnown() {
    if (!known) GiveBack(Connect(true));
  }

  // A driver connection for a read: an idle one, or a new one.
  std::unique_ptr<OdbcLink> Take() {
    if (idle.empty()) return Connect(true);
    std::unique_ptr<OdbcLink> link = std::move(idle.back());
    idle.pop_back();
    link->reused = true;
    return link;
  }
  void GiveBack(std::unique_ptr<OdbcLink> link) {
    if (link && !link->broken && idle.size() < kIdleKept) idle.push_back(std::move(link));
  }

  // `statement` in the server's form, refused unless it is one query.
  std::string ReadQuery(std::string_view statement) {
    EnsureKnown();
    SqlText text;
    try {
      text = SqlText::Read(statement, dialect.TextDialect());
    } catch (const Error& e) {
      Fail(e.description());
    }
    if (!text.rest.empty()) Fail("Solo se puede ejecutar una sentencia: \"" + text.rest + "\" sigue a la primera");
    if (text.first_word.empty()) Fail("La sentencia está vacía");
    if (!IsQuery(text.first_word)) Fail("Solo se pueden ejecutar sentencias que leen: esta empieza por " + text.first_word);
    return std::move(text.text);
  }

  // Runs a blocking call on `stmt` (OdbcWait), marked busy for the hold's
  // tasks meanwhile.
  SQLRETURN Run(SQLHSTMT stmt, const std::function<SQLRETURN()>& call, OdbcWait::Cancel* why) {
    ++busy;
    const SQLRETURN r = wait.Run(stmt, call, why);
    --busy;
    return r;
  }

  const std::string connection_string;  // may hold a password: never shown
  const std::string shown;              // the address with passwords masked
  const ConnectionSettings settings;
  std::shared_ptr<Env> env;
  bool known = false;  // the dialect was learnt from a first connection
  OdbcDialect dialect;
  std::string options;  // the driver's own options, put before the connection string
  std::vector<std::unique_ptr<OdbcLink>> idle;
  std::string last_error;
  OdbcWait wait;
  int busy = 0;  // blocking calls in flight
};

namespace {

// A parameter of a read: a text as UTF-16, or a date.
struct Param {
  bool is_date = false;
  Wide text;
  SQL_DATE_STRUCT date{};
  SQLLEN length = 0;
};

// What a column's values turn into, and how they are fetched.
enum class Kind : unsigned char { kInteger, kExact, kSingle, kDouble, kBit, kDate, kTimestamp, kText };

struct Column {
  Column() = default;
  Column(Kind k, SQLSMALLINT c, SQLLEN w) : kind(k), c_type(c), width(w) {}
  Kind kind = Kind::kText;
  SQLSMALLINT c_type = SQL_C_WCHAR;
  SQLLEN width = 0;  // bytes per value in the arrays
  bool long_text = false;
  std::unique_ptr<char[]> data;  // kLaterBatch values of `width` bytes
  std::unique_ptr<SQLLEN[]> indicator;
};

Variant DateVariant(int year, int month, int day, int hour, int minute, int second) {
  if (month < 1 || month > 12 || day < 1 || day > 31 || year < 1 || year > 9999) {
    // MariaDB's zero dates ("0000-00-00") name no day; shown as stored.
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return Variant(std::string(text));
  }
  DateTime d;
  d.year = year;
  d.month = month;
  d.day = day;
  d.hour = hour;
  d.minute = minute;
  d.second = second;
  return Variant(d);
}

// The value of a fixed-width kind from its bytes; the exact kinds come as
// text.
Variant Decode(Kind kind, const char* p, SQLLEN bytes) {
  switch (kind) {
    case Kind::kInteger: {
      int64_t v;
      std::memcpy(&v, p, sizeof v);
      if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int32_t>(v));
      return Variant(Decimal(v));  // exact: a Double would round past 2^53
    }
    case Kind::kExact: {
      std::string_view text(p, static_cast<size_t>(bytes));
      if (std::optional<Decimal> v = Decimal::Parse(text)) return Variant(*v);
      return Variant(std::string(text));
    }
    case Kind::kSingle: {
      float v;
      std::memcpy(&v, p, sizeof v);
      return Variant(v);
    }
    case Kind::kDouble: {
      double v;
      std::memcpy(&v, p, sizeof v);
      return Variant(v);
    }
    case Kind::kBit: return Variant(*p != 0);
    case Kind::kDate: {
      SQL_DATE_STRUCT d;
      std::memcpy(&d, p, sizeof d);
      return DateVariant(d.year, d.month, d.day, 0, 0, 0);
    }
    case Kind::kTimestamp: {
      SQL_TIMESTAMP_STRUCT t;
      std::memcpy(&t, p, sizeof t);
      return DateVariant(t.year, t.month, t.day, t.hour, t.minute, t.second);
    }
    case Kind::kText: break;
  }
  return Variant(OdbcText::ToUtf8(reinterpret_cast<const SQLWCHAR*>(p), static_cast<size_t>(bytes) / sizeof(SQLWCHAR)));
}

class OdbcCursor;

class OdbcFields : public NamedFields {
 public:
  explicit OdbcFields(const OdbcCursor& cursor) : cursor_(cursor) {}
  Variant ItemAt(int position) const override;
  using NamedFields::AddName;

 private:
  const OdbcCursor& cursor_;
};

class OdbcCursor : public DataCursor, public std::enable_shared_from_this<OdbcCursor> {
 public:
  // `window_sql`, when not empty, is the statement in UTF-8 for a read in
  // windows (OdbcWindow).
  OdbcCursor(std::shared_ptr<OdbcConnection::Session> session, Wide sql, std::vector<Param> params,
             std::string window_sql)
      : s_(std::move(session)),
        sql_(std::move(sql)),
        params_(std::move(params)),
        window_sql_(std::move(window_sql)),
        fields_(*this) {}
  ~OdbcCursor() override { Release(); }

  // Runs the statement and fetches the first block. Throws Error.
  void Start() {
    Execute();
    Describe();
    Fetch(kFirstBatch);
  }

  const trovel::Fields& Fields() override {
    CheckRow();
    Touch();
    return fields_;
  }
  bool AtEnd() override {
    CheckOpen();
    if (!failure_.empty()) throw Error(Error::kDatabase, failure_);
    Touch();
    return row_ >= rows_;
  }
  std::string MoveNext() override {
    CheckRow();
    Touch();
    if (++row_ >= rows_ && !drained_) {
      try {
        if (!stmt_) Resume();
        Fetch(kLaterBatch);
      } catch (const Error& e) {
        rows_ = row_ = 0;
        drained_ = true;
        failure_ = e.description();
        Release();
        throw;
      }
    }
    return "";
  }
  std::string Close() override {
    if (!open_) return "";
    open_ = false;
    Release();
    rows_ = row_ = 0;
    values_.clear();
    return "";
  }
  bool IsOpen() override { return open_; }

  Variant Value(int i) const {
    if (row_mode_) return values_[static_cast<size_t>(row_)][static_cast<size_t>(i)];
    const Column& c = columns_[static_cast<size_t>(i)];
    const SQLLEN bytes = c.indicator[static_cast<size_t>(row_)];
    if (bytes == SQL_NULL_DATA) return Variant::Null;
    return Decode(c.kind, c.data.get() + static_cast<size_t>(row_) * static_cast<size_t>(c.width), bytes);
  }

 private:
  // Allocates a statement on a driver connection, prepares the text, binds
  // the parameters and runs it. A driver connection that served an earlier
  // read and turns out to be lost is dropped, with every idle one, and the
  // read runs once more on a new one: nothing of it ran.
  void Execute() {
    for (;;) {
      link_ = s_->Take();
      if (TryExecute()) return;
      s_->idle.clear();
    }
  }

  // True when the statement ran; false when a reused driver connection was
  // found lost. Throws Error for every other failure.
  bool TryExecute() {
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, link_->dbc, &stmt_))) {
      stmt_ = nullptr;
      return Failed(SQL_HANDLE_DBC, link_->dbc, OdbcWait::Cancel::kNone, true);
    }
    // Forward-only and read-only: what lets a driver stream its rows.
    SQLSetStmtAttr(stmt_, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_FORWARD_ONLY), 0);
    SQLSetStmtAttr(stmt_, SQL_ATTR_CONCURRENCY, reinterpret_cast<SQLPOINTER>(SQL_CONCUR_READ_ONLY), 0);
    const long long limit = s_->settings.read_time_limit.count();
    if (limit > 0)
      SQLSetStmtAttr(stmt_, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>((limit + 999) / 1000)), 0);
    // In windows, the rows after those read: the window's text is ASCII
    // around a statement already found valid.
    const Wide text = window_sql_.empty()
                          ? sql_
                          : OdbcText::ToWide(OdbcWindow::Text(window_sql_, fetched_, WindowRows())).value_or(sql_);
    window_end_ = fetched_ + WindowRows();
    OdbcWait::Cancel why = OdbcWait::Cancel::kNone;
    SQLRETURN r = s_->Run(
        stmt_,
        [&] { return SQLPrepareW(stmt_, const_cast<SQLWCHAR*>(text.data()), static_cast<SQLINTEGER>(text.size())); },
        &why);
    if (!SQL_SUCCEEDED(r) || why != OdbcWait::Cancel::kNone) return Failed(SQL_HANDLE_STMT, stmt_, why, true);
    for (size_t i = 0; i < params_.size(); ++i) {
      Param& p = params_[i];
      p.length = p.is_date ? static_cast<SQLLEN>(sizeof p.date) : static_cast<SQLLEN>(p.text.size() * sizeof(SQLWCHAR));
      r = p.is_date ? SQLBindParameter(stmt_, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, SQL_C_TYPE_DATE,
                                       SQL_TYPE_DATE, 10, 0, &p.date, 0, &p.length)
                    : SQLBindParameter(stmt_, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, SQL_C_WCHAR,
                                       SQL_WVARCHAR, std::max<SQLULEN>(p.text.size(), 1), 0, p.text.data(), p.length,
                                       &p.length);
      if (!SQL_SUCCEEDED(r)) return Failed(SQL_HANDLE_STMT, stmt_, why, true);
    }
    r = s_->Run(stmt_, [this] { return SQLExecute(stmt_); }, &why);
    if ((!SQL_SUCCEEDED(r) && r != SQL_NO_DATA) || why != OdbcWait::Cancel::kNone)
      return Failed(SQL_HANDLE_STMT, stmt_, why, true);
    if (described_) Bind();
    return true;
  }

  // Reports a failed call: cancelled, timed out, the driver connection
  // lost, or the driver's message. With `may_replace`, returns false for a
  // lost driver connection that served an earlier read, which the caller
  // replaces; throws in every other case.
  bool Failed(SQLSMALLINT type, SQLHANDLE handle, OdbcWait::Cancel why, bool may_replace = false) {
    OdbcConnection::Session& s = *s_;
    const Diagnostic d = handle ? Diagnose(type, handle) : Diagnostic{};
    const bool cancelled = why != OdbcWait::Cancel::kNone || TimedOut(d);
    const bool lost = !cancelled && (TellsOfLostLink(d) || (link_ && link_->Dead()));
    // A cancelled statement may leave its connection mid-answer: it goes.
    if ((cancelled || lost) && link_) link_->broken = true;
    const bool replaceable = may_replace && lost && link_ && link_->reused;
    Release();
    if (replaceable) return false;
    if (why == OdbcWait::Cancel::kStopped) s.Fail(ReadRefusal::Stopped(), d.text);
    if (cancelled) s.Fail(ReadRefusal::TimedOut(s.settings.read_time_limit), d.text);
    if (lost)
      s.Fail(ReadRefusal::Lost(Unplaced(d.text)), d.text);
    s.Fail(ReadRefusal::Failed(d.text), d.text);
  }

  // Learns the columns; a row of any text longer than kLongText is read a
  // row at a time, every other result in arrays.
  void Describe() {
    SQLSMALLINT count = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(stmt_, &count))) Failed(SQL_HANDLE_STMT, stmt_, OdbcWait::Cancel::kNone);
    if (count <= 0) {
      Release();
      s_->Fail("La sentencia no devuelve filas");
    }
    columns_.resize(static_cast<size_t>(count));
    for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(count); ++i) {
      SQLWCHAR name[256] = {};
      SQLSMALLINT name_length = 0, type = 0, digits = 0, nullable = 0;
      SQLULEN size = 0;
      SQLDescribeColW(stmt_, i, name, 256, &name_length, &type, &size, &digits, &nullable);
      SQLLEN is_unsigned = SQL_FALSE;
      SQLColAttributeW(stmt_, i, SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &is_unsigned);
      fields_.AddName(OdbcText::ToUtf8(name, static_cast<size_t>(std::clamp<SQLSMALLINT>(name_length, 0, 255))).c_str());
      Column& c = columns_[i - 1u];
      switch (type) {
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
          c = Column(Kind::kInteger, SQL_C_SBIGINT, sizeof(int64_t));
          break;
        case SQL_BIGINT:  // an unsigned one may pass 2^63: as text, exact
          c = is_unsigned == SQL_TRUE ? Column(Kind::kExact, SQL_C_CHAR, 24) : Column(Kind::kInteger, SQL_C_SBIGINT, 8);
          break;
        case SQL_DECIMAL:
        case SQL_NUMERIC:  // sign, point and terminator beside the digits
          c = Column(Kind::kExact, SQL_C_CHAR, static_cast<SQLLEN>(std::clamp<SQLULEN>(size, 40, 1000) + 3));
          break;
        case SQL_REAL: c = Column(Kind::kSingle, SQL_C_FLOAT, sizeof(float)); break;
        case SQL_FLOAT:
        case SQL_DOUBLE: c = Column(Kind::kDouble, SQL_C_DOUBLE, sizeof(double)); break;
        case SQL_BIT: c = Column(Kind::kBit, SQL_C_BIT, 1); break;
        case SQL_TYPE_DATE: c = Column(Kind::kDate, SQL_C_TYPE_DATE, sizeof(SQL_DATE_STRUCT)); break;
        case SQL_TYPE_TIMESTAMP: c = Column(Kind::kTimestamp, SQL_C_TYPE_TIMESTAMP, sizeof(SQL_TIMESTAMP_STRUCT)); break;
        default: {
          // Text, and what is shown as text. A binary value comes as hex,
          // two characters a byte; a character beyond U+FFFF takes two
          // units.
          const bool is_long = type == SQL_LONGVARCHAR || type == SQL_WLONGVARCHAR || type == SQL_LONGVARBINARY ||
                               size == 0 || size > kLongText;
          c = Column(Kind::kText, SQL_C_WCHAR, static_cast<SQLLEN>((2 * std::min(size, kLongText) + 1) * sizeof(SQLWCHAR)));
          c.long_text = is_long;
          row_mode_ |= is_long;
        }
      }
    }
    described_ = true;
    if (!row_mode_) {
      for (Column& c : columns_) {
        c.data.reset(new char[kLaterBatch * static_cast<size_t>(c.width)]);
        c.indicator.reset(new SQLLEN[kLaterBatch]);
      }
    }
    Bind();
  }

  // Binds the arrays to a statement just run (column-wise, kLaterBatch
  // rows at most a fetch).
  void Bind() {
    if (row_mode_) return;
    SQLSetStmtAttr(stmt_, SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0);
    SQLSetStmtAttr(stmt_, SQL_ATTR_ROWS_FETCHED_PTR, &block_rows_, 0);
    for (size_t i = 0; i < columns_.size(); ++i) {
      Column& c = columns_[i];
      if (!SQL_SUCCEEDED(SQLBindCol(stmt_, static_cast<SQLUSMALLINT>(i + 1), c.c_type, c.data.get(), c.width,
                                    c.indicator.get())))
        Failed(SQL_HANDLE_STMT, stmt_, OdbcWait::Cancel::kNone);
    }
  }

  // Fetches the next `count` rows (fewer at the end) and stands on the
  // first. Once the rows are all read the statement is closed and its
  // driver connection goes back: a short result holds nothing.
  void Fetch(SQLULEN count) {
    if (!window_sql_.empty()) count = static_cast<SQLULEN>(std::min<uint64_t>(count, window_end_ - fetched_));
    OdbcWait::Cancel why = OdbcWait::Cancel::kNone;
    SQLRETURN r;
    if (row_mode_) {
      values_.clear();
      std::optional<Diagnostic> failure;
      r = s_->Run(stmt_, [&] { return FetchRows(count, &failure); }, &why);
      rows_ = static_cast<int>(values_.size());
      if (failure && why == OdbcWait::Cancel::kNone) {
        Release();
        s_->Fail(ReadRefusal::Failed(failure->text), failure->text);
      }
    } else {
      SQLSetStmtAttr(stmt_, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(count), 0);
      block_rows_ = 0;
      r = s_->Run(stmt_, [this] { return SQLFetch(stmt_); }, &why);
      rows_ = r == SQL_NO_DATA ? 0 : static_cast<int>(block_rows_);
    }
    if ((!SQL_SUCCEEDED(r) && r != SQL_NO_DATA) || why != OdbcWait::Cancel::kNone) {
      rows_ = 0;
      Failed(SQL_HANDLE_STMT, stmt_, why);
    }
    if (r == SQL_SUCCESS_WITH_INFO && !row_mode_) CheckWhole();
    row_ = 0;
    fetched_ += static_cast<uint64_t>(rows_);
    if (static_cast<SQLULEN>(rows_) < count) {
      drained_ = true;
      Release();
    } else if (!window_sql_.empty() && fetched_ >= window_end_) {
      Release();  // the window is read: the next one runs at the next fetch
    }
  }

  uint64_t WindowRows() const { return OdbcWindow::Size(fetched_, kFirstBatch, kLaterBatch); }

  // A bound text longer than the size its column announced would be cut:
  // the read says so rather than showing part of a value.
  void CheckWhole() {
    for (size_t i = 0; i < columns_.size(); ++i) {
      const Column& c = columns_[i];
      for (int row = 0; row < rows_; ++row) {
        const SQLLEN bytes = c.indicator[static_cast<size_t>(row)];
        if (bytes == SQL_NO_TOTAL || (bytes != SQL_NULL_DATA && bytes >= c.width)) {
          Release();
          s_->Fail("Un valor de la columna " + std::to_string(i + 1) +
                   " es más largo de lo que el controlador ODBC anunció; no se muestra cortado");
        }
      }
    }
  }

  // Row mode: up to `count` rows, each column read whole with SQLGetData.
  // Runs on OdbcWait's thread; touches only the statement and values_.
  SQLRETURN FetchRows(SQLULEN count, std::optional<Diagnostic>* failure) {
    SQLRETURN r = SQL_SUCCESS;
    while (values_.size() < count) {
      r = SQLFetch(stmt_);
      if (!SQL_SUCCEEDED(r)) return r;
      std::vector<Variant>& row = values_.emplace_back();
      row.reserve(columns_.size());
      for (size_t i = 0; i < columns_.size(); ++i) {
        std::optional<Variant> v = GetData(static_cast<SQLUSMALLINT>(i + 1), columns_[i]);
        if (!v) {
          *failure = Diagnose(SQL_HANDLE_STMT, stmt_);
          return SQL_SUCCESS;
        }
        row.push_back(std::move(*v));
      }
    }
    return r;
  }

  std::optional<Variant> GetData(SQLUSMALLINT column, const Column& c) {
    SQLLEN bytes = 0;
    if (c.kind != Kind::kText) {
      char buffer[1024];
      const SQLLEN room = c.kind == Kind::kExact ? static_cast<SQLLEN>(sizeof buffer) : c.width;
      if (!SQL_SUCCEEDED(SQLGetData(stmt_, column, c.c_type, buffer, room, &bytes))) return std::nullopt;
      if (bytes == SQL_NULL_DATA) return Variant(Variant::Null);
      return Decode(c.kind, buffer, c.kind == Kind::kExact ? std::min<SQLLEN>(bytes, room - 1) : bytes);
    }
    // Text a piece at a time: each call hands on from where the last ended.
    Wide text;
    SQLWCHAR piece[4096];
    for (;;) {
      const SQLRETURN r = SQLGetData(stmt_, column, SQL_C_WCHAR, piece, sizeof piece, &bytes);
      if (r == SQL_NO_DATA) break;
      if (!SQL_SUCCEEDED(r)) return std::nullopt;
      if (bytes == SQL_NULL_DATA) return Variant(Variant::Null);
      const size_t room = sizeof piece / sizeof(SQLWCHAR) - 1;
      const size_t got = bytes == SQL_NO_TOTAL || static_cast<size_t>(bytes) / sizeof(SQLWCHAR) > room
                             ? room
                             : static_cast<size_t>(bytes) / sizeof(SQLWCHAR);
      text.append(piece, got);
      if (r == SQL_SUCCESS) break;
    }
    return Variant(OdbcText::ToUtf8(text.data(), text.size()));
  }

  // The hold let go of the statement: runs it again and skips the rows
  // already read. On unchanged data the rows that follow are those the
  // statement would have given; rows written meanwhile move the position.
  void Resume() {
    Execute();
    if (!window_sql_.empty()) return;  // the window starts after the rows read
    OdbcWait::Cancel why = OdbcWait::Cancel::kNone;
    uint64_t skipped = 0;
    const SQLRETURN r = s_->Run(stmt_, [&] { return Skip(&skipped); }, &why);
    if ((!SQL_SUCCEEDED(r) && r != SQL_NO_DATA) || why != OdbcWait::Cancel::kNone) Failed(SQL_HANDLE_STMT, stmt_, why);
    if (skipped < fetched_) {  // fewer rows now than were read: none follow
      rows_ = row_ = 0;
      drained_ = true;
      Release();
    }
  }

  // Fetches and drops the first fetched_ rows. Runs on OdbcWait's thread.
  SQLRETURN Skip(uint64_t* skipped) {
    SQLRETURN r = SQL_SUCCESS;
    while (*skipped < fetched_) {
      if (row_mode_) {
        r = SQLFetch(stmt_);
        if (!SQL_SUCCEEDED(r)) return r;
        ++*skipped;
        continue;
      }
      const SQLULEN chunk = static_cast<SQLULEN>(std::min<uint64_t>(fetched_ - *skipped, kLaterBatch));
      SQLSetStmtAttr(stmt_, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(chunk), 0);
      block_rows_ = 0;
      r = SQLFetch(stmt_);
      if (!SQL_SUCCEEDED(r)) return r;
      *skipped += block_rows_;
      if (block_rows_ < chunk) return SQL_NO_DATA;
    }
    return r;
  }

  // Closes the statement and gives its driver connection back.
  void Release() {
    if (stmt_) SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
    stmt_ = nullptr;
    if (link_) s_->GiveBack(std::move(link_));
    link_.reset();
  }

  // A call on the cursor while it holds a statement: the hold time starts
  // again.
  void Touch() {
    if (!stmt_ || !s_->settings.defer) return;
    if (!hold_) {
      hold_ = std::make_shared<ReadHold>(s_->settings, [weak = weak_from_this()] {
        std::shared_ptr<OdbcCursor> cursor = weak.lock();
        return cursor ? cursor->LetGo() : ReadHold::Outcome::kDone;
      });
    }
    hold_->Touch();
  }
  ReadHold::Outcome LetGo() {
    if (s_->busy) return ReadHold::Outcome::kBusy;
    Release();
    return ReadHold::Outcome::kDone;
  }

  void CheckOpen() const {
    if (!open_) throw Error(3704, "Operation is not allowed when the object is closed");
  }
  void CheckRow() const {
    CheckOpen();
    if (row_ >= rows_) throw Error(3021, "Either BOF or EOF is True, or the current record has been deleted");
  }

  std::shared_ptr<OdbcConnection::Session> s_;
  const Wide sql_;
  std::vector<Param> params_;
  const std::string window_sql_;  // a read in windows: the statement, in UTF-8
  uint64_t window_end_ = 0;       // rows read when the running window's are
  std::unique_ptr<OdbcLink> link_;  // while the statement is open
  SQLHSTMT stmt_ = nullptr;
  std::vector<Column> columns_;
  bool row_mode_ = false;  // a long text column: rows read one by one into values_
  bool described_ = false;
  std::vector<std::vector<Variant>> values_;  // row mode: the rows in hand
  SQLULEN block_rows_ = 0;                    // rows of the last array fetch
  int rows_ = 0;                              // rows in hand
  int row_ = 0;                               // the current one among them
  uint64_t fetched_ = 0;                      // rows fetched since the statement first ran
  bool drained_ = false;                      // no rows are left to fetch
  bool open_ = true;
  std::string failure_;  // why the last fetch failed: said again at every later call
  std::shared_ptr<ReadHold> hold_;
  OdbcFields fields_;
};

Variant OdbcFields::ItemAt(int position) const { return cursor_.Value(position); }

}  // namespace

OdbcConnection::OdbcConnection(const std::string& address, const ConnectionSettings& settings)
    : session_(std::make_shared<Session>(address, settings)) {
  try {
    session_->EnsureKnown();
  } catch (const Error&) {
    // A server that cannot be reached now may be there by the first read:
    // each read connects first, and says why when it cannot.
  }
}

OdbcConnection::~OdbcConnection() = default;

std::string OdbcConnection::LastErrorText() { return session_->last_error; }

std::string OdbcConnection::ServerName() {
  session_->EnsureKnown();
  return session_->dialect.name();
}

bool OdbcConnection::Streams() {
  session_->EnsureKnown();
  return session_->dialect.Streams();
}

std::shared_ptr<DataCursor> OdbcConnection::OpenCursor(std::string& statement, bool& flag) {
  flag = false;
  return Open(statement, nullptr);
}

std::shared_ptr<DataCursor> OdbcConnection::OpenCursor(const SearchStatement& statement, bool& flag) {
  flag = false;
  return Open(statement.base, &statement);
}

std::shared_ptr<DataCursor> OdbcConnection::Open(std::string_view text, const SearchStatement* statement) {
  Session& s = *session_;
  std::string sql = s.ReadQuery(text);
  std::vector<Param> params;
  if (statement) {
    try {
      sql = statement->Render(sql, [&](const SearchStatement::Condition& c, std::string& out) {
        switch (c.kind) {
          case SearchStatement::Kind::kText: {
            if (c.value.find('\0') != std::string::npos)
              throw Error(Error::kTypeMismatch, "El filtro de " + c.field + " contiene un carácter nulo");
            std::optional<Wide> pattern = OdbcText::ToWide(s.dialect.Pattern(c.value));
            if (!pattern) throw Error(Error::kTypeMismatch, "El filtro de " + c.field + " no es texto UTF-8 válido");
            out += s.dialect.Like(c.field);
            params.push_back({false, std::move(*pattern), {}, 0});
            return;
          }
          case SearchStatement::Kind::kNumber:
            out += c.field + " " + c.Operator() + " " + c.Number();
            return;
          case SearchStatement::Kind::kDate: {
            const DateTime d = c.Date();
            out += c.field + " " + c.Operator() + " ?";
            Param p;
            p.is_date = true;
            p.date = {static_cast<SQLSMALLINT>(d.year), static_cast<SQLUSMALLINT>(d.month), static_cast<SQLUSMALLINT>(d.day)};
            params.push_back(std::move(p));
            return;
          }
        }
      });
    } catch (const Error& e) {
      s.Fail(e.description());
    }
  }
  std::optional<Wide> wide = OdbcText::ToWide(sql);
  if (!wide) s.Fail("La sentencia no es texto UTF-8 válido");
  std::string window_sql;
  if (s.dialect.ReadsInWindows() && OdbcWindow::Fits(sql)) window_sql = std::move(sql);
  auto cursor = std::make_shared<OdbcCursor>(session_, std::move(*wide), std::move(params), std::move(window_sql));
  cursor->Start();
  return cursor;
}

void OdbcConnection::Execute(const std::string& address, const std::string& sql) {
  ConnectionSettings setup;
  setup.read_time_limit = std::chrono::milliseconds(0);  // set-up scripts may be long
  Session s(address, setup);
  std::unique_ptr<OdbcLink> link = s.Connect(false);
  // One statement at a time: drivers differ in whether they take several.
  std::string rest = sql;
  while (!rest.empty()) {
    SqlText text = SqlText::Read(rest, s.dialect.TextDialect());
    if (!text.first_word.empty()) {
      if (std::optional<Diagnostic> d = s.Direct(*link, std::string(text.first_statement())))
        s.Fail(d->text);
    }
    rest = std::move(text.rest);
  }
}

}  // namespace trovel
