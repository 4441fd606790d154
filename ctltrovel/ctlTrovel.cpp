// ctlTrovel: creation, children and properties.
#include "ctltrovel/ctlTrovel.h"

#include <limits>

#include "ctltrovel/TypeCode.h"
#include "ctltrovel/ButtonPictures.h"
#include "platform/DesignedWidget.h"
#include "platform/Error.h"
#include "platform/Font.h"

namespace trovel {

namespace {

// The grid's designed header: two sections, the second padded with blanks.
const std::string kDesignedFormat = "Código         | Nombre" + std::string(64, ' ');

int16_t ToPublicInteger(int value, const char* what) {
  if (value > std::numeric_limits<int16_t>::max() || value < std::numeric_limits<int16_t>::min())
    throw Error::Overflow(what);
  return static_cast<int16_t>(value);
}

}  // namespace

ctlTrovel::ctlTrovel(Host& host) : host_(host) {
  CreateChildren();
  BuildMembers();
}

ctlTrovel::~ctlTrovel() {
  // A host that skipped Terminate still gets its cursor closed.
  try {
    CloseCursor();
  } catch (...) {
  }
  for (Widget* w : Children()) host_.UnregisterWidget(w);
}

void ctlTrovel::CreateChildren() {
  PlaceDesignedWidgets(host_, this, {
      {&txtCodigo, 195, 150, 990, 270},      {&txtNombre, 1215, 150, 1485, 270},
      {&txtcol3, 2745, 150, 1485, 270},      {&txtcol4, 4260, 165, 1485, 270},
      {&cmdLeer, 480, 4215, 850, 550},       {&cmdSiguiente, 1575, 4215, 850, 550},
      {&cmdSeleccionar, 2670, 4230, 850, 550}, {&cmdSalir, 3840, 4230, 850, 550},
      {&grdDatos, 165, 480, 4935, 3645}
  });
  cmdLeer.SetCaption("&Leer");
  cmdSiguiente.SetCaption("S&iguiente");
  cmdSeleccionar.SetCaption("S&eleccion");
  cmdSalir.SetCaption("&Salir");
  grdDatos.SetFont(std::make_shared<Font>("MS Sans Serif", 8.25f));
  ButtonPictures::Apply(cmdLeer, cmdSiguiente, cmdSeleccionar, cmdSalir);
  grdDatos.SetFormatString(kDesignedFormat);
  grdDatos.SetToolTipText("Resultados");
  header_tips_ = std::make_unique<HeaderTips>(grdDatos, std::vector<TextBox*>{&txtCodigo, &txtNombre, &txtcol3, &txtcol4});

  cmdLeer.onClick = [this] { cmdLeer_Click(); };
  cmdSiguiente.onClick = [this] { cmdSiguiente_Click(); };
  cmdSeleccionar.onClick = [this] { Seleccionar(); };
  cmdSalir.onClick = [this] { cmdSalir_Click(); };
  grdDatos.onDblClick = [this] { Seleccionar(); };
  grdDatos.onKeyPress = [this](int16_t& key_ascii) {
    if (key_ascii == 13) Seleccionar();
  };
  for (int n = 1; n <= 4; ++n) ConnectFilterBox(n);
}

std::vector<Widget*> ctlTrovel::Children() {
  return {&txtCodigo, &txtNombre, &txtcol3, &txtcol4, &cmdLeer, &cmdSiguiente, &cmdSeleccionar, &cmdSalir, &grdDatos};
}

TextBox& ctlTrovel::Box(int n) {
  TextBox* boxes[] = {&txtCodigo, &txtNombre, &txtcol3, &txtcol4};
  return *boxes[n - 1];
}

const TextBox& ctlTrovel::Box(int n) const { return const_cast<ctlTrovel*>(this)->Box(n); }

void ctlTrovel::Store(std::string& field, const std::string& value, const char* name) {
  field = value;
  host_.PropertyChanged(this, name);
}

int16_t ctlTrovel::MaxLengthOf(int n) const { return ToPublicInteger(Box(n).MaxLength(), "MaxLength"); }

void ctlTrovel::SetMaxLength(int n, int16_t v) {
  Box(n).SetMaxLength(v);
  host_.PropertyChanged(this, "MaxLength" + std::to_string(n));
}

void ctlTrovel::SetWidth(int n, double v) {
  Box(n).SetWidth(static_cast<float>(v));
  // The two right-hand boxes follow the box before them at once.
  if (n == 3) txtcol3.SetLeft(txtNombre.Left() + txtNombre.Width() + 20);
  if (n == 4) txtcol4.SetLeft(txtcol3.Left() + txtcol3.Width() + 20);
  host_.PropertyChanged(this, "Width" + std::to_string(n));
}

int16_t ctlTrovel::NumCol() const { return ToPublicInteger(grdDatos.Cols(), "NumCol"); }

void ctlTrovel::NumCol(int16_t v) {
  grdDatos.SetCols(v);
  host_.PropertyChanged(this, "NumCol");
}

void ctlTrovel::GridFormat(const std::string& v) {
  grdDatos.SetFormatString(v);
  host_.PropertyChanged(this, "GridFormat");
}

void ctlTrovel::AlignTextColumn(int n) {
  if (TipoCampo_[n - 1] == TypeCode::kText && grdDatos.Cols() >= n) grdDatos.SetColAlignment(n - 1, 0);
}

void ctlTrovel::SetTipoCampo(int n, const std::string& code) {
  TipoCampo_[n - 1] = code;
  AlignTextColumn(n);
  host_.PropertyChanged(this, "TipoCampo" + std::to_string(n));
}

void ctlTrovel::SetNCampo(int n, const std::string& name) {
  N_Campo_[n - 1] = name;
  if (n == 3 || n == 4) Box(n).SetVisible(!name.empty());
  host_.PropertyChanged(this, "N_Campo" + std::to_string(n));
}

TIPOC ctlTrovel::TipoCOf(int n) const { return TypeCode::ToTipoC(TipoCampo_[n - 1]); }

void ctlTrovel::SetTipoC(int n, TIPOC v) {
  TipoCampo_[n - 1] = TypeCode::FromTipoC(v);
  host_.PropertyChanged(this, "TipoC" + std::to_string(n));
}

void ctlTrovel::BuscarAlEscribir(bool v) {
  typing_.SetOn(v);
  host_.PropertyChanged(this, "BuscarAlEscribir");
}

void ctlTrovel::PausaBusqueda(int32_t v) {
  typing_.SetPause(v);
  host_.PropertyChanged(this, "PausaBusqueda");
}

void ctlTrovel::glbDb(ObjectRef connection) {
  if (!connection) {
    connection_.reset();
    return;
  }
  auto as_connection = std::dynamic_pointer_cast<DataConnection>(connection);
  if (!as_connection) throw Error::TypeMismatch("glbDb necesita una conexión de datos");
  connection_ = std::move(as_connection);
}

}  // namespace trovel
