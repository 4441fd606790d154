// trovel: the headless command-line host. Opens a form file, creates its
// controls through their lifecycle and runs a script of user actions on
// them, printing message boxes, events and (with -v) property notices and
// statements as they happen.
//
//   trovel [-v] [--database ADDRESS] FORM.json [SCRIPT]
//                                        actions from SCRIPT, or standard input;
//                                        on ADDRESS instead of the form's database
//   trovel --create-sample ADDRESS       fills the database at ADDRESS (an SQLite
//                                        file, made when missing, or a server)
//                                        with the demo's sample tables
#include <fstream>
#include <iostream>

#include "apps/cli/CliHost.h"
#include "apps/cli/Form.h"
#include "apps/cli/SampleDatabase.h"
#include "apps/cli/ScriptRunner.h"
#include "connectors/OpenConnection.h"

namespace {

int Usage() {
  std::cerr << "usage: trovel [-v] [--database ADDRESS] FORM.json [SCRIPT]\n       trovel --create-sample ADDRESS\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() == 2 && args[0] == "--create-sample") {
      trovel::cli::CreateSampleDatabase(args[1]);
      std::cout << "created " << trovel::ShownAddress(args[1]) << "\n";
      return 0;
    }
    bool verbose = false;
    if (!args.empty() && args[0] == "-v") {
      verbose = true;
      args.erase(args.begin());
    }
    std::string database;
    if (args.size() >= 2 && args[0] == "--database") {
      database = args[1];
      args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty() || args.size() > 2) return Usage();
    trovel::cli::CliHost host(std::cout);
    host.SetVerbose(verbose);
    trovel::cli::Form form(args[0], host, std::cout, database);
    trovel::cli::ScriptRunner runner(form, host, std::cout);
    if (args.size() == 2) {
      std::ifstream script(args[1]);
      if (!script) {
        std::cerr << "trovel: cannot read the script " << args[1] << "\n";
        return 1;
      }
      runner.RunAll(script);
    } else {
      runner.RunAll(std::cin);
    }
    // The script ran on what loaded; the exit status still tells a calling
    // script that the form did not load whole.
    return form.LoadFailures() > 0 ? 1 : 0;
  } catch (const std::exception& failure) {
    std::cerr << "trovel: " << failure.what() << "\n";
    return 1;
  }
}
