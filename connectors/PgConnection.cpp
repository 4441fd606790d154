#include "connectors/PgConnection.h"

#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <optional>
#include <thread>
#include <vector>

#include "connectors/IsoDateText.h"
#include "connectors/NamedFields.h"
#include "connectors/PgAddress.h"
#include "connectors/ReadHold.h"
#include "connectors/ReadRefusal.h"
#include "connectors/SqlText.h"
#include "platform/Error.h"
#include "platform/Text.h"

namespace trovel {

namespace {

// Type OIDs of the built-in types; they are fixed in the server's catalog.
enum : Oid {
  kBoolOid = 16,
  kInt8Oid = 20,
  kInt2Oid = 21,
  kInt4Oid = 23,
  kFloat4Oid = 700,
  kFloat8Oid = 701,
  kDateOid = 1082,
  kTimestampOid = 1114,
  kTimestampTzOid = 1184,
  kNumericOid = 1700,
};

// What a column's text turns into.
enum class Kind : unsigned char { kText, kLong, kBigint, kSingle, kDouble, kNumeric, kBoolean, kDate };

Kind KindOf(Oid type) {
  switch (type) {
    case kInt2Oid:
    case kInt4Oid: return Kind::kLong;
    case kInt8Oid: return Kind::kBigint;
    case kFloat4Oid: return Kind::kSingle;
    case kFloat8Oid: return Kind::kDouble;
    case kNumericOid: return Kind::kNumeric;
    case kBoolOid: return Kind::kBoolean;
    case kDateOid:
    case kTimestampOid:
    case kTimestampTzOid: return Kind::kDate;
    default: return Kind::kText;
  }
}

// The first block of the controls is 51 rows, and a 52nd tells them that
// more remain: the first batch brings exactly that, so the first block costs
// one round trip (after the one that checks its plan) and no more rows than
// it shows. Later pages come in batches of 2,048 rows (about forty pages,
// a few hundred kilobytes), to save round trips while paging on.
constexpr int kFirstBatch = 52;
constexpr int kLaterBatch = 2048;

// The one savepoint of a transaction, taken again after each declaration so
// that rolling back to it keeps every cursor declared so far.
constexpr char kSavepoint[] = "trovel";

// The names of the catalog that a quoted name of a base statement may mean:
// the relations the session sees by their bare names (those of the schemas
// on its search path), their columns, and the schemas; each with the name
// it was asked for.
constexpr char kCatalogNames[] =
    "SELECT u, n FROM unnest($1::text[]) AS u JOIN ("
    "SELECT relname::text AS n FROM pg_catalog.pg_class c WHERE pg_catalog.pg_table_is_visible(c.oid)"
    " UNION SELECT attname::text FROM pg_catalog.pg_attribute a JOIN pg_catalog.pg_class c ON c.oid = a.attrelid"
    " WHERE a.attnum > 0 AND NOT a.attisdropped AND pg_catalog.pg_table_is_visible(c.oid)"
    " UNION SELECT nspname::text FROM pg_catalog.pg_namespace) AS names ON upper(n) = upper(u)";
// Sets statement_timeout for the transaction to $1 milliseconds, or to the
// session's own setting where that is shorter.
constexpr char kLocalTimeLimit[] =
    "SELECT set_config('statement_timeout', (CASE WHEN t > 0 AND t < $1::bigint THEN t ELSE $1::bigint END)::text,"
    " true) FROM (SELECT (EXTRACT(EPOCH FROM current_setting('statement_timeout')::interval) * 1000)::bigint AS t) s";

// Base texts whose spelling a session keeps; a form has a handful.
constexpr size_t kSpellingsKept = 64;

// A standby's cancellation of a statement, or of a session, that a change
// coming from the primary conflicts with.
constexpr char kRecoveryConflictState[] = "40001";

// A statement cancelled, by statement_timeout or by our cancel request.
constexpr char kCancelledState[] = "57014";

// How often a command in flight looks at the clock and asks the host: a
// key typed meanwhile (search as you type) waits at most this long for the
// host to see it, well within a frame at 60 Hz.
constexpr int kWaitSliceMs = 10;
// How long past the time limit we wait for statement_timeout before sending
// a cancel request of our own (a server whose setting was changed).
constexpr std::chrono::milliseconds kCancelAfter(500);
// How long a cancel request may go unanswered before the session is given
// up: its socket closed, the read ended. A paused or unreachable server then
// holds a read for its time limit and this grace at most.
constexpr std::chrono::seconds kCancelGrace(2);

struct ResultFree {
  void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultFree>;

bool Succeeded(const PGresult* r) {
  ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
  return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

// libpq's messages end with a line end.
std::string Trimmed(const char* text) { return Text::TrimEnd(text ? text : ""); }

template <typename T>
bool ReadNumber(const char* text, int length, T& value) {
  auto [end, ec] = std::from_chars(text, text + length, value);
  return ec == std::errc() && end == text + length;
}

class PgFields : public NamedFields {
 public:
  // Learns the names and types of the columns from any batch of the cursor.
  void Describe(const PGresult* r) {
    int n = PQnfields(r);
    ClearNames();
    kinds_.clear();
    for (int i = 0; i < n; ++i) {
      AddName(PQfname(r, i));
      kinds_.push_back(KindOf(PQftype(r, i)));
    }
  }
  void StandOn(const PGresult* r, int row) {
    result_ = r;
    row_ = row;
  }

 public:
  Variant ItemAt(int i) const override {
    if (PQgetisnull(result_, row_, i)) return Variant::Null;
    const char* text = PQgetvalue(result_, row_, i);
    int length = PQgetlength(result_, row_, i);
    switch (kinds_[static_cast<size_t>(i)]) {
      case Kind::kLong: {
        int32_t v;
        if (ReadNumber(text, length, v)) return Variant(v);
        break;
      }
      case Kind::kBigint: {
        int64_t v;
        if (!ReadNumber(text, length, v)) break;
        if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int32_t>(v));
        return Variant(Decimal(v));  // exact: a Double would round past 2^53
      }
      case Kind::kSingle: {
        float v;
        if (ReadNumber(text, length, v)) return Variant(v);
        break;
      }
      case Kind::kDouble: {
        double v;
        if (ReadNumber(text, length, v)) return Variant(v);
        break;
      }
      case Kind::kNumeric: {
        // Exact when it fits a Decimal; a longer value, NaN or Infinity
        // stays the text the server sent, which loses no digit either.
        if (std::optional<Decimal> v = Decimal::Parse(std::string_view(text, static_cast<size_t>(length))))
          return Variant(*v);
        break;
      }
      case Kind::kBoolean: return Variant(text[0] == 't');
      case Kind::kDate: {
        DateTime d;
        if (IsoDateText::Parse(text, static_cast<size_t>(length), d)) return Variant(d);
        break;
      }
      case Kind::kText: break;
    }
    return Variant(std::string(text, static_cast<size_t>(length)));
  }

 private:
  std::vector<Kind> kinds_;
  const PGresult* result_ = nullptr;
  int row_ = 0;
};

// The IANA name of this machine's time zone: TZ when it names one, else the
// zone /etc/localtime links to; "UTC" when neither tells. Only a plain name
// is taken, since it goes into a statement's text.
std::string LocalTimeZone() {
  auto plain = [](const std::string& zone) {
    if (zone.empty() || zone.size() > 64) return false;
    for (char c : zone)
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '/' && c != '_' && c != '-' && c != '+') return false;
    return true;
  };
  if (const char* tz = std::getenv("TZ")) {
    std::string zone = tz[0] == ':' ? tz + 1 : tz;
    const size_t at = zone.find("zoneinfo/");
    if (at != std::string::npos) zone.erase(0, at + 9);
    if (plain(zone)) return zone;
  }
  std::error_code error;
  const std::string target = std::filesystem::read_symlink("/etc/localtime", error).string();
  const size_t at = target.find("zoneinfo/");
  if (!error && at != std::string::npos && plain(target.substr(at + 9))) return target.substr(at + 9);
  return "UTC";
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// The condition of a text filter: `field` LIKE the pattern in `parameter`,
// blind to letter case as the other backends' LIKE is, with no escape
// character ("\\" is a character like any other).
//
// ILIKE folds with the database's LC_CTYPE, which on a database made with
// the C locale folds ASCII letters only ("SÃO%" misses "São Paulo"), and no
// btree index serves it. So both sides are folded with ICU explicitly, and
// the comparison is made in the C collation, where a prefix pattern becomes
// a range of an index on the same expression; the README gives the index:
//
//   CREATE INDEX ON clientes ((lower(nombre COLLATE "und-x-icu")) COLLATE "C");
//
// The field is cast to text first, so that a text filter on a column of
// another type compares its text, as on SQLite. A server built without ICU
// gets ILIKE.
std::string CaseBlindCondition(const std::string& field, const std::string& parameter, bool icu) {
  if (!icu) return "(" + field + ")::text ILIKE " + parameter + " ESCAPE ''";
  return "lower((" + field + ")::text COLLATE \"und-x-icu\") COLLATE \"C\" LIKE (lower(" + parameter +
         " COLLATE \"und-x-icu\") COLLATE \"C\") ESCAPE ''";
}

// What libpq says of a failed connection attempt, without the address it
// tried: its first line after 'connection to server on socket "/run/..."
// failed: ' or 'connection to server at "db" (10.0.0.5), port 5432 failed: ',
// and a host name it could not look up taken out. The user reads the
// reason; where the server lives is the administrator's business (and the
// socket's path tells an intruder where to look).
std::string ConnectReason(const std::string& message) {
  std::string line = FirstLine(message);
  constexpr std::string_view kTarget = "connection to server ", kFailed = " failed: ";
  if (line.compare(0, kTarget.size(), kTarget) == 0) {
    const size_t failed = line.find(kFailed);
    if (failed != std::string::npos) line.erase(0, failed + kFailed.size());
  }
  constexpr std::string_view kHostName = "could not translate host name \"";
  if (line.compare(0, kHostName.size(), kHostName) == 0) {
    const size_t end = line.find('"', kHostName.size());
    if (end != std::string::npos) line.erase(kHostName.size() - 2, end + 1 - (kHostName.size() - 2));
  }
  return Trimmed(line.c_str());
}

}  // namespace

// One libpq session, shared by a connection and the cursors it opened, so
// that a cursor may outlive the connection object.
struct PgConnection::Session : std::enable_shared_from_this<PgConnection::Session> {
  Session(const std::string& address, const ConnectionSettings& settings)
      : address(address), shown(PgAddress::Masked(address)), settings(settings) {
    char* message = nullptr;
    PQconninfoOption* options = PQconninfoParse(address.c_str(), &message);
    if (!options) {
      // libpq's parse messages may quote the address, password included.
      std::string why = Trimmed(message);
      PQfreemem(message);
      if (shown != address) why = "no se puede leer";
      Fail("La dirección de la base de datos no es válida: " + why, why);
    }
    PQconninfoFree(options);
    // A URI with an "@" that libpq does not read as the end of the password
    // ("user:pa/ss@host") would go to a host or port made of part of the
    // password, which libpq's messages then quote.
    if (!PgAddress::WithoutSecrets(address)) {
      const std::string why =
          "la contraseña no se distingue del resto (en una URI, escriba \"@\", \"/\" y \"?\" del usuario y de la "
          "contraseña como %40, %2F y %3F)";
      Fail("La dirección de la base de datos no es válida: " + why, why);
    }
  }
  ~Session() {
    if (conn) PQfinish(conn);
  }

