// LabelView: a QLabel that shows a Label model.
#pragma once

#include <QLabel>

#include "platform/Label.h"
#include "qt/QtHost.h"

namespace trovel::qt {

class LabelView : public QLabel {
  Q_OBJECT

 public:
  // REQUIRES: `host` and `model` outlive the view.
  LabelView(QtHost& host, Label& model, QWidget* parent);
  ~LabelView() override { model_.onChanged = nullptr; }

  void Sync();

 private:
  QtHost& host_;
  Label& model_;
};

}  // namespace trovel::qt
