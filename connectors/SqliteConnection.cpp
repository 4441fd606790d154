#include "connectors/SqliteConnection.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "connectors/AsciiCase.h"
#include "connectors/IsoDateText.h"
#include "connectors/NamedFields.h"
#include "connectors/ReadHold.h"
#include "connectors/ReadRefusal.h"
#include "connectors/SqlText.h"
#include "connectors/SqliteReadGuard.h"
#include "connectors/SqliteTextRules.h"
#include "platform/Error.h"

namespace trovel {

struct SqliteConnection::Handle {
  sqlite3* db = nullptr;
  std::unique_ptr<SqliteReadGuard> guard;
  ConnectionSettings settings;
  // Steps in flight on this handle. A host may run its timers while a step
  // waits (through read_progress), and a statement of the handle must not
  // be reset from inside another one's step.
  int stepping = 0;
  ~Handle() {
    guard.reset();
    sqlite3_close_v2(db);
  }
};

namespace {

bool IsDateDeclared(const char* decl) {
  if (!decl) return false;
  std::string d = AsciiCase::Upper(decl);
  return d == "DATE" || d == "DATETIME" || d == "TIMESTAMP";
}

class SqliteFields : public NamedFields {
 public:
  explicit SqliteFields(sqlite3_stmt* stmt) : stmt_(stmt) {
    for (int i = 0, n = sqlite3_column_count(stmt); i < n; ++i) {
      AddName(sqlite3_column_name(stmt, i));
      dates_.push_back(IsDateDeclared(sqlite3_column_decltype(stmt, i)));
    }
  }

 public:
  Variant ItemAt(int i) const override {
    switch (sqlite3_column_type(stmt_, i)) {
      case SQLITE_NULL: return Variant::Null;
      case SQLITE_INTEGER: {
        sqlite3_int64 v = sqlite3_column_int64(stmt_, i);
        if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int32_t>(v));
        return Variant(Decimal(v));  // exact: a Double would round past 2^53
      }
      case SQLITE_FLOAT: return Variant(sqlite3_column_double(stmt_, i));
      default: {
        const char* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
        if (!text) return Variant(std::string());
        size_t length = static_cast<size_t>(sqlite3_column_bytes(stmt_, i));
        DateTime d;
        if (dates_[static_cast<size_t>(i)] && IsoDateText::Parse(text, length, d)) return Variant(d);
        return Variant(std::string(text, length));
      }
    }
  }

 private:
  sqlite3_stmt* stmt_;
  std::vector<bool> dates_;
};

// A cursor lets go of its statement's lock when nobody pages on for the
// hold time (ReadHold): the statement is reset, and its values stay bound.
// The next call steps it again past the rows already read, to stand on the
// row it stood on; SQLite runs a statement by the same plan each time, so
// on unchanged data that is the same row.
class SqliteCursor : public DataCursor {
 public:
  SqliteCursor(std::shared_ptr<SqliteConnection::Handle> handle, sqlite3_stmt* stmt)
      : handle_(std::move(handle)), stmt_(stmt) {
    fields_ = std::make_unique<SqliteFields>(stmt);
    if (handle_->settings.defer)
      hold_ = std::make_shared<ReadHold>(handle_->settings, [this] { return Release(); });
    try {
      Step();
    } catch (...) {
      Close();
      throw;
    }
    if (hold_ && !at_end_) hold_->Touch();
  }
  ~SqliteCursor() override { Close(); }

  const trovel::Fields& Fields() override {
    Use();
    if (at_end_) throw Error(3021, "BOF o EOF es True, o el registro actual se eliminó; la operación requiere un registro actual");
    return *fields_;
  }
  bool AtEnd() override {
    if (!stmt_) throw Error(3704, "No se permite realizar la operación si el objeto está cerrado");
    // A cursor whose rows could not be read says so again at every later
    // press, rather than looking like the end of the result.
    if (!failure_.empty()) throw Error(Error::kDatabase, failure_);
    Use();
    return at_end_;
  }
  std::string MoveNext() override {
    Use();
    if (at_end_) throw Error(3021, "BOF o EOF es True, o el registro actual se eliminó; la operación requiere un registro actual");
    Step();
    return "";
  }
  std::string Close() override {
    if (stmt_) sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    hold_.reset();
    return "";
  }
  bool IsOpen() override { return stmt_ != nullptr; }