  // Puts the masked address wherever a text quotes the address as given.
  // The secrets are found by the address's structure (PgAddress), never by
  // searching the text for a password's value, which may be a single letter
  // or the user's own name.
  std::string Scrub(std::string text) const {
    if (address == shown) return text;
    for (size_t at = 0; (at = text.find(address, at)) != std::string::npos; at += shown.size())
      text.replace(at, address.size(), shown);
    return text;
  }

  [[noreturn]] void Fail(const std::string& description, const std::string& server_text) {
    last_error = Scrub(server_text);
    throw Error(Error::kDatabase, Scrub(description));
  }
  [[noreturn]] void Fail(const std::string& description) { Fail(description, description); }

  // The server's account of a failure: its message, detail and hint.
  std::string ServerText(const PGresult* r) const {
    const char* primary = r ? PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    if (!primary) return Trimmed(r && *PQresultErrorMessage(r) ? PQresultErrorMessage(r) : PQerrorMessage(conn));
    std::string text = primary;
    for (int field : {PG_DIAG_MESSAGE_DETAIL, PG_DIAG_MESSAGE_HINT})
      if (const char* more = PQresultErrorField(r, field)) (text += ". ") += more;
    return text;
  }

  Result Exec(const std::string& sql) {
    CollectAhead();
    Busy busy(*this);
    TakeWhatCameWhileIdle();
    Result last;
    if (PQsendQuery(conn, sql.c_str())) {
      Begin();
      for (;;) {
        Wait();
        Result r(PQgetResult(conn));
        if (!r) break;
        last = std::move(r);
      }
    }
    if (!last) last.reset(PQmakeEmptyPGresult(conn, PGRES_FATAL_ERROR));
    return last;
  }

