// PropertyList: the design-time list of a control's properties, taken from
// its member description in interface order: name and value, editable for
// value properties, with the selected property's help string shown below.
// A Boolean property is chosen from True and False.
#pragma once

#include <QLabel>
#include <QTableWidget>
#include <QWidget>

#include "platform/Control.h"

namespace trovel::desktop {

class PropertyList : public QWidget {
  Q_OBJECT

 public:
  explicit PropertyList(QWidget* parent = nullptr);

  // Shows `control`'s properties; null shows none. The control must stay
  // alive while it is shown.
  void Show(Control* control);
  // Reads every value again (after a change made elsewhere).
  void Refresh();

  QTableWidget* table() const { return table_; }
  QLabel* help() const { return help_; }

 private:
  void Edited(QTableWidgetItem* item);
  // Writes `value` into the property `name`; a refusal is shown.
  void Write(const std::string& name, const Variant& value);

  Control* control_ = nullptr;
  QTableWidget* table_;
  QLabel* help_;
  bool filling_ = false;
};

}  // namespace trovel::desktop
