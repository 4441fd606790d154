#include "apps/cli/CliHost.h"

namespace trovel::cli {

namespace {

std::string IconName(int style) {
  switch (style & 0x70) {
    case Host::kCritical: return "critical";
    case Host::kQuestion: return "question";
    case Host::kExclamation: return "exclamation";
    case Host::kInformation: return "information";
  }
  return "plain";
}

}  // namespace

std::string CliHost::Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

std::string CliHost::NameOf(const void* control) const {
  auto it = names_.find(control);
  return it == names_.end() ? "?" : it->second;
}

void CliHost::PropertyChanged(const void* control, const std::string& name) {
  HeadlessHost::PropertyChanged(control, name);
  if (verbose_) out_ << "notice " << NameOf(control) << "." << name << "\n";
}

void CliHost::RaiseEvent(const void* control, const std::string& name, const std::vector<Variant*>& args) {
  HeadlessHost::RaiseEvent(control, name, args);
  out_ << "event " << NameOf(control) << "." << name << "(";
  for (size_t i = 0; i < args.size(); ++i)
    out_ << (i ? ", " : "") << (args[i]->IsNull() ? "Null" : Quoted(args[i]->ToString()));
  out_ << ")\n";
}

int CliHost::MsgBox(const std::string& text, int style, const std::string& title) {
  out_ << "msgbox " << Quoted(title) << " " << IconName(style) << ": " << Quoted(text) << "\n";
  return HeadlessHost::MsgBox(text, style, title);
}

}  // namespace trovel::cli