  // Sends the FETCH of cursor `name`'s next `batch` rows without waiting
  // for it, so that the server reads them while the grid fills with the
  // rows in hand. One at a time, and only while nothing else is in flight:
  // every other command first collects its answer (CollectAhead).
  void FetchAhead(const std::string& name, int batch) {
    if (busy || !ahead_for.empty() || !conn || PQstatus(conn) != CONNECTION_OK) return;
    if (!PQsendQuery(conn, ("FETCH FORWARD " + std::to_string(batch) + " FROM " + name).c_str())) return;
    ahead_for = name;
    ahead_in_flight = true;
  }

  // Waits for the FETCH sent ahead, if one is in flight, and keeps its
  // answer for its cursor. The wait is a read's wait: its time starts now,
  // and the host may stop it.
  void CollectAhead() {
    if (!ahead_in_flight) return;
    ahead_in_flight = false;
    Busy busy(*this);
    Begin();
    Result last;
    for (;;) {
      Wait();
      Result r(conn ? PQgetResult(conn) : nullptr);
      if (!r) break;
      last = std::move(r);
    }
    ahead = std::move(last);  // null when the session was given up
  }

  // True when a FETCH was sent ahead for cursor `name`; `*answer` is then
  // its answer (null when the session was given up meanwhile).
  bool TakeAhead(const std::string& name, Result* answer) {
    if (ahead_for.empty() || ahead_for != name) return false;
    CollectAhead();
    ahead_for.clear();
    *answer = std::move(ahead);
    return true;
  }

  // Forgets what was fetched ahead for cursor `name`, which needs no more.
  void DropAhead(const std::string& name) {
    Result unused;
    TakeAhead(name, &unused);
  }

  // Reads what the server sent while nothing was asked of it (a FATAL
  // message before it closed the session reaches the notice receiver), so
  // that a failure of the next command knows why. Never waits.
  void TakeWhatCameWhileIdle() {
    if (!conn || PQisBusy(conn)) return;
    // PQconsumeInput only reads; PQisBusy parses what was read, and hands an
    // error that came while no command ran to the notice receiver. Parse
    // also when the read met the end of the stream: the message came first.
    PQconsumeInput(conn);
    PQisBusy(conn);
  }

  // A command was sent: its time starts now.
  void Begin() {
    started = std::chrono::steady_clock::now();
    abandoned = false;
  }

  // Waits until libpq can hand over a result without blocking. The host is
  // asked now and then whether to stop, for the whole wait, before and after
  // a cancel request. A stop, or a statement that runs past the limit (the
  // server's statement_timeout should have ended it), sends a cancel
  // request; when that gets no answer within kCancelGrace (a paused server,
  // a broken network) the session is abandoned: its socket closed, the read
  // ended with the time-limit or stop message, the next read connecting
  // again.
  void Wait() {
    const int socket = PQsocket(conn);
    // When the session is given up if no answer came: the grace after a
    // stop, or after the time limit.
    std::optional<std::chrono::steady_clock::time_point> give_up;
    std::shared_ptr<std::atomic<bool>> cancel_done;
    // A cancel request that reaches the server after this statement ended
    // would cancel the next one: once the answer is here, give the request
    // (already sent, or failing) the grace to be done with.
    struct Settle {
      const std::shared_ptr<std::atomic<bool>>& done;
      ~Settle() {
        const auto until = std::chrono::steady_clock::now() + kCancelGrace;
        while (done && !*done && std::chrono::steady_clock::now() < until)
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    } settle{cancel_done};
    while (socket >= 0 && PQisBusy(conn)) {
      pollfd p{socket, POLLIN, 0};
      if (::poll(&p, 1, kWaitSliceMs) != 0 && !PQconsumeInput(conn)) return;
      const auto now = std::chrono::steady_clock::now();
      const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - started);
      const bool stop = settings.read_progress && settings.read_progress(elapsed);
      stop_asked |= stop;
      const auto limit = settings.read_time_limit;
      if (!give_up) {
        if (stop || (limit.count() > 0 && elapsed > limit + kCancelAfter)) {
          cancel_done = Cancel();
          give_up = stop ? now + kCancelGrace : started + limit + kCancelGrace;
        }
      } else if (now > *give_up) {
        cancel_done.reset();  // the session is gone: nothing left for the request to hit
        return Abandon();
      }
    }
  }

