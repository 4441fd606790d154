// ButtonView: a QPushButton that shows a CommandButton model. A click, or
// its access key ("&" in the caption), focuses the button and presses the
// model button. Controls on one form share access keys: a key acts on the
// control holding the focus, and only when none holds it on the first
// control of the window's focus order. A graphical button is painted with its picture centred above
// the caption.
#pragma once

#include <QPushButton>

#include "platform/CommandButton.h"
#include "qt/QtHost.h"

namespace trovel::qt {

class ButtonView : public QPushButton {
  Q_OBJECT

 public:
  // REQUIRES: `host` and `model` outlive the view.
  ButtonView(QtHost& host, CommandButton& model, QWidget* parent);
  ~ButtonView() override;

  void Sync();

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  void Click();
  void Press();
  // The button this one's access key presses, as above; null for none.
  ButtonView* AccessKeyTarget() const;

  QtHost& host_;
  CommandButton& model_;
  const Picture* shown_picture_ = nullptr;  // the picture the icon was made from
};

}  // namespace trovel::qt
