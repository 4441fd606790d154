// The controls on the throw-away PostgreSQL servers when things go wrong and
// when many search at once: a server lost between two page presses, a
// standby lost while paging, a backend paused in the middle of a read, a
// server restarted while another control holds a cursor on the same
// connection, and 32 clients each on its own connection.
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "connectors/ReadRefusal.h"
#include "tests/ContractDatabase.h"
#include "tests/CtlTrovelFixture.h"

namespace trovel {
namespace {

using Clock = std::chrono::steady_clock;

// The contract table in a schema named after the test, and ctlTrovel on it.
class ControlsOnPgTest : public CtlTrovelTest {
 protected:
  void SetUp() override {
    try {
      servers = PgServers::Load();
      schema = "ctl_";
      for (char c : std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()))
        schema += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      address = ContractDatabase::Make("postgresql", schema);
    } catch (const std::exception& e) {
      FAIL() << e.what();
    }
    ConfigureClientes();
  }

  // Hands the control a connection to `to`, recorded as the fixture's is.
  void Connect(const std::string& to, const ConnectionSettings& settings = {}) {
    conn = std::make_shared<RecordingConnection>(OpenConnection(to, settings), log);
    ctl.glbDb(conn);
  }

  // The one message shown since the last look, which must be critical "Mensaje".
  std::string TakeMessage() {
    ExpectOneCriticalMessage();
    const std::string text = host.messages.empty() ? "" : host.messages[0].text;
    host.messages.clear();
    return text;
  }

  // The first value of the first row of `sql`.
  static long long Number(DataConnection& db, std::string sql) {
    bool flag = false;
    return db.OpenCursor(sql, flag)->Fields().ItemAt(0).ToLong();
  }