  // Sends a cancel request from a thread of its own: PQcancel connects to
  // the server and waits for its answer, which a paused or unreachable
  // server never gives, and the host's thread must not wait with it. The
  // flag returned turns true once the request is done with.
  std::shared_ptr<std::atomic<bool>> Cancel() {
    auto done = std::make_shared<std::atomic<bool>>(false);
    PGcancel* cancel = PQgetCancel(conn);
    if (!cancel) {
      *done = true;
      return done;
    }
    std::thread([cancel, done] {
      char why[256];
      PQcancel(cancel, why, sizeof why);
      PQfreeCancel(cancel);
      *done = true;
    }).detach();
    return done;
  }

  // Gives the session up: every cursor of it is gone, and the next read
  // connects again.
  void Abandon() {
    abandoned = true;
    Forget();
    PQfinish(conn);
    conn = nullptr;
    broken = true;
  }

  // One command of a pipeline: its text and the values of its parameters
  // ($1, $2, ...), sent as text for the server to type.
  struct Command {
    std::string sql;
    std::vector<std::string> values;
  };

  // Runs `commands` in one round trip (libpq's pipeline mode), each through
  // the extended protocol, so each is one statement. Returns a result per
  // command up to and including the first that failed (a null result when
  // the session broke before it answered).
  std::vector<Result> Pipeline(const std::vector<Command>& commands) {
    CollectAhead();
    Busy busy(*this);
    TakeWhatCameWhileIdle();
    std::vector<Result> results;
    bool sent = PQenterPipelineMode(conn);
    std::vector<const char*> values;
    for (size_t i = 0; sent && i < commands.size(); ++i) {
      values.clear();
      for (const std::string& v : commands[i].values) values.push_back(v.c_str());
      sent = PQsendQueryParams(conn, commands[i].sql.c_str(), static_cast<int>(values.size()), nullptr,
                               values.empty() ? nullptr : values.data(), nullptr, nullptr, 0);
    }
    sent = sent && PQpipelineSync(conn);
    // Each command's result is followed by a null; the sync closes the lot.
    // Two nulls in a row mean the session has nothing more to say.
    if (sent) Begin();
    for (int nulls = 0; sent && nulls < 2 && PQstatus(conn) == CONNECTION_OK;) {
      Wait();
      Result r(PQgetResult(conn));
      nulls = r ? 0 : nulls + 1;
      if (!r) continue;
      if (PQresultStatus(r.get()) == PGRES_PIPELINE_SYNC) break;
      bool failed_before = !results.empty() && !Succeeded(results.back().get());
      if (results.size() < commands.size() && !failed_before) results.push_back(std::move(r));
    }
    PQexitPipelineMode(conn);
    if (results.empty() || (results.size() < commands.size() && Succeeded(results.back().get())))
      results.emplace_back(nullptr);
    return results;
  }

  void Connect() {
    // The address comes after our defaults, so that it may change them, and
    // before the encoding, which every conversion here relies on.
    // Every wait is bounded: the connection's own (10 s), and on TCP
    // keepalives and a user timeout, so that a server or network gone quiet
    // is found within about half a minute.
    const char* keys[] = {"connect_timeout", "keepalives", "keepalives_idle", "keepalives_interval",
                          "keepalives_count", "tcp_user_timeout", "fallback_application_name", "dbname",
                          "client_encoding", nullptr};
    const char* values[] = {"10", "1", "15", "5", "3", "30000", "trovel", address.c_str(), "UTF8", nullptr};
    PGconn* c = PQconnectdbParams(keys, values, 1);
    if (!c) Fail(ReadRefusal::Unreachable("no queda memoria"));
    if (PQstatus(c) != CONNECTION_OK) {
      const std::string why = ConnectReason(PQerrorMessage(c));
      PQfinish(c);
      Fail(ReadRefusal::Unreachable(why), why);
    }
    conn = c;
    Prepare();
  }

  // Session settings. The statements a search sends rely on these, so they
  // are pinned whatever the server's or the role's defaults: quotes that
  // never take a backslash as an escape, dates read month first and shown
  // in ISO form, this machine's time zone, UTF-8 text. Then the limits.
  void Prepare() {
    // Notices are not shown; one that tells of a recovery conflict (a
    // standby ending the session while it waited between two page presses)
    // is kept to say why the session was lost.
    recovery_conflict = false;
    PQsetNoticeReceiver(
        conn,
        [](void* self, const PGresult* notice) {
          const char* state = PQresultErrorField(notice, PG_DIAG_SQLSTATE);
          if (state && std::strcmp(state, kRecoveryConflictState) == 0)
            static_cast<Session*>(self)->recovery_conflict = true;
        },
        this);
    // The last statement asks whether the server folds letter case with
    // ICU (the collation und-x-icu of a server built with it): see
    // CaseBlindCondition.
    const std::string sql =
        "SET standard_conforming_strings = on; SET DateStyle = 'ISO, MDY'; SET client_encoding = 'UTF8'; "
        "SELECT EXISTS (SELECT 1 FROM pg_catalog.pg_collation WHERE collname = 'und-x-icu')";
    Result r = Exec(sql);
    if (Succeeded(r.get())) icu = PQntuples(r.get()) == 1 && std::strcmp(PQgetvalue(r.get(), 0, 0), "t") == 0;
    // A zone the server does not know leaves the session on UTC.
    for (const std::string& zone : {LocalTimeZone(), std::string("UTC")}) {
      if (!Succeeded(r.get())) break;
      r = Exec("SET TimeZone = '" + zone + "'");
      if (Succeeded(r.get())) break;
    }
    if (!Succeeded(r.get())) {
      broken = true;
      Fail(ReadRefusal::Unreachable(ServerText(r.get())), ServerText(r.get()));
    }
  }

