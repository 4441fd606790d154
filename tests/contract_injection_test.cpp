// What a user types is a value, on every backend: texts that break quotes,
// stack statements, open comments, call functions that reach beyond a row
// (read files, take locks, notify, load code, reach other databases), read
// the schema, carry wildcards, backslashes, control characters, NUL, invalid
// UTF-8 or a megabyte, pasted into every filter of both controls (ctlTrovel's
// four boxes with each type code, ctlTrovel2's filter row on text, number
// and date columns) and typed where a user can type them, under base
// statements whose only WHERE is in a subquery, a literal or a comment.
//
// After each read the grid shows exactly the database's own answer to the
// filter's condition with the value bound (BoundAnswer, asked around
// Trovel), or one clear message when a number or a date filter holds no
// number or date; one statement was sent; the tables are whole; no lock is
// left. The suite prints what it tried.
#include <chrono>
#include <cstdio>
#include <regex>

#include "tests/BoundAnswer.h"
#include "tests/ContractDatabase.h"
#include "tests/CtlTrovel2Fixture.h"
#include "tests/CtlTrovelFixture.h"

namespace trovel {
namespace {

using Strings = std::vector<std::string>;

Strings HostileTexts() {
  Strings t = {
      "o'brien%", "O'Brien", "x' or '1'='1", "' or 1=1 --", "'; drop table clientes; --",
      "x'; delete from clientes; select '", "1; drop table clientes", "0 or 1=1", "1) or (1=1", "0; select 1",
      "1 union select clave, clave from secretos", "x' union all select clave, clave from secretos --",
      "x' union select name, sql from sqlite_master --", "x' union select tablename, schemaname from pg_tables --",
      "0 union select rolname, rolname from pg_roles", "x' and exists (select 1 from secretos) and 'a'='a",
      "' || (select clave from secretos limit 1) || '", "x' or (select count(*) from secretos) > 0 or '",
      "x' or ts_stat('select to_tsvector(clave) from secretos') is not null or '",
      "x' or table_to_xml_and_xmlschema('secretos', true, false, '') is not null or '",
      "x' or (select count(*) from pg_settings) > 0 or '", "x' or pg_stat_get_activity(null) is not null or '",
      "x' or pg_advisory_lock(42) is not null or '", "42) or pg_advisory_lock(42) is not null or (1",
      "x' or pg_notify('canal', 'hola') is not null or '", "x' or dblink_exec('insert into clientes') = '' or '",
      "x'; attach database 'x.db' as n; --", "attach database 'x.db' as n",
      "x' and load_extension('/tmp/x') is null and '", "x' and pg_read_file('/etc/passwd') is not null and '",
      "/*", "*/", "--", "x' /* it's */ or '1'='1", "x' -- it's", "#1/2/2020#", "1/2/2020# or #1/1/2000",
      "'#1/2/2020#'", "#13/45/2020#", "[it's] #1/2/2020#", "`it's` #1/2/2020#", "%", "_", "%%%%", "[a-z]%", "\\%",
      "back\\slash", "\\", "\\'", "50\\%", "a_b", "1e999", "-0", "0x10", "-1e308", "9999999999999999999999", "NaN",
      "Infinity", "1.5.3", "5", "-5", "25", "25/12/2001", "03/01/2002", "31/02/2002", "'", "''", "\"", "`", "[", "]",
      ";", "x'; begin; --", "x'; savepoint a; --", "x' or '1'='1' order by 1 --", "' group by 1 having '1'='1",
      "x' collate nocase or '1'='1", "x$$ or 1=1 --", "E'\\''", "x' union select codigo, nombre from clientes where '1'='1",
      "x' or (select count(*) from clientes a, clientes b, clientes c, clientes d) > 0 or 'a'='",
      std::string("a\0b", 3), std::string("\0", 1), "\x01\x02\x1f\x7f", "\t\r\n", "\xff\xfe", "\xc3\x28",
      "\xc0\xaf", "e\xcc\x81%", "\xf0\x9f\x98\x80%", "\xe2\x80\xae%", "\xe2\x80\x8b", "\xef\xbc\xb3\xef\xbc\xa5",
      "<script>",
  };
  t.push_back(std::string(1 << 20, 'a'));
  std::string quotes;
  while (quotes.size() < (1u << 20)) quotes += "x' or '1'='1 ";
  t.push_back(quotes);
  return t;
}

// Rows whose names are the texts a user may look for.
constexpr const char* kNamedRows =
    "insert into clientes (codigo, nombre, n) values ('C201', 'O''Brien', 201), ('C202', 'x'' or ''1''=''1', 202),"
    " ('C203', 'back\\slash', 203), ('C204', '50% off', 204), ('C205', 'a_b', 205), ('C206', 'it''s -- no', 206)";

// What the suite counts, printed at the end of each test.
struct Figures {
  int texts = 0, filters = 0, reads = 0, rows = 0, refused = 0, failed = 0;
  void Print(const char* what, const std::string& backend) const {
    std::printf("injection table, %s on %s: %d texts x %d filters = %d reads; %d rows shown, each the bound answer's; "
                "%d refused as no number or date; %d other messages\n",
                what, backend.c_str(), texts, filters, reads, rows, refused, failed);
  }
};

// The condition a filter stands for, as the oracle asks it.
struct Expected {
  enum class Outcome { kRows, kNotANumber, kNotADate, kMessage } outcome = Outcome::kRows;
  std::string condition;  // with one parameter
  std::string value;
};

// A plain number: sign, digits, at most one point.
bool PlainNumber(const std::string& s) { return std::regex_match(s, std::regex("[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)")); }

// "m/d/y" (the month first, as a control sends a date) as yyyy-mm-dd, or ""
// when it names no day.
std::string IsoOfMonthFirst(const std::string& s) {
  std::smatch m;
  if (!std::regex_match(s, m, std::regex("([0-9]{1,2})/([0-9]{1,2})/([0-9]{1,4})"))) return "";
  int y = std::stoi(m[3]);
  if (m[3].length() <= 2) y += y < 30 ? 2000 : 1900;
  const std::chrono::year_month_day d{std::chrono::year{y}, std::chrono::month{unsigned(std::stoi(m[1]))},
                                      std::chrono::day{unsigned(std::stoi(m[2]))}};
  if (!d.ok() || y < 1) return "";
  char iso[32];
  std::snprintf(iso, sizeof iso, "%04d-%02u-%02u", y, unsigned(d.month()), unsigned(d.day()));
  return iso;
}

template <typename Fixture>
class Injection : public Fixture, public ::testing::WithParamInterface<std::string> {
 protected:
  static constexpr const char* kName = "inyeccion";

