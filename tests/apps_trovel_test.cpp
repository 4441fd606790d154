// End-to-end runs of the trovel command-line program: a form file on a real
// SQLite database, a script of user actions, and the printed transcript.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "apps/forms/FormFile.h"
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

  static nlohmann::json TrovelControl(const nlohmann::json& properties) {
    nlohmann::json control = {{"name", "ctl"}, {"class", "ctlTrovel"}, {"width", 5280}, {"height", 4905}};
    if (!properties.is_null()) control["properties"] = properties;
    return control;
  }
  void WriteForm(const nlohmann::json& properties, nlohmann::json more_controls = nlohmann::json::array()) {
    more_controls.insert(more_controls.begin(), TrovelControl(properties));
    std::ofstream(dir / "form.json") << nlohmann::json{{"database", "t.db"}, {"controls", more_controls}}.dump();
  }

  // Runs trovel on `form` (in dir) with `script` and returns what it printed.
  // With `file_limit`, no file it writes may grow past that many bytes, as
  // on a full disk.
  std::string Run(const std::string& script, const std::vector<std::string>& options = {},
                  const std::string& form = "form.json", rlim_t file_limit = 0) {
    std::ofstream(dir / "script.trv") << script;
    std::vector<std::string> args{TROVEL_BINARY};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back((dir / form).string());
    args.push_back((dir / "script.trv").string());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) return "pipe failed";
    const pid_t child = fork();
    if (child == 0) {
      dup2(pipe_fds[1], 1);
      dup2(pipe_fds[1], 2);
      close(pipe_fds[0]);
      close(pipe_fds[1]);
      if (file_limit) {
        // A write past the limit then fails with EFBIG instead of killing.
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{file_limit, file_limit};
        setrlimit(RLIMIT_FSIZE, &limit);
      }
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(pipe_fds[1]);
    std::string out;
    std::array<char, 4096> buffer;
    while (ssize_t n = read(pipe_fds[0], buffer.data(), buffer.size())) {
      if (n < 0) break;
      out.append(buffer.data(), static_cast<size_t>(n));
    }
    close(pipe_fds[0]);
    waitpid(child, nullptr, 0);
    return out;
  }

  static std::string Bytes(const fs::path& file) {
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
  }
  std::set<std::string> Listing() const {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
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
      {"-v"});
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

TEST_F(TrovelProgramTest, AScriptTypesWithPausesAndEachPauseReads) {
  nlohmann::json bag = Configured();
  bag["BuscarAlEscribir"] = true;
  bag["PausaBusqueda"] = {{"type", "Long"}, {"value", 50}};
  WriteForm(bag);
  std::string out = Run(
      "type txtNombre nombre 1\n"
      "wait 10\n"
      "type txtNombre 2\n"
      "wait 200\n"
      "show\n"
      "key Backspace\n"
      "wait 200\n"
      "key Backspace\n"
      "type txtNombre 9\n"
      "wait 200\n",
      {"-v"});
  // The first wait is shorter than the pause: the keys read once, after the
  // second, by prefix; the focus stays in the box.
  const std::string prefix = "sql: SELECT CODIGO, NOMBRE, ALTA FROM CLIENTES where 1=1  and nombre like ";
  const size_t read = out.find(prefix + "'NOMBRE 12%' ORDER BY codigo\n");
  ASSERT_NE(read, std::string::npos) << out;
  EXPECT_EQ(out.find("sql:"), read) << out;
  EXPECT_LT(out.find("> wait 200\n"), read) << out;
  EXPECT_LT(read, out.find("> show")) << out;
  EXPECT_NE(out.find("    1: C12 | Nombre 12 | 13/12/2001\n"), std::string::npos) << out;
  EXPECT_LT(out.find("> key Backspace\n"), out.find(prefix + "'NOMBRE 1%' ORDER BY codigo\n")) << out;
  EXPECT_NE(out.find(prefix + "'NOMBRE 9%' ORDER BY codigo\n"), std::string::npos) << out;
  // "NOMBRE " alone was never read: no pause came between its two keys.
  EXPECT_EQ(out.find(prefix + "'NOMBRE %'"), std::string::npos) << out;
  EXPECT_EQ(out.find("msgbox"), std::string::npos) << out;
  EXPECT_EQ(out.find("error:"), std::string::npos) << out;
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
  EXPECT_NE(out.find("> set glbDb font\nerror: No coinciden los tipos"), std::string::npos) << out;
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
  std::string out = Run("show\nresize 3000 4905\nget NumCol\nset Width1 1000\nget Width1\n", {"-v"});
  EXPECT_NE(out.find("notice ctl.OrderBy\nnotice ctl.SentenciaSQL\n"), std::string::npos) << out;
  EXPECT_NE(out.find("  txtcol3 \"\"\n"), std::string::npos) << out;  // shown, although it has no field
  EXPECT_NE(out.find("  cmdSiguiente \"S&iguiente\" enabled\n"), std::string::npos) << out;
  EXPECT_NE(out.find("NumCol = \"2\"\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Width1 = \"1000\"\n"), std::string::npos) << out;
}

