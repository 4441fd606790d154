#include "apps/forms/FormFile.h"

#include <cmath>
#include <filesystem>
#include <fstream>

#include "apps/forms/AtomicFile.h"
#include "apps/forms/ControlFactory.h"
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
    throw Error(Error::kTypeMismatch, std::string("\"") + key + "\" debe ser una longitud en twips, de 0 a 1000000");
  return entry[key].get<float>();
}

namespace fs = std::filesystem;

bool Dumps(const json& value) {
  try {
    (void)value.dump();
    return true;
  } catch (const json::type_error&) {
    return false;
  }
}

// Where `out` holds text that is not valid UTF-8, for the message: a saved
// property is where such text comes from, any other key was read from a
// file that parsed.
std::string PlaceOfInvalidText(const json& out) {
  for (const json& entry : out["controls"]) {
    const std::string name = entry.value("name", std::string("?"));
    if (entry.contains("properties") && entry["properties"].is_object())
      for (const auto& [key, value] : entry["properties"].items())
        if (!Dumps(value)) return "the property " + key + " of " + name;
    if (!Dumps(entry)) return "the control " + name;
  }
  return "the form";
}

// The folder a file lies in, absolute, with links resolved as far as it exists.
fs::path FolderOf(const std::string& file) {
  const fs::path parent = fs::path(file).parent_path();
  const fs::path folder = fs::absolute(parent.empty() ? fs::path(".") : parent).lexically_normal();
  std::error_code ec;
  fs::path resolved = fs::weakly_canonical(folder, ec);
  return ec ? folder : resolved;
}

// `database`, whose file (if it names one) is relative to the folder of
// `from`, as the form saved into `to` must write it: the file relative to
// the new folder, or absolute where no relative path reaches it. Servers,
// ":memory:" and absolute paths stay as written, and so does everything
// while the folder stays the same.
std::string Rebased(const std::string& database, const std::string& from, const std::string& to) {
  const std::string file = DatabaseFile(database);
  if (file.empty() || fs::path(file).is_absolute()) return database;
  const fs::path old_folder = FolderOf(from), new_folder = FolderOf(to);
  if (old_folder == new_folder) return database;
  // The database's own name stays: a link there is the user's to keep.
  const fs::path named = old_folder / file;
  const fs::path absolute = FolderOf(named.string()) / named.filename();
  const fs::path relative = absolute.lexically_relative(new_folder);
  return database.substr(0, database.size() - file.size()) + (relative.empty() ? absolute : relative).string();
}

}  // namespace

namespace {

FormFile Read(std::string_view text, const std::string& path);

// What the parser says of a number too large for a double, in Spanish: it
// quotes the number after "parsing", which is kept.
std::string TooLargeNumber(const json::out_of_range& e) {
  const std::string what = e.what();
  const size_t open = what.find("parsing '");
  const size_t close = open == std::string::npos ? open : what.find('\'', open + 9);
  if (close == std::string::npos) return "tiene un número demasiado grande";
  std::string number = what.substr(open + 9, close - open - 9);
  if (number.size() > 40) number = number.substr(0, 37) + "...";
  return "el número " + number + " es demasiado grande";
}

}  // namespace

FormFile FormFile::Load(const std::string& path) {
  std::error_code ec;
  const bool folder = std::filesystem::is_directory(path, ec);
  if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory)
    throw Error(75, "no se puede leer el archivo de formulario " + path + ": " + ec.message());
  if (folder) throw Error(75, "no se puede leer el archivo de formulario " + path + ": es una carpeta");
  std::ifstream in(path, std::ios::binary);
  std::string text;
  if (in) text.assign(std::istreambuf_iterator<char>(in), {});
  if (!in && !in.eof()) throw Error(75, "no se puede leer el archivo de formulario " + path);
  return Parse(text, path);
}

// Every failure names the file, whatever part of the reading found it. The
// JSON library's own exceptions are turned into an Error here too: the
// checks in Read leave it none to throw but those of the parser, and one
// that slips through still says which file it came from.
FormFile FormFile::Parse(std::string_view text, const std::string& path) {
  try {
    return Read(text, path);
  } catch (const Error& e) {
    if (e.description().find(path) != std::string::npos) throw;
    throw Error(e.number(), "el archivo de formulario " + path + ": " + e.description());
  } catch (const json::exception& e) {
    throw Error(Error::kTypeMismatch, "no se puede leer el archivo de formulario " + path +
                                          ": la biblioteca JSON lo rechaza (error " + std::to_string(e.id) + ")");
  }
}

