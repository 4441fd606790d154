// A result left on screen holds nothing in the database once the hold time
// has passed, and the next page press goes on as if the cursor had stayed
// open: on SQLite with a rollback journal and with a write-ahead log, and on
// PostgreSQL. The host's timers run only inside HeadlessHost::Wait, as the
// user looking at the screen.
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "connectors/PgConnection.h"
#include "tests/ContractDatabase.h"
#include "tests/CtlTrovelFixture.h"

namespace trovel {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kHold(200);
// What a host's timer may come late by on a busy machine.
constexpr milliseconds kSlack(100);

// The child's side of OtherProcessWrite: this program started again with
// TROVEL_HOLD_WRITER naming the file, before any test runs. A child that
// only forked would share the parent's SQLite state, which knows of the
// parent's lock; a program started afresh is another program.
const bool kWriterChild = [] {
  const char* path = std::getenv("TROVEL_HOLD_WRITER");
  if (!path) return false;
  const int busy_timeout_ms = std::atoi(std::getenv("TROVEL_HOLD_BUSY"));
  const int out = std::atoi(std::getenv("TROVEL_HOLD_PIPE"));
  const auto start = Clock::now();
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path, &db, SQLITE_OPEN_READWRITE, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_busy_timeout(db, busy_timeout_ms);
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, "insert into otra values (1)", nullptr, nullptr, nullptr);
  sqlite3_close_v2(db);
  const long long report[2] = {rc, std::chrono::duration_cast<milliseconds>(Clock::now() - start).count()};
  [[maybe_unused]] ssize_t n = ::write(out, report, sizeof report);
  ::_exit(0);
}();

// A write into the SQLite file at `path` from another process, as another
// program would make it, started now; Finish tells whether it committed and
// how long it waited for the lock.
class OtherProcessWrite {
 public:
  OtherProcessWrite(const std::string& path, int busy_timeout_ms) {
    if (::pipe(pipe_) != 0) return;
    pid_ = ::fork();
    if (pid_ != 0) {
      ::close(pipe_[1]);
      return;
    }
    ::close(pipe_[0]);
    ::setenv("TROVEL_HOLD_WRITER", path.c_str(), 1);
    ::setenv("TROVEL_HOLD_BUSY", std::to_string(busy_timeout_ms).c_str(), 1);
    ::setenv("TROVEL_HOLD_PIPE", std::to_string(pipe_[1]).c_str(), 1);
    ::execl("/proc/self/exe", "contract_hold_test", static_cast<char*>(nullptr));
    ::_exit(127);
  }

  struct Outcome {
    int rc = -1;  // SQLite's result of the insert
    milliseconds waited{-1};
  };

  // Waits for the child to report and end.
  Outcome Finish() {
    Outcome out;
    if (pid_ <= 0) return out;
    long long report[2];
    if (::read(pipe_[0], report, sizeof report) == static_cast<ssize_t>(sizeof report)) {
      out.rc = static_cast<int>(report[0]);
      out.waited = milliseconds(report[1]);
    }
    ::close(pipe_[0]);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return out;
  }
  ~OtherProcessWrite() {
    if (pid_ > 0) Finish();
  }

 private:
  int pipe_[2] = {-1, -1};
  pid_t pid_ = -1;
};

// ctlTrovel on the contract table of the backend the parameter names
// ("sqlite", "postgresql", "mariadb", "pgodbc", "pgbouncer"; the instantiation WriteAheadLog puts the SQLite
// file in WAL mode), on a connection that lets go after kHold through the
// headless host's timers.
class HoldContract : public CtlTrovelTest, public ::testing::WithParamInterface<std::string> {
 protected:
  static constexpr const char* kName = "retencion";

