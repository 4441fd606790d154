// ControlFactory: creates the controls a form file names, by class name.
#pragma once

#include <memory>
#include <nlohmann/json.hpp>

#include "platform/Control.h"
#include "platform/Host.h"
#include "platform/MemoryPropertyBag.h"

namespace trovel::forms {

struct ControlFactory {
  // The control of class `class_name` ("ctlTrovel"), created on `host`.
  // Throws Error for an unknown class.
  static std::unique_ptr<Control> Create(const std::string& class_name, Host& host);
  // Whether Create makes controls of class `class_name`.
  static bool Knows(const std::string& class_name);
  // What a host program does after loading a control from its form entry,
  // beyond the property bag: ctlTrovel2's columns, from the entry's
  // "columns" list (ColumnDescription), added with Columns.Add. Throws Error
  // for a malformed list, before any column is added.
  static void Prepare(Control& control, const nlohmann::json& entry);
  // Throws Error naming every key of `bag` that the control did not read
  // when it loaded its properties from it: a key no control of its class
  // has, most likely mistyped.
  static void CheckEveryKeyRead(const MemoryPropertyBag& bag);
  // What a host shows of the control beyond its widgets: each ctlTrovel2
  // column's Value ("" for ctlTrovel).
  static std::string Describe(Control& control);
};

}  // namespace trovel::forms
