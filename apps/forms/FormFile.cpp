#include "apps/forms/FormFile.h"

#include <cmath>
#include <filesystem>
#include <fstream>

#include "connectors/OpenConnection.h"
#include "platform/Error.h"

namespace trovel::forms {

using nlohmann::json;

namespace {

// The largest size a form keeps: some 700 inches, far beyond any screen, and
// well inside what a float holds exactly enough to save again.
constexpr double kMaxTwips = 1e6;

float SizeOf(const json& entry, const char* key, float fallback) {
  if (!entry.contains(key)) return fallback;
  if (!entry[key].is_number() || !(entry[key].get<double>() >= 0) || entry[key].get<double>() > kMaxTwips)
    throw Error(Error::kTypeMismatch, std::string("\"") + key + "\" must be a length in twips, from 0 to 1000000");
  return entry[key].get<float>();
}

}  // namespace

namespace {
FormFile Read(const std::string& path);
}  // namespace

// Every failure names the file, whatever part of the reading found it.
FormFile FormFile::Load(const std::string& path) {
  if (std::filesystem::is_directory(path)) throw Error(75, "cannot read the form file " + path + ": it is a folder");
  try {
    return Read(path);
  } catch (const Error& e) {
    if (e.description().find(path) != std::string::npos) throw;
    throw Error(e.number(), "the form file " + path + ": " + e.description());
  }
}

namespace {

FormFile Read(const std::string& path) {
  using Control = FormFile::Control;
  std::ifstream in(path);
  if (!in) throw Error(75, "cannot read the form file " + path);
  FormFile form;
  form.path = path;
  try {
    form.raw = json::parse(in);
  } catch (const json::parse_error& e) {
    throw Error(Error::kTypeMismatch, path + " is not valid JSON: " + e.what());
  }
  const json& raw = form.raw;
  if (!raw.is_object()) throw Error(Error::kTypeMismatch, "a form file holds a JSON object");
  if (raw.contains("database")) {
    if (!raw["database"].is_string()) throw Error(Error::kTypeMismatch, "\"database\" must be an address");
    form.database = raw["database"].get<std::string>();
  }
  if (raw.contains("read_time_limit")) {
    const json& limit = raw["read_time_limit"];
    if (!limit.is_number() || !(limit.get<double>() > 0) || limit.get<double>() > 86400)
      throw Error(Error::kTypeMismatch, path + ": \"read_time_limit\" must be a number of seconds, more than 0 and at most 86400");
    form.read_time_limit = std::chrono::milliseconds(std::llround(limit.get<double>() * 1000));
    if (form.read_time_limit.count() == 0) form.read_time_limit = std::chrono::milliseconds(1);
  }
  if (raw.contains("read_scope")) {
    const json& scope = raw["read_scope"];
    bool names = scope.is_array();
    for (size_t i = 0; names && i < scope.size(); ++i) names = scope[i].is_string();
    if (!names) throw Error(Error::kTypeMismatch, path + ": \"read_scope\" must be a list of table names");
    form.read_scope = scope.get<std::vector<std::string>>();
  }
  if (!raw.contains("controls") || !raw["controls"].is_array())
    throw Error(Error::kTypeMismatch, "a form file needs a \"controls\" list");
  for (const json& entry : raw["controls"]) {
    if (!entry.is_object() || !entry.contains("name") || !entry["name"].is_string() || !entry.contains("class") ||
        !entry["class"].is_string())
      throw Error(Error::kTypeMismatch, "each control needs a \"name\" and a \"class\"");
    Control c;
    c.name = entry["name"].get<std::string>();
    c.class_name = entry["class"].get<std::string>();
    c.width = SizeOf(entry, "width", c.width);
    c.height = SizeOf(entry, "height", c.height);
    if (entry.contains("properties")) c.properties = entry["properties"];
    c.entry = entry;
    form.controls.push_back(std::move(c));
  }
  return form;
}

}  // namespace

void FormFile::Save(const std::string& target) const {
  json out = raw;
  out["controls"] = json::array();
  for (const Control& c : controls) {
    json entry = c.entry;
    entry["name"] = c.name;
    entry["class"] = c.class_name;
    entry["width"] = c.width;
    entry["height"] = c.height;
    if (c.properties) entry["properties"] = *c.properties;
    out["controls"].push_back(entry);
  }
  std::ofstream file(target);
  file << out.dump(2) << "\n";
  if (!file) throw Error(75, "cannot write the form file " + target);
}

namespace {

// `address` with the file it names, when that is relative, put in `folder`.
std::string InFolder(const std::string& address, const std::filesystem::path& folder) {
  const std::string file = DatabaseFile(address);
  if (file.empty() || std::filesystem::path(file).is_absolute()) return address;
  return address.substr(0, address.size() - file.size()) + (folder / file).lexically_normal().string();
}

}  // namespace

std::string FormFile::DatabaseAddress() const { return InFolder(database, std::filesystem::path(path).parent_path()); }

void FormFile::NameDatabase(const std::string& address) {
  database = InFolder(address, std::filesystem::current_path());
}

std::shared_ptr<DataConnection> FormFile::OpenDatabase(ConnectionSettings settings) const {
  if (database.empty()) return nullptr;
  settings.read_time_limit = read_time_limit;
  settings.read_scope = read_scope;
  settings.create_missing_file = false;
  return OpenConnection(DatabaseAddress(), settings);
}

}  // namespace trovel::forms
