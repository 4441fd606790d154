// Searches through a connection pooler (PgBouncer in transaction pooling
// mode, 20 server connections, started by the fixture with the servers):
// 256 clients search at once and pause between their pages longer than the
// hold time, so that each read lets go of its server connection while its
// user looks. Every client sees its rows, blocks and buttons as it would
// alone, and no client's limits reach another.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "tests/ContractDatabase.h"
#include "tests/CtlTrovelFixture.h"

namespace trovel {
namespace {

constexpr int kClients = 256;
constexpr int kRows = 200;

class PoolerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    try {
      servers = PgServers::Load();
      // The pooler passes no options: the table lives in the public schema.
      ExecuteScript(servers.primary,
                    "drop table if exists public.pooled; create table public.pooled (codigo text, nombre text);"
                    "insert into public.pooled select 'P' || lpad(g::text, 3, '0'), 'Nombre ' || g"
                    " from generate_series(1, " + std::to_string(kRows) + ") g");
    } catch (const std::exception& e) {
      FAIL() << e.what();
    }
  }
  PgServers servers;
};

// One user: a read, a pause, two page presses with a pause between, a
// selection. Returns "" or what went wrong.
std::string Search(const std::string& address, int user) {
  HeadlessHost host;
  ConnectionSettings settings;
  settings.hold_time = std::chrono::milliseconds(200);
  settings.defer = host.Deferrer();
  std::shared_ptr<DataConnection> db;
  try {
    db = OpenConnection(address, settings);
  } catch (const std::exception& e) {
    return std::string("connect: ") + e.what();
  }
  ctlTrovel ctl(host);
  ctl.SentenciaSQL("select codigo, nombre from pooled");
  ctl.N_Campo1("codigo");
  ctl.N_Campo2("nombre");
  ctl.OrderBy("codigo");
  ctl.glbDb(db);
  // Half the users filter by a prefix their number picks.
  const bool filtered = user % 2 == 1;
  if (filtered) ctl.txtCodigo.SetText("P1%");
  const int expected = filtered ? 100 : kRows;
  ctl.p_leer();
  for (int press = 0; press < 2; ++press) {
    host.Wait(std::chrono::milliseconds(300));  // the user looks: the read lets go
    if (ctl.cmdSiguiente.Enabled()) ctl.cmdSiguiente.Click();
  }
  std::string wrong;
  for (const auto& m : host.messages) wrong += " message: " + m.text;
  const int shown = ctl.grdDatos.Rows() - 1;
  const int should_show = std::min(expected, 51 * 3);
  if (shown != should_show) wrong += " rows " + std::to_string(shown) + " of " + std::to_string(should_show);
  for (int r = 1; r <= shown && wrong.empty(); ++r) {
    char code[16];
    std::snprintf(code, sizeof code, "P%03d", filtered ? 99 + r : r);
    if (ctl.grdDatos.TextMatrix(r, 0) != code) wrong += " row " + std::to_string(r) + " is " + ctl.grdDatos.TextMatrix(r, 0);
  }
  if (ctl.cmdSiguiente.Enabled() != (expected > should_show)) wrong += " Siguiente in the wrong state";
  ctl.Quit();
  return wrong;
}

TEST_F(PoolerTest, TwoHundredFiftySixClientsPausingBetweenPagesThroughTwentyServerConnections) {
  std::atomic<int> errors{0};
  std::vector<std::string> first_errors(kClients);
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> clients;
  for (int user = 0; user < kClients; ++user)
    clients.emplace_back([&, user] {
      // Users do not all open their forms in the same millisecond.
      std::this_thread::sleep_for(std::chrono::milliseconds(2 * user));
      first_errors[static_cast<size_t>(user)] = Search(servers.pooler, user);
      if (!first_errors[static_cast<size_t>(user)].empty()) ++errors;
    });
  for (std::thread& t : clients) t.join();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  for (const std::string& e : first_errors)
    if (!e.empty()) {
      ADD_FAILURE() << e;
      break;
    }
  EXPECT_EQ(errors.load(), 0);
  std::printf("pooler: %d clients, 3 blocks each with pauses, through 20 server connections: %d errors, %.1f s\n",
              kClients, errors.load(), seconds);

  // The time limit of the reads stays with their transactions: a client
  // without one sees the server's own (none), whichever server connection
  // the pooler hands it.
  ConnectionSettings unlimited;
  unlimited.read_time_limit = std::chrono::milliseconds(0);
  auto db = OpenConnection(servers.pooler, unlimited);
  for (int i = 0; i < 30; ++i) {
    std::string sql = "select current_setting('statement_timeout') as v";
    bool flag = false;
    EXPECT_EQ(db->OpenCursor(sql, flag)->Fields().Item("v").ToString(), "0");
  }
}

}  // namespace
}  // namespace trovel
