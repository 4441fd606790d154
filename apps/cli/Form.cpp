#include "apps/cli/Form.h"

#include <filesystem>
#include <fstream>

#include "apps/cli/ControlFactory.h"
#include "apps/cli/EchoConnection.h"
#include "connectors/SqliteConnection.h"
#include "platform/Error.h"
#include "platform/JsonFilePropertyBag.h"

namespace trovel::cli {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

float SizeOf(const json& entry, const char* key, float fallback) {
  if (!entry.contains(key)) return fallback;
  if (!entry[key].is_number()) throw Error::TypeMismatch(std::string("\"") + key + "\" must be a number");
  return entry[key].get<float>();
}

}  // namespace

Form::Form(const std::string& path, CliHost& host, std::ostream& out) : path_(path), host_(host), out_(out) {
  std::ifstream in(path);
  if (!in) throw Error(75, "cannot read the form file " + path);
  try {
    file_ = json::parse(in);
  } catch (const json::parse_error& e) {
    throw Error(Error::kTypeMismatch, path + " is not valid JSON: " + e.what());
  }
  if (!file_.is_object()) throw Error(Error::kTypeMismatch, "a form file holds a JSON object");
  if (file_.contains("database")) {
    if (!file_["database"].is_string()) throw Error::TypeMismatch("\"database\" must be a file name");
    OpenDatabase(file_["database"].get<std::string>());
  }
  if (!file_.contains("controls") || !file_["controls"].is_array())
    throw Error::TypeMismatch("a form file needs a \"controls\" list");
  for (const json& entry : file_["controls"]) AddControl(entry);
}

Form::~Form() {
  // The end of each control; a failure there has nowhere left to go.
  for (Entry& e : controls_) {
    try {
      e.control->Terminate();
    } catch (const std::exception& failure) {
      out_ << "error: " << failure.what() << "\n";
    }
  }
}

void Form::OpenDatabase(const std::string& database) {
  if (database.empty()) return;
  fs::path file = fs::path(path_).parent_path() / database;
  try {
    if (!fs::exists(file)) throw Error(Error::kDatabase, "the database " + file.string() + " does not exist");
    std::shared_ptr<DataConnection> db = std::make_shared<SqliteConnection>(file.string());
    connection_ = host_.Verbose() ? std::make_shared<EchoConnection>(db, out_) : db;
  } catch (const std::exception& failure) {
    out_ << "error: " << failure.what() << "\n";
  }
}

void Form::AddControl(const json& entry) {
  if (!entry.is_object() || !entry.contains("name") || !entry["name"].is_string() || !entry.contains("class") ||
      !entry["class"].is_string())
    throw Error::TypeMismatch("each control needs a \"name\" and a \"class\"");
  Entry e{entry["name"].get<std::string>(), ControlFactory::Create(entry["class"].get<std::string>(), host_), entry};
  Control& control = *e.control;
  host_.NameControl(&control, e.name);
  try {
    if (entry.contains("properties")) {
      JsonFilePropertyBag bag(entry["properties"]);
      control.ReadProperties(bag);
    } else {
      control.InitProperties();
    }
  } catch (const std::exception& failure) {
    out_ << "error: " << e.name << ": " << failure.what() << "\n";
  }
  host_.SetInnerSize(&control, SizeOf(entry, "width", 0), SizeOf(entry, "height", 0));
  control.Resize();
  // Run time: the host's own code hands over the connection.
  if (connection_ && control.FindMember("glbDb")) control.SetObject("glbDb", connection_);
  try {
    ControlFactory::Prepare(control, entry);
  } catch (const std::exception& failure) {
    out_ << "error: " << e.name << ": " << failure.what() << "\n";
  }
  controls_.push_back(std::move(e));
}

Form::Entry& Form::Find(const std::string& name) {
  for (Entry& e : controls_)
    if (e.name == name) return e;
  throw Error(Error::kInvalidValue, "the form has no control called \"" + name + "\"");
}

void Form::Save(const std::string& path) {
  json out = file_;
  json& list = out["controls"];
  for (size_t i = 0; i < controls_.size(); ++i) {
    JsonFilePropertyBag bag;
    controls_[i].control->WriteProperties(bag);
    list[i]["properties"] = bag.ToJson();
    list[i]["width"] = host_.ScaleWidth(controls_[i].control.get());
    list[i]["height"] = host_.ScaleHeight(controls_[i].control.get());
  }
  const std::string target = path.empty() ? path_ : path;
  std::ofstream file(target);
  file << out.dump(2) << "\n";
  if (!file) throw Error(75, "cannot write the form file " + target);
}

}  // namespace trovel::cli
