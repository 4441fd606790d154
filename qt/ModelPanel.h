// ModelPanel: a QWidget that shows a set of model widgets, one Qt view per
// model widget of a kind it knows (text box, command button, drop-down list,
// label, grid), placed at the models' positions.
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
  ModelPanel(QtHost& host, QWidget* parent = nullptr) : QWidget(parent), host_(host) {}
  ~ModelPanel() override { ClearViews(); }

  // Creates the views of `models`, in order (later ones lie on top).
  void Mirror(const std::vector<Widget*>& models);
  // The view of `model`, or null.
  QWidget* ViewOf(const Widget* model) const;
  // Deletes every view; the models stay as they are.
  void ClearViews();

  QtHost& host() const { return host_; }

 private:
  QtHost& host_;
  std::map<const Widget*, QWidget*> views_;
};

}  // namespace trovel::qt
