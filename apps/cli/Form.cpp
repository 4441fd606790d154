#include "apps/cli/Form.h"

#include "apps/cli/EchoConnection.h"
#include "apps/forms/ControlFactory.h"
#include "platform/Error.h"
#include "platform/JsonFilePropertyBag.h"

namespace trovel::cli {

Form::Form(const std::string& path, CliHost& host, std::ostream& out, const std::string& database)
    : host_(host), out_(out), file_(forms::FormFile::Load(path)) {
  if (!database.empty()) file_.NameDatabase(database);
  OpenDatabase();
  for (const forms::FormFile::Control& entry : file_.controls) AddControl(entry);
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

void Form::ReportLoadFailure(const std::string& what) {
  out_ << "error: " << what << " (in the form file " << file_.path << ")\n";
  ++load_failures_;
}

void Form::OpenDatabase() {
  try {
    // The connection lets go of a read left on screen through the host's
    // timers, which the script's waits run.
    ConnectionSettings settings;
    settings.defer = host_.Deferrer();
    std::shared_ptr<DataConnection> db = file_.OpenDatabase(settings);
    if (!db) return;
    connection_ = host_.Verbose() ? std::make_shared<EchoConnection>(db, out_) : db;
  } catch (const std::exception& failure) {
    ReportLoadFailure(failure.what());
  }
}

void Form::AddControl(const forms::FormFile::Control& entry) {
  Entry e{entry.name, forms::ControlFactory::Create(entry.class_name, host_)};
  Control& control = *e.control;
  host_.NameControl(&control, e.name);
  try {
    if (entry.properties) {
      JsonFilePropertyBag bag(*entry.properties);
      control.ReadProperties(bag);
      forms::ControlFactory::CheckEveryKeyRead(bag);
    } else {
      control.InitProperties();
    }
  } catch (const std::exception& failure) {
    ReportLoadFailure(e.name + ": " + failure.what());
  }
  host_.SetInnerSize(&control, entry.width, entry.height);
  control.Resize();
  // Run time: the host's own code hands over the connection.
  if (connection_ && control.FindMember("glbDb")) control.SetObject("glbDb", connection_);
  try {
    forms::ControlFactory::Prepare(control, entry.entry);
  } catch (const std::exception& failure) {
    ReportLoadFailure(e.name + ": " + failure.what());
  }
  controls_.push_back(std::move(e));
}

Form::Entry& Form::Find(const std::string& name) {
  for (Entry& e : controls_)
    if (e.name == name) return e;
  throw Error(Error::kInvalidValue, "the form has no control called \"" + name + "\"");
}

void Form::Save(const std::string& path) {
  forms::FormFile out = file_;
  for (size_t i = 0; i < controls_.size(); ++i) {
    JsonFilePropertyBag bag;
    controls_[i].control->WriteProperties(bag);
    out.controls[i].properties = bag.ToJson();
    out.controls[i].width = host_.ScaleWidth(controls_[i].control.get());
    out.controls[i].height = host_.ScaleHeight(controls_[i].control.get());
  }
  out.Save(path.empty() ? file_.path : path);
}

}  // namespace trovel::cli
