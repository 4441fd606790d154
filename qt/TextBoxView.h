// TextBoxView: a QLineEdit that shows a TextBox model. Typed characters go
// through the model's key-down and key-press handlers, which may change or
// swallow them; the model then applies what is left. Characters an input
// method commits go the same way, without a key-down. A character beyond
// U+FFFF, which no key code holds, goes to the model whole (also when it
// comes as two surrogate halves), and the model decides whether it enters
// (TextBox::TypeWideCharacter). Keys without a character (arrows, Home,
// Delete, clipboard) are Qt's, and the model follows the result; a paste
// reaches the model whole, as in every text box.
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
  bool event(QEvent* e) override;

 private:
  void FollowView();
  // Types one character through the model's handlers; false when the view
  // is gone.
  bool TypeCharacter(char32_t c, int16_t key_code);
  // Shows the model's text: by its last edit when that is all that changed.
  void ShowText();

  QtHost& host_;
  TextBox& model_;
  bool syncing_ = false;
  char16_t high_surrogate_ = 0;     // the first half of a character, waiting
  std::uint64_t shown_revision_ = ~std::uint64_t{0};  // the model text's revision on the line
  int shown_caret_ = -1;            // the model caret the line's cursor stands for
};

}  // namespace trovel::qt
