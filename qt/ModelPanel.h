// ModelPanel: a QWidget that shows a set of model widgets, one Qt view per
// model widget of a kind it knows (text box, command button, drop-down list,
// label, grid), placed at the models' positions, in the host's default font
// where a model has none of its own.
//
// The panel is one focus stop of its window: Tab from outside enters it at
// the first widget of its designed tab order (Shift+Tab at the last), and the
// host runs Tab among its views (a click still focuses a view directly).
//
// Ownership: the panel owns the views; the models belong to whoever made
// them and must outlive the panel, or outlive ClearViews().
#pragma once

#include <QWidget>
#include <map>
#include <vector>

#include "platform/Widget.h"
#include "qt/QtHost.h"

namespace trovel::qt {

class ModelPanel : public QWidget {
  Q_OBJECT

 public:
  ModelPanel(QtHost& host, QWidget* parent = nullptr);
  ~ModelPanel() override { ClearViews(); }

  // Creates the views of `models`, in order (later ones lie on top).
  void Mirror(const std::vector<Widget*>& models);
  // The view of `model`, or null.
  QWidget* ViewOf(const Widget* model) const;
  // Deletes every view; the models stay as they are.
  void ClearViews();

  QtHost& host() const { return host_; }

 protected:
  void focusInEvent(QFocusEvent* e) override;

 private:
  QtHost& host_;
  std::map<const Widget*, QWidget*> views_;
  std::vector<Widget*> models_;  // those with a view, in Mirror's order
};

}  // namespace trovel::qt
