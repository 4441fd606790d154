#include "qt/ComboView.h"

#include "qt/ViewSync.h"

namespace trovel::qt {

ComboView::ComboView(QtHost& host, ComboBox& model, QWidget* parent) : QComboBox(parent), host_(host), model_(model) {
  setObjectName(QString::fromStdString(model.Name()));
  setEditable(false);
  host_.AttachView(&model_, this);
  model_.onChanged = [this] { Sync(); };
  connect(this, &QComboBox::activated, this, [this](int index) {
    if (!syncing_) host_.Guarded(this, [this, index] { model_.SetListIndex(index); });
  });
  Sync();
}

ComboView::~ComboView() {
  model_.onChanged = nullptr;
  host_.DetachView(&model_);
}

bool ComboView::event(QEvent* e) { return HandleTab(host_, this, e) || QComboBox::event(e); }

void ComboView::Sync() {
  syncing_ = true;
  SyncCommon(host_, this, model_);
  QStringList entries;
  for (int i = 0; i < model_.ListCount(); ++i) entries << QString::fromStdString(model_.List(i));
  QStringList shown;
  for (int i = 0; i < count(); ++i) shown << itemText(i);
  if (shown != entries) {
    clear();
    addItems(entries);
  }
  setCurrentIndex(model_.ListIndex());
  syncing_ = false;
}

}  // namespace trovel::qt
