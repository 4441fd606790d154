// Form: a form file (FormFile) opened by the command-line host: its
// controls, created through their lifecycle, and the database connection
// handed to them.
//
// Ownership: the form owns its controls and the connection; the host must
// outlive the form.
#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "apps/cli/CliHost.h"
#include "apps/forms/FormFile.h"
#include "contracts/DataConnection.h"
#include "platform/Control.h"

namespace trovel::cli {

class Form {
 public:
  struct Entry {
    std::string name;
    std::unique_ptr<Control> control;
  };

  // Opens `path`, on the database at `database` when one is given (a
  // relative file path in it read from the working folder) instead of the
  // form's own. A malformed file throws Error; a database that cannot be
  // opened and a control that fails to load report the failure on `out`
  // (naming the form file), and the form goes on with what it has.
  Form(const std::string& path, CliHost& host, std::ostream& out, const std::string& database = "");
  ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::vector<Entry>& Controls() const { return controls_; }
  // The control named `name`; throws Error when there is none.
  Entry& Find(const std::string& name);
  // How many failures the loading reported: a database that did not open,
  // properties that did not load or keys no control knows.
  int LoadFailures() const { return load_failures_; }
  // The connection to the form's database; null when the form has none.
  const std::shared_ptr<DataConnection>& Connection() const { return connection_; }

  // Saves every control's property bag and size into `path` ("" = the file
  // it was opened from). Throws Error.
  void Save(const std::string& path);

 private:
  void ReportLoadFailure(const std::string& what);
  void OpenDatabase();
  void AddControl(const forms::FormFile::Control& entry);

  CliHost& host_;
  std::ostream& out_;
  forms::FormFile file_;
  std::shared_ptr<DataConnection> connection_;
  std::vector<Entry> controls_;
  int load_failures_ = 0;
};

}  // namespace trovel::cli
