#include "apps/cli/ScriptRunner.h"

#include <chrono>

#include "apps/forms/ControlFactory.h"
#include "platform/CommandButton.h"
#include "platform/Error.h"
#include "platform/FlexGrid.h"
#include "platform/Font.h"
#include "platform/Text.h"
#include "platform/TextBox.h"

namespace trovel::cli {

namespace {

// A script that asks for something impossible: the description says what.
Error ScriptError(const std::string& description) { return Error(Error::kInvalidValue, description); }

// Splits off the first blank-separated word of `text`.
std::string NextWord(std::string& text) {
  size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) {
    text.clear();
    return "";
  }
  size_t end = text.find(' ', start);
  std::string word = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
  text = end == std::string::npos ? "" : text.substr(end + 1);
  return word;
}

int ParseInt(const std::string& text) {
  try {
    size_t used = 0;
    int v = std::stoi(text, &used);
    if (used == text.size()) return v;
  } catch (const std::exception&) {
  }
  throw ScriptError("\"" + text + "\" is not a whole number");
}

float ParseTwips(const std::string& text) {
  try {
    size_t used = 0;
    float v = std::stof(text, &used);
    if (used == text.size()) return v;
  } catch (const std::exception&) {
  }
  throw ScriptError("\"" + text + "\" is not a length in twips");
}

int16_t KeyCode(const std::string& name) {
  if (name == "Enter") return 13;
  if (name == "Tab") return 9;
  if (name == "Escape") return 27;
  if (name == "Backspace") return 8;
  throw ScriptError("unknown key \"" + name + "\" (Enter, Tab, Escape or Backspace)");
}

// The characters a user types for `text`. A byte that is not UTF-8 would
// type some other character, so such a text is refused before any key.
std::u32string Characters(const std::string& text) {
  if (!Text::IsUtf8(text)) throw ScriptError("the text to type is not UTF-8");
  return Text::Codepoints(text);
}

}  // namespace

ScriptRunner::ScriptRunner(Form& form, CliHost& host, std::ostream& out)
    : form_(form), host_(host), out_(out), current_(nullptr) {}

Control& ScriptRunner::Current() {
  if (!current_) {
    if (form_.Controls().empty()) throw ScriptError("the form has no controls");
    current_ = &form_.Find(form_.Controls().front().name);
  }
  return *current_->control;
}

Widget& ScriptRunner::Child(const std::string& name) {
  Widget* w = Current().FindChild(name);
  if (!w) throw ScriptError(current_->name + " has no widget called \"" + name + "\"");
  return *w;
}

void ScriptRunner::RunAll(std::istream& in) {
  std::string line;
  while (std::getline(in, line))
    if (!Run(line)) return;
}

bool ScriptRunner::Run(const std::string& raw) {
  std::string line = raw;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  std::string rest = line;
  std::string verb = NextWord(rest);
  if (verb.empty() || verb[0] == '#') return true;
  out_ << "> " << line << "\n";
  if (verb == "quit") return false;
  try {
    Execute(verb, rest);
  } catch (const std::exception& failure) {
    out_ << "error: " << failure.what() << "\n";
  }
  return true;
}