  // `text` (a base statement in PostgreSQL's form) with each quoted name
  // in the catalog's spelling where exactly one name of the catalog (of a
  // relation, a column or a schema) matches it without regard to letter
  // case: the control upper-cased the base, "Customer" with it. Learnt once
  // per base text and session; a lookup that fails leaves the names as
  // written, and the server then says what it does not know.
  std::string CatalogSpelling(const SqlText& text) {
    auto known = spellings.find(text.text);
    if (known != spellings.end()) return known->second;
    std::vector<std::string> names;  // as written, without their quotes
    std::string array = "{";
    for (const SqlText::Span& span : text.quoted_names) {
      std::string name = SqlText::Unquoted(std::string_view(text.text).substr(span.offset, span.length));
      if (array.size() > 1) array += ',';
      array += '"';
      for (char c : name) {
        if (c == '"' || c == '\\') array += '\\';
        array += c;
      }
      array += '"';
      names.push_back(std::move(name));
    }
    array += '}';
    EnsureConnected();
    std::vector<Result> results = Pipeline({{kCatalogNames, {array}}});
    if (!Succeeded(results.back().get())) {
      if (open_cursors) Restore();
      return text.text;
    }
    std::map<std::string, std::set<std::string>> found;  // name as written -> the catalog's spellings
    const PGresult* r = results.back().get();
    for (int row = 0; row < PQntuples(r); ++row) found[PQgetvalue(r, row, 0)].insert(PQgetvalue(r, row, 1));
    std::string out = text.text;
    for (size_t i = names.size(); i-- > 0;) {  // from the end, so that earlier offsets hold
      auto spelled = found.find(names[i]);
      if (spelled == found.end() || spelled->second.size() != 1 || *spelled->second.begin() == names[i]) continue;
      std::string quoted = "\"";
      for (char c : *spelled->second.begin()) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
      quoted += '"';
      out.replace(text.quoted_names[i].offset, text.quoted_names[i].length, quoted);
    }
    if (spellings.size() >= kSpellingsKept) spellings.clear();
    return spellings.emplace(text.text, std::move(out)).first->second;
  }

  // A session whose server went away is connected again before a read;
  // cursors of the old session are dead from here on.
  void EnsureConnected() {
    if (!conn) return Connect();
    if (!broken && PQstatus(conn) == CONNECTION_OK) return;
    Forget();
    PQreset(conn);
    if (PQstatus(conn) != CONNECTION_OK) {
      broken = true;
      const std::string why = ConnectReason(PQerrorMessage(conn));
      Fail(ReadRefusal::Unreachable(why), why);
    }
    broken = false;
    Prepare();
  }

  // Every cursor and transaction of the session is gone.
  void Forget() {
    ++epoch;
    open_cursors = 0;
    ahead_for.clear();
    ahead_in_flight = false;
    ahead.reset();
  }

  // Puts the transaction back as it was before the statement that failed:
  // to the savepoint while other cursors are open, all of it otherwise.
  void Restore() {
    if (PQstatus(conn) != CONNECTION_OK) return;
    Result r = Exec(open_cursors ? std::string("ROLLBACK TO SAVEPOINT ") + kSavepoint : std::string("ROLLBACK"));
    if (!Succeeded(r.get())) broken = true;
  }

  // Reports a failed command. A lost session is forgotten, and the message
  // says so.
  [[noreturn]] void Failed(const PGresult* r) {
    if (abandoned) {
      abandoned = false;
      Fail(stop_asked ? ReadRefusal::Stopped() : ReadRefusal::TimedOut(settings.read_time_limit));
    }
    std::string server = ServerText(r);
    const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    if (PQstatus(conn) == CONNECTION_OK && state && std::strcmp(state, kCancelledState) == 0)
      Fail(stop_asked ? ReadRefusal::Stopped() : ReadRefusal::TimedOut(settings.read_time_limit));
    if (recovery_conflict || (state && std::strcmp(state, kRecoveryConflictState) == 0)) {
      recovery_conflict = false;
      // A standby cancels a search, or ends its session, when a change that
      // comes from the primary needs what the search holds (a lock, row
      // versions that VACUUM removed there). Nothing is wrong with the
      // server: read again. (A read-only transaction at READ COMMITTED
      // meets this state from nothing else.)
      if (PQstatus(conn) != CONNECTION_OK) Forget();
      lost = "La búsqueda se canceló en el servidor réplica: un cambio que llegaba del servidor principal "
             "necesitaba lo que ella tenía (conflicto con la recuperación). Vuelva a leer";
      Fail(lost, server);
    }
    if (PQstatus(conn) == CONNECTION_OK) Fail(ReadRefusal::Failed(server), server);
    Forget();
    lost = ReadRefusal::Lost(ConnectReason(server));
    Fail(lost, server);
  }