  void SetUp() override {
    try {
      const std::string tables =
          std::string("create table secretos (clave text); insert into secretos values ('s1'), ('s2');") + kNamedRows;
      address = ContractDatabase::Make(GetParam(), kName);
      ExecuteScript(address, tables);
      // The ODBC backends are held against PostgreSQL's own answer through
      // libpq: "pgodbc" reads that very schema, and MariaDB, given the same
      // tables there too, must show the same rows.
      std::string reference = address;
      if (GetParam() == "pgodbc") reference = ContractDatabase::InSchema(PgServers::Load().primary, kName);
      if (GetParam() == "mariadb") {
        reference = ContractDatabase::Make("postgresql", kName);
        ExecuteScript(reference, tables);
      }
      ConnectionSettings settings;
      settings.read_time_limit = std::chrono::milliseconds(300);
      this->conn = std::make_shared<RecordingConnection>(OpenConnection(address, settings), this->log);
      check = OpenConnection(address);
      answer = std::make_unique<BoundAnswer>(reference);
      whole = Checksum();
    } catch (const std::exception& e) {
      FAIL() << GetParam() << ": " << e.what();
    }
  }
  void TearDown() override {
    answer.reset();
    ContractDatabase::Remove(kName);
  }

  bool Sqlite() const { return GetParam() == "sqlite"; }

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