  // Waits (up to 30 s) until the test's table has reached the standby by
  // replication.
  bool Replicated() const {
    const std::string on_standby = ContractDatabase::InSchema(servers.standby, schema);
    for (int i = 0; i < 300; ++i) {
      try {
        if (Number(*OpenConnection(on_standby), "select count(*) as n from clientes") == ContractDatabase::kRows)
          return true;
      } catch (const Error&) {
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }

  struct Client;

  PgServers servers;
  std::string schema, address;
};

// Brings a stopped server back when a test ends, also when it fails, so
// that the tests after it find both servers running.
struct Restart {
  const PgServers& servers;
  const char* node;
  ~Restart() {
    try {
      servers.Run("up", node);
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
    }
  }
};

// A search is left with a message in the control's box on the page press
// after the server was lost, and the next read works on its own.
TEST_F(ControlsOnPgTest, AFaultBetweenTwoPagePressesGivesAMessageAndTheNextReadWorks) {
  const std::string lost = "Se perdió la conexión con el servidor de la base de datos";
  Connect(address);
  ctl.p_leer();
  ASSERT_EQ(DataRows(), 51);
  {
    Restart back{servers, "primary"};
    servers.Run("down", "primary");
  }
  ctl.cmdSiguiente.Click();
  EXPECT_NE(TakeMessage().find(lost), std::string::npos);
  EXPECT_EQ(DataRows(), 52);  // the row fetched before the fault stays
  EXPECT_EQ(Buttons(), "1111");
  ctl.cmdSiguiente.Click();  // a second press says so again, and leaves "Siguiente" as it was
  EXPECT_NE(TakeMessage().find(lost), std::string::npos);
  EXPECT_EQ(Buttons(), "1111");
  ctl.p_leer();
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(Row(51), (std::vector<std::string>{"C051", "Ana García"}));
  ctl.cmdSiguiente.Click();
  EXPECT_EQ(DataRows(), 102);
  EXPECT_TRUE(host.messages.empty());
}

// Reading from the standby through libpq's several-host address; with the
// standby gone mid-paging, the next read goes to the primary.
TEST_F(ControlsOnPgTest, AStandbyLostWhilePagingGivesAMessageAndTheNextReadGoesToTheOtherHost) {
  ASSERT_TRUE(Replicated());

  ctl.SentenciaSQL("select codigo, nombre, pg_is_in_recovery() as standby from clientes");
  ctl.N_Campo3("standby");
  ctl.NumCol(3);
  Connect(ContractDatabase::InSchema(servers.hosts + " target_session_attrs=prefer-standby", schema));
  ctl.p_leer();
  ASSERT_EQ(DataRows(), 51);
  EXPECT_EQ(Row(1)[2], Variant(true).ToString());  // read on the standby
  {
    Restart back{servers, "standby"};
    servers.Run("down", "standby");
    ctl.cmdSiguiente.Click();
    EXPECT_NE(TakeMessage().find("Se perdió la conexión con el servidor de la base de datos"), std::string::npos);
    ctl.p_leer();
    EXPECT_TRUE(host.messages.empty());
    ASSERT_EQ(DataRows(), 51);
    EXPECT_EQ(Row(1)[2], Variant(false).ToString());  // read on the primary
    EXPECT_EQ(Row(51)[0], "C051");
  }
}

// A search on a standby holds a lock that a change coming from the primary
// needs: the standby ends its session after max_standby_streaming_delay (a
// recovery conflict). The next page press says what happened, in Spanish,
// and leaves "Siguiente" as it was; the next read works.
TEST_F(ControlsOnPgTest, ARecoveryConflictOnAStandbySaysWhatHappened) {
  ASSERT_TRUE(Replicated());
  Connect(ContractDatabase::InSchema(servers.standby, schema) + " application_name=trovel_conflicto");
  ctl.p_leer();
  ASSERT_EQ(DataRows(), 51);
  ExecuteScript(ContractDatabase::InSchema(servers.primary, schema), "alter table clientes add column nuevo int");
  // The standby ends the session once the change has waited its delay.
  auto watcher = OpenConnection(servers.standby);
  const auto deadline = Clock::now() + std::chrono::seconds(30);
  while (Number(*watcher, "select count(*) from pg_stat_activity where application_name = 'trovel_conflicto'") > 0 &&
         Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ctl.cmdSiguiente.Click();
  const std::string said = TakeMessage();
  EXPECT_NE(said.find("conflicto con la recuperación"), std::string::npos) << said;
  EXPECT_EQ(DataRows(), 52);  // the row in hand is shown before the fetch
  EXPECT_EQ(Buttons(), "1111");
  ctl.p_leer();
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(DataRows(), 51);
}

// The standby a search reads from is promoted while the user pages: the
// session goes on (a promotion ends no session), the next pages come, and
// the next read works on the new primary. The standby is made again
// afterwards, also when the test fails.
TEST_F(ControlsOnPgTest, AStandbyPromotedWhileTheUserPagesGoesOn) {
  ASSERT_TRUE(Replicated());
  struct Remake {
    const PgServers& servers;
    ~Remake() {
      try {
        servers.Run("restandby", "standby");
      } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
      }
    }
  } remake{servers};
  ctl.SentenciaSQL("select codigo, nombre, pg_is_in_recovery() as standby from clientes");
  ctl.N_Campo3("standby");
  ctl.NumCol(3);
  Connect(ContractDatabase::InSchema(servers.standby, schema));
  ctl.p_leer();
  ASSERT_EQ(DataRows(), 51);
  EXPECT_EQ(Row(1)[2], Variant(true).ToString());
  servers.Run("promote", "standby");
  ctl.cmdSiguiente.Click();
  ctl.cmdSiguiente.Click();
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(DataRows(), ContractDatabase::kRows);
  EXPECT_EQ(Row(ContractDatabase::kRows)[0], "C103");
  ctl.p_leer();
  EXPECT_TRUE(host.messages.empty());
  ASSERT_EQ(DataRows(), 51);
  EXPECT_EQ(Row(1)[2], Variant(false).ToString());  // no longer in recovery
}

// One client of the load test: a headless host with its own ctlTrovel on its
// own connection.
struct ControlsOnPgTest::Client {
  explicit Client(const std::string& address) : db(OpenConnection(address)) {
    ConfigureClientes(ctl);
    ctl.glbDb(db);
  }

  // A whole search: read, two pages, select row 7. Returns what the user saw
  // (every row, the selection and any message) and adds the time to the
  // first block to `first_block`.
  std::string Search(std::vector<double>& first_block) {
    const auto start = Clock::now();
    ctl.p_leer();
    first_block.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    ctl.cmdSiguiente.Click();
    ctl.cmdSiguiente.Click();
    std::string seen;
    for (int r = 1; r < ctl.grdDatos.Rows(); ++r) seen += ctl.grdDatos.TextMatrix(r, 0) + ctl.grdDatos.TextMatrix(r, 1);
    ctl.grdDatos.SetRow(7);
    ctl.cmdSeleccionar.Click();
    for (const auto& e : host.events) seen += " " + e.name + ":" + e.args[0] + "," + e.args[1];
    for (const auto& m : host.messages) seen += " msg:" + m.text;
    host.events.clear();
    host.messages.clear();
    return seen;
  }

  std::shared_ptr<DataConnection> db;
  HeadlessHost host;
  ctlTrovel ctl{host};
};

TEST_F(ControlsOnPgTest, ThirtyTwoClientsSearchAtOnceAndLeaveNothingOpen) {
  constexpr int kClients = 32, kSearches = 100;
  std::vector<double> single;
  const std::string answer = Client(address).Search(single);
  std::string expected;
  for (int i = 1; i <= ContractDatabase::kRows; ++i)
    expected += ContractDatabase::Cells(i)[0] + ContractDatabase::Cells(i)[1];
  ASSERT_EQ(answer, expected + " evtSeleccionar:C007,Inés López");

  std::vector<std::unique_ptr<Client>> clients;
  for (int c = 0; c < kClients; ++c) clients.push_back(std::make_unique<Client>(address));
  std::vector<std::vector<double>> times(kClients);
  std::vector<std::string> wrong(kClients);
  const auto start = Clock::now();
  std::vector<std::thread> threads;
  for (int c = 0; c < kClients; ++c)
    threads.emplace_back([&, c] {
      for (int s = 0; s < kSearches && wrong[c].empty(); ++s) {
        std::string seen = clients[c]->Search(times[c]);
        if (seen != answer) wrong[c] = "search " + std::to_string(s) + ": " + seen;
      }
    });
  for (std::thread& t : threads) t.join();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  for (int c = 0; c < kClients; ++c) EXPECT_EQ(wrong[c], "") << "client " << c;

  std::vector<double> all;
  for (const auto& t : times) all.insert(all.end(), t.begin(), t.end());
  ASSERT_EQ(all.size(), size_t{kClients * kSearches});
  std::sort(all.begin(), all.end());
  std::printf("%d clients x %d searches: %zu searches in %.2f s; time to the first block p50 %.2f ms, p99 %.2f ms\n",
              kClients, kSearches, all.size(), seconds, all[all.size() / 2], all[all.size() * 99 / 100]);

  // Every session, still connected, holds no cursor and no transaction: its
  // own look at pg_cursors sees only the cursor of that very look (and the
  // protocol's unnamed portal that fetches from it), and pg_stat_activity
  // shows it idle outside any transaction.
  std::string pids;
  for (auto& client : clients) {
    std::string sql = "select pg_backend_pid() as pid, (select count(*) from pg_cursors where name <> '') as cursors";
    bool flag = false;
    auto look = client->db->OpenCursor(sql, flag);
    EXPECT_EQ(look->Fields().Item("cursors").ToLong(), 1);
    pids += (pids.empty() ? "" : ",") + look->Fields().Item("pid").ToString();
    look->Close();
  }
  std::string sql = "select count(*) as n from pg_stat_activity where pid in (" + pids +
                    ") and state = 'idle' and xact_start is null and backend_xid is null";
  bool flag = false;
  EXPECT_EQ(OpenConnection(servers.primary)->OpenCursor(sql, flag)->Fields().Item("n").ToLong(), kClients);
}

// Resumes a paused backend when a test ends, also when it fails.
struct Resume {
  int pid;
  ~Resume() { ::kill(pid, SIGCONT); }
};

// With its backend paused, a read returns within its time limit and the
// cancel's grace (2 s), the host asked all along, with the time-limit
// message; Escape (the host's stop) ends it the same way within the grace.
// The next read connects again and works.
TEST_F(ControlsOnPgTest, APausedBackendHoldsAReadForItsLimitAndTheGraceAtMost) {
  struct Case {
    const char* name;
    std::chrono::milliseconds limit;
    int stop_after_asks;  // 0: never
    std::string message;
    std::chrono::milliseconds bound;
  } cases[] = {
      {"time limit", std::chrono::seconds(2), 0, ReadRefusal::TimedOut(std::chrono::seconds(2)),
       std::chrono::milliseconds(2000 + 2000 + 700)},
      {"Escape", std::chrono::seconds(30), 10, ReadRefusal::Stopped(), std::chrono::milliseconds(200 + 2000 + 700)},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    ConnectionSettings settings;
    settings.read_time_limit = k.limit;
    int asks = 0;
    Clock::time_point last_ask;
    settings.read_progress = [&](std::chrono::milliseconds) {
      ++asks;
      last_ask = Clock::now();
      return k.stop_after_asks > 0 && asks >= k.stop_after_asks;
    };
    auto db = OpenConnection(ContractDatabase::InSchema(servers.primary, schema), settings);
    const int pid = static_cast<int>(Number(*db, "select pg_backend_pid()"));
    asks = 0;
    ASSERT_EQ(::kill(pid, SIGSTOP), 0);
    Resume resume{pid};
    const auto start = Clock::now();
    try {
      Number(*db, "select count(*) from clientes");
      ADD_FAILURE() << "the read returned rows from a paused backend";
    } catch (const Error& e) {
      EXPECT_EQ(e.description(), k.message);
    }
    const auto took = Clock::now() - start;
    EXPECT_LT(took, k.bound);
    // Asked to the end: the window repaints and takes Escape throughout.
    EXPECT_LT(Clock::now() - last_ask, std::chrono::milliseconds(200));
    EXPECT_GT(asks, 20);
    ::kill(pid, SIGCONT);
    EXPECT_EQ(Number(*db, "select count(*) from clientes"), ContractDatabase::kRows);
    std::printf("paused backend, %s: the read returned after %lld ms\n", k.name,
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
  }
}

// A server restarted while one control holds a cursor: another control's
// read on the same connection connects again and works, with no message;
// the first control says at each page press that its search was lost,
// leaving "Siguiente" as it was, and its next read works.
TEST_F(ControlsOnPgTest, ARestartIsHealedBeforeTheNextReadWhateverHoldsACursor) {
  auto shared = std::make_shared<RecordingConnection>(OpenConnection(address), log);
  ctl.glbDb(shared);
  ctl.p_leer();
  ASSERT_EQ(DataRows(), 51);
  ctlTrovel other(host);
  ConfigureClientes(other);
  other.glbDb(shared);
  servers.Run("down", "primary");
  servers.Run("up", "primary");
  other.p_leer();
  EXPECT_TRUE(host.messages.empty()) << host.messages[0].text;
  EXPECT_EQ(other.grdDatos.Rows() - 1, 51);
  for (int press = 0; press < 2; ++press) {
    ctl.cmdSiguiente.Click();
    ASSERT_EQ(host.messages.size(), 1u);
    host.messages.clear();
    EXPECT_EQ(Buttons(), "1111");
  }
  ctl.p_leer();
  EXPECT_TRUE(host.messages.empty());
  other.cmdSiguiente.Click();
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(other.grdDatos.Rows() - 1, 102);
  other.Quit();
}

}  // namespace
}  // namespace trovel
