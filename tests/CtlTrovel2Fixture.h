// Shared setup for the ctlTrovel2 tests: a headless host, a loaded control,
// a real in-memory SQLite database and a logging wrapper around it that
// records the statements sent and the order of Open and Close calls.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "connectors/SqliteConnection.h"
#include "ctltrovel2/ctlTrovel2.h"
#include "platform/Error.h"
#include "platform/HeadlessHost.h"
#include "platform/MemoryPropertyBag.h"
#include "tests/ErrorNumber.h"
#include "tests/RecordingConnection.h"
#include "tests/TypedKeys.h"

namespace trovel {

// The texts of the messages `host` showed since the last call; each must be a
// critical "Mensaje" box with a single OK button.
inline std::vector<std::string> TakeMessagesOf(HeadlessHost& host) {
  std::vector<std::string> texts;
  for (const auto& m : host.messages) {
    EXPECT_EQ(m.style, Host::kCritical | Host::kOkOnly) << m.text;
    EXPECT_EQ(m.title, "Mensaje") << m.text;
    texts.push_back(m.text);
  }
  host.messages.clear();
  return texts;
}

class CtlTrovel2Test : public ::testing::Test {
 protected:
  CtlTrovel2Test() {
    db->Execute("create table art (cod text, des text, precio real, alta date, activo integer)");
    ctl.ReadProperties(bag);
    ctl.glbDb(conn);
  }

  // Four columns over art: code (text), description (text), price (number),
  // date of entry (date), in grid columns 0..3.
  void AddArtColumns() { AddArtColumns(ctl); }
  static void AddArtColumns(ctlTrovel2& c) {
    c.Columns()->Add("0", "cod", "art", ctvTEXT, "Código", 6);
    c.Columns()->Add("1", "des", "art", ctvTEXT, "Descripción", 20);
    c.Columns()->Add("2", "precio", "art", ctvNUMBER, "Precio", 10);
    c.Columns()->Add("3", "alta", "art", ctvDATE, "Alta", 10);
    c.SentenciaSQL("select * from art");
    c.OrderBy("cod");
  }

  // Rows A001..: des "Articulo i", precio i, alta 2001-01-01 plus i days.
  void FillArt(int count) {
    db->Execute("delete from art");
    db->Execute("with recursive k(i) as (select 1 union all select i + 1 from k where i < " + std::to_string(count) +
                ") insert into art select printf('A%03d', i), 'Articulo ' || i, i,"
                " date('2001-01-01', '+' || i || ' days'), i % 2 from k");
  }

  // Presses the read button; returns the last statement sent.
  std::string Read() {
    ctl.p_leer();
    return log->statements.empty() ? std::string() : log->statements.back();
  }

  // Back to filter mode when a read left the control in results mode.
  void BackToFilter() {
    if (ctl.Leido()) ctl.p_leer();
  }

  // A user typing `keys` into grid column `col` of the filter row.
  void TypeIn(int col, const std::string& keys) {
    host.SetFocus(&ctl.grdDatos);
    ctl.grdDatos.SetCol(col);
    for (int16_t k : KeysOf(keys)) Key(k);
  }
  void Key(int16_t code) { host.TypeKey(*host.FocusedWidget(), code); }
  void Enter() { Key(13); }
  void Escape() { Key(27); }

  std::vector<std::string> TakeMessages() { return TakeMessagesOf(host); }

  int DataRows() const { return ctl.grdDatos.Rows() - 1; }

  // The cells of grid row `r`, each followed by "|".
  std::string Row(int r) const {
    std::string out;
    for (int c = 0; c < ctl.grdDatos.Cols(); ++c) out += ctl.grdDatos.TextMatrix(r, c) + "|";
    return out;
  }

  // The Value of each column, in order, each followed by "|".
  std::string Values() const {
    std::string out;
    for (const auto& column : *ctl.Columns()) out += column->Value() + "|";
    return out;
  }

  // The mode at a glance: "filter" or "results" (the read button's caption
  // must agree), the data rows shown and which of the next-page and select
  // buttons are enabled, e.g. "results rows:51 next select".
  std::string State() const {
    std::string out = ctl.Leido() ? "results" : "filter";
    if (ctl.cmdLeer.Caption() != (ctl.Leido() ? "&Filtro" : "&Leer")) out += " caption:" + ctl.cmdLeer.Caption();
    out += " rows:" + std::to_string(DataRows());
    if (ctl.cmdSiguiente.Enabled()) out += " next";
    if (ctl.cmdSeleccionar.Enabled()) out += " select";
    return out;
  }

  HeadlessHost host;
  std::shared_ptr<SqliteConnection> db = std::make_shared<SqliteConnection>(":memory:");
  std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
  std::shared_ptr<RecordingConnection> conn = std::make_shared<RecordingConnection>(db, log);
  std::unique_ptr<ctlTrovel2> owner = std::make_unique<ctlTrovel2>(host);
  ctlTrovel2& ctl = *owner;
  MemoryPropertyBag bag;
};

}  // namespace trovel
