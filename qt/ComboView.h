// ComboView: a non-editable QComboBox that shows a ComboBox model; choosing
// an entry chooses it in the model, which fires the model's click handler.
#pragma once

#include <QComboBox>

#include "platform/ComboBox.h"
#include "qt/QtHost.h"

namespace trovel::qt {

class ComboView : public QComboBox {
  Q_OBJECT

 public:
  // REQUIRES: `host` and `model` outlive the view.
  ComboView(QtHost& host, ComboBox& model, QWidget* parent);
  ~ComboView() override;

  void Sync();

 protected:
  bool event(QEvent* e) override;

 private:
  QtHost& host_;
  ComboBox& model_;
  bool syncing_ = false;
};

}  // namespace trovel::qt
