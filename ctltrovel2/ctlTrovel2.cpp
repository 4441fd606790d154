// ctlTrovel2: creation, properties, persistence and layout.
#include "ctltrovel2/ctlTrovel2.h"

#include <limits>

#include "ctltrovel/ButtonPictures.h"
#include "platform/DesignedWidget.h"
#include "platform/Error.h"
#include "platform/Text.h"

namespace trovel {

namespace {

const std::string kDesignedFormat = "Código         | Nombre" + std::string(64, ' ');

}  // namespace

ctlTrovel2::ctlTrovel2(Host& host)
    : grid_(std::make_shared<FlexGrid>("grdDatos")),
      grdDatos(*grid_),
      host_(host),
      Columns_(clsColumns::Create(&host)) {
  CreateChildren();
  BuildMembers();
}

ctlTrovel2::~ctlTrovel2() {
  // A host that skipped Quit still gets its cursor closed.
  try {
    CloseCursor();
  } catch (...) {
  }
  for (Widget* w : Children()) host_.UnregisterWidget(w);
}

void ctlTrovel2::CreateChildren() {
  PlaceDesignedWidgets(host_, this, {
      {&grdDatos, 60, 90, 5115, 4005},         {&txtEdit, 1770, 1980, 2055, 555},
      {&cmdLeer, 465, 4200, 850, 550},         {&cmdSiguiente, 1575, 4215, 850, 550},
      {&cmdSeleccionar, 2670, 4230, 850, 550}, {&cmdSalir, 3840, 4230, 850, 550}
  });
  grdDatos.SetFont(std::make_shared<Font>("MS Sans Serif", 8.25f));
  ButtonPictures::Apply(cmdLeer, cmdSiguiente, cmdSeleccionar, cmdSalir);
  // Each child starts with a font object of its own; GridFont and CommandFont share one.
  for (Widget* w : std::initializer_list<Widget*>{&txtEdit, &cmdLeer, &cmdSiguiente, &cmdSeleccionar, &cmdSalir})
    w->SetFont(std::make_shared<Font>("MS Sans Serif", 8.25f));
  grdDatos.SetFormatString(kDesignedFormat);
  grdDatos.SetToolTipText("Filtros y resultados");
  txtEdit.SetVisible(false);
  cmdLeer.SetCaption("&Leer");
  cmdSiguiente.SetCaption("S&iguiente");
  cmdSiguiente.SetEnabled(false);
  cmdSeleccionar.SetCaption("S&eleccion");
  cmdSeleccionar.SetEnabled(false);
  cmdSalir.SetCaption("&Salir");

  cmdLeer.onClick = [this] { cmdLeer_Click(); };
  cmdSiguiente.onClick = [this] { cmdSiguiente_Click(); };
  cmdSeleccionar.onClick = [this] { cmdSeleccionar_Click(); };
  cmdSalir.onClick = [this] { cmdSalir_Click(); };
  grdDatos.onKeyPress = [this](int16_t& k) { grdDatos_KeyPress(k); };
  grdDatos.onDblClick = [this] { grdDatos_DblClick(); };
  grdDatos.onGotFocus = [this] { Commit(); };
  grdDatos.onLeaveCell = [this] { Commit(); };
  txtEdit.onKeyDown = [this](int16_t& k) { txtEdit_KeyDown(k); };
  txtEdit.onKeyPress = [this](int16_t& k) { txtEdit_KeyPress(k); };
  // A character beyond U+FFFF has no key code and never reaches the key
  // handler; only a text column lets such a character through, as it lets
  // any letter through (upper-cased under UCaseFiltro).
  txtEdit.onWideCharacter = [this](int32_t& codepoint) {
    if (ColumnOf(grdDatos.Col()).TypeData() != ctvTEXT) codepoint = 0;
    else if (UCaseFiltro_) codepoint = Text::UpperChar(codepoint);
  };
  txtEdit.onValidate = [this] {
    // Escape hides the editor before the focus leaves it: nothing to check.
    if (txtEdit.Visible()) f_ValidarFecha();
  };
  txtEdit.onLostFocus = [this] { Commit(); };
  txtEdit.onChange = [this] {
    if (!bLeido_) typing_.FilterChanged();
  };
}

std::vector<Widget*> ctlTrovel2::Children() {
  return {&grdDatos, &txtEdit, &cmdLeer, &cmdSiguiente, &cmdSeleccionar, &cmdSalir};
}

void ctlTrovel2::SentenciaSQL(const std::string& v) {
  SentenciaSQL_ = v;
  Notify("SentenciaSQL");
}

void ctlTrovel2::OrderBy(const std::string& v) {
  OrderBy_ = v;
  Notify("OrderBy");
}

void ctlTrovel2::FormatoFecha(const std::string& v) {
  FormatoFecha_ = v;
  Notify("FormatoFecha");
}

void ctlTrovel2::SeparaFecha(const std::string& v) {
  SeparaFecha_ = v;
  Notify("SeparaFecha");
}

void ctlTrovel2::UCaseFiltro(bool v) {
  UCaseFiltro_ = v;
  Notify("UCaseFiltro");
}

void ctlTrovel2::BuscarAlEscribir(bool v) {
  typing_.SetOn(v);
  Notify("BuscarAlEscribir");
}

void ctlTrovel2::PausaBusqueda(int32_t v) {
  typing_.SetPause(v);
  Notify("PausaBusqueda");
}

void ctlTrovel2::Columns(std::shared_ptr<clsColumns> columns) {
  Columns_ = std::move(columns);
  Notify("Columns");
}

void ctlTrovel2::glbDb(ObjectRef connection) {
  if (!connection) {
    glbDb_.reset();
    return;
  }
  auto as_connection = std::dynamic_pointer_cast<DataConnection>(connection);
  if (!as_connection) throw Error::TypeMismatch("glbDb necesita una conexión de datos");
  glbDb_ = std::move(as_connection);
}

int16_t ctlTrovel2::fgi(int16_t r, int16_t c) const {
  const long index = static_cast<long>(c) + static_cast<long>(grdDatos.Cols()) * r;
  if (index > std::numeric_limits<int16_t>::max() || index < std::numeric_limits<int16_t>::min())
    throw Error::Overflow("fgi(" + std::to_string(r) + ", " + std::to_string(c) + ")");
  return static_cast<int16_t>(index);
}

void ctlTrovel2::GridFont(std::shared_ptr<Font> font) {
  if (!font) throw Error::InvalidValue("GridFont necesita una fuente");
  grdDatos.SetFont(font);
  txtEdit.SetFont(font);
}

void ctlTrovel2::CommandFont(std::shared_ptr<Font> font) {
  if (!font) throw Error::InvalidValue("CommandFont necesita una fuente");
  for (CommandButton* b : {&cmdLeer, &cmdSiguiente, &cmdSeleccionar, &cmdSalir}) b->SetFont(font);
}

void ctlTrovel2::InitProperties() {
  OrderBy("");
  SentenciaSQL("");
  SeparaFecha_ = "#";
  FormatoFecha_ = "dd/mm/yyyy";
  UCaseFiltro_ = true;
}

void ctlTrovel2::ReadProperties(PropertyBag& bag) {
  if (!Columns_) throw Error::ObjectNotSet("el control no tiene colección de columnas");
  Columns_->SetGrid(grid_);
  Columns_->SetWidthUnit(host_.TextWidth("0", nullptr));
  bLeido_ = false;
  OrderBy_ = bag.ReadProperty("OrderBy", "").ToString();
  SentenciaSQL_ = bag.ReadProperty("SentenciaSQL", "").ToString();
  SeparaFecha_ = bag.ReadProperty("SeparaFecha", "#").ToString();
  FormatoFecha_ = bag.ReadProperty("FormatoFecha", "dd/mm/yyyy").ToString();
  grdDatos.SetCols(bag.ReadProperty("ColumnsCount", static_cast<int32_t>(grdDatos.Cols())).ToLong());
  Variant ucase = bag.ReadProperty("UcaseFiltro", true);
  // Only a Boolean, or a value that converts to one, can be the flag.
  UCaseFiltro_ = ucase.ToBoolean();
  typing_.SetOn(bag.ReadProperty("BuscarAlEscribir", false).ToBoolean());
  typing_.SetPause(bag.ReadProperty("PausaBusqueda", SearchAsYouType::kDefaultPause).ToLong());
}

void ctlTrovel2::WriteProperties(PropertyBag& bag) {
  bag.WriteProperty("OrderBy", OrderBy());
  bag.WriteProperty("SentenciaSQL", SentenciaSQL());
  bag.WriteProperty("FormatoFecha", FormatoFecha_);
  bag.WriteProperty("SeparaFecha", SeparaFecha_);
  bag.WriteProperty("UcaseFiltro", UCaseFiltro_, true);
  bag.WriteProperty("ColumnsCount", static_cast<int32_t>(grdDatos.Cols()));
  bag.WriteProperty("BuscarAlEscribir", typing_.On(), false);
  bag.WriteProperty("PausaBusqueda", typing_.Pause(), SearchAsYouType::kDefaultPause);
}

void ctlTrovel2::Resize() {
  try {
    const float w = host_.ScaleWidth(this);
    const float h = host_.ScaleHeight(this);
    grdDatos.SetHeight(h - grdDatos.Top() - cmdLeer.Height() - 150);
    grdDatos.SetWidth(w - 2 * grdDatos.Left());
    cmdLeer.SetTop(grdDatos.Top() + grdDatos.Height() + 80);
    cmdSiguiente.SetTop(cmdLeer.Top());
    cmdSeleccionar.SetTop(cmdLeer.Top());
    cmdSalir.SetTop(cmdLeer.Top());
    cmdLeer.SetLeft(w / 2 - 2 * cmdLeer.Width() - cmdLeer.Width() * 2.5f / 4);
    cmdSiguiente.SetLeft(cmdLeer.Left() + cmdLeer.Width() + cmdLeer.Width() / 4);
    cmdSeleccionar.SetLeft(cmdSiguiente.Left() + cmdSiguiente.Width() + cmdLeer.Width() / 4);
    cmdSalir.SetLeft(cmdSeleccionar.Left() + cmdSeleccionar.Width() + cmdLeer.Width() / 4);
  } catch (const std::exception& failure) {
    ShowMensaje(failure.what());
  }
}

}  // namespace trovel