// A ctlTrovel2 on the customers: code, name and a date column.
const nlohmann::json kColumnControl = {
    {"name", "art"},
    {"class", "ctlTrovel2"},
    {"properties", {{"SentenciaSQL", "select codigo, nombre, alta from clientes"}, {"OrderBy", "codigo"}}},
    {"columns",
     {{{"key", "0"}, {"field", "codigo"}, {"table", "clientes"}, {"caption", "Código"}, {"length", 5}},
      {{"key", "1"}, {"field", "nombre"}, {"table", "clientes"}, {"caption", "Nombre"}, {"length", 12}},
      {{"key", "2"}, {"field", "alta"}, {"table", "clientes"}, {"type", 2}, {"caption", "Alta"}, {"length", 10}}}}};

TEST_F(TrovelProgramTest, ColumnSearchTypedIntoTheGrid) {
  std::ofstream(dir / "form.json") << nlohmann::json{{"database", "t.db"}, {"controls", {kColumnControl}}}.dump();
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
      {"-v"});
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

TEST_F(TrovelProgramTest, AClickTakesTheFocusBeforeItPresses) {
  WriteForm(Configured(), {kColumnControl});
  std::string out = Run(
      "type txtcol3 31/02/2001\n"
      "click cmdLeer\n"
      "use art\n"
      "type grdDatos c1%\n"
      "click cmdLeer\n"
      "focus grdDatos\n"
      "show\n",
      {"-v"});
  // The date box left for the button reported its date; the message box
  // took the mouse, so nothing was read.
  const size_t use = out.find("> use art");
  EXPECT_NE(out.rfind("msgbox \"Mensaje\" information: \"         Fecha no valida", use), std::string::npos) << out;
  EXPECT_EQ(out.rfind("sql:", use), std::string::npos) << out;
  // The editor left for the button wrote its filter into the filter row
  // before the read, and nothing more into the results afterwards.
  EXPECT_NE(out.find("sql: SELECT CODIGO, NOMBRE, ALTA FROM CLIENTES where 1=1  and clientes.codigo like 'C1%' ORDER BY "
                     "codigo\n",
                     use),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("    1: C10 | Nombre 10 | 11/12/2001\n"), std::string::npos) << out;
}

TEST_F(TrovelProgramTest, AFailedSaveLeavesTheFormAsItWas) {
  struct Case {
    const char* script;
    rlim_t file_limit;
    fs::perms mode;  // the form's permissions
    const char* reason;
  };
  const fs::perms usual = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;
  const fs::perms read_only = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  const Case cases[] = {
      {"set SentenciaSQL select \xff from clientes\nsave\n", 0, usual,
       "the property SentenciaSQL of ctl is not valid UTF-8 text"},
      {"save\n", 1024, usual, "File too large"},  // the disk fills up within the form
      {"save\n", 0, read_only, "es de solo lectura"},  // refused even where root runs the test
  };
  for (const Case& c : cases) {
    WriteForm(Configured());
    fs::permissions(dir / "form.json", c.mode);
    const std::string before = Bytes(dir / "form.json");
    std::set<std::string> files = Listing();
    files.insert("script.trv");
    std::string out = Run(c.script, {}, "form.json", c.file_limit);
    EXPECT_NE(out.find("> save\nerror: "), std::string::npos) << out;
    EXPECT_NE(out.find((dir / "form.json").string()), std::string::npos) << out;
    EXPECT_NE(out.find(c.reason), std::string::npos) << out;
    EXPECT_EQ(Bytes(dir / "form.json"), before);
    EXPECT_EQ(fs::status(dir / "form.json").permissions(), c.mode);
    EXPECT_EQ(Listing(), files);  // no temporary file left behind
  }
}

