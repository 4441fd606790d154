// ctlTrovel: property defaults, side effects and failures of writes, the
// published member descriptions, access by name, and persistence in the
// property bag.
#include "platform/Font.h"
#include "platform/MemoryPropertyBag.h"
#include "tests/CtlTrovelFixture.h"

namespace trovel {
namespace {

using Strings = std::vector<std::string>;
using Saved = std::vector<std::pair<std::string, Variant>>;

const std::string kDesignedFormat = "C\xC3\xB3" "digo         | Nombre" + std::string(64, ' ');

// The text properties stored as written, apart from TipoCampo1..4.
const Strings kNames = {"OrderBy",  "SentenciaSQL", "FormatoFecha", "SeparaFecha", "N_Campo1", "N_Campo2",
                        "N_Campo3", "N_Campo4",     "N_Campo5",     "N_Campo6",    "N_Campo7", "N_Campo8",
                        "N_Tabla1", "N_Tabla2",     "N_Tabla3",     "N_Tabla4"};
const Strings kLoadOrder = {
    "OrderBy",    "GridFormat", "NumCol",       "Width1",     "Width2",     "Width3",     "Width4",
    "MaxLength1", "MaxLength2", "MaxLength3",   "MaxLength4", "TipoCampo1", "TipoCampo2", "TipoCampo3",
    "TipoCampo4", "SentenciaSQL", "N_Campo1",   "N_Campo2",   "N_Campo3",   "N_Campo4",   "N_Campo5",
    "N_Campo6",   "N_Campo7",   "N_Campo8",     "N_Tabla1",   "N_Tabla2",   "N_Tabla3",   "N_Tabla4",
    "SeparaFecha", "FormatoFecha", "BuscarAlEscribir", "PausaBusqueda"};
// What a new control saves, in the order it writes the keys.
const Saved kNewControl = {
    {"OrderBy", ""},           {"SentenciaSQL", ""},       {"Width1", 990.0f},         {"Width2", 1485.0f},
    {"Width3", 1485.0f},       {"Width4", 1485.0f},        {"GridFormat", kDesignedFormat}, {"NumCol", int32_t{2}},
    {"MaxLength1", int32_t{0}}, {"MaxLength2", int32_t{0}}, {"MaxLength3", int32_t{0}}, {"MaxLength4", int32_t{0}},
    {"TipoCampo1", "TEX"},     {"TipoCampo2", "TEX"},      {"TipoCampo3", "TEX"},      {"TipoCampo4", "TEX"},
    {"N_Campo1", ""},          {"N_Campo2", ""},           {"N_Campo3", ""},           {"N_Campo4", ""},
    {"N_Campo5", ""},          {"N_Campo6", ""},           {"N_Campo7", ""},           {"N_Campo8", ""},
    {"N_Tabla1", ""},          {"N_Tabla2", ""},           {"N_Tabla3", ""},           {"N_Tabla4", ""},
    {"FormatoFecha", "dd/mm/yyyy"}, {"SeparaFecha", "#"},
    // At their defaults, written to clear what the bag held, not stored.
    {"BuscarAlEscribir", "(missing)"}, {"PausaBusqueda", "(missing)"}};

class PropertiesTest : public CtlTrovelTest {
 protected:
  // Saves `control` into `bag` and checks the keys written, in order, with their values.
  static void ExpectSaves(ctlTrovel& control, const Saved& expected, MemoryPropertyBag& bag) {
    control.WriteProperties(bag);
    Strings keys;
    for (const auto& [key, value] : expected) {
      keys.push_back(key);
      EXPECT_EQ(bag.Has(key) ? bag.Values().at(key) : Variant("(missing)"), value) << key;
    }
    EXPECT_EQ(bag.writes, keys);
  }
  static void Copy(const MemoryPropertyBag& from, MemoryPropertyBag& to) {
    for (const auto& [key, value] : from.Values()) to.Set(key, value);
  }
};

TEST_F(PropertiesTest, EveryWriteNotifiesUnderItsOwnNameAndStoresUnchanged) {
  Saved values;
  for (int n = 1; n <= 4; ++n) values.emplace_back("TipoCampo" + std::to_string(n), " Mixed Case ");
  for (const std::string& name : kNames) values.emplace_back(name, " Mixed Case ");
  values.insert(values.end(), {{"MaxLength1", int16_t{5}}, {"MaxLength4", int16_t{7}}, {"NumCol", int16_t{4}},
                               {"Width1", 700.5},          {"Width2", 800.0},          {"Width3", 900.0},
                               {"Width4", 1000.0},         {"GridFormat", "x|y|z"},    {"TipoC1", int32_t{1}},
                               {"TipoC4", int32_t{2}}});
  for (const auto& [name, value] : values) {
    host.notices.clear();
    ctl.SetProperty(name, value);
    EXPECT_EQ(host.notices, Strings{name});
    EXPECT_EQ(ctl.GetProperty(name), value) << name;
  }
  EXPECT_EQ(ctl.txtCodigo.MaxLength(), 5);
  EXPECT_EQ(ctl.txtCodigo.Width(), 700.5f);
  EXPECT_EQ(ctl.grdDatos.Cols(), 3);  // the format string set the column count after NumCol
  EXPECT_EQ(ctl.TipoCampo1(), "NUM");
  EXPECT_EQ(ctl.TipoCampo4(), "FEC");
}

TEST_F(PropertiesTest, TipoCampoTextAlignsItsGridColumn) {
  ctl.GridFormat("a|b|c");
  for (int c = 0; c < 3; ++c) ctl.grdDatos.SetColAlignment(c, 7);
  ctl.TipoCampo2("TEX");
  EXPECT_EQ(ctl.grdDatos.ColAlignment(1), 0);
  ctl.TipoCampo1("NUM");
  ctl.TipoCampo1("FEC");
  ctl.TipoCampo3("tex");
  EXPECT_EQ(ctl.grdDatos.ColAlignment(0), 7);
  EXPECT_EQ(ctl.grdDatos.ColAlignment(2), 7);
  host.notices.clear();
  ctl.TipoCampo4("TEX");  // only three columns: stored and notified, no alignment
  EXPECT_EQ(ctl.TipoCampo4(), "TEX");
  EXPECT_EQ(host.notices, Strings{"TipoCampo4"});
  ctl.TipoC3(ctvDATE);
  EXPECT_EQ(ctl.TipoCampo3(), "FEC");
  ctl.TipoC1(ctvTEXT);  // the typed write leaves the alignment alone
  EXPECT_EQ(ctl.TipoCampo1(), "TEX");
  EXPECT_EQ(ctl.grdDatos.ColAlignment(0), 7);
  // Loading follows the same rule: a date column keeps its alignment, a text column beyond the grid is no error.
  MemoryPropertyBag bag;
  bag.Set("NumCol", int32_t{3});
  bag.Set("TipoCampo4", "TEX");
  bag.Set("TipoCampo2", "FEC");
  ctl.grdDatos.SetColAlignment(1, 7);
  ctl.ReadProperties(bag);
  EXPECT_EQ(ctl.NumCol(), 3);
  EXPECT_EQ(ctl.TipoCampo4(), "TEX");
  EXPECT_EQ(ctl.TipoC2(), ctvDATE);
  EXPECT_EQ(ctl.grdDatos.ColAlignment(1), 7);
}

TEST_F(PropertiesTest, TypedViewRefusesUnknownCodesAndValues) {
  ctl.TipoCampo2("tex");
  EXPECT_EQ(ErrorNumberOf([&] { ctl.TipoC2(); }), Error::kInvalidValue);
  EXPECT_EQ(ErrorNumberOf([&] { ctl.GetProperty("TipoC2"); }), Error::kInvalidValue);
  EXPECT_EQ(ctl.TipoCampo2(), "tex");
  ctl.TipoCampo1("NUM");
  host.notices.clear();
  EXPECT_EQ(ErrorNumberOf([&] { ctl.TipoC1(static_cast<TIPOC>(3)); }), Error::kInvalidValue);
  EXPECT_EQ(ErrorNumberOf([&] { ctl.SetProperty("TipoC1", int32_t{-1}); }), Error::kInvalidValue);
  EXPECT_EQ(ctl.TipoCampo1(), "NUM");
  EXPECT_TRUE(host.notices.empty());
  EXPECT_EQ(ctl.GetProperty("TipoC1"), Variant(int32_t{1}));
}

// An empty name hides the box of column 3 or 4 and any other name shows it; the boxes of columns 1 and 2 always show.
TEST_F(PropertiesTest, FieldNamesThreeAndFourShowOrHideTheirBoxes) {
  const std::vector<std::tuple<std::string, std::string, TextBox*, bool>> cases = {
      {"N_Campo3", "", &ctl.txtcol3, false},  {"N_Campo3", " ", &ctl.txtcol3, true},
      {"N_Campo4", "", &ctl.txtcol4, false},  {"N_Campo4", "alta", &ctl.txtcol4, true},
      {"N_Campo1", "", &ctl.txtCodigo, true}, {"N_Campo2", "", &ctl.txtNombre, true}};
  for (const auto& [name, value, box, visible] : cases) {
    ctl.SetProperty(name, value);
    EXPECT_EQ(box->Visible(), visible) << name << " = '" << value << "'";
  }
}

// Width3 and Width4 place their box at once, Width2 moves none; a refused write stops before any side effect.
TEST_F(PropertiesTest, WidthsPlaceTheirBoxesAndRefusedWritesChangeNothing) {
  EXPECT_EQ(ErrorNumberOf([&] { ctl.Width3(-1); }), Error::kInvalidValue);
  EXPECT_EQ(ErrorNumberOf([&] { ctl.MaxLength2(-1); }), Error::kInvalidValue);
  EXPECT_EQ(ctl.Width3(), 1485);
  EXPECT_EQ(ctl.MaxLength2(), 0);
  EXPECT_TRUE(host.notices.empty());
  ctl.Width2(2000);
  EXPECT_EQ(ctl.txtcol3.Left(), 2745);
  EXPECT_EQ(ctl.txtcol4.Left(), 4260);
  ctl.Width2(1485);
  ctl.Width3(2000);
  EXPECT_EQ(ctl.txtcol3.Left(), 2720);
  EXPECT_EQ(ctl.txtcol3.Width(), 2000);
  EXPECT_EQ(ctl.txtcol4.Left(), 4260);
  ctl.Width4(1000);
  EXPECT_EQ(ctl.txtcol4.Left(), 4740);
  ctl.Width1(500);
  EXPECT_EQ(ctl.txtNombre.Left(), 1215);
  // Reading a box the host made too large for the 16-bit value overflows; the grid refuses so many columns at once.
  ctl.txtCodigo.SetMaxLength(40000);
  EXPECT_EQ(ErrorNumberOf([&] { ctl.MaxLength1(); }), Error::kOverflow);
  const int16_t cols = ctl.NumCol();
  EXPECT_EQ(ErrorNumberOf([&] { ctl.grdDatos.SetCols(40000); }), Error::kInvalidValue);
  EXPECT_EQ(ctl.NumCol(), cols);
}

// glbDb takes only a connection, by name too, and neither setting nor clearing it is notified. The connection kept
// serves the methods called by name, and Terminate, like Quit, closes the cursor and releases the connection.
TEST_F(PropertiesTest, GlbDbTakesOnlyConnectionsWhichTheMethodsByNameUseAndTerminateReleases) {
  auto not_a_connection = std::make_shared<Font>("Arial", 10);
  EXPECT_EQ(ErrorNumberOf([&] { ctl.glbDb(not_a_connection); }), Error::kTypeMismatch);
  EXPECT_EQ(ErrorNumberOf([&] { ctl.SetObject("glbDb", not_a_connection); }), Error::kTypeMismatch);
  EXPECT_EQ(ctl.glbDb(), conn);
  EXPECT_EQ(ctl.GetObject("glbDb"), conn);
  ctl.SetObject("glbDb", nullptr);
  EXPECT_EQ(ctl.glbDb(), nullptr);
  ctl.glbDb(conn);
  EXPECT_TRUE(host.notices.empty());
  AddClientes(60);
  ConfigureClientes();
  ctl.Invoke("p_leer");
  EXPECT_EQ(DataRows(), 51);
  ctl.Invoke("p_Boton_Leer");
  EXPECT_FALSE(ctl.cmdSiguiente.Enabled());
  ctl.Terminate();
  EXPECT_EQ(log->calls, (Strings{"Open", "Close"}));
  EXPECT_EQ(ctl.glbDb(), nullptr);
  ctl.glbDb(conn);
  ctl.Invoke("Quit");
  EXPECT_EQ(ctl.glbDb(), nullptr);
  EXPECT_EQ(ErrorNumberOf([&] { ctl.GetProperty("Nada"); }), Error::kNoSuchMember);
}

TEST_F(PropertiesTest, MembersArePublishedInOrderWithTheirHelp) {
  // Name, kind, type and help of each member, then of each event. P, F and V mark properties, methods and events;
  // S, I, D, E, O and N stand for the types String, Integer, Double, Enum, Object and None.
  using M = std::tuple<std::string, MemberInfo::Kind, MemberInfo::Type, std::string>;
  constexpr auto P = MemberInfo::Kind::Property, F = MemberInfo::Kind::Method, V = MemberInfo::Kind::Event;
  constexpr auto S = MemberInfo::Type::String, I = MemberInfo::Type::Integer, D = MemberInfo::Type::Double,
                 E = MemberInfo::Type::Enum, O = MemberInfo::Type::Object, N = MemberInfo::Type::None;
  const std::string tabla = "Opcional, nombre de la tabla a la cual pertenece el campo de la ";
  const std::vector<M> expected = {
      {"p_leer", F, N,
       "Metodo lee la sentencia SQL usando la conexion glbdb y carga las primeras 50 filas en la cuadricula"},
      {"MaxLength1", P, I, "Longitud maxima del primer parametro de busqueda"},
      {"MaxLength2", P, I, "Longitud maxima del segundo parametro de busqueda"},
      {"MaxLength3", P, I, "Longitud maxima del tercer parametro de busqueda"},
      {"MaxLength4", P, I, "Longitud maxima del cuarto parametro de busqueda"},
      {"TipoCampo1", P, S, ""}, {"TipoCampo2", P, S, ""}, {"TipoCampo3", P, S, ""}, {"TipoCampo4", P, S, ""},
      {"SentenciaSQL", P, S, "Sentencia SQL con que se cargan los datos en la cuadricula"},
      {"N_Campo1", P, S,
       "Nombre del campo de la DB  tabla1 que se muestra en la primera columna de la tabla o cuadricula"},
      {"N_Tabla1", P, S, tabla + "primera columna de la cuadricula"},
      {"N_Tabla2", P, S, tabla + "segunda columna de la cuadricula"},
      {"N_Tabla3", P, S, tabla + "tercera columna de la cuadricula"},
      {"N_Tabla4", P, S, tabla + "cuarta columna de la cuadricula"},
      {"N_Campo2", P, S, "Nombre del campo de la DB tabla2 que se muestra en la segunda columna de la tabla"},
      {"N_Campo3", P, S, "Nombre del campo de la DB tabla3 que se muestra en la tercera columna de la tabla"},
      {"N_Campo4", P, S,
       "Nombre del campo de la DB tabla4 que se muestra en la cuarta columna de la tabla o cuadricula"},
      {"N_Campo5", P, S, "Nombre del campo que se muestra en la quinta columna de la tabla o cuadricula"},
      {"N_Campo6", P, S, "Nombre del campo que se muestra en la sexta columna de la tabla o cuadricula"},
      {"N_Campo7", P, S, "Nombre del campo que se muestra en la septima columna de la tabla o cuadricula"},
      {"N_Campo8", P, S, "Nombre del campo que se muestra en la octava columna de la tabla o cuadricula"},
      {"NumCol", P, I, "Numero de columnas de la cuadricula"},
      {"Width1", P, D, "Ancho del campo de busqueda de la columna 1"},
      {"Width2", P, D, "Ancho del campo de busqueda de la columna 2"},
      {"Width3", P, D, "Ancho del campo de busqueda de la columna 3"},
      {"Width4", P, D, "Ancho del campo de busqueda de la columna 4"},
      {"GridFormat", P, S, "Texto con Formato de las columnas de la Tabla, para separar las filas use\"|\""},
      {"OrderBy", P, S, "Order by de la sentencia SQL"},
      {"p_Boton_Leer", F, N, "Metodo que actualiza el estado de los botones y los deja listos para consultar"},
      {"FormatoFecha", P, S, "Formato con que se presenta la fecha \"dd/mm/yyyy\""},
      {"SeparaFecha", P, S, "Delimitador para los campos de Fecha, en la sentencia SQL, para Access use \"#\""},
      {"glbDb", P, O, "Conexion con la base de datos"},
      {"TipoC1", P, E, "Tipo Campo columna 1"}, {"TipoC2", P, E, "Tipo Campo columna dos"},
      {"TipoC3", P, E, "Tipo Campo columna tres"}, {"TipoC4", P, E, "Tipo Campo columna cuatro"},
      {"Quit", F, N, ""},
      {"BuscarAlEscribir", P, MemberInfo::Type::Boolean,
       "Busca mientras se escribe: una pausa tras cada cambio de un filtro lee como el boton Leer"},
      {"PausaBusqueda", P, MemberInfo::Type::Long, "Milisegundos sin escribir tras los que se busca, con BuscarAlEscribir"},
      {"evtSeleccionar", V, N, "Evento que se produce cuando se presiona el boton selecionar"},
      {"evtsalir", V, N, "Evento se presenta cuando se presiona el boton salir"},
  };
  std::vector<MemberInfo> members = ctl.Members();
  members.insert(members.end(), ctl.Events().begin(), ctl.Events().end());
  ASSERT_EQ(members.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(M(members[i].name, members[i].kind, members[i].type, members[i].help), expected[i]) << i;
  EXPECT_EQ(ctl.FindMember("TipoC2")->type_name, "TIPOC");
  EXPECT_EQ(ctl.FindMember("glbDb")->write, MemberInfo::Write::ByReference);
}

// --- Persistence ------------------------------------------------------------

TEST_F(PropertiesTest, NewControlSavesItsValuesInOrderAndLoadsThemBack) {
  ctl.InitProperties();
  EXPECT_EQ(host.notices, (Strings{"OrderBy", "SentenciaSQL"}));
  EXPECT_EQ(ctl.TipoC1(), ctvTEXT);
  EXPECT_TRUE(ctl.txtcol3.Visible());  // visible although N_Campo3 is empty
  EXPECT_TRUE(ctl.txtcol4.Visible());
  MemoryPropertyBag saved;
  ExpectSaves(ctl, kNewControl, saved);
  // Loading that bag, or an empty one, hides the two boxes and aligns the two text columns. Only the empty bag
  // names the first two fields: a saved empty name is not replaced by the default.
  for (const bool empty : {false, true}) {
    SCOPED_TRACE(empty ? "empty bag" : "saved bag");
    MemoryPropertyBag bag, again;
    if (!empty) Copy(saved, bag);
    ctlTrovel loaded(host);
    loaded.grdDatos.SetColAlignment(0, 7);
    loaded.grdDatos.SetColAlignment(1, 7);
    host.notices.clear();
    loaded.ReadProperties(bag);
    EXPECT_EQ(bag.reads, kLoadOrder);
    EXPECT_TRUE(host.notices.empty());
    EXPECT_FALSE(loaded.txtcol3.Visible());
    EXPECT_FALSE(loaded.txtcol4.Visible());
    EXPECT_EQ(loaded.grdDatos.ColAlignment(0), 0);
    EXPECT_EQ(loaded.grdDatos.ColAlignment(1), 0);
    Saved expected = kNewControl;
    if (empty) {
      expected[16].second = "codigo";  // N_Campo1
      expected[17].second = "nombre";  // N_Campo2
    }
    ExpectSaves(loaded, expected, again);
  }
}

// Every saved key but glbDb comes back; a value that cannot be applied fails the load without losing the others.
TEST_F(PropertiesTest, SavedValuesRoundTripAndUnusableOnesFailAlone) {
  Saved values = {{"GridFormat", "a|b|c|d"}, {"NumCol", int16_t{5}},   {"Width4", 321.25},
                  {"MaxLength3", int16_t{12}},  {"TipoCampo1", "NUM"}, {"TipoCampo3", "odd"}};
  for (const std::string& key : kNames) values.emplace_back(key, "v " + key);
  for (const auto& [key, value] : values) ctl.SetProperty(key, value);
  ctl.Width1(1234.5678);
  MemoryPropertyBag good;
  ctl.WriteProperties(good);
  EXPECT_FALSE(good.Has("glbDb"));
  EXPECT_EQ(good.Values().size(), 30u);
  ctlTrovel loaded(host);
  loaded.ReadProperties(good);
  for (const auto& [key, value] : values) EXPECT_EQ(loaded.GetProperty(key), value) << key;
  EXPECT_EQ(loaded.Width1(), static_cast<double>(1234.5678f));  // kept as a single
  EXPECT_TRUE(loaded.txtcol3.Visible());
  EXPECT_EQ(loaded.glbDb(), nullptr);
  for (const auto& [key, bad] : Saved{{"NumCol", "tres"}, {"Width2", -5.0f}}) {
    MemoryPropertyBag bag, again;
    Copy(good, bag);
    bag.Set(key, bad);
    ctlTrovel damaged(host);
    EXPECT_THROW(damaged.ReadProperties(bag), Error) << key;
    damaged.WriteProperties(again);
    for (const auto& [k, v] : good.Values()) {
      if (k == key) continue;
      EXPECT_EQ(again.Values().at(k), v) << key << " lost " << k;
    }
  }
}

}  // namespace
}  // namespace trovel
