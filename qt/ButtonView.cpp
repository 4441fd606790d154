#include "qt/ButtonView.h"

#include <QKeyEvent>

#include "qt/ViewSync.h"

namespace trovel::qt {

ButtonView::ButtonView(QtHost& host, CommandButton& model, QWidget* parent)
    : QPushButton(parent), host_(host), model_(model) {
  setObjectName(QString::fromStdString(model.Name()));
  setAutoDefault(false);
  host_.AttachView(&model_, this);
  model_.onChanged = [this] { Sync(); };
  connect(this, &QPushButton::clicked, this, [this] { model_.Click(); });
  Sync();
}

ButtonView::~ButtonView() {
  model_.onChanged = nullptr;
  host_.DetachView(&model_);
}

void ButtonView::Sync() {
  SyncCommon(host_, this, model_);
  setText(QString::fromStdString(model_.Caption()));
}

void ButtonView::Press() {
  // An access key moves the focus to the button first, as a click does.
  try {
    host_.SetFocus(&model_);
  } catch (const std::exception&) {
    return;
  }
  model_.Click();
}

bool ButtonView::event(QEvent* e) {
  if (e->type() == QEvent::Shortcut) {
    Press();
    return true;
  }
  if (e->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(e);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      host_.SendTab();
      return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space) {
      model_.Click();
      return true;
    }
  }
  return QPushButton::event(e);
}

}  // namespace trovel::qt
