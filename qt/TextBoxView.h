// TextBoxView: a QLineEdit that shows a TextBox model. Typed characters go
// through the model's key-down and key-press handlers, which may change or
// swallow them; the model then applies what is left. Keys without a
// character (arrows, Home, Delete, clipboard) are Qt's, and the model
// follows the result.
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
  bool event(QEvent* e) override;

 private:
  void FollowView();

  QtHost& host_;
  TextBox& model_;
  bool syncing_ = false;
};

}  // namespace trovel::qt