  // The condition of a filter on `field` of `kind` ("TEX", "NUM", "FEC")
  // comparing with `op` ("", "<", ">") the value `value` (a date month first).
  Expected ConditionOf(const std::string& field, const std::string& kind, const std::string& op,
                       const std::string& value) const {
    if (value.empty() && op.empty()) return {Expected::Outcome::kRows, "1=1", ""};  // an empty filter adds nothing
    const std::string p = Sqlite() ? "?" : "$1";
    const std::string cmp = op.empty() ? "=" : op + "=";
    if (kind == "TEX") {
      if (!Sqlite() && value.find('\0') != std::string::npos) return {Expected::Outcome::kMessage, "", ""};
      return {Expected::Outcome::kRows, field + (Sqlite() ? " like ?" : " ilike $1 escape ''"), value};
    }
    if (kind == "NUM") {
      if (!PlainNumber(value)) return {Expected::Outcome::kNotANumber, "", ""};
      return {Expected::Outcome::kRows, field + " " + cmp + " " + p + (Sqlite() ? "" : "::numeric"), value};
    }
    const std::string iso = IsoOfMonthFirst(value);
    if (iso.empty()) return {Expected::Outcome::kNotADate, "", ""};
    return {Expected::Outcome::kRows,
            Sqlite() ? "julianday(" + field + ") " + cmp + " julianday(?)" : field + " " + cmp + " $1::date", iso};
  }

  // Reads with what the filters hold and holds the grid against `expected`.
  // `code_col` is the grid column that shows codigo.
  void ReadAndJudge(const std::string& text, const Expected& expected, int code_col = 0) {
    this->log->statements.clear();
    this->host.messages.clear();
    this->ctl.p_leer();
    const std::string what = "text of " + std::to_string(text.size()) + " bytes: " + text.substr(0, 60);
    ++figures.reads;
    EXPECT_EQ(this->log->statements.size(), 1u) << what;  // one statement, and nothing else
    Strings shown;
    const auto& grid = this->ctl.grdDatos;
    for (int r = 1; r < grid.Rows(); ++r)
      if (!grid.TextMatrix(r, code_col).empty()) shown.push_back(grid.TextMatrix(r, code_col));
    switch (expected.outcome) {
      case Expected::Outcome::kRows: {
        std::optional<Strings> answered = answer->Codes("clientes", expected.condition, expected.value);
        if (!answered) {  // the database refuses the value itself: one message, no rows
          EXPECT_EQ(this->host.messages.size(), 1u) << what;
          EXPECT_TRUE(shown.empty()) << what;
          ++figures.failed;
          break;
        }
        Strings codes = std::move(*answered);
        if (codes.size() > 51) codes.resize(51);  // the first block
        EXPECT_EQ(shown, codes) << what;
        EXPECT_EQ(this->host.messages.size(), codes.empty() ? 1u : 0u) << what;  // "No existen registros"
        figures.rows += static_cast<int>(shown.size());
        break;
      }
      case Expected::Outcome::kNotANumber:
      case Expected::Outcome::kNotADate:
        ASSERT_EQ(this->host.messages.size(), 1u) << what;
        EXPECT_NE(this->host.messages[0].text.find(expected.outcome == Expected::Outcome::kNotANumber
                                                        ? "no es un número"
                                                        : "no es una fecha válida"),
                  std::string::npos)
            << what << ": " << this->host.messages[0].text;
        EXPECT_TRUE(shown.empty()) << what;
        ++figures.refused;
        break;
      case Expected::Outcome::kMessage:
        EXPECT_EQ(this->host.messages.size(), 1u) << what;
        EXPECT_TRUE(shown.empty()) << what;
        ++figures.failed;
        break;
    }
    EXPECT_EQ(answer->AdvisoryLocks(), 0) << what;
  }

