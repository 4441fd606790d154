// The demo as `make tour` runs it: trovel creates the sample database, then
// plays apps/demo/tour.trv on the demo form.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "connectors/SqliteConnection.h"
#include "platform/Text.h"
#include "tests/TrovelProgram.h"

namespace trovel {
namespace {

namespace fs = std::filesystem;

TEST(DemoTourTest, FindsAnAccentedNameTypedInLowerCaseAndSortsNamesInSpanish) {
  const fs::path dir = fs::temp_directory_path() /
                       ("trovel_tour_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path source = TROVEL_SOURCE_DIR;
  fs::copy_file(source / "apps/demo/demo.form.json", dir / "demo.form.json");
  RunTrovel("--create-sample " + (dir / "sample.db").string());
  const std::string out =
      RunTrovel("-v " + (dir / "demo.form.json").string() + " " + (source / "apps/demo/tour.trv").string());
  EXPECT_NE(out.find("> type txtNombre ana garcía%\n"), std::string::npos) << out;
  EXPECT_NE(out.find(" and codigo like 'A%' and nombre like 'ANA GARCÍA%' ORDER BY nombre\n"), std::string::npos)
      << out;
  EXPECT_NE(out.find("  txtNombre \"ANA GARCÍA%\"\n"), std::string::npos) << out;
  EXPECT_NE(out.find("    1: A001 | Ana García | Madrid | "), std::string::npos) << out;
  EXPECT_EQ(out.find("msgbox"), std::string::npos) << out;
  EXPECT_EQ(out.find("error:"), std::string::npos) << out;

  // Names sort where a Spanish reader looks for them: Íñigo among the I's
  // and Óscar among the O's, not after Zoe. Consecutive repeats are dropped.
  {
    SqliteConnection db((dir / "sample.db").string());
    std::string sql = "select nombre from clientes order by nombre";
    bool flag = false;
    std::vector<std::string> initials;
    for (auto c = db.OpenCursor(sql, flag); !c->AtEnd(); c->MoveNext()) {
      const std::string initial = Text::Left(c->Fields().Item("nombre").ToString(), 1);
      if (initials.empty() || initials.back() != initial) initials.push_back(initial);
    }
    EXPECT_EQ(initials,
              (std::vector<std::string>{"A", "B", "C", "E", "I", "Í", "J", "L", "M", "Ó", "P", "R", "S", "T", "Z"}));
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace trovel