TEST_F(TrovelProgramTest, SavingElsewhereRebasesTheDatabase) {
  // The form saved one folder down opens with its data.
  WriteForm(Configured());
  fs::create_directories(dir / "sub");
  Run("save " + (dir / "sub" / "form.json").string() + "\n");
  std::string out = Run("click cmdLeer\nshow\n", {}, "sub/form.json");
  EXPECT_EQ(out.find("error:"), std::string::npos) << out;
  EXPECT_NE(out.find("    1: C01 | Nombre 01 | 02/12/2001\n"), std::string::npos) << out;

  // Only a file named relative to the form moves; it stays as written while
  // the folder does.
  struct Case {
    const char* written;
    const char* target;
    const char* saved;
  };
  const Case cases[] = {
      {"t.db", "a/copy.json", "t.db"},
      {"./x/../t.db", "a/copy.json", "./x/../t.db"},
      {"t.db", "b/c/form.json", "../../a/t.db"},
      {"../t.db", "form.json", "t.db"},
      {"sqlite:data/t.db", "b/form.json", "sqlite:../a/data/t.db"},
      {":memory:", "b/form.json", ":memory:"},
      {"sqlite::memory:", "b/form.json", "sqlite::memory:"},
      {"/srv/t.db", "b/form.json", "/srv/t.db"},
      {"postgresql://server/db", "b/form.json", "postgresql://server/db"},
      {"host=server dbname=db", "b/form.json", "host=server dbname=db"},
  };
  fs::create_directories(dir / "a");
  fs::create_directories(dir / "b" / "c");
  for (const Case& c : cases) {
    std::ofstream(dir / "a" / "form.json") << nlohmann::json{{"database", c.written}, {"controls", nlohmann::json::array()}}.dump();
    forms::FormFile::Load((dir / "a" / "form.json").string()).Save((dir / c.target).string());
    EXPECT_EQ(nlohmann::json::parse(std::ifstream(dir / c.target))["database"], c.saved) << c.written << " " << c.target;
  }
}

// A form file that cannot be read stops the program with one message in
// Spanish that names the file, also where the JSON library refuses it.
TEST_F(TrovelProgramTest, AFormFileThatCannotBeReadIsNamed) {
  std::ofstream(dir / "form.json") << R"({"database": "t.db", "controls": [ 1e99999 ]})";
  EXPECT_EQ(Run("show\n"), "trovel: no se puede leer el archivo de formulario " + (dir / "form.json").string() +
                                ": el número 1e99999 es demasiado grande\n");
}

// A form run with --database on a server and saved keeps that address
// without its secrets; an address whose secrets cannot be told apart is not
// saved, and the form keeps the database it named. No server needs to
// answer: the failed connection is reported, and the script goes on.
TEST_F(TrovelProgramTest, ASavedFormKeepsNoPasswordGivenOnTheCommandLine) {
  struct Case {
    const char* given;
    const char* saved;
  };
  const Case cases[] = {
      {"host=/nonexistent user=ana password=s3cr3t dbname=ventas", "host=/nonexistent user=ana dbname=ventas"},
      {"host=/nonexistent user=ana password='s3 cr\\'3t' sslpassword=s3cr3t dbname=ventas",
       "host=/nonexistent user=ana dbname=ventas"},
      {"postgresql://ana:s3cr3t@%2Fnonexistent/ventas?sslpassword=s3cr3t&connect_timeout=5",
       "postgresql://ana@%2Fnonexistent/ventas?connect_timeout=5"},
      {"host=/nonexistent password='s3cr3t dbname=ventas", "t.db"},
      {"postgresql://ana:s3/cr3t@%2Fnonexistent/ventas", "t.db"},
  };
  for (const Case& c : cases) {
    WriteForm(Configured());
    for (const fs::path& target : {dir / "form.json", dir / "copy.json"}) {
      const std::string out = Run("save " + target.string() + "\n", {"--database", c.given});
      EXPECT_NE(out.find("> save"), std::string::npos) << out;
      EXPECT_NE(out.find("saved\n"), std::string::npos) << out;
      EXPECT_EQ(out.find("s3"), std::string::npos) << out;
      const std::string text = Bytes(target);
      EXPECT_EQ(text.find("s3"), std::string::npos) << c.given << "\n" << text;
      EXPECT_EQ(nlohmann::json::parse(text)["database"], c.saved) << c.given;
    }
  }
}

}  // namespace
}  // namespace trovel