 private:
  // Every call: a closed cursor refuses it, a released one stands again on
  // its row, and the hold time starts again.
  void Use() {
    if (!stmt_) throw Error(3704, "No se permite realizar la operación si el objeto está cerrado");
    if (released_) Resume();
    if (hold_ && !at_end_) hold_->Touch();
  }

  void Step() {
    int rc = SQLITE_DONE;
    ++handle_->stepping;
    try {
      rc = handle_->guard->Step(stmt_);
    } catch (const Error& e) {
      --handle_->stepping;
      at_end_ = true;
      failure_ = e.description();
      throw;
    } catch (...) {
      --handle_->stepping;
      at_end_ = true;
      throw;
    }
    --handle_->stepping;
    if (rc == SQLITE_ROW) {
      ++rows_stepped_;
    } else {
      at_end_ = true;
    }
  }

  // Ends the statement's read, and with it the lock it holds on the file.
  ReadHold::Outcome Release() {
    if (!stmt_ || at_end_ || released_) return ReadHold::Outcome::kDone;
    if (handle_->stepping) return ReadHold::Outcome::kBusy;
    sqlite3_reset(stmt_);
    released_ = true;
    return ReadHold::Outcome::kDone;
  }

  // Runs the statement again (its values are still bound) and steps past
  // the rows read before, to stand on the row the cursor stood on. Rows
  // written meanwhile move that position: the result is what the statement
  // answers now.
  void Resume() {
    released_ = false;
    const uint64_t target = rows_stepped_;
    rows_stepped_ = 0;
    while (rows_stepped_ < target && !at_end_) Step();
  }

  std::shared_ptr<SqliteConnection::Handle> handle_;
  sqlite3_stmt* stmt_;
  bool at_end_ = false;
  std::string failure_;  // why the last step failed
  bool released_ = false;   // reset by the hold: the next call runs it again
  uint64_t rows_stepped_ = 0;  // rows read so far, the current one included
  std::unique_ptr<SqliteFields> fields_;
  std::shared_ptr<ReadHold> hold_;  // only with a host's timer
};

}  // namespace

