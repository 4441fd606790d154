#include "qt/LabelView.h"

#include "qt/ViewSync.h"

namespace trovel::qt {

LabelView::LabelView(QtHost& host, Label& model, QWidget* parent) : QLabel(parent), host_(host), model_(model) {
  setObjectName(QString::fromStdString(model.Name()));
  setWordWrap(true);
  model_.onChanged = [this] { Sync(); };
  Sync();
}

void LabelView::Sync() {
  SyncCommon(host_, this, model_);
  setText(QString::fromStdString(model_.Caption()));
}

}  // namespace trovel::qt
