// Exact numbers through both controls on every backend: 64-bit keys and a
// numeric amount of 19 digits show every digit in the grid, a selection
// hands exactly the text shown to the form, and a key typed into a number
// filter finds its own row, not the neighbouring key that a Double cannot
// tell from it (2^53 + 1 and 2^53 are one Double, and so are 2^63 - 1 and
// 2^63 - 2). Each test runs once per backend; the PostgreSQL runs use the
// throw-away primary, and fail when it is missing.
#include "tests/ContractDatabase.h"
#include "tests/CtlTrovel2Fixture.h"
#include "tests/CtlTrovelFixture.h"

namespace trovel {
namespace {

using Strings = std::vector<std::string>;

// The rows of numeros (codigo, clave, importe) as both controls show them:
// keys with all their digits, amounts without trailing zeros.
const Strings kRows[] = {
    {"N1", "9007199254740993", "12345678901234567.89"},
    {"N2", "9007199254740992", "-0.01"},
    {"N3", "9223372036854775807", "99999999999999999999999999.99"},
    {"N4", "9223372036854775806", "0"},
    {"N5", "7", "12.5"},
};

// On PostgreSQL importe is numeric(30,2), which comes as an exact Decimal.
// On SQLite it is text: a column declared numeric would turn the amount into
// a REAL, which keeps 15 significant digits (12345678901234567.89 would be
// stored as 1.23456789012346E+16); as text it keeps every digit and comes
// back as written. clave is bigint on both: an integer of 64 bits on SQLite.
std::string Script(const std::string& backend) {
  std::string sql = "drop table if exists numeros; create table numeros (codigo text, clave bigint, importe " +
                    std::string(backend != "sqlite" ? "numeric(30,2)" : "text") + "); insert into numeros values ";
  for (const Strings& row : kRows)
    sql += (&row == kRows ? "('" : ", ('") + row[0] + "', " + row[1] + ", '" + row[2] + "')";
  return sql;
}

template <typename Fixture>
class Numbers : public Fixture, public ::testing::WithParamInterface<std::string> {
 protected:
  static constexpr const char* kName = "numeros";

  void SetUp() override {
    try {
      const std::string address = ContractDatabase::Make(GetParam(), kName);
      ExecuteScript(address, Script(GetParam()));
      this->conn = std::make_shared<RecordingConnection>(OpenConnection(address), this->log);
      this->ctl.glbDb(this->conn);
    } catch (const std::exception& e) {
      FAIL() << GetParam() << ": " << e.what();
    }
  }
  void TearDown() override { ContractDatabase::Remove(kName); }

  // The texts of grid row r.
  Strings Cells(int r) const {
    Strings out;
    for (int c = 0; c < this->ctl.grdDatos.Cols(); ++c) out.push_back(this->ctl.grdDatos.TextMatrix(r, c));
    return out;
  }

  // Every row shown, in order.
  std::vector<Strings> Shown() const {
    std::vector<Strings> rows;
    for (int r = 1; r < this->ctl.grdDatos.Rows(); ++r) rows.push_back(Cells(r));
    return rows;
  }

