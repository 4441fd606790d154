// CliHost: the headless host of the command-line program. Besides what the
// headless host does, it prints every message box and every raised event as
// it happens, and with `verbose` every property notice, on its output.
#pragma once

#include <map>
#include <ostream>

#include "platform/HeadlessHost.h"

namespace trovel::cli {

class CliHost : public HeadlessHost {
 public:
  // REQUIRES: `out` outlives the host.
  explicit CliHost(std::ostream& out) : out_(out) {}

  // Names a control in what is printed about it.
  void NameControl(const void* control, const std::string& name) { names_[control] = name; }
  void SetVerbose(bool verbose) { verbose_ = verbose; }
  bool Verbose() const { return verbose_; }

  void PropertyChanged(const void* control, const std::string& name) override;
  void RaiseEvent(const void* control, const std::string& name, const std::vector<Variant*>& args) override;
  int MsgBox(const std::string& text, int style, const std::string& title) override;

  // A text on one line, quoted, with CR, LF, TAB, quotes and backslashes escaped.
  static std::string Quoted(const std::string& text);

 private:
  std::string NameOf(const void* control) const;

  std::ostream& out_;
  std::map<const void*, std::string> names_;
  bool verbose_ = false;
};

}  // namespace trovel::cli