  void SetUp() override {
    try {
      sqlite_ = GetParam() == "sqlite";
      postgres_ = GetParam() == "postgresql" || GetParam() == "pgodbc" || GetParam() == "pgbouncer";
      const std::string suite = ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name();
      wal_ = suite.rfind("WriteAheadLog/", 0) == 0;
      address = ContractDatabase::Make(GetParam(), kName);
      if (GetParam() == "pgodbc") {
        address.insert(address.rfind('}'), "; SET application_name TO " + application_);
      } else if (sqlite_) {
        path = address.substr(std::strlen("sqlite:"));
        SqliteConnection setup(path);
        setup.Execute(std::string(wal_ ? "pragma journal_mode=wal;" : "") +
                      "create table otra (x integer)");
      } else if (GetParam() == "postgresql" || GetParam() == "pgbouncer") {
        address += " application_name=" + application_;
      }
      ConnectionSettings settings;
      settings.hold_time = kHold;
      settings.defer = host.Deferrer();
      conn = std::make_shared<RecordingConnection>(OpenConnection(address, settings), log);
    } catch (const std::exception& e) {
      FAIL() << GetParam() << ": " << e.what();
    }
    for (ctlTrovel* c : {&ctl, &other}) {
      ConfigureClientes(*c);
      c->glbDb(conn);
    }
  }
  void TearDown() override { ContractDatabase::Remove(kName); }

  // The codes of the grid's rows, each row checked cell by cell against
  // the table.
  static std::vector<int> Codes(const ctlTrovel& c) {
    std::vector<int> codes;
    for (int r = 1; r < c.grdDatos.Rows(); ++r) {
      const int i = std::stoi(c.grdDatos.TextMatrix(r, 0).substr(1));
      EXPECT_EQ(c.grdDatos.TextMatrix(r, 1), ContractDatabase::Cells(i)[1]) << "row " << r;
      codes.push_back(i);
    }
    return codes;
  }
  static std::vector<int> OneTo(int n) {
    std::vector<int> v;
    for (int i = 1; i <= n; ++i) v.push_back(i);
    return v;
  }

  // PostgreSQL: the state of this test's sessions ("idle in transaction",
  // "idle", ...), as another session sees them.
  std::vector<std::string> States() {
    PgConnection watcher(PgServers::Load().primary);
    std::string sql =
        "select coalesce(state, '') as s from pg_stat_activity where application_name = '" + application_ + "'";
    bool flag = false;
    std::vector<std::string> out;
    for (auto c = watcher.OpenCursor(sql, flag); !c->AtEnd(); c->MoveNext())
      out.push_back(c->Fields().Item("s").ToString());
    return out;
  }

  // PostgreSQL: whether ALTER TABLE on clientes gets its lock within
  // `wait` from another session.
  bool AlterTableProceeds(milliseconds wait) {
    try {
      const std::string primary = PgServers::Load().primary;
      PgConnection::Execute(GetParam() == "pgbouncer" ? primary + " dbname=" + kName
                                                      : ContractDatabase::InSchema(primary, kName),
                            "set lock_timeout = " + std::to_string(wait.count()) +
                                "; alter table clientes alter column ciudad set default 'Lima'");
      return true;
    } catch (const Error& e) {
      EXPECT_NE(e.description().find("lock"), std::string::npos) << e.description();
      return false;
    }
  }

  bool sqlite_ = true;
  bool postgres_ = false;  // libpq, ODBC or the pooler: the server shows what a session holds
  bool wal_ = false;
  // Names this process's sessions: a pooler's server connections keep the
  // name of the last client they served, also one of an earlier test.
  const std::string application_ = "trovel_hold_" + std::to_string(getpid());
  std::string address, path;
  ctlTrovel other{host};
};