  // Once per test: the tables are whole.
  void ExpectWhole() { EXPECT_EQ(Checksum(), whole); }

  std::string address;
  std::shared_ptr<DataConnection> check;
  std::unique_ptr<BoundAnswer> answer;
  std::string whole;
  Figures figures;
};

std::string BackendOf(const ::testing::TestParamInfo<std::string>& info) { return info.param; }

// ctlTrovel's day-first box text as the control sends it: month first.
std::string MonthFirst(const std::string& text) {
  auto part = [&](size_t from, size_t n) { return from < text.size() ? text.substr(from, n) : std::string(); };
  return part(3, 2) + "/" + part(0, 2) + "/" + part(6, std::string::npos);
}

using CtlTrovelInjection = Injection<CtlTrovelTest>;

TEST_P(CtlTrovelInjection, EveryBoxWithEveryTypeCode) {
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
      if (box == 1) fields[1] = "codigo";
      const int code_col = box == 1 ? 1 : 0;
      SetFields(fields);
      ctl.SetProperty("TipoCampo" + std::to_string(box), std::string(code));
      for (const std::string& text : texts) {
        const std::string kind = code;
        for (int b = 1; b <= 4; ++b) boxes[b - 1]->SetText(b == box ? text : "");  // a paste
        // What the box kept of it (a box holds one line) is what it sends.
        const std::string kept = boxes[box - 1]->Text();
        ReadAndJudge(text, ConditionOf(field, kind, "", kind == "FEC" && !kept.empty() ? MonthFirst(kept) : kept), code_col);
        if (box == 2 && kind == "TEX" && text.size() < 100) {  // the same text typed: upper-cased key by key
          TypeInto(*boxes[box - 1], text);
          ReadAndJudge(text, ConditionOf(field, kind, "", boxes[box - 1]->Text()), code_col);
        }
      }
    }
  }
  ExpectWhole();
  for (TextBox* b : boxes) b->SetText("");
  host.messages.clear();
  ctl.p_leer();
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "C001");
  EXPECT_FALSE(std::filesystem::exists("x.db"));
  figures.Print("ctlTrovel", GetParam());
}

// The names a user looks for are found, and only they.
TEST_P(CtlTrovelInjection, FindsTheNamesThatLookLikeSql) {
  ctl.SentenciaSQL("select codigo, nombre from clientes");
  ctl.N_Campo1("codigo");
  ctl.N_Campo2("nombre");
  ctl.OrderBy("codigo");
  ctl.glbDb(conn);
  const std::pair<const char*, Strings> cases[] = {
      {"o'brien%", {"C201"}},       {"x' or '1'='1", {"C202"}}, {"back\\slash", {"C203"}},
      {"50\\%", {}},                {"50% off", {"C204"}},      {"a_b", {"C205"}},
      {"it's -- no", {"C206"}},     {"%'%", {"C201", "C202", "C206"}},
  };
  for (const auto& [typed, codes] : cases) {
    TypeInto(ctl.txtNombre, typed);
    host.messages.clear();
    ctl.p_leer();
    Strings shown;
    for (int r = 1; r < ctl.grdDatos.Rows(); ++r)
      if (!ctl.grdDatos.TextMatrix(r, 0).empty()) shown.push_back(ctl.grdDatos.TextMatrix(r, 0));
    EXPECT_EQ(shown, codes) << typed;
  }
}

