// End-to-end runs of the trovel command-line program: a form file on a real
// SQLite database, a script of user actions, and the printed transcript.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>

#include "connectors/SqliteConnection.h"

namespace trovel {
namespace {

namespace fs = std::filesystem;

class TrovelProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("trovel_cli_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    SqliteConnection db((dir / "t.db").string());
    std::string sql = "create table clientes (codigo text, nombre text, alta date);";
    for (int i = 1; i <= 60; ++i) {
      char row[96];
      std::snprintf(row, sizeof row, "insert into clientes values ('C%02d', 'Nombre %02d', '2001-12-%02d');", i, i,
                    1 + i % 28);
      sql += row;
    }
    db.Execute(sql + "insert into clientes values ('X1', 'Núñez', null);");
  }
  void TearDown() override { fs::remove_all(dir); }

  void WriteForm(const nlohmann::json& properties) {
    nlohmann::json control = {{"name", "ctl"}, {"class", "ctlTrovel"}, {"width", 5280}, {"height", 4905}};
    if (!properties.is_null()) control["properties"] = properties;
    std::ofstream(dir / "form.json") << nlohmann::json{{"database", "t.db"}, {"controls", {control}}}.dump();
  }

  // Runs trovel on the form with `script` and returns what it printed.
  std::string Run(const std::string& script, const std::string& options = "") {
    std::ofstream(dir / "script.trv") << script;
    std::string command = std::string(TROVEL_BINARY) + " " + options + " " + (dir / "form.json").string() + " " +
                          (dir / "script.trv").string() + " 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    std::array<char, 4096> buffer;
    while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe.get())) out.append(buffer.data(), n);
    return out;
  }

  static nlohmann::json Configured() {
    return {{"SentenciaSQL", "select codigo, nombre, alta from clientes"},
            {"N_Campo1", "codigo"},
            {"N_Campo2", "nombre"},
            {"N_Campo3", "alta"},
            {"TipoCampo3", "FEC"},
            {"OrderBy", "codigo"},
            {"NumCol", {{"type", "Long"}, {"value", 3}}}};
  }

  fs::path dir;
};

TEST_F(TrovelProgramTest, ScriptedSearchFromTypingToSelection) {
  WriteForm(Configured());
  std::string out = Run(
      "type txtCodigo c%\n"
      "key Enter\n"
      "type txtNombre x\n"
      "key Backspace\n"
      "click cmdLeer\n"
      "get TipoC3\n"
      "click cmdSiguiente\n"
      "row 52\n"
      "dblclick\n",
      "-v");
  // The lower-case c was upper-cased as typed; Enter moved on to txtNombre,
  // where the x was typed and erased again.
  EXPECT_NE(out.find("sql: SELECT CODIGO, NOMBRE, ALTA FROM CLIENTES where 1=1  and codigo like 'C%' ORDER BY codigo\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("TipoC3 = \"2\"\n"), std::string::npos) << out;
  // 51 rows came with the read and the rest with the next press, so row 52
  // is C52, with its date in the control's date format.
  EXPECT_NE(out.find("event ctl.evtSeleccionar(\"C52\", \"Nombre 52\", \"25/12/2001\", \"\", \"\")\n"),
            std::string::npos)
      << out;
  EXPECT_EQ(out.find("msgbox"), std::string::npos) << out;
}

