#include "apps/forms/FormFile.h"

#include <filesystem>
#include <fstream>

#include "connectors/OpenConnection.h"
#include "platform/Error.h"

namespace trovel::forms {

using nlohmann::json;

namespace {

float SizeOf(const json& entry, const char* key, float fallback) {
  if (!entry.contains(key)) return fallback;
  if (!entry[key].is_number() || entry[key].get<double>() < 0)
    throw Error(Error::kTypeMismatch, std::string("\"") + key + "\" must be a length in twips");
  return entry[key].get<float>();
}

}  // namespace

FormFile FormFile::Load(const std::string& path) {
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

std::shared_ptr<DataConnection> FormFile::OpenDatabase() const {
  if (database.empty()) return nullptr;
  ConnectionSettings settings;
  settings.create_missing_file = false;
  return OpenConnection(DatabaseAddress(), settings);
}

}  // namespace trovel::forms
