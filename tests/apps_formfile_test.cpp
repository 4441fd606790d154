// Form files that are broken, wrongly typed or out of range are refused with
// one clear error naming the file (and the key), and change nothing; the
// read settings a form names reach its database.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "apps/cli/CliHost.h"
#include "apps/cli/Form.h"
#include "apps/forms/FormFile.h"
#include "connectors/OpenConnection.h"
#include "connectors/ReadRefusal.h"
#include "platform/Error.h"

namespace trovel::forms {
namespace {

namespace fs = std::filesystem;

class FormFileTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }

  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  const fs::path dir = fs::temp_directory_path() / ("trovel_formfile_" + std::to_string(::getpid()));
};

TEST_F(FormFileTest, RefusesBadFilesNamingTheFileAndTheKey) {
  const std::string control = R"({"name": "c", "class": "ctlTrovel")";
  struct Case {
    std::string text;
    std::string says;  // besides the file's name
  } cases[] = {
      {"", "no es JSON válido"},
      {"{\"controls\": [", "no es JSON válido"},
      {"{\"controls\": []} trailing", "no es JSON válido"},
      {"[1, 2]", "objeto JSON"},
      {"{\"database\": 5, \"controls\": []}", "\"database\""},
      {"{\"controls\": {}}", "\"controls\""},
      {"{\"controls\": [5]}", "\"name\""},
      {"{\"controls\": [{\"name\": 1, \"class\": \"ctlTrovel\"}]}", "\"name\""},
      {"{\"controls\": [" + control + ", \"width\": \"wide\"}]}", "\"width\""},
      {"{\"controls\": [" + control + ", \"width\": -1}]}", "\"width\""},
      {"{\"controls\": [" + control + ", \"height\": 1e39}]}", "\"height\""},
      {"{\"controls\": [" + control + ", \"width\": 1e300}]}", "\"width\""},
      {"{\"read_time_limit\": 0, \"controls\": []}", "\"read_time_limit\""},
      {"{\"read_time_limit\": -5, \"controls\": []}", "\"read_time_limit\""},
      {"{\"read_time_limit\": 1e20, \"controls\": []}", "\"read_time_limit\""},
      {"{\"read_time_limit\": \"30\", \"controls\": []}", "\"read_time_limit\""},
      {R"({"controls": [{"name": "c", "class": "ctlNada"}]})", "clase desconocida \"ctlNada\""},
      // Numbers beyond a double, which the JSON library refuses with an
      // exception of its own.
      {"{\"controls\": [ 1e99999 ]}", "el número 1e99999 es demasiado grande"},
      {"{\"read_time_limit\": -1e400, \"controls\": []}", "el número -1e400 es demasiado grande"},
      {"{\"controls\": [" + control + ", \"width\": " + std::string(400, '9') + "e9}]}",
       "el número " + std::string(37, '9') + "... es demasiado grande"},
  };
  int tried = 0;
  for (const Case& k : cases) {
    const std::string path = Write("bad.form.json", k.text);
    try {
      FormFile::Load(path);
      ADD_FAILURE() << k.text;
    } catch (const Error& e) {
      EXPECT_NE(e.description().find(path), std::string::npos) << k.text << ": " << e.description();
      EXPECT_NE(e.description().find(k.says), std::string::npos) << k.text << ": " << e.description();
    }
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), k.text);  // nothing overwritten
    ++tried;
  }
  fs::create_symlink("loop-b.json", dir / "loop-a.json");
  fs::create_symlink("loop-a.json", dir / "loop-b.json");
  for (const std::string& path : {dir.string(), (dir / "missing.json").string(), (dir / "loop-a.json").string()}) {
    try {
      FormFile::Load(path);
      ADD_FAILURE() << path;
    } catch (const Error& e) {
      EXPECT_NE(e.description().find(path), std::string::npos) << e.description();
    }
    ++tried;
  }
  std::printf("form files: %d bad files tried, each refused naming the file\n", tried);
}