// A writer in another process commits while the first block is on screen,
// within the hold time; the next press shows rows 52 to 102, and the one
// after the last row with the buttons as always.
TEST_P(HoldContract, AWriterCommitsWhileTheResultIsShownAndTheNextPageGoesOn) {
  ctl.p_leer();
  ASSERT_EQ(Codes(ctl), OneTo(51));
  ASSERT_EQ(Buttons(), "1111");
  if (sqlite_) {
    // Held: a writer that does not wait is refused, except beside a
    // write-ahead log, whose readers never stop a writer.
    OtherProcessWrite at_once(path, 0);
    EXPECT_EQ(at_once.Finish().rc, wal_ ? SQLITE_OK : SQLITE_BUSY);
    OtherProcessWrite patient(path, 5000);
    host.Wait(kHold + kSlack);
    OtherProcessWrite::Outcome done = patient.Finish();
    EXPECT_EQ(done.rc, SQLITE_OK);
    EXPECT_LE(done.waited, kHold + kSlack);
  } else if (postgres_) {
    EXPECT_EQ(States(), std::vector<std::string>{"idle in transaction"});
    EXPECT_FALSE(AlterTableProceeds(milliseconds(100)));
    host.Wait(kHold + kSlack);
    EXPECT_EQ(States(), std::vector<std::string>{"idle"});
    EXPECT_TRUE(AlterTableProceeds(milliseconds(2000)));
  } else {
    // MariaDB through odbc-mariadb 3.1.15: the driver stored the result
    // when the statement ran, so the server holds nothing to watch; the
    // statement is let go all the same, and the next page reads again.
    host.Wait(kHold + kSlack);
  }
  ctl.cmdSiguiente.Click();
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(Codes(ctl), OneTo(102));
  EXPECT_EQ(Buttons(), "1111");
  host.Wait(kHold + kSlack);
  ctl.cmdSiguiente.Click();
  EXPECT_EQ(Codes(ctl), OneTo(103));
  EXPECT_EQ(Buttons(), "1011");
  EXPECT_TRUE(host.messages.empty());
}

// Two controls read on one connection. PostgreSQL ends their shared
// transaction only once neither was used for the hold time; then both go
// on where they were, and paging on without pauses keeps the cursor.
TEST_P(HoldContract, TwoControlsOnOneConnectionBothGoOn) {
  other.OrderBy("codigo desc");
  ctl.p_leer();
  host.Wait(kHold * 6 / 10);
  other.p_leer();
  host.Wait(kHold * 6 / 10);
  // Through ODBC each control's cursor has a session and a hold of its own:
  // the first, left alone for 1.2 hold times, has let go already.
  const bool odbc = GetParam() == "pgodbc";
  if (postgres_) {
    std::vector<std::string> states = States();
    std::sort(states.begin(), states.end());
    const std::vector<std::string> expected =
        odbc ? std::vector<std::string>{"idle", "idle in transaction"} : std::vector<std::string>{"idle in transaction"};
    EXPECT_EQ(states, expected);
  }
  host.Wait(kHold + kSlack);
  if (postgres_) {
    EXPECT_EQ(States(), std::vector<std::string>(odbc ? 2 : 1, "idle"));
  }
  ctl.cmdSiguiente.Click();
  other.cmdSiguiente.Click();
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(Codes(ctl), OneTo(102));
  std::vector<int> descending = OneTo(103);
  std::reverse(descending.begin(), descending.end());
  descending.pop_back();
  EXPECT_EQ(Codes(other), descending);
  other.cmdSiguiente.Click();
  ctl.cmdSiguiente.Click();
  EXPECT_EQ(other.grdDatos.Rows() - 1, 103);
  EXPECT_EQ(Codes(ctl), OneTo(103));
  EXPECT_TRUE(host.messages.empty());
}

std::string BackendOf(const ::testing::TestParamInfo<std::string>& info) { return info.param; }

INSTANTIATE_TEST_SUITE_P(Backends, HoldContract, ::testing::Values("sqlite", "postgresql", "mariadb", "pgodbc", "pgbouncer"),
                         BackendOf);
INSTANTIATE_TEST_SUITE_P(WriteAheadLog, HoldContract, ::testing::Values("sqlite"), BackendOf);

}  // namespace
}  // namespace trovel
