// ctlTrovel: the lifecycle handlers: new-control values, load and save with
// the property bag, layout on resize, and termination.
#include "ctltrovel/ctlTrovel.h"
#include "ctltrovel/TypeCode.h"
#include "platform/Error.h"

namespace trovel {

void ctlTrovel::InitProperties() {
  OrderBy("");
  TipoCampo_.fill(TypeCode::kText);
  SentenciaSQL("");
  SeparaFecha_ = "#";
  FormatoFecha_ = "dd/mm/yyyy";
}

void ctlTrovel::ReadProperties(PropertyBag& bag) {
  // Each key is read and applied on its own: a value that cannot be applied
  // leaves its target as it was, and the keys after it are still read.
  std::string skipped;
  auto apply = [&](const std::string& key, const Variant& default_value, const std::function<void(const Variant&)>& to) {
    try {
      to(bag.ReadProperty(key, default_value));
    } catch (const std::exception& e) {
      skipped += (skipped.empty() ? "" : "; ") + key + ": " + e.what();
    }
  };
  auto into = [](std::string& field) { return [&field](const Variant& v) { field = v.ToString(); }; };

  apply("OrderBy", "", into(OrderBy_));
  apply("GridFormat", grdDatos.FormatString(), [this](const Variant& v) { grdDatos.SetFormatString(v.ToString()); });
  apply("NumCol", static_cast<int32_t>(grdDatos.Cols()), [this](const Variant& v) { grdDatos.SetCols(v.ToLong()); });
  for (int n = 1; n <= 4; ++n)
    apply("Width" + std::to_string(n), Box(n).Width(), [this, n](const Variant& v) { Box(n).SetWidth(v.ToSingle()); });
  for (int n = 1; n <= 4; ++n)
    apply("MaxLength" + std::to_string(n), static_cast<int32_t>(Box(n).MaxLength()),
          [this, n](const Variant& v) { Box(n).SetMaxLength(v.ToLong()); });
  for (int n = 1; n <= 4; ++n)
    apply("TipoCampo" + std::to_string(n), TypeCode::kText, [this, n](const Variant& v) {
      TipoCampo_[n - 1] = v.ToString();
      AlignTextColumn(n);
    });
  apply("SentenciaSQL", "", into(SentenciaSQL_));
  apply("N_Campo1", "codigo", into(N_Campo_[0]));
  apply("N_Campo2", "nombre", into(N_Campo_[1]));
  for (int n = 3; n <= 4; ++n)
    apply("N_Campo" + std::to_string(n), "", [this, n](const Variant& v) {
      N_Campo_[n - 1] = v.ToString();
      Box(n).SetVisible(!N_Campo_[n - 1].empty());
    });
  for (int n = 5; n <= 8; ++n) apply("N_Campo" + std::to_string(n), "", into(N_Campo_[n - 1]));
  for (int n = 1; n <= 4; ++n) apply("N_Tabla" + std::to_string(n), "", into(N_Tabla_[n - 1]));
  apply("SeparaFecha", "#", into(SeparaFecha_));
  apply("FormatoFecha", "dd/mm/yyyy", into(FormatoFecha_));
  apply("BuscarAlEscribir", false, [this](const Variant& v) { typing_.SetOn(v.ToBoolean()); });
  apply("PausaBusqueda", SearchAsYouType::kDefaultPause, [this](const Variant& v) { typing_.SetPause(v.ToLong()); });
  if (!skipped.empty()) throw Error(Error::kInvalidValue, "ctlTrovel conservó sus valores anteriores de " + skipped);
}

void ctlTrovel::WriteProperties(PropertyBag& bag) {
  bag.WriteProperty("OrderBy", OrderBy());
  bag.WriteProperty("SentenciaSQL", SentenciaSQL());
  for (int n = 1; n <= 4; ++n) bag.WriteProperty("Width" + std::to_string(n), Box(n).Width());
  bag.WriteProperty("GridFormat", grdDatos.FormatString());
  bag.WriteProperty("NumCol", static_cast<int32_t>(grdDatos.Cols()));
  for (int n = 1; n <= 4; ++n)
    bag.WriteProperty("MaxLength" + std::to_string(n), static_cast<int32_t>(Box(n).MaxLength()));
  for (int n = 1; n <= 4; ++n) bag.WriteProperty("TipoCampo" + std::to_string(n), TipoCampo_[n - 1]);
  for (int n = 1; n <= 8; ++n) bag.WriteProperty("N_Campo" + std::to_string(n), N_Campo_[n - 1]);
  for (int n = 1; n <= 4; ++n) bag.WriteProperty("N_Tabla" + std::to_string(n), N_Tabla_[n - 1]);
  bag.WriteProperty("FormatoFecha", FormatoFecha_);
  bag.WriteProperty("SeparaFecha", SeparaFecha_);
  bag.WriteProperty("BuscarAlEscribir", typing_.On(), false);
  bag.WriteProperty("PausaBusqueda", typing_.Pause(), SearchAsYouType::kDefaultPause);
}

void ctlTrovel::Resize() {
  const float w = host_.ScaleWidth(this);
  const float h = host_.ScaleHeight(this);
  // Each step stands alone: a child that refuses its new geometry (a control
  // made very small) keeps the old one and the later steps still run.
  auto step = [](const std::function<void()>& work) {
    try {
      work();
    } catch (const std::exception&) {
    }
  };
  step([&] { grdDatos.SetHeight(h - txtCodigo.Top() - txtCodigo.Height() - cmdLeer.Height() - 150); });
  step([&] { grdDatos.SetWidth(w - 2 * grdDatos.Left()); });
  step([&] { cmdLeer.SetTop(grdDatos.Top() + grdDatos.Height() + 80); });
  step([&] { cmdSiguiente.SetTop(cmdLeer.Top()); });
  step([&] { cmdSeleccionar.SetTop(cmdLeer.Top()); });
  step([&] { cmdSalir.SetTop(cmdLeer.Top()); });
  step([&] {
    const float b = cmdLeer.Width();
    cmdLeer.SetLeft(w / 2 - 2 * b - 2.5f * b / 4);
  });
  step([&] { cmdSiguiente.SetLeft(cmdLeer.Left() + cmdLeer.Width() + cmdLeer.Width() / 4); });
  step([&] { cmdSeleccionar.SetLeft(cmdSiguiente.Left() + cmdSiguiente.Width() + cmdLeer.Width() / 4); });
  step([&] { cmdSalir.SetLeft(cmdSeleccionar.Left() + cmdSeleccionar.Width() + cmdLeer.Width() / 4); });
  step([&] { txtNombre.SetLeft(txtCodigo.Left() + txtCodigo.Width() + 20); });
  step([&] { txtcol3.SetLeft(txtNombre.Left() + txtNombre.Width() + 20); });
  step([&] { txtcol4.SetLeft(txtcol3.Left() + txtcol3.Width() + 20); });
}

// The end of the control releases what Quit releases.
void ctlTrovel::Terminate() { Quit(); }

}  // namespace trovel
