// trovel on a PostgreSQL server: `--create-sample ADDRESS` makes the demo's
// tables there, and the demo's tour reads them through a form whose
// "database" is the server's address, and through `--database ADDRESS`,
// exactly as it reads the sample SQLite file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "tests/ContractDatabase.h"
#include "tests/TrovelProgram.h"

namespace trovel {
namespace {

namespace fs = std::filesystem;

TEST(TrovelOnPgTest, TheTourReadsAServerAsItReadsTheSampleFile) {
  PgServers servers;
  try {
    servers = PgServers::Load();
    ExecuteScript(servers.primary, "drop schema if exists demo cascade; create schema demo");
  } catch (const std::exception& e) {
    FAIL() << e.what();
  }
  const std::string address = ContractDatabase::InSchema(servers.primary, "demo");
  const fs::path dir = fs::temp_directory_path() / ("trovel_apps_pg_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path source = TROVEL_SOURCE_DIR, tour = source / "apps/demo/tour.trv";
  fs::copy_file(source / "apps/demo/demo.form.json", dir / "demo.form.json");
  nlohmann::json form = nlohmann::json::parse(std::ifstream(dir / "demo.form.json"));
  form["database"] = address;
  std::ofstream(dir / "server.form.json") << form.dump();
  form["database"] = "sqlite:sample.db";  // read from the form's folder
  std::ofstream(dir / "file.form.json") << form.dump();

  EXPECT_EQ(RunTrovel("--create-sample " + (dir / "sample.db").string()),
            "created " + (dir / "sample.db").string() + "\n");
  EXPECT_EQ(RunTrovel("--create-sample \"" + address + "\""), "created " + address + "\n");
  const std::string on_file = RunTrovel("-v " + (dir / "demo.form.json").string() + " " + tour.string());
  EXPECT_NE(on_file.find("event ctlClientes.evtSeleccionar("), std::string::npos) << on_file;
  EXPECT_EQ(on_file.find("error:"), std::string::npos) << on_file;
  EXPECT_EQ(RunTrovel("-v " + (dir / "server.form.json").string() + " " + tour.string()), on_file);
  EXPECT_EQ(RunTrovel("-v --database \"" + address + "\" " + (dir / "demo.form.json").string() + " " + tour.string()),
            on_file);
  // File addresses: in a form, relative to its folder; on the command line,
  // relative to the working folder.
  EXPECT_EQ(RunTrovel("-v " + (dir / "file.form.json").string() + " " + tour.string()), on_file);
  const std::string here = fs::relative(dir / "sample.db").string();
  EXPECT_EQ(RunTrovel("-v --database sqlite:" + here + " " + (dir / "server.form.json").string() + " " + tour.string()),
            on_file);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace trovel
