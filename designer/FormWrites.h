// FormWrites: stands for a control widget on a Designer form towards a
// property page. Reads and calls go to the control; property writes go to
// `write` as values of the widget's Q_PROPERTY of that name, so that the
// form, not only the control, takes them.
//
// Ownership: borrows the widget, which must outlive it.
#pragma once

#include <QMetaProperty>
#include <QVariant>
#include <functional>

#include "platform/Error.h"
#include "qtwidgets/TypedControlWidget.h"

namespace trovel::designer {

class FormWrites : public Dispatch {
 public:
  using Writer = std::function<void(const char* name, const QVariant& value)>;

  FormWrites(qt::TypedControlWidget& widget, Writer write) : widget_(widget), write_(std::move(write)) {}

  const std::vector<MemberInfo>& Members() const override { return Control().Members(); }
  Variant GetProperty(const std::string& name) override { return Control().GetProperty(name); }
  // A property the widget does not publish is refused with Error::NoSuchMember.
  void SetProperty(const std::string& name, const Variant& value) override {
    const int index = widget_.metaObject()->indexOfProperty(name.c_str());
    if (index < 0) throw Error::NoSuchMember(name);
    QVariant converted = QString::fromStdString(value.ToString());
    converted.convert(widget_.metaObject()->property(index).metaType());
    write_(name.c_str(), converted);
  }
  ObjectRef GetObject(const std::string& name) override { return Control().GetObject(name); }
  void SetObject(const std::string& name, ObjectRef value) override { Control().SetObject(name, std::move(value)); }
  Variant Invoke(const std::string& name, const std::vector<Variant>& args = {}) override {
    return Control().Invoke(name, args);
  }

 private:
  trovel::Control& Control() const { return widget_.control(); }

  qt::TypedControlWidget& widget_;
  Writer write_;
};

}  // namespace trovel::designer