  // Closes a cursor on the server; the last one ends the transaction.
  // Never throws: the rows are already read, and a failure here leaves the
  // session to be checked before the next read.
  void EndCursor(const std::string& name) {
    --open_cursors;
    Result r = Exec(open_cursors ? "CLOSE " + name : std::string("COMMIT"));
    if (Succeeded(r.get())) return;
    last_error = Scrub(ServerText(r.get()));
    if (PQstatus(conn) == CONNECTION_OK) {
      Restore();
    } else {
      Forget();
    }
  }

  // A command in flight: the hold's task must not send one of its own
  // meanwhile (a host may run its timers while a read waits, through
  // read_progress).
  struct Busy {
    explicit Busy(Session& session) : s(session) { ++s.busy; }
    ~Busy() { --s.busy; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
    Session& s;
  };

  // The commands that declare the cursor `name` on `sql` with `values`
  // bound, skip its first `skip` rows and fetch the next `batch`, in one
  // round trip; `*declared` is set to how many of them must succeed for
  // the cursor to stand where it should. A transaction begun here pins what
  // would let a statement run again give its rows in another order: a
  // sequential scan that joins another one under way starts in the middle
  // of the table, and a parallel plan merges its workers' rows as they
  // come. Without them the order of rows that ORDER BY leaves open (ties,
  // or no ORDER BY at all) is the same each time the data is.
  std::vector<Command> DeclareCommands(const std::string& name, const std::string& sql,
                                       const std::vector<std::string>& values, uint64_t skip, int batch,
                                       size_t* declared) const {
    const bool first = open_cursors == 0;
    std::vector<Command> commands;
    if (first) {
      commands.push_back({"BEGIN READ ONLY", {}});
      commands.push_back({"SET LOCAL synchronize_seqscans = off", {}});
      commands.push_back({"SET LOCAL max_parallel_workers_per_gather = 0", {}});
      // The read's time limit, for its own transaction only (a pooler in
      // transaction mode hands the session to others between reads), and
      // never longer than the limit the server, the role or the database
      // set.
      const long long limit = std::min<long long>(settings.read_time_limit.count(), INT32_MAX);
      if (limit > 0) commands.push_back({kLocalTimeLimit, {std::to_string(limit)}});
    }
    commands.push_back({"DECLARE " + name + " NO SCROLL CURSOR FOR " + sql, values});
    if (skip > 0) commands.push_back({"MOVE FORWARD " + std::to_string(skip) + " FROM " + name, {}});
    *declared = commands.size();
    if (!first) commands.push_back({std::string("RELEASE SAVEPOINT ") + kSavepoint, {}});
    commands.push_back({std::string("SAVEPOINT ") + kSavepoint, {}});
    commands.push_back({"FETCH FORWARD " + std::to_string(batch) + " FROM " + name, {}});
    return commands;
  }

  // A call on one of the session's cursors while it holds a transaction:
  // the hold time starts again.
  void Touch() {
    if (!settings.defer || open_cursors == 0) return;
    if (!hold) {
      hold = std::make_shared<ReadHold>(settings, [weak = weak_from_this()] {
        std::shared_ptr<Session> s = weak.lock();
        return s ? s->LetGo() : ReadHold::Outcome::kDone;
      });
    }
    hold->Touch();
  }

  // The whole session has been idle for the hold time: its transaction
  // ends, and with it the snapshot and the locks of every cursor in it.
  // Each cursor keeps the rows it has in hand and declares itself again
  // when it needs more (PgCursor::Resume). Never throws.
  ReadHold::Outcome LetGo() {
    if (busy) return ReadHold::Outcome::kBusy;
    if (open_cursors == 0 || !conn || PQstatus(conn) != CONNECTION_OK) return ReadHold::Outcome::kDone;
    Result r = Exec("COMMIT");
    open_cursors = 0;
    ++transaction;
    if (!Succeeded(r.get())) {
      last_error = Scrub(ServerText(r.get()));
      if (PQstatus(conn) == CONNECTION_OK) {
        Restore();
      } else {
        Forget();
      }
    }
    return ReadHold::Outcome::kDone;
  }

  const std::string address;  // as given: it may hold a password, so never shown
  const std::string shown;    // the address with passwords masked
  const ConnectionSettings settings;
  PGconn* conn = nullptr;
  int open_cursors = 0;       // cursors declared in the running transaction
  uint64_t epoch = 0;         // changes whenever the session's cursors are gone
  uint64_t cursors_made = 0;  // names each cursor, never reused
  bool broken = false;        // state unknown: connect again before a read
  bool abandoned = false;     // the last command's session was given up (Abandon)
  bool icu = false;  // the server has the ICU collation und-x-icu
  bool recovery_conflict = false;  // the standby told of a recovery conflict ending the session
  std::string lost;           // why the last session was lost
  std::string last_error;
  std::map<std::string, std::string> spellings;  // base text -> with the catalog's spelling
  std::chrono::steady_clock::time_point started;  // when the command in flight was sent
  bool stop_asked = false;                        // the host asked to stop the read in hand
  int busy = 0;                                   // commands in flight (Busy)
  std::string ahead_for;       // the cursor whose next batch was asked for ahead (FetchAhead)
  bool ahead_in_flight = false;  // its answer has not been read yet
  Result ahead;                  // its answer, once read
  uint64_t transaction = 0;                       // changes whenever the hold ends the transaction
  std::shared_ptr<ReadHold> hold;                 // with a host's timer, once a read was held
};

namespace {

class PgCursor : public DataCursor {
 public:
  PgCursor(std::shared_ptr<PgConnection::Session> session, std::string name, std::string sql,
           std::vector<std::string> values)
      : s_(std::move(session)),
        name_(std::move(name)),
        sql_(std::move(sql)),
        values_(std::move(values)),
        epoch_(s_->epoch),
        transaction_(s_->transaction) {}
  ~PgCursor() override { Close(); }

