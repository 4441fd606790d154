// Hostile input on every backend: texts that break quotes, stack statements,
// open comments, read the schema, attach files, load code, carry wildcards,
// control characters, invalid UTF-8 or a megabyte, pasted into every filter
// of both controls (ctlTrovel's four boxes with each type code, ctlTrovel2's
// filter row on text, number and date columns) and typed where a user can
// type them. After each read: both tables are whole, the control showed real
// rows or one clear message, no secret reached the grid, and the next read
// works. The suite prints what it tried.
#include <cstdio>

#include "connectors/ReadRefusal.h"
#include "tests/ContractDatabase.h"
#include "tests/CtlTrovel2Fixture.h"
#include "tests/CtlTrovelFixture.h"

namespace trovel {
namespace {

using Strings = std::vector<std::string>;

Strings HostileTexts() {
  Strings t = {
      "O'Brien", "x' or '1'='1", "' or 1=1 --", "'; drop table clientes; --", "x'; delete from clientes; select '",
      "1; drop table clientes", "0 or 1=1", "1) or (1=1", "0; select 1", "1 union select clave, clave from secretos",
      "x' union select name, sql from sqlite_master --", "x' union select clave, clave from secretos --",
      "x' union select tablename, schemaname from pg_tables --", "0 union select rolname, rolname from pg_roles",
      "x' and exists (select 1 from secretos) and 'a'='a", "' || (select clave from secretos limit 1) || '",
      "x'; attach database 'x.db' as n; --", "attach database 'x.db' as n", "x' and load_extension('/tmp/x') is null and '",
      "x' and pg_read_file('/etc/passwd') is not null and '", "x' and readfile('/etc/passwd') is not null and '",
      "/*", "*/", "--", "x' /* it's */ or '1'='1", "x' -- it's", "#1/2/2020#", "1/2/2020# or #1/1/2000",
      "'#1/2/2020#'", "#13/45/2020#", "[it's] #1/2/2020#", "`it's` #1/2/2020#", "%", "_", "%%%%", "[a-z]%", "\\%",
      "1e999", "-0", "0x10", "-1e308", "9999999999999999999999", "NaN", "Infinity", "1.5.3", "'", "''", "\"", "`",
      "[", "]", ";", "x'; begin; --", "x'; savepoint a; --", "x' or '1'='1' order by 1 --", "' group by 1 having '1'='1",
      "x' collate nocase or '1'='1", "x$$ or 1=1 --", "E'\\''", "x' union select codigo, nombre from clientes where '1'='1",
      "x' or (select count(*) from clientes a, clientes b, clientes c, clientes d) > 0 or 'a'='",
      "x' or exists (with recursive k(i) as (select 1 union all select i + 1 from k) select 1 from k where i < 0) or '",
      std::string("a\0b", 3), "\x01\x02\x1f\x7f", "\t\r\n", "\xff\xfe", "\xc3\x28", "\xc0\xaf", "e\xcc\x81%",
      "\xf0\x9f\x98\x80%", "\xe2\x80\xae%", "\xe2\x80\x8b", "\xef\xbc\xb3\xef\xbc\xa5\xef\xbc\xac", "<script>",
  };
  std::string mega(1 << 20, 'a');
  t.push_back(mega);
  std::string quotes;
  while (quotes.size() < (1u << 20)) quotes += "x' or '1'='1 ";
  t.push_back(quotes);
  return t;
}

// What the suite counts, printed at the end of each test.
struct Figures {
  int texts = 0, filters = 0, reads = 0, refused = 0, stopped = 0, rows = 0;
  void Print(const char* what, const std::string& backend) const {
    std::printf("hostile input, %s on %s: %d texts x %d filters = %d reads, %d refused for scope, %d stopped at the "
                "time limit, %d rows checked\n",
                what, backend.c_str(), texts, filters, reads, refused, stopped, rows);
  }
};

template <typename Fixture>
class Hostile : public Fixture, public ::testing::WithParamInterface<std::string> {
 protected:
  static constexpr const char* kName = "hostil";

  void SetUp() override {
    try {
      address = ContractDatabase::Make(GetParam(), kName);
      ExecuteScript(address, "create table secretos (clave text); insert into secretos values ('s1'), ('s2')");
      ConnectionSettings settings;
      settings.read_time_limit = std::chrono::milliseconds(300);
      this->conn = std::make_shared<RecordingConnection>(OpenConnection(address, settings), this->log);
      check = OpenConnection(address);
      whole = Checksum();
    } catch (const std::exception& e) {
      FAIL() << GetParam() << ": " << e.what();
    }
  }
  void TearDown() override { ContractDatabase::Remove(kName); }

  // Every value of both tables, folded into one text.
  std::string Checksum() {
    std::string out;
    for (std::string sql : {"select count(*) as n, sum(n) as s, sum(length(nombre)) as l, max(ciudad) as c from clientes",
                            "select count(*) as n, 0 as s, sum(length(clave)) as l, max(clave) as c from secretos"}) {
      bool flag = false;
      auto c = check->OpenCursor(sql, flag);
      for (const char* f : {"n", "s", "l", "c"}) out += c->Fields().Item(f).ToString() + "|";
    }
    return out;
  }

