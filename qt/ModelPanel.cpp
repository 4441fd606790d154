#include "qt/ModelPanel.h"

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

namespace trovel::qt {

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
    if (view) views_[m] = view;
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
}

}  // namespace trovel::qt