  const trovel::Fields& Fields() override {
    CheckRow();
    s_->Touch();
    fields_.StandOn(batch_.get(), row_);
    return fields_;
  }
  bool AtEnd() override {
    CheckOpen();
    CheckFailure();
    s_->Touch();
    return row_ >= rows_;
  }
  std::string MoveNext() override {
    CheckRow();
    s_->Touch();
    if (++row_ >= rows_ && !drained_) Fetch();
    return "";
  }
  std::string Close() override {
    if (!open_) return "";
    open_ = false;
    Release();
    batch_.reset();
    rows_ = row_ = 0;
    return "";
  }
  bool IsOpen() override { return open_; }

  // Fetches the next batch and stands on its first row.
  void Fetch() {
    if (!Live()) {
      drained_ = true;
      Remember([&] { s_->Fail(s_->lost.empty() ? ReadRefusal::Lost("la sesión del cursor terminó") : s_->lost); });
    }
    s_->stop_asked = false;
    // Rows asked for ahead are this cursor's next rows, also when the hold
    // has ended their transaction since.
    Result ahead;
    if (s_->TakeAhead(name_, &ahead)) return Take(std::move(ahead), kLaterBatch);
    if (transaction_ != s_->transaction) return Resume();
    Take(s_->Exec("FETCH FORWARD " + std::to_string(kLaterBatch) + " FROM " + name_), kLaterBatch);
  }

  // The hold ended the transaction that held the cursor: declares it again
  // in a new one, with the same values, past the rows fetched so far, and
  // fetches the next batch, in one round trip. On unchanged data the rows
  // are those the old cursor would have given (Session::DeclareCommands);
  // rows written meanwhile move the position.
  void Resume() {
    PgConnection::Session& s = *s_;
    if (s.open_cursors == 0 && PQtransactionStatus(s.conn) != PQTRANS_IDLE) s.Exec("ROLLBACK");
    size_t declared = 0;
    std::vector<Result> results =
        s.Pipeline(s.DeclareCommands(name_, sql_, values_, fetched_, kLaterBatch, &declared));
    if (results.size() < declared || !Succeeded(results[declared - 1].get())) {
      drained_ = true;
      declared_ = false;
      rows_ = row_ = 0;
      batch_.reset();
      s.Restore();
      s.Failed(results.back().get());
    }
    ++s.open_cursors;
    transaction_ = s.transaction;
    Take(std::move(results.back()), kLaterBatch);
    s.Touch();
  }

  // Takes the answer to a FETCH of `count` rows and stands on its first row.
  // A failed fetch leaves the cursor at its end, and the transaction is put
  // back so that other cursors go on.
  void Take(Result r, int count) {
    if (!r || PQresultStatus(r.get()) != PGRES_TUPLES_OK) {
      drained_ = true;
      rows_ = row_ = 0;
      batch_.reset();
      if (PQstatus(s_->conn) == CONNECTION_OK) {
        s_->Restore();
        Release();
      }
      Remember([&] { s_->Failed(r.get()); });
    }
    if (!described_) fields_.Describe(r.get());
    described_ = true;
    batch_ = std::move(r);
    rows_ = PQntuples(batch_.get());
    row_ = 0;
    fetched_ += static_cast<uint64_t>(rows_);
    if (rows_ < count) {
      // Every row is here: the server's part ends now rather than when the
      // control lets go, so a form left open on a short result holds nothing.
      drained_ = true;
      Release();
    } else if (count == kLaterBatch && InTransaction()) {
      // The user is paging on: the server reads the next batch while the
      // grid fills with this one. (Not after the first block, which the user
      // may never page past.)
      s_->FetchAhead(name_, kLaterBatch);
    }
  }

 private:
  bool Live() const { return declared_ && epoch_ == s_->epoch; }
  // The cursor is declared in the session's running transaction.
  bool InTransaction() const { return Live() && transaction_ == s_->transaction; }

  // Runs `fail`, which throws, and keeps its message: a cursor whose rows
  // could not be read says so again at every later press, rather than
  // looking like the end of the result.
  template <typename F>
  [[noreturn]] void Remember(F&& fail) {
    try {
      fail();
    } catch (const Error& e) {
      failure_ = e.description();
      throw;
    }
    throw Error(Error::kDatabase, "the read failed");  // not reached: `fail` throws
  }
  void CheckFailure() const {
    if (!failure_.empty()) throw Error(Error::kDatabase, failure_);
  }

  void Release() {
    s_->DropAhead(name_);
    if (InTransaction()) s_->EndCursor(name_);
    declared_ = false;
  }

  void CheckOpen() const {
    if (!open_) throw Error(3704, "No se permite realizar la operación si el objeto está cerrado");
  }
  void CheckRow() const {
    CheckOpen();
    if (row_ >= rows_) throw Error(3021, "BOF o EOF es True, o el registro actual se eliminó; la operación requiere un registro actual");
  }

