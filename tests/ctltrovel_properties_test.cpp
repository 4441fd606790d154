// ctlTrovel: property defaults, side effects and failures of writes, the
// published member descriptions, access by name, and persistence in the
// property bag.
#include "platform/Font.h"
#include "platform/MemoryPropertyBag.h"
#include "platform/Text.h"
#include "tests/CtlTrovelFixture.h"

namespace trovel {
namespace {

using Strings = std::vector<std::string>;

const std::string kDesignedFormat = "C\xC3\xB3" "digo         | Nombre" + std::string(64, ' ');

const Strings kLoadOrder = {
    "OrderBy",    "GridFormat", "NumCol",       "Width1",     "Width2",     "Width3",     "Width4",
    "MaxLength1", "MaxLength2", "MaxLength3",   "MaxLength4", "TipoCampo1", "TipoCampo2", "TipoCampo3",
    "TipoCampo4", "SentenciaSQL", "N_Campo1",   "N_Campo2",   "N_Campo3",   "N_Campo4",   "N_Campo5",
    "N_Campo6",   "N_Campo7",   "N_Campo8",     "N_Tabla1",   "N_Tabla2",   "N_Tabla3",   "N_Tabla4",
    "SeparaFecha", "FormatoFecha"};
const Strings kSaveOrder = {
    "OrderBy",    "SentenciaSQL", "Width1",     "Width2",     "Width3",     "Width4",     "GridFormat",
    "NumCol",     "MaxLength1",   "MaxLength2", "MaxLength3", "MaxLength4", "TipoCampo1", "TipoCampo2",
    "TipoCampo3", "TipoCampo4",   "N_Campo1",   "N_Campo2",   "N_Campo3",   "N_Campo4",   "N_Campo5",
    "N_Campo6",   "N_Campo7",     "N_Campo8",   "N_Tabla1",   "N_Tabla2",   "N_Tabla3",   "N_Tabla4",
    "FormatoFecha", "SeparaFecha"};

class PropertiesTest : public CtlTrovelTest {};

TEST_F(PropertiesTest, NewControlValues) {
  ctl.InitProperties();
  EXPECT_EQ(host.notices, (Strings{"OrderBy", "SentenciaSQL"}));
  EXPECT_EQ(ctl.TipoC1(), ctvTEXT);
  EXPECT_EQ(ctl.TipoC4(), ctvTEXT);
  EXPECT_EQ(ctl.TipoCampo2(), "TEX");
  EXPECT_EQ(ctl.FormatoFecha(), "dd/mm/yyyy");
  EXPECT_EQ(ctl.SeparaFecha(), "#");
  EXPECT_EQ(ctl.N_Campo1(), "");
  EXPECT_EQ(ctl.SentenciaSQL(), "");
  EXPECT_EQ(ctl.OrderBy(), "");
  EXPECT_EQ(ctl.Width1(), 990);
  EXPECT_EQ(ctl.Width2(), 1485);
  EXPECT_EQ(ctl.Width4(), 1485);
  EXPECT_EQ(ctl.MaxLength3(), 0);
  EXPECT_EQ(ctl.NumCol(), 2);
  EXPECT_EQ(ctl.GridFormat(), kDesignedFormat);
  EXPECT_EQ(Text::Length(ctl.GridFormat()), 87u);
  EXPECT_TRUE(ctl.txtcol3.Visible());  // visible although N_Campo3 is empty
  EXPECT_TRUE(ctl.txtcol4.Visible());
}

TEST_F(PropertiesTest, EveryWriteNotifiesUnderItsOwnNameAndStoresUnchanged) {
  const Strings text = {"TipoCampo1", "TipoCampo2", "TipoCampo3", "TipoCampo4", "SentenciaSQL", "N_Campo1",
                        "N_Tabla1",   "N_Tabla2",   "N_Tabla3",   "N_Tabla4",   "N_Campo2",     "N_Campo3",
                        "N_Campo4",   "N_Campo5",   "N_Campo6",   "N_Campo7",   "N_Campo8",     "OrderBy",
                        "FormatoFecha", "SeparaFecha"};
  for (const std::string& name : text) {
    host.notices.clear();
    ctl.SetProperty(name, " Mixed Case ");
    EXPECT_EQ(host.notices, Strings{name});
    EXPECT_EQ(ctl.GetProperty(name), Variant(" Mixed Case ")) << name;
  }
  const std::vector<std::pair<std::string, Variant>> values = {
      {"MaxLength1", int16_t{5}}, {"MaxLength4", int16_t{7}}, {"NumCol", int16_t{4}}, {"Width1", 700.5},
      {"Width2", 800.0},          {"Width3", 900.0},          {"Width4", 1000.0},     {"GridFormat", "x|y|z"},
      {"TipoC1", int32_t{1}},     {"TipoC4", int32_t{2}}};
  for (const auto& [name, value] : values) {
    host.notices.clear();
    ctl.SetProperty(name, value);
    EXPECT_EQ(host.notices, Strings{name});
  }
  EXPECT_EQ(ctl.txtCodigo.MaxLength(), 5);
  EXPECT_EQ(ctl.txtCodigo.Width(), 700.5f);
  EXPECT_EQ(ctl.grdDatos.Cols(), 3);  // the format string set the column count after NumCol
  EXPECT_EQ(ctl.TipoCampo1(), "NUM");
  EXPECT_EQ(ctl.TipoCampo4(), "FEC");
  host.notices.clear();
  ctl.glbDb(conn);
  ctl.SetObject("glbDb", nullptr);
  EXPECT_TRUE(host.notices.empty());
  EXPECT_EQ(ctl.glbDb(), nullptr);
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

TEST_F(PropertiesTest, FieldNamesThreeAndFourShowOrHideTheirBoxes) {
  ctl.N_Campo3("");
  EXPECT_FALSE(ctl.txtcol3.Visible());
  ctl.N_Campo3(" ");
  EXPECT_TRUE(ctl.txtcol3.Visible());
  ctl.N_Campo4("");
  EXPECT_FALSE(ctl.txtcol4.Visible());
  ctl.N_Campo4("alta");
  EXPECT_TRUE(ctl.txtcol4.Visible());
  ctl.N_Campo1("");
  ctl.N_Campo2("");
  EXPECT_TRUE(ctl.txtCodigo.Visible());
  EXPECT_TRUE(ctl.txtNombre.Visible());
}

TEST_F(PropertiesTest, WidthThreeAndFourReplaceTheirBoxAtOnce) {
  ctl.Width2(2000);  // moves no box
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
}

TEST_F(PropertiesTest, RefusedWritesStopBeforeSideEffects) {
  host.notices.clear();
  EXPECT_EQ(ErrorNumberOf([&] { ctl.Width3(-1); }), Error::kInvalidValue);
  EXPECT_EQ(ErrorNumberOf([&] { ctl.MaxLength2(-1); }), Error::kInvalidValue);
  EXPECT_EQ(ctl.Width3(), 1485);
  EXPECT_EQ(ctl.txtcol3.Left(), 2745);
  EXPECT_EQ(ctl.MaxLength2(), 0);
  EXPECT_TRUE(host.notices.empty());
  ctl.txtCodigo.SetMaxLength(40000);
  EXPECT_EQ(ErrorNumberOf([&] { ctl.MaxLength1(); }), Error::kOverflow);
  ctl.grdDatos.SetCols(40000);
  EXPECT_EQ(ErrorNumberOf([&] { ctl.NumCol(); }), Error::kOverflow);
}

TEST_F(PropertiesTest, GlbDbRefusesObjectsThatAreNotConnections) {
  auto not_a_connection = std::make_shared<Font>("Arial", 10);
  EXPECT_EQ(ErrorNumberOf([&] { ctl.glbDb(not_a_connection); }), Error::kTypeMismatch);
  EXPECT_EQ(ErrorNumberOf([&] { ctl.SetObject("glbDb", not_a_connection); }), Error::kTypeMismatch);
  EXPECT_EQ(ctl.glbDb(), conn);
  EXPECT_EQ(ctl.GetObject("glbDb"), conn);
  // The connection kept still serves reads.
  AddClientes(2);
  ConfigureClientes();
  ctl.p_leer();
  EXPECT_EQ(DataRows(), 2);
}

TEST_F(PropertiesTest, MembersArePublishedInOrderWithTheirHelp) {
  using K = MemberInfo::Kind;
  using T = MemberInfo::Type;
  struct M {
    std::string name;
    K kind;
    T type;
    std::string help;
  };
  const std::string tabla = "Opcional, nombre de la tabla a la cual pertenece el campo de la ";
  const std::vector<M> expected = {
      {"p_leer", K::Method, T::None,
       "Metodo lee la sentencia SQL usando la conexion glbdb y carga las primeras 50 filas en la cuadricula"},
      {"MaxLength1", K::Property, T::Integer, "Longitud maxima del primer parametro de busqueda"},
      {"MaxLength2", K::Property, T::Integer, "Longitud maxima del segundo parametro de busqueda"},
      {"MaxLength3", K::Property, T::Integer, "Longitud maxima del tercer parametro de busqueda"},
      {"MaxLength4", K::Property, T::Integer, "Longitud maxima del cuarto parametro de busqueda"},
      {"TipoCampo1", K::Property, T::String, ""},
      {"TipoCampo2", K::Property, T::String, ""},
      {"TipoCampo3", K::Property, T::String, ""},
      {"TipoCampo4", K::Property, T::String, ""},
      {"SentenciaSQL", K::Property, T::String, "Sentencia SQL con que se cargan los datos en la cuadricula"},
      {"N_Campo1", K::Property, T::String,
       "Nombre del campo de la DB  tabla1 que se muestra en la primera columna de la tabla o cuadricula"},
      {"N_Tabla1", K::Property, T::String, tabla + "primera columna de la cuadricula"},
      {"N_Tabla2", K::Property, T::String, tabla + "segunda columna de la cuadricula"},
      {"N_Tabla3", K::Property, T::String, tabla + "tercera columna de la cuadricula"},
      {"N_Tabla4", K::Property, T::String, tabla + "cuarta columna de la cuadricula"},
      {"N_Campo2", K::Property, T::String,
       "Nombre del campo de la DB tabla2 que se muestra en la segunda columna de la tabla"},
      {"N_Campo3", K::Property, T::String,
       "Nombre del campo de la DB tabla3 que se muestra en la tercera columna de la tabla"},
      {"N_Campo4", K::Property, T::String,
       "Nombre del campo de la DB tabla4 que se muestra en la cuarta columna de la tabla o cuadricula"},
      {"N_Campo5", K::Property, T::String, "Nombre del campo que se muestra en la quinta columna de la tabla o cuadricula"},
      {"N_Campo6", K::Property, T::String, "Nombre del campo que se muestra en la sexta columna de la tabla o cuadricula"},
      {"N_Campo7", K::Property, T::String,
       "Nombre del campo que se muestra en la septima columna de la tabla o cuadricula"},
      {"N_Campo8", K::Property, T::String, "Nombre del campo que se muestra en la octava columna de la tabla o cuadricula"},
      {"NumCol", K::Property, T::Integer, "Numero de columnas de la cuadricula"},
      {"Width1", K::Property, T::Double, "Ancho del campo de busqueda de la columna 1"},
      {"Width2", K::Property, T::Double, "Ancho del campo de busqueda de la columna 2"},
      {"Width3", K::Property, T::Double, "Ancho del campo de busqueda de la columna 3"},
      {"Width4", K::Property, T::Double, "Ancho del campo de busqueda de la columna 4"},
      {"GridFormat", K::Property, T::String,
       "Texto con Formato de las columnas de la Tabla, para separar las filas use\"|\""},
      {"OrderBy", K::Property, T::String, "Order by de la sentencia SQL"},
      {"p_Boton_Leer", K::Method, T::None,
       "Metodo que actualiza el estado de los botones y los deja listos para consultar"},
      {"FormatoFecha", K::Property, T::String, "Formato con que se presenta la fecha \"dd/mm/yyyy\""},
      {"SeparaFecha", K::Property, T::String,
       "Delimitador para los campos de Fecha, en la sentencia SQL, para Access use \"#\""},
      {"glbDb", K::Property, T::Object, "Conexion con la base de datos"},
      {"TipoC1", K::Property, T::Enum, "Tipo Campo columna 1"},
      {"TipoC2", K::Property, T::Enum, "Tipo Campo columna dos"},
      {"TipoC3", K::Property, T::Enum, "Tipo Campo columna tres"},
      {"TipoC4", K::Property, T::Enum, "Tipo Campo columna cuatro"},
      {"Quit", K::Method, T::None, ""},
  };
  const auto& members = ctl.Members();
  ASSERT_EQ(members.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(members[i].name, expected[i].name) << i;
    EXPECT_EQ(members[i].kind, expected[i].kind) << expected[i].name;
    EXPECT_EQ(members[i].type, expected[i].type) << expected[i].name;
    EXPECT_EQ(members[i].help, expected[i].help) << expected[i].name;
  }
  EXPECT_EQ(ctl.FindMember("TipoC2")->type_name, "TIPOC");
  EXPECT_EQ(ctl.FindMember("glbDb")->write, MemberInfo::Write::ByReference);
  const auto& events = ctl.Events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].name, "evtSeleccionar");
  EXPECT_EQ(events[0].help, "Evento que se produce cuando se presiona el boton selecionar");
  EXPECT_EQ(events[1].name, "evtsalir");
  EXPECT_EQ(events[1].help, "Evento se presenta cuando se presiona el boton salir");
}

TEST_F(PropertiesTest, MethodsByName) {
  AddClientes(60);
  ConfigureClientes();
  ctl.Invoke("p_leer");
  EXPECT_EQ(DataRows(), 51);
  ctl.Invoke("p_Boton_Leer");
  EXPECT_FALSE(ctl.cmdSiguiente.Enabled());
  ctl.Invoke("Quit");
  EXPECT_EQ(ctl.glbDb(), nullptr);
  EXPECT_EQ(ErrorNumberOf([&] { ctl.GetProperty("Nada"); }), Error::kNoSuchMember);
}

// --- Persistence ------------------------------------------------------------

TEST_F(PropertiesTest, NewControlSavesAllKeysInOrder) {
  ctl.InitProperties();
  MemoryPropertyBag bag;
  ctl.WriteProperties(bag);
  EXPECT_EQ(bag.writes, kSaveOrder);
  const std::map<std::string, Variant> expected = {
      {"OrderBy", ""},           {"SentenciaSQL", ""},     {"Width1", 990.0f},       {"Width2", 1485.0f},
      {"Width3", 1485.0f},       {"Width4", 1485.0f},      {"GridFormat", kDesignedFormat},
      {"NumCol", int32_t{2}},    {"MaxLength1", int32_t{0}}, {"MaxLength2", int32_t{0}},
      {"MaxLength3", int32_t{0}}, {"MaxLength4", int32_t{0}}, {"TipoCampo1", "TEX"},  {"TipoCampo2", "TEX"},
      {"TipoCampo3", "TEX"},     {"TipoCampo4", "TEX"},    {"N_Campo1", ""},         {"N_Campo2", ""},
      {"N_Campo3", ""},          {"N_Campo4", ""},         {"N_Campo5", ""},         {"N_Campo6", ""},
      {"N_Campo7", ""},          {"N_Campo8", ""},         {"N_Tabla1", ""},         {"N_Tabla2", ""},
      {"N_Tabla3", ""},          {"N_Tabla4", ""},         {"FormatoFecha", "dd/mm/yyyy"},
      {"SeparaFecha", "#"}};
  for (const auto& [key, value] : expected) {
    ASSERT_TRUE(bag.Has(key)) << key;
    EXPECT_EQ(bag.Values().at(key), value) << key;
  }
  // Loading that bag back hides the two boxes and aligns the two text columns.
  ctlTrovel loaded(host);
  loaded.grdDatos.SetColAlignment(0, 7);
  loaded.grdDatos.SetColAlignment(1, 7);
  host.notices.clear();
  loaded.ReadProperties(bag);
  EXPECT_EQ(bag.reads, kLoadOrder);
  EXPECT_FALSE(loaded.txtcol3.Visible());
  EXPECT_FALSE(loaded.txtcol4.Visible());
  EXPECT_EQ(loaded.grdDatos.ColAlignment(0), 0);
  EXPECT_EQ(loaded.grdDatos.ColAlignment(1), 0);
  EXPECT_EQ(loaded.N_Campo1(), "");  // a saved empty name is not replaced by the default
  EXPECT_TRUE(host.notices.empty());
}

TEST_F(PropertiesTest, EmptyBagLoadsDefaults) {
  MemoryPropertyBag bag;
  ctl.ReadProperties(bag);
  EXPECT_EQ(bag.reads, kLoadOrder);
  EXPECT_EQ(ctl.N_Campo1(), "codigo");
  EXPECT_EQ(ctl.N_Campo2(), "nombre");
  EXPECT_EQ(ctl.N_Campo5(), "");
  for (int n = 1; n <= 4; ++n) EXPECT_EQ(ctl.GetProperty("TipoCampo" + std::to_string(n)), Variant("TEX"));
  EXPECT_EQ(ctl.SeparaFecha(), "#");
  EXPECT_EQ(ctl.FormatoFecha(), "dd/mm/yyyy");
  EXPECT_EQ(ctl.Width1(), 990);
  EXPECT_EQ(ctl.Width3(), 1485);
  EXPECT_EQ(ctl.NumCol(), 2);
  EXPECT_EQ(ctl.GridFormat(), kDesignedFormat);
  EXPECT_FALSE(ctl.txtcol3.Visible());
  EXPECT_FALSE(ctl.txtcol4.Visible());
  EXPECT_TRUE(host.notices.empty());
}

TEST_F(PropertiesTest, TypeCodesLoadWithAlignmentRule) {
  MemoryPropertyBag bag;
  bag.Set("NumCol", int32_t{3});
  bag.Set("TipoCampo4", "TEX");
  bag.Set("TipoCampo2", "FEC");
  ctl.GridFormat("a|b|c");
  ctl.grdDatos.SetColAlignment(1, 7);
  ctl.ReadProperties(bag);
  EXPECT_EQ(ctl.NumCol(), 3);
  EXPECT_EQ(ctl.TipoCampo4(), "TEX");
  EXPECT_EQ(ctl.TipoC2(), ctvDATE);
  EXPECT_EQ(ctl.grdDatos.ColAlignment(1), 7);
}

TEST_F(PropertiesTest, SavedValuesRoundTrip) {
  const Strings strings = {"OrderBy",  "SentenciaSQL", "N_Campo1", "N_Campo2", "N_Campo3", "N_Campo4",
                           "N_Campo5", "N_Campo6",     "N_Campo7", "N_Campo8", "N_Tabla1", "N_Tabla2",
                           "N_Tabla3", "N_Tabla4",     "FormatoFecha", "SeparaFecha"};
  for (const std::string& key : strings) ctl.SetProperty(key, "v " + key);
  ctl.GridFormat("a|b|c|d");
  ctl.NumCol(5);
  ctl.Width1(1234.5678);
  ctl.Width4(321.25);
  ctl.MaxLength3(12);
  ctl.TipoCampo1("NUM");
  ctl.TipoCampo3("odd");
  ctl.glbDb(conn);
  MemoryPropertyBag bag;
  ctl.WriteProperties(bag);
  EXPECT_FALSE(bag.Has("glbDb"));
  EXPECT_EQ(bag.Values().size(), 30u);
  ctlTrovel loaded(host);
  loaded.ReadProperties(bag);
  for (const std::string& key : strings) EXPECT_EQ(loaded.GetProperty(key), Variant("v " + key)) << key;
  EXPECT_EQ(loaded.GridFormat(), "a|b|c|d");
  EXPECT_EQ(loaded.NumCol(), 5);
  EXPECT_EQ(loaded.Width1(), static_cast<double>(1234.5678f));
  EXPECT_EQ(loaded.Width4(), 321.25);
  EXPECT_EQ(loaded.MaxLength3(), 12);
  EXPECT_EQ(loaded.TipoCampo1(), "NUM");
  EXPECT_EQ(loaded.TipoCampo3(), "odd");
  EXPECT_TRUE(loaded.txtcol3.Visible());
  EXPECT_EQ(loaded.glbDb(), nullptr);
}

TEST_F(PropertiesTest, UnusableBagValuesFailWithoutLosingTheOtherKeys) {
  ctl.GridFormat("a|b|c");
  ctl.SentenciaSQL("select 1");
  ctl.N_Campo8("ocho");
  ctl.Width1(700);
  ctl.Width3(900);
  ctl.FormatoFecha("yyyy-mm-dd");
  MemoryPropertyBag good;
  ctl.WriteProperties(good);
  for (const auto& [key, bad] : std::vector<std::pair<std::string, Variant>>{{"NumCol", "tres"},
                                                                            {"Width2", -5.0f}}) {
    MemoryPropertyBag bag;
    for (const auto& [k, v] : good.Values()) bag.Set(k, v);
    bag.Set(key, bad);
    ctlTrovel loaded(host);
    EXPECT_THROW(loaded.ReadProperties(bag), Error) << key;
    MemoryPropertyBag again;
    loaded.WriteProperties(again);
    for (const auto& [k, v] : good.Values()) {
      if (k == key) continue;
      EXPECT_EQ(again.Values().at(k), v) << key << " lost " << k;
    }
  }
}

TEST_F(PropertiesTest, TerminateClosesCursorAndReleasesConnection) {
  AddClientes(60);
  ConfigureClientes();
  ctl.p_leer();
  ctl.Terminate();
  EXPECT_EQ(log->calls, (Strings{"Open", "Close"}));
  EXPECT_EQ(ctl.glbDb(), nullptr);
}

}  // namespace
}  // namespace trovel
