// Form files that are broken, wrongly typed or out of range are refused with
// one clear error naming the file (and the key), and change nothing; the
// read settings a form names reach its database.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

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
    const char* says;  // besides the file's name
  } cases[] = {
      {"", "not valid JSON"},
      {"{\"controls\": [", "not valid JSON"},
      {"{\"controls\": []} trailing", "not valid JSON"},
      {"[1, 2]", "JSON object"},
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
      {"{\"read_scope\": \"secretos\", \"controls\": []}", "\"read_scope\""},
      {"{\"read_scope\": [\"a\", 2], \"controls\": []}", "\"read_scope\""},
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
  for (const std::string& path : {dir.string(), (dir / "missing.json").string()}) {
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

TEST_F(FormFileTest, TheFormsReadSettingsReachItsDatabase) {
  ExecuteScript((dir / "d.db").string(), "create table t (a); insert into t values (1); create table u (b)");
  const std::string path = Write("f.form.json", R"({"database": "d.db", "read_time_limit": 0.25,
                                                   "read_scope": ["u"], "controls": []})");
  const FormFile form = FormFile::Load(path);
  EXPECT_EQ(form.read_time_limit, std::chrono::milliseconds(250));
  auto db = form.OpenDatabase();
  bool flag = false;
  std::string widened = "select a from t where a in (select b from u) or a = 1";
  EXPECT_FALSE(db->OpenCursor(widened, flag)->AtEnd());
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
