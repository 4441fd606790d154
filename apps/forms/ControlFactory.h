// ControlFactory: creates the controls a form file names, by class name.
#pragma once

#include <memory>
#include <nlohmann/json.hpp>

#include "platform/Control.h"
#include "platform/Host.h"

namespace trovel::forms {

struct ControlFactory {
  // The control of class `class_name` ("ctlTrovel"), created on `host`.
  // Throws Error for an unknown class.
  static std::unique_ptr<Control> Create(const std::string& class_name, Host& host);
  // What a host program does after loading a control from its form entry,
  // beyond the property bag (nothing for ctlTrovel).
  static void Prepare(Control& control, const nlohmann::json& entry);
  // What a host shows of the control beyond its widgets after an event
  // ("" for ctlTrovel).
  static std::string Describe(Control& control);
};

}  // namespace trovel::forms