TEST_F(TrovelProgramTest, FailuresAreShownAndTheRunGoesOn) {
  nlohmann::json bag = Configured();
  bag["Width2"] = {{"type", "Single"}, {"value", -5.0}};
  WriteForm(bag);
  std::string out = Run(
      "get N_Campo3\n"
      "type txtNombre a𐀧b\n"
      "type txtNombre \xC3(\n"
      "show\n"
      "clear txtNombre\n"
      "type txtcol3 31/02/2001\n"
      "key Tab\n"
      "get Nothing\n"
      "set glbDb font\n"
      "set SentenciaSQL select * from nowhere_to_be_found\n"
      "click cmdLeer\n"
      "set SentenciaSQL select codigo, nombre, alta from clientes where codigo = 'none'\n"
      "click cmdLeer\n"
      "call Quit\n"
      "click cmdLeer\n"
      "bogus\n"
      "save\n");
  // The refused width is reported; the keys after it were still loaded.
  EXPECT_NE(out.find("error: ctl: "), std::string::npos) << out;
  EXPECT_NE(out.find("Width2"), std::string::npos) << out;
  EXPECT_NE(out.find("N_Campo3 = \"alta\"\n"), std::string::npos) << out;
  // A character beyond the 16-bit key codes is typed whole; bytes that are
  // not UTF-8 are refused before any key.
  EXPECT_NE(out.find("  txtNombre \"A𐀧B\"\n"), std::string::npos) << out;
  EXPECT_NE(out.find("> type txtNombre \xC3(\nerror: the text to type is not UTF-8\n"), std::string::npos) << out;
  EXPECT_NE(out.find("msgbox \"Mensaje\" information: \"         Fecha no valida\\r\\nformato de fecha: dd.mm.aaaa\"\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("> get Nothing\nerror: "), std::string::npos) << out;
  EXPECT_NE(out.find("> set glbDb font\nerror: Type mismatch"), std::string::npos) << out;
  EXPECT_NE(out.find("no such table"), std::string::npos) << out;
  EXPECT_NE(out.find("msgbox \"Mensaje\" critical: \"No existen registros\"\n"), std::string::npos) << out;
  // After Quit the control has no connection, and says so at the next read.
  size_t after_quit = out.find("> call Quit");
  ASSERT_NE(after_quit, std::string::npos);
  EXPECT_NE(out.find("msgbox \"Mensaje\" critical:", after_quit), std::string::npos) << out;
  EXPECT_NE(out.find("error: unknown action \"bogus\""), std::string::npos) << out;
  // The saved form holds the loaded properties and the text filters' codes.
  nlohmann::json saved = nlohmann::json::parse(std::ifstream(dir / "form.json"));
  const nlohmann::json& properties = saved["controls"][0]["properties"];
  EXPECT_EQ(properties["N_Campo3"], "alta");
  EXPECT_EQ(properties["SentenciaSQL"], "select codigo, nombre, alta from clientes where codigo = 'none'");
  EXPECT_EQ(properties["Width2"]["value"], 1485.0);
}

TEST_F(TrovelProgramTest, ANewControlStartsFromItsDesignedState) {
  WriteForm(nullptr);
  std::string out = Run("show\nresize 3000 4905\nget NumCol\nset Width1 1000\nget Width1\n", "-v");
  EXPECT_NE(out.find("notice ctl.OrderBy\nnotice ctl.SentenciaSQL\n"), std::string::npos) << out;
  EXPECT_NE(out.find("  txtcol3 \"\"\n"), std::string::npos) << out;  // shown, although it has no field
  EXPECT_NE(out.find("  cmdSiguiente \"S&iguiente\" enabled\n"), std::string::npos) << out;
  EXPECT_NE(out.find("NumCol = \"2\"\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Width1 = \"1000\"\n"), std::string::npos) << out;
}

TEST_F(TrovelProgramTest, ColumnSearchTypedIntoTheGrid) {
  nlohmann::json control = {
      {"name", "art"},
      {"class", "ctlTrovel2"},
      {"properties", {{"SentenciaSQL", "select codigo, nombre, alta from clientes"}, {"OrderBy", "codigo"}}},
      {"columns",
       {{{"key", "0"}, {"field", "codigo"}, {"table", "clientes"}, {"caption", "Código"}, {"length", 5}},
        {{"key", "1"}, {"field", "nombre"}, {"table", "clientes"}, {"caption", "Nombre"}, {"length", 12}},
        {{"key", "2"}, {"field", "alta"}, {"table", "clientes"}, {"type", 2}, {"caption", "Alta"}, {"length", 10}}}}};
  std::ofstream(dir / "form.json") << nlohmann::json{{"database", "t.db"}, {"controls", {control}}}.dump();
  std::string out = Run(
      "type grdDatos c%\n"
      "key Enter\n"
      "key Enter\n"
      "key Enter\n"
      "type grdDatos >201201\n"
      "key Enter\n"
      "click cmdLeer\n"
      "row 2\n"
      "focus grdDatos\n"
      "key Enter\n"
      "show\n",
      "-v");
  // Six digits became a date with its century; ">" compares.
  EXPECT_NE(out.find("sql: SELECT CODIGO, NOMBRE, ALTA FROM CLIENTES where 1=1  and clientes.codigo like 'C%' and "
                     "clientes.alta >= #12/20/2001# ORDER BY codigo\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("event art.evtSeleccionar()\n"), std::string::npos) << out;
  // Customer i was registered on day 1 + i % 28: from the 20th on are
  // C19..C27 and C47..C55, in code order, so the second row is C20.
  EXPECT_NE(out.find("  Value: codigo=\"C20\" nombre=\"Nombre 20\" alta=\"21/12/2001\"\n"), std::string::npos) << out;
}

}  // namespace
}  // namespace trovel
