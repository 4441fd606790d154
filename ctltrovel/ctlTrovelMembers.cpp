// ctlTrovel: the description of its public interface, in interface order,
// with late-bound access to each member.
#include "ctltrovel/ctlTrovel.h"

namespace trovel {

namespace {

using Type = MemberInfo::Type;
using Kind = MemberInfo::Kind;

MemberInfo Property(const std::string& name, Type type, const std::string& help) {
  return MemberInfo{name, Kind::Property, type, type == Type::Enum ? "TIPOC" : "", help};
}

MemberInfo Method(const std::string& name, const std::string& help) {
  return MemberInfo{name, Kind::Method, Type::None, "", help};
}

const char* const kOrdinal[] = {"primer", "segundo", "tercer", "cuarto"};
const char* const kTablaColumna[] = {"primera", "segunda", "tercera", "cuarta"};

}  // namespace

void ctlTrovel::BuildMembers() {
  MemberTable& t = members_;
  auto text = [&](const std::string& name, const std::string& help, std::function<std::string()> get,
                  std::function<void(const std::string&)> set) {
    t.AddProperty(Property(name, Type::String, help), [get] { return Variant(get()); },
                  [set](const Variant& v) { set(v.ToString()); });
  };
  auto no_args = [](std::function<void()> call) {
    return [call](const std::vector<Variant>&) {
      call();
      return Variant();
    };
  };

  t.AddMethod(Method("p_leer", "Metodo lee la sentencia SQL usando la conexion glbdb y carga las primeras 50 "
                               "filas en la cuadricula"),
              no_args([this] { p_leer(); }));
  for (int n = 1; n <= 4; ++n) {
    t.AddProperty(Property("MaxLength" + std::to_string(n), Type::Integer,
                           std::string("Longitud maxima del ") + kOrdinal[n - 1] + " parametro de busqueda"),
                  [this, n] { return Variant(MaxLengthOf(n)); },
                  [this, n](const Variant& v) { SetMaxLength(n, v.ToInteger()); });
  }
  for (int n = 1; n <= 4; ++n) {
    text("TipoCampo" + std::to_string(n), "", [this, n] { return TipoCampo_[n - 1]; },
         [this, n](const std::string& v) { SetTipoCampo(n, v); });
  }
  text("SentenciaSQL", "Sentencia SQL con que se cargan los datos en la cuadricula", [this] { return SentenciaSQL_; },
       [this](const std::string& v) { SentenciaSQL(v); });
  text("N_Campo1", "Nombre del campo de la DB  tabla1 que se muestra en la primera columna de la tabla o cuadricula",
       [this] { return N_Campo_[0]; }, [this](const std::string& v) { SetNCampo(1, v); });
  for (int n = 1; n <= 4; ++n) {
    text("N_Tabla" + std::to_string(n),
         std::string("Opcional, nombre de la tabla a la cual pertenece el campo de la ") + kTablaColumna[n - 1] +
             " columna de la cuadricula",
         [this, n] { return N_Tabla_[n - 1]; },
         [this, n](const std::string& v) { Store(N_Tabla_[n - 1], v, ("N_Tabla" + std::to_string(n)).c_str()); });
  }
  const char* const campo_help[] = {
      "",
      "Nombre del campo de la DB tabla2 que se muestra en la segunda columna de la tabla",
      "Nombre del campo de la DB tabla3 que se muestra en la tercera columna de la tabla",
      "Nombre del campo de la DB tabla4 que se muestra en la cuarta columna de la tabla o cuadricula",
      "Nombre del campo que se muestra en la quinta columna de la tabla o cuadricula",
      "Nombre del campo que se muestra en la sexta columna de la tabla o cuadricula",
      "Nombre del campo que se muestra en la septima columna de la tabla o cuadricula",
      "Nombre del campo que se muestra en la octava columna de la tabla o cuadricula",
  };
  for (int n = 2; n <= 8; ++n) {
    text("N_Campo" + std::to_string(n), campo_help[n - 1], [this, n] { return N_Campo_[n - 1]; },
         [this, n](const std::string& v) { SetNCampo(n, v); });
  }
  t.AddProperty(Property("NumCol", Type::Integer, "Numero de columnas de la cuadricula"),
                [this] { return Variant(NumCol()); }, [this](const Variant& v) { NumCol(v.ToInteger()); });
  for (int n = 1; n <= 4; ++n) {
    t.AddProperty(Property("Width" + std::to_string(n), Type::Double,
                           "Ancho del campo de busqueda de la columna " + std::to_string(n)),
                  [this, n] { return Variant(WidthOf(n)); },
                  [this, n](const Variant& v) { SetWidth(n, v.ToDouble()); });
  }
  text("GridFormat", "Texto con Formato de las columnas de la Tabla, para separar las filas use\"|\"",
       [this] { return GridFormat(); }, [this](const std::string& v) { GridFormat(v); });
  text("OrderBy", "Order by de la sentencia SQL", [this] { return OrderBy_; },
       [this](const std::string& v) { OrderBy(v); });
  t.AddMethod(Method("p_Boton_Leer", "Metodo que actualiza el estado de los botones y los deja listos para consultar"),
              no_args([this] { p_Boton_Leer(); }));
  text("FormatoFecha", "Formato con que se presenta la fecha \"dd/mm/yyyy\"", [this] { return FormatoFecha_; },
       [this](const std::string& v) { FormatoFecha(v); });
  text("SeparaFecha", "Delimitador para los campos de Fecha, en la sentencia SQL, para Access use \"#\"",
       [this] { return SeparaFecha_; }, [this](const std::string& v) { SeparaFecha(v); });
  MemberInfo db = Property("glbDb", Type::Object, "Conexion con la base de datos");
  db.type_name = "DataConnection";
  t.AddObjectProperty(db, [this] { return glbDb(); }, [this](ObjectRef v) { glbDb(std::move(v)); });
  const char* const tipo_help[] = {"Tipo Campo columna 1", "Tipo Campo columna dos", "Tipo Campo columna tres",
                                   "Tipo Campo columna cuatro"};
  for (int n = 1; n <= 4; ++n) {
    t.AddProperty(Property("TipoC" + std::to_string(n), Type::Enum, tipo_help[n - 1]),
                  [this, n] { return Variant(static_cast<int32_t>(TipoCOf(n))); },
                  [this, n](const Variant& v) { SetTipoC(n, static_cast<TIPOC>(v.ToLong())); });
  }
  t.AddMethod(Method("Quit", ""), no_args([this] { Quit(); }));
  t.AddProperty(Property("BuscarAlEscribir", Type::Boolean,
                         "Busca mientras se escribe: una pausa tras cada cambio de un filtro lee como el boton Leer"),
                [this] { return Variant(BuscarAlEscribir()); },
                [this](const Variant& v) { BuscarAlEscribir(v.ToBoolean()); });
  t.AddProperty(Property("PausaBusqueda", Type::Long,
                         "Milisegundos sin escribir tras los que se busca, con BuscarAlEscribir"),
                [this] { return Variant(PausaBusqueda()); },
                [this](const Variant& v) { PausaBusqueda(v.ToLong()); });

  t.AddEvent(MemberInfo{"evtSeleccionar", Kind::Event, Type::None, "",
                        "Evento que se produce cuando se presiona el boton selecionar"});
  t.AddEvent(MemberInfo{"evtsalir", Kind::Event, Type::None, "", "Evento se presenta cuando se presiona el boton salir"});
}

}  // namespace trovel