namespace {

FormFile Read(std::string_view text, const std::string& path) {
  using Control = FormFile::Control;
  FormFile form;
  form.path = path;
  try {
    form.raw = json::parse(text);
  } catch (const json::parse_error& e) {
    throw Error(Error::kTypeMismatch, path + " no es JSON válido: " + e.what());
  } catch (const json::out_of_range& e) {
    // The parser's only other failure: a number beyond a double (1e99999).
    throw Error(Error::kOverflow, "no se puede leer el archivo de formulario " + path + ": " + TooLargeNumber(e));
  }
  const json& raw = form.raw;
  if (!raw.is_object()) throw Error(Error::kTypeMismatch, "un archivo de formulario contiene un objeto JSON");
  if (raw.contains("database")) {
    if (!raw["database"].is_string()) throw Error(Error::kTypeMismatch, "\"database\" debe ser una dirección");
    form.database = raw["database"].get<std::string>();
  }
  if (raw.contains("read_time_limit")) {
    const json& limit = raw["read_time_limit"];
    if (!limit.is_number() || !(limit.get<double>() > 0) || limit.get<double>() > 86400)
      throw Error(Error::kTypeMismatch, path + ": \"read_time_limit\" debe ser un número de segundos, mayor que 0 y de 86400 como máximo");
    form.read_time_limit = std::chrono::milliseconds(std::llround(limit.get<double>() * 1000));
    if (form.read_time_limit.count() == 0) form.read_time_limit = std::chrono::milliseconds(1);
  }
  if (!raw.contains("controls") || !raw["controls"].is_array())
    throw Error(Error::kTypeMismatch, "un archivo de formulario necesita una lista \"controls\"");
  for (const json& entry : raw["controls"]) {
    if (!entry.is_object() || !entry.contains("name") || !entry["name"].is_string() || !entry.contains("class") ||
        !entry["class"].is_string())
      throw Error(Error::kTypeMismatch, "cada control necesita un \"name\" y una \"class\"");
    Control c;
    c.name = entry["name"].get<std::string>();
    c.class_name = entry["class"].get<std::string>();
    if (!ControlFactory::Knows(c.class_name))
      throw Error(Error::kInvalidValue, "el control " + c.name + " es de la clase desconocida \"" + c.class_name + "\"");
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
  // The whole text is made before the file is touched, so that text the
  // form cannot hold stops the save with the old file intact.
  json out;
  std::string text;
  try {
    out = raw;
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
    if (!database.empty()) out["database"] = Rebased(database, path, target);
    text = out.dump(2) + "\n";
  } catch (const json::type_error& e) {
    if (e.id != 316) throw Error(Error::kTypeMismatch, "no se puede guardar el archivo de formulario " + target +
                                                           ": la biblioteca JSON lo rechaza (error " + std::to_string(e.id) + ")");
    throw Error(Error::kInvalidValue,
                "cannot save the form file " + target + ": " + PlaceOfInvalidText(out) + " is not valid UTF-8 text");
  } catch (const json::exception& e) {
    throw Error(Error::kTypeMismatch, "no se puede guardar el archivo de formulario " + target +
                                          ": la biblioteca JSON lo rechaza (error " + std::to_string(e.id) + ")");
  }
  AtomicFile::Write(target, text);
}

namespace {

// `address` with the file it names, when that is relative, put in `folder`.
std::string InFolder(const std::string& address, const std::filesystem::path& folder) {
  const std::string file = DatabaseFile(address);
  if (file.empty() || std::filesystem::path(file).is_absolute()) return address;
  return address.substr(0, address.size() - file.size()) + (folder / file).lexically_normal().string();
}

}  // namespace

std::string FormFile::DatabaseAddress() const {
  if (!given_database.empty()) return given_database;
  return InFolder(database, std::filesystem::path(path).parent_path());
}

void FormFile::NameDatabase(const std::string& address) {
  given_database = InFolder(address, std::filesystem::current_path());
  const std::optional<std::string> savable = SavableAddress(given_database);
  if (savable && !savable->empty()) database = *savable;
}

std::shared_ptr<DataConnection> FormFile::OpenDatabase(ConnectionSettings settings) const {
  if (database.empty()) return nullptr;
  settings.read_time_limit = read_time_limit;
  settings.create_missing_file = false;
  return OpenConnection(DatabaseAddress(), settings);
}

}  // namespace trovel::forms
