// ScriptRunner: runs the command-line host's actions, one per line, against
// an open form, and prints what they show. Each action is echoed first as
// "> action"; a failing action prints "error: <description>" and the script
// goes on. Blank lines and lines starting with "#" are skipped.
//
// Actions (WIDGET and PROPERTY names are those of the current control):
//   use CONTROL          address the control CONTROL from now on
//   set PROPERTY VALUE   write a property; VALUE is the rest of the line.
//                        An object property takes "db" (the form's
//                        database), "nothing" or "font" (a font object)
//   get PROPERTY         print "PROPERTY = value"
//   call METHOD          call a method without arguments
//   focus WIDGET         give WIDGET the focus
//   type WIDGET TEXT     focus WIDGET, then type TEXT key by key (a
//                        character beyond U+FFFF whole, see
//                        HeadlessHost::TypeCharacter); TEXT must be UTF-8
//   clear WIDGET         focus a text box and erase its text, as a user
//                        selecting all of it and deleting it
//   key NAME             press Enter, Tab, Escape or Backspace in the
//                        focused widget
//   click BUTTON         click a command button with the mouse: it takes
//                        the focus first (the box being left validates
//                        and commits), then it is pressed
//   dblclick             double-click the grid
//   row N                make row N of the grid the current row
//   col N                make column N of the grid the current column
//   resize W H           resize the control to W x H twips
//   wait MS              let MS milliseconds pass, the user looking at the
//                        screen: the host's timers run as they come due
//   show                 print the control's widgets
//   save [FILE]          save the form (to FILE, or where it came from)
//   quit                 stop reading actions
#pragma once

#include <istream>
#include <ostream>

#include "apps/cli/Form.h"

namespace trovel::cli {

class ScriptRunner {
 public:
  // REQUIRES: `form`, `host` and `out` outlive the runner.
  ScriptRunner(Form& form, CliHost& host, std::ostream& out);

  // Runs one action line; returns false after "quit".
  bool Run(const std::string& line);
  // Runs every line of `in` until its end or "quit".
  void RunAll(std::istream& in);

 private:
  Control& Current();
  Widget& Child(const std::string& name);
  void Execute(const std::string& verb, const std::string& rest);
  void Set(const std::string& property, const std::string& value);
  void Show();

  Form& form_;
  CliHost& host_;
  std::ostream& out_;
  Form::Entry* current_;
};

}  // namespace trovel::cli