  // Reads with what the filters hold, then judges what the read left: one
  // clear message or real rows, nothing secret, the tables whole, one
  // statement sent. `fields` names the grid's columns.
  void ReadAndJudge(const std::string& text, const Strings& fields) {
    this->log->statements.clear();
    this->host.messages.clear();
    this->ctl.p_leer();
    const std::string what = "text of " + std::to_string(text.size()) + " bytes: " + text.substr(0, 60);
    ++figures.reads;
    EXPECT_LE(this->log->statements.size(), 1u) << what;
    EXPECT_LE(this->host.messages.size(), 1u) << what;
    for (const auto& m : this->host.messages) {
      EXPECT_FALSE(m.text.empty()) << what;
      // A message may quote what the user typed, never a hidden value.
      EXPECT_TRUE(m.text.find("s1") == std::string::npos && m.text.find("s2") == std::string::npos) << what << ": " << m.text;
      figures.refused += m.text.find(ReadRefusal::NotAllowed()) != std::string::npos;
      figures.stopped += m.text.find("tiempo máximo") != std::string::npos;
    }
    const auto& grid = this->ctl.grdDatos;
    for (int r = 1; r < grid.Rows(); ++r) {
      Strings shown;
      for (size_t c = 0; c < fields.size(); ++c) shown.push_back(grid.TextMatrix(r, static_cast<int>(c)));
      if (shown == Strings(shown.size(), "")) continue;  // the blank row of a read that found nothing
      // The row of clientes it must be: the one whose code, number and name
      // it shows.
      int found = 0;
      for (int i = 1; i <= ContractDatabase::kRows && !found; ++i) {
        const Strings cells = ContractDatabase::Cells(i);
        bool same = true;
        for (size_t c = 0; c < fields.size(); ++c) {
          const int at = fields[c] == "codigo" ? 0 : fields[c] == "nombre" ? 1 : fields[c] == "n" ? 3 : -1;
          same &= at < 0 || shown[c] == cells[static_cast<size_t>(at)];
        }
        if (same) found = i;
      }
      EXPECT_NE(found, 0) << what << ": row " << r << " shows " << shown[0] << "|" << shown[1];
      ++figures.rows;
    }
    EXPECT_EQ(Checksum(), whole) << what;
  }

  std::string address;
  std::shared_ptr<DataConnection> check;
  std::string whole;
  Figures figures;
};

std::string BackendOf(const ::testing::TestParamInfo<std::string>& info) { return info.param; }

using CtlTrovelHostile = Hostile<CtlTrovelTest>;

TEST_P(CtlTrovelHostile, EveryBoxWithEveryTypeCode) {
  const Strings texts = HostileTexts();
  ctl.SentenciaSQL("select codigo, nombre, n, alta from clientes");
  ctl.NumCol(4);
  ctl.OrderBy("codigo");
  ctl.glbDb(conn);
  TextBox* boxes[] = {&ctl.txtCodigo, &ctl.txtNombre, &ctl.txtcol3, &ctl.txtcol4};
  const std::pair<const char*, const char*> kinds[] = {{"TEX", "nombre"}, {"NUM", "n"}, {"FEC", "alta"}};
  figures.texts = static_cast<int>(texts.size());
  for (int box = 1; box <= 4; ++box) {
    for (const auto& [code, field] : kinds) {
      ++figures.filters;
      Strings fields = {"codigo", "nombre", "n", "alta"};
      fields[static_cast<size_t>(box - 1)] = field;
      SetFields(fields);
      ctl.SetProperty("TipoCampo" + std::to_string(box), std::string(code));
      for (const std::string& text : texts) {
        for (int b = 1; b <= 4; ++b) boxes[b - 1]->SetText(b == box ? text : "");  // a paste
        ReadAndJudge(text, fields);
        if (box == 2 && text.size() < 100) {  // the same text typed, where the box's keys let it in
          TypeInto(*boxes[box - 1], text);
          ReadAndJudge(text, fields);
        }
      }
    }
  }
  for (TextBox* b : boxes) b->SetText("");
  host.messages.clear();
  ctl.p_leer();
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "C001");
  figures.Print("ctlTrovel", GetParam());
}

INSTANTIATE_TEST_SUITE_P(Backends, CtlTrovelHostile, ::testing::Values("sqlite", "postgresql"), BackendOf);

using CtlTrovel2Hostile = Hostile<CtlTrovel2Test>;

TEST_P(CtlTrovel2Hostile, TheFilterRowOnTextNumberAndDateColumns) {
  const Strings texts = HostileTexts();
  ctl.Columns()->Add("0", "codigo", "clientes", ctvTEXT, "Código", 6);
  ctl.Columns()->Add("1", "nombre", "clientes", ctvTEXT, "Nombre", 20);
  ctl.Columns()->Add("2", "alta", "clientes", ctvDATE, "Alta", 10);
  ctl.Columns()->Add("3", "n", "clientes", ctvNUMBER, "N", 5);
  ctl.SentenciaSQL("select codigo, nombre, alta, n from clientes");
  ctl.OrderBy("codigo");
  ctl.glbDb(conn);
  figures.texts = static_cast<int>(texts.size());
  for (int col : {1, 2, 3}) {
    ++figures.filters;
    for (const std::string& text : texts) {
      BackToFilter();
      for (int c = 0; c < 4; ++c) ctl.grdDatos.SetTextMatrix(1, c, c == col ? text : "");  // a paste
      ReadAndJudge(text, {"codigo", "nombre", "alta", "n"});
    }
  }
  BackToFilter();
  for (int c = 0; c < 4; ++c) ctl.grdDatos.SetTextMatrix(1, c, "");
  host.messages.clear();
  ctl.p_leer();
  EXPECT_TRUE(TakeMessages().empty());
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "C001");
  figures.Print("ctlTrovel2", GetParam());
}

INSTANTIATE_TEST_SUITE_P(Backends, CtlTrovel2Hostile, ::testing::Values("sqlite", "postgresql"), BackendOf);

}  // namespace
}  // namespace trovel