// Base statements whose only WHERE is in a subquery, a literal or a comment
// get no " where 1=1 ", as the statement's text says; their filters still
// reach the database only as values: the read shows the bound answer, or
// fails as a whole, never more rows.
TEST_P(CtlTrovelInjection, BaseStatementsWhoseWhereIsElsewhere) {
  struct Base {
    const char* sql;
    bool runs;  // false: the statement as built is not valid SQL
  } bases[] = {
      {"select p.codigo, p.nombre from clientes p join (select codigo from clientes where n > 0) q on q.codigo = p.codigo",
       true},
      {"select codigo, nombre from clientes -- lista", true},
      {"select codigo, nombre, 'where' as w from clientes", false},
      {"select codigo, nombre from clientes -- where", false},
      {"select codigo, nombre from clientes /* where", false},
  };
  ctl.N_Campo1("codigo");
  ctl.N_Campo2("nombre");
  ctl.glbDb(conn);
  for (const Base& base : bases) {
    ctl.SentenciaSQL(base.sql);
    for (const std::string text : {"o'brien%", "x' union all select clave, clave from secretos --", "%"}) {
      ctl.txtNombre.SetText(text);
      ++figures.reads;
      if (base.runs) {
        ReadAndJudge(text, ConditionOf("nombre", "TEX", "", text));
        continue;
      }
      host.messages.clear();
      ctl.p_leer();
      EXPECT_EQ(host.messages.size(), 1u) << base.sql;
      EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "") << base.sql << " / " << text;
    }
  }
  ExpectWhole();
}

INSTANTIATE_TEST_SUITE_P(Backends, CtlTrovelInjection, ::testing::Values("sqlite", "postgresql", "mariadb", "pgodbc", "pgbouncer"),
                         BackendOf);

using CtlTrovel2Injection = Injection<CtlTrovel2Test>;

TEST_P(CtlTrovel2Injection, TheFilterRowOnTextNumberAndDateColumns) {
  const Strings texts = HostileTexts();
  ctl.Columns()->Add("0", "codigo", "clientes", ctvTEXT, "Código", 6);
  ctl.Columns()->Add("1", "nombre", "clientes", ctvTEXT, "Nombre", 20);
  ctl.Columns()->Add("2", "alta", "clientes", ctvDATE, "Alta", 10);
  ctl.Columns()->Add("3", "n", "clientes", ctvNUMBER, "N", 5);
  ctl.SentenciaSQL("select codigo, nombre, alta, n from clientes");
  ctl.OrderBy("codigo");
  ctl.glbDb(conn);
  const std::pair<int, const char*> filters[] = {{1, "TEX"}, {2, "FEC"}, {3, "NUM"}};
  const char* fields[] = {"codigo", "nombre", "alta", "n"};
  figures.texts = static_cast<int>(texts.size());
  for (const auto& [col, kind] : filters) {
    ++figures.filters;
    for (const std::string& text : texts) {
      // A leading "<" or ">" is the comparison of a number or a date.
      const bool compares = std::string(kind) != "TEX" && !text.empty() && (text[0] == '<' || text[0] == '>');
      const std::string op = compares ? text.substr(0, 1) : "";
      std::string value = compares ? text.substr(1) : text;
      if (std::string(kind) == "FEC" && !text.empty()) value = MonthFirst(value);
      BackToFilter();
      for (int c = 0; c < 4; ++c) ctl.grdDatos.SetTextMatrix(1, c, c == col ? text : "");  // a paste
      ASSERT_EQ(ctl.grdDatos.TextMatrix(1, col), text);
      ReadAndJudge(text, ConditionOf(fields[col], kind, op, value));
    }
  }
  ExpectWhole();
  BackToFilter();
  for (int c = 0; c < 4; ++c) ctl.grdDatos.SetTextMatrix(1, c, "");
  host.messages.clear();
  ctl.p_leer();
  EXPECT_TRUE(TakeMessages().empty());
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "C001");
  figures.Print("ctlTrovel2", GetParam());
}

INSTANTIATE_TEST_SUITE_P(Backends, CtlTrovel2Injection, ::testing::Values("sqlite", "postgresql", "mariadb", "pgodbc", "pgbouncer"),
                         BackendOf);

}  // namespace
}  // namespace trovel
