// TextBoxView: a QLineEdit that shows a TextBox model. Typed characters go
// through the model's key-down and key-press handlers, which may change or
// swallow them; the model then applies what is left. Characters an input
// method commits go the same way, without a key-down. A character beyond
// U+FFFF, which no key code holds, goes to the model whole (also when it
// comes as two surrogate halves), and the model decides whether it enters
// (TextBox::TypeWideCharacter). Keys without a character (arrows, Home,
// Delete, Ctrl+A, Shift+arrows, cut, copy, undo) are Qt's, and the model
// follows the result, its selection included, so that a character typed or
// Backspace pressed over a selection replaces it. A paste (Ctrl+V,
// Shift+Insert, the context menu's "Pegar", the middle button, a drop) is typed
// character by character through the model's key-press handler, without
// key-downs, as an input method's text is; control characters in it are
// left out. What the model does while the user edits goes onto the line as
// an edit of it, so that Ctrl+Z undoes it; a text set by the program
// replaces the line's and its undo history.
//
// A key typed costs the view the same whatever the length of the text: it
// repeats the model's one-character edit (TextBox::LastEdit) on the line
// instead of copying the whole text in. (QLineEdit itself lays out its whole
// line after every change.) Positions differ in unit: the model counts
// characters, the line UTF-16 code units; the view converts between them.
#pragma once

#include <QLineEdit>

#include "platform/TextBox.h"
#include "qt/QtHost.h"

namespace trovel::qt {

class TextBoxView : public QLineEdit {
  Q_OBJECT

 public:
  // REQUIRES: `host` and `model` outlive the view.
  TextBoxView(QtHost& host, TextBox& model, QWidget* parent);
  ~TextBoxView() override;

  void Sync();

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  bool event(QEvent* e) override;

 private:
  // Hands the line's text and selection to the model.
  void FollowView();
  // Types one character through the model's handlers; false when the view
  // is gone.
  bool TypeCharacter(char32_t c, int16_t key_code);
  // Types `text` as a paste; false when the view is gone.
  bool Paste(const QString& text);
  // Shows the model's text: by its last edit when that is all that changed.
  void ShowText();
  // Shows the model's selection, or its caret, unless the line has it.
  void ShowSelection();
  // Makes the line's text `text` by one edit of the part that differs.
  void ReplaceDifference(const QString& text);

  QtHost& host_;
  TextBox& model_;
  bool syncing_ = false;
  bool following_ = false;          // FollowView is handing the line to the model
  int editing_ = 0;                 // > 0 while a user's edit runs through the model
  char16_t high_surrogate_ = 0;     // the first half of a character, waiting
  std::uint64_t shown_revision_ = ~std::uint64_t{0};  // the model text's revision on the line
  int shown_start_ = -1;            // the model selection the line shows; -1: not known
  int shown_length_ = 0;
};

}  // namespace trovel::qt
