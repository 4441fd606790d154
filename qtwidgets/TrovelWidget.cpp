#include "qtwidgets/TrovelWidget.h"

#include "platform/MemoryPropertyBag.h"

namespace trovel::qt {

// What a form keeps are the changes from a control loaded with no saved
// value at all; the widget starts as that control. The empty bag lives until
// the constructor it is passed to has returned.
TrovelWidget::TrovelWidget(QWidget* parent)
    : TrovelWidget(SharedHost(), std::make_unique<MemoryPropertyBag>().get(), parent) {}

TrovelWidget::TrovelWidget(QtHost& host, PropertyBag* bag, QWidget* parent)
    : TypedControlWidget(host, std::make_unique<ctlTrovel>(host), bag, parent) {}

TrovelWidget::TIPOC TrovelWidget::TipoC(const char* name) const {
  const QVariant v = Read(name);
  return static_cast<TIPOC>(v.isValid() ? v.toInt() : -1);
}

TrovelWidget::CodigoTipo TrovelWidget::CodigoOf(const QString& code) {
  // The control compares its codes exactly, letter case included.
  if (code == "TEX") return TEX;
  if (code == "NUM") return NUM;
  if (code == "FEC") return FEC;
  return static_cast<CodigoTipo>(-1);
}

QString TrovelWidget::TextOf(CodigoTipo code) {
  switch (code) {
    case TEX: return "TEX";
    case NUM: return "NUM";
    case FEC: return "FEC";
  }
  // A number that is none of the three, as a property write may bring: the
  // control is given it as text, and stores it as it stores any text.
  return QString::number(static_cast<int>(code));
}

void TrovelWidget::Noticed(const QString& name) {
  TypedControlWidget::Noticed(name);
  // The format string sets the grid's column count too.
  if (name == "GridFormat") emit NumColChanged();
}

void TrovelWidget::Raised(const QString& name, const QStringList& args) {
  if (name == "evtSeleccionar")
    emit evtSeleccionar(args);
  else if (name == "evtsalir")
    emit evtsalir();
}

}  // namespace trovel::qt
