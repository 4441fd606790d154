// TypedControlWidget: what the typed Qt widgets of the two search controls
// share on top of ControlWidget: the process-wide host of widgets made
// without one (by Qt Designer, QUiLoader or uic), the data connection set
// by address or by object, the public methods as slots, and the control's
// property notices passed on as the NOTIFY signals of its Q_PROPERTYs.
//
// Property writes from Qt (Designer's property editor, a .ui file, C++)
// cannot throw: a value the control refuses is shown in the "Mensaje" box
// and the property keeps its value. Reads that the control fails give the
// property type's empty value.
//
// Threading: Qt's GUI thread only.
// Ownership: as ControlWidget; the shared host belongs to the application
// object and goes with it.
#pragma once

#include <QString>
#include <QVariant>
#include <memory>

#include "contracts/DataConnection.h"
#include "qt/ControlWidget.h"

namespace trovel::qt {

class TypedControlWidget : public ControlWidget {
  Q_OBJECT

 public:
  // The host of the widgets made without one; made with the first of them.
  // REQUIRES: a QApplication exists.
  static QtHost& SharedHost();

  // Sets glbDb from an address, as OpenConnection reads it: an SQLite file
  // ("clientes.db", "sqlite:clientes.db") that must exist, ":memory:", or a
  // PostgreSQL server ("postgresql://user@host/db", "host=... dbname=...").
  // A failure is shown in the "Mensaje" box, leaves the connection as it
  // was and gives false.
  bool setDatabase(const QString& address);
  // Sets glbDb to `connection`, shared with the caller; null clears it.
  bool setDatabase(std::shared_ptr<DataConnection> connection);
  // The connection held in glbDb, or null.
  std::shared_ptr<DataConnection> database() const;

 public slots:
  void p_leer() { Call("p_leer"); }
  void p_Boton_Leer() { Call("p_Boton_Leer"); }
  void Quit() { Call("Quit"); }

 protected:
  TypedControlWidget(QtHost& host, std::unique_ptr<Control> control, PropertyBag* bag, QWidget* parent);

  // The property `name` of the control, or an invalid QVariant when the
  // control fails to read it.
  QVariant Read(const char* name) const;
  // Writes the property `name` through the control's own write.
  void Write(const char* name, const QVariant& value);
  // Runs `work` on the control; a failure is shown, and gives false.
  bool Guard(const std::function<void()>& work);
  // Emits the NOTIFY signal of the Q_PROPERTY `name`, when there is one.
  void EmitNotify(const char* name);

  // A property notice of the control; by default its property's signal.
  virtual void Noticed(const QString& name);
  // An event of the control, to be passed on as a typed signal.
  // The slots connected may delete the widget: nothing may follow the emit.
  virtual void Raised(const QString& name, const QStringList& args) = 0;

 private:
  void Call(const char* method);
};

}  // namespace trovel::qt