  std::shared_ptr<PgConnection::Session> s_;
  const std::string name_;
  const std::string sql_;                   // what the cursor reads, to declare it again
  const std::vector<std::string> values_;  // with the values bound
  const uint64_t epoch_;      // the session's epoch at the declaration
  uint64_t transaction_;      // the session's transaction at the last declaration
  uint64_t fetched_ = 0;      // rows fetched from the server so far
  bool declared_ = true;      // rows are left on the server's side
  bool drained_ = false;      // no rows are left to fetch
  bool described_ = false;
  bool open_ = true;
  std::string failure_;       // why the last read of rows failed
  Result batch_;
  int rows_ = 0;
  int row_ = 0;
  PgFields fields_;
};

bool IsQuery(const std::string& first_word) {
  for (const char* word : {"SELECT", "WITH", "VALUES", "TABLE"})
    if (first_word == word) return true;
  return false;
}

}  // namespace

PgConnection::PgConnection(const std::string& address, const ConnectionSettings& settings)
    : session_(std::make_shared<Session>(address, settings)) {
  try {
    session_->Connect();
  } catch (const Error&) {
    // A server that cannot be reached now may be there by the first read
    // (a program started while it was down, or while its connection slots
    // were full): each read connects first, and says why when it cannot.
  }
}

PgConnection::~PgConnection() = default;

std::string PgConnection::LastErrorText() { return session_->last_error; }

std::shared_ptr<DataCursor> PgConnection::OpenCursor(std::string& statement, bool& flag) {
  flag = false;
  session_->stop_asked = false;
  return Open(ReadQuery(statement, NameSpelling::kAsWritten), {});
}

std::shared_ptr<DataCursor> PgConnection::OpenCursor(const SearchStatement& statement, bool& flag) {
  flag = false;
  Session& s = *session_;
  s.stop_asked = false;
  // The form of a text filter depends on the server (Session::icu).
  s.EnsureConnected();
  // The base was upper-cased with the rest of the statement: its quoted
  // names get back the catalog's spelling.
  const std::string base = ReadQuery(statement.base, NameSpelling::kCatalog);
  std::vector<std::string> values;
  std::string sql;
  try {
    sql = statement.Render(base, [&values, &s](const SearchStatement::Condition& c, std::string& out) {
      const std::string parameter = "$" + std::to_string(values.size() + 1);
      switch (c.kind) {
        case SearchStatement::Kind::kText:
          if (c.value.find('\0') != std::string::npos)
            throw Error(Error::kTypeMismatch, "El filtro de " + c.field + " contiene un carácter nulo");
          out += CaseBlindCondition(c.field, parameter, s.icu);
          values.push_back(c.value);
          return;
        case SearchStatement::Kind::kNumber:
          out += c.field + " " + c.Operator() + " " + c.Number();
          return;
        case SearchStatement::Kind::kDate:
          out += c.field + " " + c.Operator() + " " + parameter + "::date";
          values.push_back(c.IsoDate());
          return;
      }
    });
  } catch (const Error& e) {
    s.Fail(e.description());
  }
  return Open(sql, values);
}

std::string PgConnection::ReadQuery(std::string_view statement, NameSpelling spelling) {
  Session& s = *session_;
  SqlText text;
  try {
    text = SqlText::Read(statement, SqlText::Dialect::kPostgres);
  } catch (const Error& e) {
    s.Fail(e.description());
  }
  if (!text.rest.empty()) s.Fail("Solo se puede ejecutar una sentencia: \"" + text.rest + "\" sigue a la primera");
  if (text.first_word.empty()) s.Fail("La sentencia está vacía");
  if (!IsQuery(text.first_word))
    s.Fail("Solo se pueden ejecutar sentencias que leen: esta empieza por " + text.first_word);
  if (spelling == NameSpelling::kCatalog && !text.quoted_names.empty()) return s.CatalogSpelling(text);
  return std::move(text.text);
}

std::shared_ptr<DataCursor> PgConnection::Open(const std::string& sql, const std::vector<std::string>& values) {
  // One round trip: the transaction (for the first cursor), the
  // declaration with the values bound, the savepoint that keeps it, and the
  // first batch. Nothing is planned ahead: what the user typed is a value,
  // so the statement reads what its developer wrote and nothing else.
  Session& s = *session_;
  s.EnsureConnected();
  const std::string name = "trovel_" + std::to_string(++s.cursors_made);
  if (s.open_cursors == 0 && PQtransactionStatus(s.conn) != PQTRANS_IDLE) s.Exec("ROLLBACK");
  size_t declared = 0;  // results up to the declaration
  std::vector<Result> results = s.Pipeline(s.DeclareCommands(name, sql, values, 0, kFirstBatch, &declared));
  if ((results.size() < declared || !Succeeded(results[declared - 1].get())) && !s.abandoned &&
      PQstatus(s.conn) == CONNECTION_BAD) {
    // The server closed the session while nobody was reading (a restart, a
    // standby gone): connect again once, since nothing of this read has run.
    // Other cursors of the old session are gone with it, and say so when
    // they are next read.
    s.Forget();
    s.EnsureConnected();
    results = s.Pipeline(s.DeclareCommands(name, sql, values, 0, kFirstBatch, &declared));
  }
  if (results.size() < declared || !Succeeded(results[declared - 1].get())) {
    s.Restore();
    s.Failed(results.back().get());
  }
  ++s.open_cursors;
  auto cursor = std::make_shared<PgCursor>(session_, name, sql, values);
  // The first batch, or the failure of the savepoint or the fetch.
  cursor->Take(std::move(results.back()), kFirstBatch);
  s.Touch();
  return cursor;
}

void PgConnection::Execute(const std::string& address, const std::string& sql) {
  ConnectionSettings setup;
  setup.read_time_limit = std::chrono::milliseconds(0);  // set-up scripts may be long
  Session s(address, setup);
  s.Connect();
  Result r = s.Exec(sql);
  if (!Succeeded(r.get())) s.Fail(ReadRefusal::Failed(s.ServerText(r.get())), s.ServerText(r.get()));
}

}  // namespace trovel