// A form that parses but whose properties or database do not load: the
// command-line host reports each failure naming the form file and counts
// it, so that its exit status says so, and goes on with what loaded.
TEST_F(FormFileTest, PropertiesAndDatabasesThatDoNotLoadAreReportedNamingTheFormFile) {
  ExecuteScript((dir / "d.db").string(), "create table clientes (codigo text)");
  std::ofstream(dir / "junk.db") << std::string(200, 'x');
  sqlite3* writer = nullptr;  // another program, writing to locked.db
  ExecuteScript((dir / "locked.db").string(), "create table clientes (codigo text)");
  ASSERT_EQ(sqlite3_open((dir / "locked.db").c_str(), &writer), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(writer, "begin exclusive", nullptr, nullptr, nullptr), SQLITE_OK);
  struct Case {
    std::string database, control;
    const char* says;
  } cases[] = {
      {"d.db", R"("class": "ctlTrovel", "properties": {"NumCol": 4294967298})", "NumCol: 4294967298 no cabe en un Long"},
      {"d.db", R"("class": "ctlTrovel", "properties": {"MaxLength1": {"type": "Long", "value": 1e20}})", "MaxLength1"},
      {"d.db", R"("class": "ctlTrovel", "properties": {"NumCol": 2000000000})", "Cols must be from 0 to 4096"},
      {"d.db", R"("class": "ctlTrovel2", "properties": {"ColumnsCount": 2000000000})", "Cols must be from 0 to 4096"},
      {"d.db", R"("class": "ctlTrovel", "properties": {"Width1": 1e39})", "Width1"},
      {"d.db", R"("class": "ctlTrovel", "properties": {"NumCol": 3, "Nmcol": 4})", "no property \"Nmcol\""},
      {"missing.db", R"("class": "ctlTrovel")", "el archivo no existe"},
      {"junk.db", R"("class": "ctlTrovel")", "file is not a database"},
      {"locked.db", R"("class": "ctlTrovel")", "database is locked"},
  };
  for (const Case& c : cases) {
    const std::string text = R"({"database": ")" + c.database + R"(", "read_time_limit": 0.2, "controls": [{"name": "c", )" +
                             c.control + "}]}";
    const std::string path = Write("f.form.json", text);
    std::ostringstream out;
    cli::CliHost host(out);
    {
      cli::Form form(path, host, out);
      EXPECT_EQ(form.LoadFailures(), 1) << c.control << "\n" << out.str();
      EXPECT_EQ(form.Controls().size(), 1u);
    }
    EXPECT_NE(out.str().find(c.says), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("(in the form file " + path + ")"), std::string::npos) << out.str();
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text);
  }
  sqlite3_close(writer);
  std::printf("form files: %zu forms whose properties or database did not load, each reported\n", std::size(cases));
}

TEST_F(FormFileTest, TheFormsReadSettingsReachItsDatabase) {
  ExecuteScript((dir / "d.db").string(), "create table t (a); insert into t values (1); create table u (b)");
  // "read_scope" of older forms is read past: a read may use what its
  // developer wrote, a subquery over another table included.
  const std::string path = Write("f.form.json", R"({"database": "d.db", "read_time_limit": 0.25,
                                                   "read_scope": ["u"], "controls": []})");
  const FormFile form = FormFile::Load(path);
  EXPECT_EQ(form.read_time_limit, std::chrono::milliseconds(250));
  auto db = form.OpenDatabase();
  bool flag = false;
  std::string subquery = "select a from t where a in (select b from u) or a = 1";
  EXPECT_FALSE(db->OpenCursor(subquery, flag)->AtEnd());
  std::string endless = "with recursive k(i) as (select 1 union all select i + 1 from k) select a from t, k where i < 0";
  try {
    db->OpenCursor(endless, flag);
    ADD_FAILURE() << "the endless read ran on";
  } catch (const Error& e) {
    EXPECT_EQ(e.description(), ReadRefusal::TimedOut(std::chrono::milliseconds(250)));
  }
}

}  // namespace
}  // namespace trovel::forms