void ScriptRunner::Execute(const std::string& verb, const std::string& rest_of_line) {
  std::string rest = rest_of_line;
  if (verb == "use") {
    current_ = &form_.Find(NextWord(rest));
  } else if (verb == "set") {
    std::string property = NextWord(rest);
    Set(property, rest);
  } else if (verb == "get") {
    std::string property = NextWord(rest);
    const MemberInfo* m = Current().FindMember(property);
    if (m && m->write == MemberInfo::Write::ByReference) {
      out_ << property << " = " << (Current().GetObject(property) ? "(object)" : "Nothing") << "\n";
    } else {
      Variant v = Current().GetProperty(property);
      out_ << property << " = " << (v.IsNull() ? "Null" : CliHost::Quoted(v.ToString())) << "\n";
    }
  } else if (verb == "call") {
    Current().Invoke(NextWord(rest));
  } else if (verb == "focus") {
    host_.SetFocus(&Child(NextWord(rest)));
  } else if (verb == "type") {
    Widget& w = Child(NextWord(rest));
    const std::u32string characters = Characters(rest);
    if (host_.FocusedWidget() != &w) host_.SetFocus(&w);
    for (char32_t c : characters) {
      Widget* focused = host_.FocusedWidget();
      if (!focused) throw ScriptError("no widget has the focus");
      host_.TypeCharacter(*focused, c);
    }
  } else if (verb == "clear") {
    Widget& w = Child(NextWord(rest));
    auto* box = dynamic_cast<TextBox*>(&w);
    if (!box) throw ScriptError("only a text box can be cleared");
    if (host_.FocusedWidget() != &w) host_.SetFocus(&w);
    box->SetText("");
  } else if (verb == "key") {
    Widget* focused = host_.FocusedWidget();
    if (!focused) throw ScriptError("no widget has the focus");
    host_.TypeKey(*focused, KeyCode(NextWord(rest)));
  } else if (verb == "click") {
    auto* button = dynamic_cast<CommandButton*>(&Child(NextWord(rest)));
    if (!button) throw ScriptError("only a command button can be clicked");
    host_.ClickWithMouse(*button);
  } else if (verb == "dblclick" || verb == "row" || verb == "col") {
    auto* grid = dynamic_cast<FlexGrid*>(Current().FindChild("grdDatos"));
    if (!grid) throw ScriptError(current_->name + " has no grid");
    if (verb == "dblclick" && grid->onDblClick) grid->onDblClick();
    if (verb == "row") grid->SetRow(ParseInt(NextWord(rest)));
    if (verb == "col") grid->SetCol(ParseInt(NextWord(rest)));
  } else if (verb == "resize") {
    float w = ParseTwips(NextWord(rest));
    float h = ParseTwips(NextWord(rest));
    host_.SetInnerSize(&Current(), w, h);
    Current().Resize();
  } else if (verb == "wait") {
    const int ms = ParseInt(NextWord(rest));
    if (ms < 0) throw ScriptError("a wait of " + std::to_string(ms) + " ms cannot be");
    host_.Wait(std::chrono::milliseconds(ms));
  } else if (verb == "show") {
    Show();
  } else if (verb == "save") {
    form_.Save(NextWord(rest));
    out_ << "saved\n";
  } else {
    throw ScriptError("unknown action \"" + verb + "\"");
  }
}

void ScriptRunner::Set(const std::string& property, const std::string& value) {
  const MemberInfo* m = Current().FindMember(property);
  if (!m || m->write != MemberInfo::Write::ByReference) {
    Current().SetProperty(property, Variant(value));
    return;
  }
  if (value == "db") {
    Current().SetObject(property, form_.Connection());
  } else if (value == "nothing") {
    Current().SetObject(property, nullptr);
  } else if (value == "font") {
    Current().SetObject(property, std::make_shared<Font>());
  } else {
    throw ScriptError("an object property takes db, nothing or font");
  }
}

void ScriptRunner::Show() {
  Control& control = Current();
  const std::string described = forms::ControlFactory::Describe(control);
  out_ << current_->name << " (" << control.ClassName() << ")\n";
  for (Widget* w : control.Children()) {
    std::string state = w->Visible() ? "" : " hidden";
    if (auto* box = dynamic_cast<TextBox*>(w)) {
      out_ << "  " << w->Name() << " " << CliHost::Quoted(box->Text()) << state << "\n";
    } else if (auto* button = dynamic_cast<CommandButton*>(w)) {
      out_ << "  " << w->Name() << " " << CliHost::Quoted(button->Caption()) << (w->Enabled() ? " enabled" : " disabled")
           << state << "\n";
    } else if (auto* grid = dynamic_cast<FlexGrid*>(w)) {
      out_ << "  " << w->Name() << " " << grid->Rows() << " rows, " << grid->Cols() << " cols, current row "
           << grid->Row() << state << "\n";
      for (int r = 0; r < grid->Rows(); ++r) {
        std::string line = "    " + std::to_string(r) + ":";
        for (int c = 0; c < grid->Cols(); ++c) line += (c ? " | " : " ") + grid->TextMatrix(r, c);
        out_ << line.substr(0, line.find_last_not_of(' ') + 1) << "\n";
      }
    }
  }
  if (!described.empty()) out_ << "  " << described << "\n";
}

}  // namespace trovel::cli
