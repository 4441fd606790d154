// Shared setup for the ctlTrovel tests: a headless host, a real in-memory
// SQLite database and a recording wrapper around it that logs the calls the
// control makes (OpenCursor with its statement, Close of each cursor).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "connectors/SqliteConnection.h"
#include "ctltrovel/ctlTrovel.h"
#include "platform/Error.h"
#include "platform/HeadlessHost.h"
#include "tests/ErrorNumber.h"
#include "tests/RecordingConnection.h"

namespace trovel {

class CtlTrovelTest : public ::testing::Test {
 protected:
  CtlTrovelTest() {
    db->Execute("create table clientes (codigo text, nombre text, alta date, saldo real, n integer)");
    ctl.glbDb(conn);
  }

  // Rows C001.. with nombre "Nombre i", alta 2001-01-01 plus i days, n = i.
  void AddClientes(int count) {
    db->Execute(
        "with recursive k(i) as (select 1 union all select i + 1 from k where i < " + std::to_string(count) +
        ") insert into clientes select printf('C%03d', i), 'Nombre ' || i, date('2001-01-01', '+' || i || ' days'),"
        " i * 1.5, i from k");
  }

  // The usual two-column search over clientes.
  void ConfigureClientes() {
    ctl.SentenciaSQL("select codigo, nombre from clientes");
    ctl.N_Campo1("codigo");
    ctl.N_Campo2("nombre");
    ctl.OrderBy("codigo");
  }

  // Presses the read button and returns the statement it sent.
  std::string Read() {
    ctl.p_leer();
    return log->statements.empty() ? std::string() : log->statements.back();
  }

  // The description the connection itself gives for a failing statement.
  std::string FailureOf(std::string statement) {
    try {
      bool flag = false;
      db->OpenCursor(statement, flag);
    } catch (const std::exception& e) {
      return e.what();
    }
    return "(no failure)";
  }

  void ExpectOneCriticalMessage(const std::string& text) {
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, text);
    EXPECT_EQ(host.messages[0].style, Host::kCritical | Host::kOkOnly);
    EXPECT_EQ(host.messages[0].title, "Mensaje");
  }

  int DataRows() const { return ctl.grdDatos.Rows() - 1; }

  HeadlessHost host;
  std::shared_ptr<SqliteConnection> db = std::make_shared<SqliteConnection>(":memory:");
  std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
  std::shared_ptr<RecordingConnection> conn = std::make_shared<RecordingConnection>(db, log);
  ctlTrovel ctl{host};
};

}  // namespace trovel
