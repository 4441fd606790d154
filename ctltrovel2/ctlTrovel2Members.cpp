// ctlTrovel2: the description of its public interface, in interface order,
// with late-bound access to each member.
#include "ctltrovel2/ctlTrovel2.h"
#include "platform/Error.h"

namespace trovel {

namespace {

using Type = MemberInfo::Type;
using Kind = MemberInfo::Kind;

MemberInfo Member(const std::string& name, Kind kind, Type type, const std::string& help,
                  const std::string& type_name = "") {
  return MemberInfo{name, kind, type, type_name, help};
}

template <class T>
std::shared_ptr<T> As(ObjectRef object, const char* what) {
  if (!object) return nullptr;
  auto typed = std::dynamic_pointer_cast<T>(object);
  if (!typed) throw Error::TypeMismatch(std::string(what) + " needs another kind of object");
  return typed;
}

}  // namespace

void ctlTrovel2::BuildMembers() {
  MemberTable& t = members_;
  auto no_args = [](std::function<void()> call) {
    return [call](const std::vector<Variant>&) {
      call();
      return Variant();
    };
  };
  auto text = [&](const std::string& name, const std::string& help, std::function<std::string()> get,
                  std::function<void(const std::string&)> set) {
    t.AddProperty(Member(name, Kind::Property, Type::String, help), [get] { return Variant(get()); },
                  [set](const Variant& v) { set(v.ToString()); });
  };

  t.AddMethod(Member("p_leer", Kind::Method, Type::None,
                     "Metodo lee la sentencia SQL usando la conexion glbdb y carga las primeras 50 filas en la "
                     "cuadricula"),
              no_args([this] { p_leer(); }));
  text("SentenciaSQL", "Sentencia SQL con que se cargan los datos en la cuadricula", [this] { return SentenciaSQL_; },
       [this](const std::string& v) { SentenciaSQL(v); });
  text("OrderBy", "Order by de la sentencia SQL", [this] { return OrderBy_; },
       [this](const std::string& v) { OrderBy(v); });
  t.AddMethod(Member("p_Boton_Leer", Kind::Method, Type::None,
                     "Metodo que actualiza el estado de los botones y los deja listos para consultar"),
              no_args([this] { p_Boton_Leer(); }));
  text("FormatoFecha", "Formato con que se presenta la fecha \"dd/mm/yyyy\"", [this] { return FormatoFecha_; },
       [this](const std::string& v) { FormatoFecha(v); });
  text("SeparaFecha", "Delimitador para los campos de Fecha, en la sentencia SQL, para Access use \"#\"",
       [this] { return SeparaFecha_; }, [this](const std::string& v) { SeparaFecha(v); });
  t.AddObjectProperty(
      Member("glbDb", Kind::Property, Type::Object, "Conexion con la base de datos", "DataConnection"),
      [this] { return glbDb(); }, [this](ObjectRef v) { glbDb(std::move(v)); });
  t.AddMethod(Member("fgi", Kind::Function, Type::Integer, ""), [this](const std::vector<Variant>& args) {
    if (args.size() != 2) throw Error::InvalidValue("fgi recibe una fila y una columna");
    return Variant(fgi(args[0].ToInteger(), args[1].ToInteger()));
  });
  t.AddObjectProperty(Member("Columns", Kind::Property, Type::Object, "", "clsColumns"),
                      [this] { return ObjectRef(Columns_); },
                      [this](ObjectRef v) { Columns(As<clsColumns>(std::move(v), "Columns")); });
  t.AddProperty(Member("UCaseFiltro", Kind::Property, Type::Boolean, ""), [this] { return Variant(UCaseFiltro_); },
                [this](const Variant& v) { UCaseFiltro(v.ToBoolean()); });
  t.AddObjectProperty(Member("GridFont", Kind::Property, Type::Object, "", "Font"),
                      [this] { return ObjectRef(GridFont()); },
                      [this](ObjectRef v) { GridFont(As<Font>(std::move(v), "GridFont")); });
  t.AddObjectProperty(Member("CommandFont", Kind::Property, Type::Object, "", "Font"),
                      [this] { return ObjectRef(CommandFont()); },
                      [this](ObjectRef v) { CommandFont(As<Font>(std::move(v), "CommandFont")); });
  t.AddMethod(Member("Quit", Kind::Method, Type::None, ""), no_args([this] { Quit(); }));
  t.AddProperty(Member("BuscarAlEscribir", Kind::Property, Type::Boolean,
                       "Busca mientras se escribe: una pausa tras cada cambio de un filtro lee como el boton Leer"),
                [this] { return Variant(BuscarAlEscribir()); },
                [this](const Variant& v) { BuscarAlEscribir(v.ToBoolean()); });
  t.AddProperty(Member("PausaBusqueda", Kind::Property, Type::Long,
                       "Milisegundos sin escribir tras los que se busca, con BuscarAlEscribir"),
                [this] { return Variant(PausaBusqueda()); },
                [this](const Variant& v) { PausaBusqueda(v.ToLong()); });

  t.AddEvent(Member("evtSeleccionar", Kind::Event, Type::None, ""));
  t.AddEvent(Member("evtsalir", Kind::Event, Type::None, "Evento se presenta cuando se presiona el boton salir"));
}

}  // namespace trovel