  // The arguments of the one event raised since the last look.
  Strings EventArgs(const std::string& name) {
    Strings args;
    EXPECT_EQ(this->host.events.size(), 1u);
    if (this->host.events.size() == 1) {
      EXPECT_EQ(this->host.events[0].name, name);
      args = this->host.events[0].args;
    }
    this->host.events.clear();
    return args;
  }
};

std::string BackendOf(const ::testing::TestParamInfo<std::string>& info) { return info.param; }

using CtlTrovelNumbers = Numbers<CtlTrovelTest>;

TEST_P(CtlTrovelNumbers, KeysAndAmountsKeepEveryDigit) {
  ctl.NumCol(3);
  SetFields({"codigo", "clave", "importe"});
  ctl.TipoCampo2("NUM");
  ctl.SentenciaSQL("select codigo, clave, importe from numeros");
  ctl.OrderBy("codigo");
  Strings handed;  // what the form's handler receives
  ctl.evtSeleccionar = [&handed](Variant& codigo, Variant& clave, Variant& importe, Variant&, Variant&) {
    handed = {codigo.ToString(), clave.ToString(), importe.ToString()};
  };

  ctl.p_leer();
  EXPECT_EQ(Shown(), std::vector<Strings>(std::begin(kRows), std::end(kRows)));
  EXPECT_TRUE(host.messages.empty());

  for (const Strings& row : kRows) {
    SCOPED_TRACE(row[0]);
    ctl.cmdSalir.Click();
    host.events.clear();
    TypeInto(ctl.txtNombre, row[1]);
    EXPECT_EQ(ctl.txtNombre.Text(), row[1]);
    EXPECT_EQ(Read(), "SELECT CODIGO, CLAVE, IMPORTE FROM NUMEROS where 1=1  and clave = " + row[1] +
                          " ORDER BY codigo");
    EXPECT_EQ(Shown(), std::vector<Strings>{row});
    ctl.grdDatos.SetRow(1);
    ctl.cmdSeleccionar.Click();
    EXPECT_EQ(handed, row);
    EXPECT_EQ(EventArgs("evtSeleccionar"), (Strings{row[0], row[1], row[2], "", ""}));
    EXPECT_TRUE(host.messages.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Backends, CtlTrovelNumbers, ::testing::Values("sqlite", "postgresql", "mariadb", "pgodbc", "pgbouncer"),
                         BackendOf);

using CtlTrovel2Numbers = Numbers<CtlTrovel2Test>;

TEST_P(CtlTrovel2Numbers, KeysAndAmountsKeepEveryDigit) {
  ctl.Columns()->Add("0", "codigo", "numeros", ctvTEXT, "Código", 4);
  ctl.Columns()->Add("1", "clave", "numeros", ctvNUMBER, "Clave", 20);
  ctl.Columns()->Add("2", "importe", "numeros", ctvNUMBER, "Importe", 30);
  ctl.SentenciaSQL("select * from numeros");
  ctl.OrderBy("codigo");

  ctl.p_leer();
  EXPECT_EQ(Shown(), std::vector<Strings>(std::begin(kRows), std::end(kRows)));
  EXPECT_TRUE(TakeMessages().empty());

  for (const Strings& row : kRows) {
    SCOPED_TRACE(row[0]);
    ctl.cmdSalir.Click();
    host.events.clear();
    BackToFilter();
    TypeIn(1, row[1]);
    Enter();
    EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 1), row[1]);
    EXPECT_EQ(Read(), "SELECT * FROM NUMEROS where 1=1  and numeros.clave = " + row[1] + " ORDER BY codigo");
    EXPECT_EQ(Shown(), std::vector<Strings>{row});
    ctl.grdDatos.SetRow(1);
    ctl.cmdSeleccionar.Click();
    EXPECT_EQ(EventArgs("evtSeleccionar"), Strings{});
    EXPECT_EQ(Values(), row[0] + "|" + row[1] + "|" + row[2] + "|");
    EXPECT_TRUE(TakeMessages().empty());
  }

  // A picture groups the digits of a 64-bit key without losing any.
  ctl.Columns()->Item(Variant(int32_t{2}))->Format("#,##0");
  ctl.cmdSalir.Click();
  BackToFilter();
  ctl.p_leer();
  Strings keys;
  for (const Strings& cells : Shown()) keys.push_back(cells[1]);
  EXPECT_EQ(keys, (Strings{"9,007,199,254,740,993", "9,007,199,254,740,992", "9,223,372,036,854,775,807",
                           "9,223,372,036,854,775,806", "7"}));
}

INSTANTIATE_TEST_SUITE_P(Backends, CtlTrovel2Numbers, ::testing::Values("sqlite", "postgresql", "mariadb", "pgodbc", "pgbouncer"),
                         BackendOf);

}  // namespace
}  // namespace trovel
