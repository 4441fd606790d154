// The form-file reader and what a host does with a form: any bytes are a
// form that loads, or an Error that names the file; each control the form
// names is created and loads its saved properties or refuses them with an
// Error, and what it loaded saves and loads back the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "apps/forms/ControlFactory.h"
#include "apps/forms/FormFile.h"
#include "fuzz/FuzzCheck.h"
#include "platform/Error.h"
#include "platform/HeadlessHost.h"
#include "platform/JsonFilePropertyBag.h"

using namespace trovel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string kPath = "fuzz.form.json";
  forms::FormFile form;
  try {
    form = forms::FormFile::Parse(std::string_view(reinterpret_cast<const char*>(data), size), kPath);
  } catch (const Error& e) {
    FUZZ_CHECK(e.description().find(kPath) != std::string::npos);
    return 0;
  }
  HeadlessHost host;
  for (const forms::FormFile::Control& entry : form.controls) {
    std::unique_ptr<Control> control = forms::ControlFactory::Create(entry.class_name, host);
    try {
      if (entry.properties) {
        JsonFilePropertyBag bag(*entry.properties);
        control->ReadProperties(bag);
        forms::ControlFactory::CheckEveryKeyRead(bag);
      } else {
        control->InitProperties();
      }
      forms::ControlFactory::Prepare(*control, entry.entry);
    } catch (const Error&) {
      continue;
    }
    // What loaded saves, and the saved bag loads back to the same bag.
    JsonFilePropertyBag saved;
    control->WriteProperties(saved);
    const std::string text = saved.ToJson().dump();
    std::unique_ptr<Control> again = forms::ControlFactory::Create(entry.class_name, host);
    JsonFilePropertyBag reread(nlohmann::json::parse(text));
    again->ReadProperties(reread);
    JsonFilePropertyBag resaved;
    again->WriteProperties(resaved);
    FUZZ_CHECK(resaved.ToJson().dump() == text);
  }
  return 0;
}
