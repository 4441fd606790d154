// Shared setup for the ctlTrovel tests: a headless host, a real in-memory
// SQLite database and a recording wrapper around it that logs the calls the
// control makes (OpenCursor with its statement, Close of each cursor).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "connectors/SqliteConnection.h"
#include "ctltrovel/ctlTrovel.h"
#include "platform/Error.h"
#include "platform/HeadlessHost.h"
#include "tests/ErrorNumber.h"
#include "tests/RecordingConnection.h"
#include "tests/TypedKeys.h"

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
  void ConfigureClientes() { ConfigureClientes(ctl); }
  static void ConfigureClientes(ctlTrovel& c) {
    c.SentenciaSQL("select codigo, nombre from clientes");
    c.N_Campo1("codigo");
    c.N_Campo2("nombre");
    c.OrderBy("codigo");
  }

  // Names the fields of grid columns 1, 2, ... in turn.
  void SetFields(const std::vector<std::string>& names) {
    for (size_t i = 0; i < names.size(); ++i) ctl.SetProperty("N_Campo" + std::to_string(i + 1), names[i]);
  }

  // Focuses `box`, empties it and types `keys` into it key by key.
  void TypeInto(TextBox& box, const std::string& keys) {
    host.SetFocus(&box);
    box.SetText("");
    for (int16_t k : KeysOf(keys)) host.TypeKey(box, k);
  }

  // Presses the read button and returns the statement it sent.
  std::string Read() {
    ctl.p_leer();
    return log->statements.empty() ? std::string() : log->statements.back();
  }

  // Opens `statement` on the database itself, bypassing the control and the call log.
  std::shared_ptr<DataCursor> Open(std::string statement) {
    bool flag = false;
    return db->OpenCursor(statement, flag);
  }

  // The description of the failure `work` throws, as the control would show it.
  static std::string FailureOf(const std::function<void()>& work) {
    try {
      work();
    } catch (const std::exception& e) {
      return e.what();
    }
    return "(no failure)";
  }

  // Exactly one critical OK-only box titled "Mensaje" was shown, with `text` when one is given.
  void ExpectOneCriticalMessage(const std::optional<std::string>& text = std::nullopt) {
    ASSERT_EQ(host.messages.size(), 1u);
    if (text) {
      EXPECT_EQ(host.messages[0].text, *text);
    }
    EXPECT_EQ(host.messages[0].style, Host::kCritical | Host::kOkOnly);
    EXPECT_EQ(host.messages[0].title, "Mensaje");
  }

  // The enabled state of Leer, Siguiente, Seleccionar and Salir, as "1" or "0" each.
  std::string Buttons() const {
    std::string s;
    for (const CommandButton* b : {&ctl.cmdLeer, &ctl.cmdSiguiente, &ctl.cmdSeleccionar, &ctl.cmdSalir})
      s += b->Enabled() ? '1' : '0';
    return s;
  }

  // The texts of every column of grid row r.
  std::vector<std::string> Row(int r) const {
    std::vector<std::string> cells;
    for (int c = 0; c < ctl.grdDatos.Cols(); ++c) cells.push_back(ctl.grdDatos.TextMatrix(r, c));
    return cells;
  }

  // The grid shows only its header and the blank row a reset leaves.
  void ExpectOnlyBlankRow() const {
    ASSERT_EQ(ctl.grdDatos.Rows(), 2);
    EXPECT_EQ(Row(1), std::vector<std::string>(ctl.grdDatos.Cols(), ""));
  }

  int DataRows() const { return ctl.grdDatos.Rows() - 1; }

  HeadlessHost host;
  std::shared_ptr<SqliteConnection> db = std::make_shared<SqliteConnection>(":memory:");
  std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
  std::shared_ptr<RecordingConnection> conn = std::make_shared<RecordingConnection>(db, log);
  ctlTrovel ctl{host};
};

}  // namespace trovel
