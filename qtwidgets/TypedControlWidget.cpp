#include "qtwidgets/TypedControlWidget.h"

#include <QCoreApplication>
#include <QMetaProperty>
#include <QPointer>
#include <filesystem>

#include "connectors/OpenConnection.h"
#include "platform/Error.h"

namespace trovel::qt {

namespace {

// The connection `address` names (OpenConnection). An SQLite file must
// exist: a mistyped path must not leave an empty database behind.
std::shared_ptr<DataConnection> Open(const std::string& address, QtHost& host) {
  if (BackendName(address) == "sqlite") {
    const std::string scheme = "sqlite:";
    const std::string path = address.compare(0, scheme.size(), scheme) == 0 ? address.substr(scheme.size()) : address;
    if (path.empty()) throw Error(Error::kDatabase, "no database named");
    if (path != ":memory:" && !std::filesystem::is_regular_file(path))
      throw Error(Error::kDatabase, "the database " + path + " does not exist");
  }
  // A result left on screen lets go of the database after the hold time.
  ConnectionSettings settings;
  settings.defer = host.Deferrer();
  return OpenConnection(address, settings);
}

QVariant ToQVariant(const Variant& v) {
  switch (v.type()) {
    case Variant::Type::Empty:
    case Variant::Type::Null: return {};
    case Variant::Type::Boolean: return v.ToBoolean();
    case Variant::Type::Integer:
    case Variant::Type::Long: return v.ToLong();
    case Variant::Type::Single:
    case Variant::Type::Double: return v.ToDouble();
    default: return QString::fromStdString(v.ToString());
  }
}

Variant FromQVariant(const QVariant& v) {
  switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool();
    case QMetaType::Int:
    case QMetaType::Short: return static_cast<int32_t>(v.toInt());
    case QMetaType::Double:
    case QMetaType::Float: return v.toDouble();
    default:
      // A Q_ENUM passes as its number.
      if (v.metaType().flags() & QMetaType::IsEnumeration) return static_cast<int32_t>(v.toInt());
      return v.toString().toStdString();
  }
}

}  // namespace

QtHost& TypedControlWidget::SharedHost() {
  static QPointer<QtHost> shared;
  if (!shared) shared = new QtHost(QCoreApplication::instance());
  return *shared;
}

TypedControlWidget::TypedControlWidget(QtHost& host, std::unique_ptr<Control> control, PropertyBag* bag,
                                       QWidget* parent)
    : ControlWidget(host, std::move(control), bag, parent) {
  connect(this, &ControlWidget::propertyChanged, this, &TypedControlWidget::Noticed);
  connect(this, &ControlWidget::eventRaised, this, &TypedControlWidget::Raised);
}

bool TypedControlWidget::Guard(const std::function<void()>& work) { return host().Guarded(nullptr, work); }

bool TypedControlWidget::setDatabase(const QString& address) {
  return Guard([&] { control().SetObject("glbDb", Open(address.toStdString(), host())); });
}

bool TypedControlWidget::setDatabase(std::shared_ptr<DataConnection> connection) {
  return Guard([&] { control().SetObject("glbDb", std::move(connection)); });
}

std::shared_ptr<DataConnection> TypedControlWidget::database() const {
  try {
    return std::dynamic_pointer_cast<DataConnection>(control().GetObject("glbDb"));
  } catch (const std::exception&) {
    return nullptr;
  }
}

QVariant TypedControlWidget::Read(const char* name) const {
  try {
    return ToQVariant(control().GetProperty(name));
  } catch (const std::exception&) {
    return {};
  }
}

void TypedControlWidget::Write(const char* name, const QVariant& value) {
  Guard([&] { control().SetProperty(name, FromQVariant(value)); });
}

void TypedControlWidget::Call(const char* method) {
  Guard([&] { control().Invoke(method); });
}

void TypedControlWidget::EmitNotify(const char* name) {
  const int index = metaObject()->indexOfProperty(name);
  if (index < 0) return;
  const QMetaProperty property = metaObject()->property(index);
  if (property.hasNotifySignal()) property.notifySignal().invoke(this, Qt::DirectConnection);
}

void TypedControlWidget::Noticed(const QString& name) { EmitNotify(name.toUtf8().constData()); }

}  // namespace trovel::qt
