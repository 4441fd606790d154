// Server faults that must never freeze a form: a backend paused (SIGSTOP)
// in the middle of a read, and a server restarted while another control
// holds a cursor on the same connection.
#include <signal.h>

#include <chrono>

#include "connectors/ReadRefusal.h"
#include "tests/ContractDatabase.h"
#include "tests/CtlTrovelFixture.h"

namespace trovel {
namespace {

using Clock = std::chrono::steady_clock;

class FaultsOnPgTest : public CtlTrovelTest {
 protected:
  void SetUp() override {
    try {
      servers = PgServers::Load();
      schema = "faults_";
      for (char c : std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()))
        schema += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      address = ContractDatabase::Make("postgresql", schema);
    } catch (const std::exception& e) {
      FAIL() << e.what();
    }
  }

  static long long Number(DataConnection& db, std::string sql) {
    bool flag = false;
    return db.OpenCursor(sql, flag)->Fields().ItemAt(0).ToLong();
  }

  PgServers servers;
  std::string schema, address;
};

// Resumes a paused backend when a test ends, also when it fails.
struct Resume {
  int pid;
  ~Resume() { ::kill(pid, SIGCONT); }
};

// With its backend paused, a read returns within its time limit and the
// cancel's grace (2 s), the host asked all along, with the time-limit
// message; Escape (the host's stop) ends it the same way within the grace.
// The next read connects again and works.
TEST_F(FaultsOnPgTest, APausedBackendHoldsAReadForItsLimitAndTheGraceAtMost) {
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
TEST_F(FaultsOnPgTest, ARestartIsHealedBeforeTheNextReadWhateverHoldsACursor) {
  ConfigureClientes();
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
