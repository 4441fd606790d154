#include "qt/ModelPanel.h"

#include <QFocusEvent>

#include "platform/ComboBox.h"
#include "platform/CommandButton.h"
#include "platform/FlexGrid.h"
#include "platform/Label.h"
#include "platform/TextBox.h"
#include "qt/ButtonView.h"
#include "qt/ComboView.h"
#include "qt/GridView.h"
#include "qt/LabelView.h"
#include "qt/TextBoxView.h"
#include "qt/Twips.h"

namespace trovel::qt {

ModelPanel::ModelPanel(QtHost& host, QWidget* parent) : QWidget(parent), host_(host) { setFont(ShownFont(nullptr)); }

void ModelPanel::Mirror(const std::vector<Widget*>& models) {
  for (Widget* m : models) {
    QWidget* view = nullptr;
    if (auto* box = dynamic_cast<TextBox*>(m))
      view = new TextBoxView(host_, *box, this);
    else if (auto* button = dynamic_cast<CommandButton*>(m))
      view = new ButtonView(host_, *button, this);
    else if (auto* list = dynamic_cast<ComboBox*>(m))
      view = new ComboView(host_, *list, this);
    else if (auto* label = dynamic_cast<Label*>(m))
      view = new LabelView(host_, *label, this);
    else if (auto* grid = dynamic_cast<FlexGrid*>(m))
      view = new GridView(host_, *grid, this);
    if (!view) continue;
    views_[m] = view;
    models_.push_back(m);
    if (view->focusPolicy() & Qt::TabFocus) {
      view->setFocusPolicy(Qt::ClickFocus);
      setFocusPolicy(Qt::TabFocus);
    }
  }
  // The editor of a grid lies over it: raise every non-grid view.
  for (auto& [m, view] : views_)
    if (!dynamic_cast<const FlexGrid*>(m)) view->raise();
}

QWidget* ModelPanel::ViewOf(const Widget* model) const {
  auto it = views_.find(model);
  return it == views_.end() ? nullptr : it->second;
}

void ModelPanel::ClearViews() {
  for (auto& [m, view] : views_) delete view;
  views_.clear();
  models_.clear();
  setFocusPolicy(Qt::NoFocus);
}

void ModelPanel::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  const bool last = e->reason() == Qt::BacktabFocusReason;
  host_.Guarded(this, [&] {
    for (Widget* m : models_)
      if (host_.EnterOwner(m, last)) return;
  });
}

}  // namespace trovel::qt
