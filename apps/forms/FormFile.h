// FormFile: a form saved as JSON: the database its controls connect to and
// each control's class, name, size and saved property bag.
//
//   {"database": "sample.db",             (SQLite file, relative to the form)
//    "controls": [{"name": "ctlClientes", "class": "ctlTrovel",
//                  "width": 5280, "height": 4905,
//                  "properties": {...},   (the saved bag; none: a new control)
//                  "columns": [...]}]}    (run-time extras a host applies)
//
// Keys it does not know are kept and written back unchanged.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

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

  // Reads and checks `path`. Throws Error with a clear description.
  static FormFile Load(const std::string& path);
  // Writes the form to `path`. Throws Error.
  void Save(const std::string& path) const;

  // The database file, resolved against the form's folder; "" for none.
  std::string DatabasePath() const;

  std::string path;
  std::string database;
  std::vector<Control> controls;
  nlohmann::json raw;
};

}  // namespace trovel::forms