SqliteConnection::SqliteConnection(const std::string& path, const ConnectionSettings& settings)
    : handle_(std::make_shared<Handle>()) {
  if (sqlite3_open_v2(path.c_str(), &handle_->db,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
    std::string msg = handle_->db ? sqlite3_errmsg(handle_->db) : "no queda memoria";
    throw Error(Error::kDatabase, ReadRefusal::CannotOpen(msg));
  }
  SqliteTextRules::Install(handle_->db);
  sqlite3_db_config(handle_->db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
  sqlite3_db_config(handle_->db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_exec(handle_->db, "PRAGMA query_only=1", nullptr, nullptr, nullptr);
  handle_->guard = std::make_unique<SqliteReadGuard>(handle_->db, settings);
  handle_->settings = settings;
  // SQLite reads nothing of the file until the first statement: read its
  // schema now, so that a file that is not a database, or one a writer
  // keeps locked, is reported where it is opened rather than at a search.
  if (sqlite3_exec(handle_->db, "SELECT 1 FROM sqlite_schema LIMIT 1", nullptr, nullptr, nullptr) != SQLITE_OK)
    throw Error(Error::kDatabase, ReadRefusal::CannotOpen(sqlite3_errmsg(handle_->db)));
}

SqliteConnection::~SqliteConnection() = default;

void SqliteConnection::Fail(const std::string& what) {
  last_error_ = what;
  throw Error(Error::kDatabase, what);
}

std::shared_ptr<DataCursor> SqliteConnection::OpenCursor(std::string& statement, bool& flag) {
  flag = false;
  return Open(ReadText(statement), {});
}

std::shared_ptr<DataCursor> SqliteConnection::OpenCursor(const SearchStatement& statement, bool& flag) {
  flag = false;
  // Each typed value is a parameter, bound in the order the conditions
  // come; a number is written as the plain literal it was checked to be.
  const std::string base = ReadText(statement.base);
  std::vector<std::string> values;
  std::string sql;
  try {
    sql = statement.Render(base, [&values](const SearchStatement::Condition& c, std::string& out) {
      switch (c.kind) {
        case SearchStatement::Kind::kText:
          (out += c.field) += " like ?";
          values.push_back(c.value);
          return;
        case SearchStatement::Kind::kNumber:
          (((out += c.field) += ' ') += c.Operator()) += ' ';
          out += c.Number();
          return;
        case SearchStatement::Kind::kDate:
          // Compared as a day, so that a date stored with a time of day
          // compares as the database's own date comparison would: midnight
          // is the day itself, and 10:30 comes after it.
          (((out += "julianday(") += c.field) += ") ") += c.Operator();
          out += " julianday(?)";
          values.push_back(c.IsoDate());
          return;
      }
    });
  } catch (const Error& e) {
    Fail(e.description());
  }
  return Open(sql, values);
}

std::string SqliteConnection::ReadText(std::string_view sql) {
  SqlText text;
  try {
    text = SqlText::Read(sql, SqlText::Dialect::kSqlite);
  } catch (const Error& e) {
    Fail(e.description());
  }
  if (!text.rest.empty()) Fail("Solo se puede ejecutar una sentencia: \"" + text.rest + "\" sigue a la primera");
  // Only blanks, ";" and comments follow the first statement: leave them out.
  text.text.resize(text.first_length);
  return std::move(text.text);
}

std::shared_ptr<DataCursor> SqliteConnection::Open(const std::string& sql, const std::vector<std::string>& values) {
  sqlite3_stmt* stmt = nullptr;
  const char* tail = nullptr;
  try {
    stmt = handle_->guard->Prepare(sql, &tail);
  } catch (const Error& e) {
    Fail(e.description());
  }
  if (!stmt) Fail("La sentencia está vacía");
  auto refuse = [&](const std::string& why) {
    sqlite3_finalize(stmt);
    Fail(why);
  };
  const std::string rest = tail ? tail : "";
  if (rest.find_first_not_of(" \t\r\n;") != std::string::npos)
    refuse("Solo se puede ejecutar una sentencia: \"" + rest + "\" sigue a la primera");
  if (!sqlite3_stmt_readonly(stmt)) refuse("Solo se pueden ejecutar sentencias que leen");
  // Every filter must be a parameter of the statement: a base that leaves
  // a literal or a comment open, or holds parameters of its own, would put
  // a value somewhere else.
  if (sqlite3_bind_parameter_count(stmt) != static_cast<int>(values.size()))
    refuse("La sentencia base no admite filtros: deja abierto un literal o un comentario, o tiene parámetros propios");
  for (size_t i = 0; i < values.size(); ++i)
    if (sqlite3_bind_text64(stmt, static_cast<int>(i + 1), values[i].data(), values[i].size(), SQLITE_TRANSIENT,
                            SQLITE_UTF8) != SQLITE_OK)
      refuse(ReadRefusal::Failed(sqlite3_errmsg(handle_->db)));
  try {
    return std::make_shared<SqliteCursor>(handle_, stmt);
  } catch (const Error& e) {
    last_error_ = e.description();
    throw;
  }
}

void SqliteConnection::Execute(const std::string& sql) {
  char* message = nullptr;
  sqlite3_exec(handle_->db, "PRAGMA query_only=0", nullptr, nullptr, nullptr);
  int rc = sqlite3_exec(handle_->db, sql.c_str(), nullptr, nullptr, &message);
  sqlite3_exec(handle_->db, "PRAGMA query_only=1", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    std::string text = message ? message : sqlite3_errmsg(handle_->db);
    sqlite3_free(message);
    Fail(ReadRefusal::Failed(text));
  }
}

}  // namespace trovel
