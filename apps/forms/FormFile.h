// FormFile: a form saved as JSON: the database its controls connect to and
// each control's class, name, size and saved property bag.
//
//   {"database": "sample.db",             (an address: a file relative to
//                                          the form, or a server's address)
//    "controls": [{"name": "ctlClientes", "class": "ctlTrovel",
//                  "width": 5280, "height": 4905,
//                  "properties": {...},   (the saved bag; none: a new control)
//                  "columns": [...]}]}    (run-time extras a host applies)
//
// Keys it does not know are kept and written back unchanged.
#pragma once

#include <chrono>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "connectors/ConnectionSettings.h"
#include "contracts/DataConnection.h"

namespace trovel::forms {

struct FormFile {
  struct Control {
    std::string name;
    std::string class_name;
    float width = 5280;
    float height = 4905;
    std::optional<nlohmann::json> properties;
    nlohmann::json entry;  // the whole entry, extras included
  };

  // Reads and checks `path`. Throws Error with a clear description that
  // names the file.
  static FormFile Load(const std::string& path);
  // Reads and checks `text`, the contents of the form file `path`. Throws
  // Error as Load does.
  static FormFile Parse(std::string_view text, const std::string& path);
  // Writes the form to `path`, all of it or nothing: on any failure the
  // file there stays as it was. A database file named relative to the form
  // is written relative to the folder of `path` when that is another one
  // (absolute where no relative path reaches it). Throws Error naming the
  // file and the reason, and the property when one holds text that is not
  // valid UTF-8.
  void Save(const std::string& path) const;

  // The database's address, as OpenConnection reads it: a file named
  // relative to the form resolved against the form's folder, any other
  // address as written; "" for none.
  std::string DatabaseAddress() const;
  // Names `address` as the form's database, as a command line gives it: a
  // relative file path in it is read from the working folder. The form
  // opens `address` as given; a save keeps it without its secrets (a
  // server's password never reaches the file), or keeps the database the
  // form named before when the secrets cannot be told apart.
  void NameDatabase(const std::string& address);
  // Opens the form's database through OpenConnection; null when the form
  // names none. A database file that does not exist is an error, never a new
  // empty one. Throws Error, which never shows a password.
  // `settings` comes from the host (its read_progress, say); the form's
  // read_time_limit replaces what it says of that.
  std::shared_ptr<DataConnection> OpenDatabase(ConnectionSettings settings = {}) const;

  std::string path;
  std::string database;  // as saved
  // The address NameDatabase gave, secrets included, which the form opens
  // instead of `database`; "" when none was given.
  std::string given_database;
  // "read_time_limit": how long one read may run, in seconds (more than 0,
  // at most a day).
  std::chrono::milliseconds read_time_limit = std::chrono::seconds(30);
  std::vector<Control> controls;
  nlohmann::json raw;
};

}  // namespace trovel::forms
