#include "proppage/pagTrovel.h"

#include <algorithm>

#include "platform/Error.h"

namespace trovel {

namespace {

const char* const kTypeCodes[] = {"TEX", "NUM", "FEC"};

struct Place {
  float left, top, width, height;
  int tab_index;
};

void Design(Widget& w, const Place& p) {
  w.Move(p.left, p.top, p.width, p.height);
  w.SetTabIndex(p.tab_index);
}

}  // namespace

pagTrovel::pagTrovel(PropertyPageSite& site) : site_(site) {
  const char* const captions[] = {"Tipo Campo 1", "Tipo Campo 2", "Tipo Campo 3", "Tipo Campo 4", "Formato Fecha",
                                  "Separador Fecha", "Campo1", "Campo2", "Campo3", "Campo4",
                                  "Campo5", "Campo6", "Campo7", "Campo8"};
  const Place label_places[] = {
      {2340, 270, 1050, 285, 0},  {2340, 720, 1050, 285, 3}, {2385, 1125, 1050, 285, 5},
      {2385, 1530, 1050, 285, 7}, {2520, 2430, 645, 375, 8}, {2520, 1935, 780, 420, 10},
      {180, 315, 600, 195, 12},   {180, 675, 600, 195, 14},  {135, 1035, 600, 195, 16},
      {180, 1395, 600, 195, 18},  {135, 1755, 600, 195, 20}, {180, 2115, 600, 195, 22},
      {180, 2475, 600, 195, 24},  {180, 2835, 600, 195, 26},
  };
  for (size_t i = 0; i < labels.size(); ++i) {
    labels[i] = std::make_unique<Label>("Label" + std::to_string(i + 1));
    labels[i]->SetCaption(captions[i]);
    Design(*labels[i], label_places[i]);
  }
  const Place combo_places[] = {
      {3420, 225, 1050, 315, 1}, {3420, 675, 1050, 315, 2}, {3465, 1080, 1050, 315, 4}, {3465, 1485, 1050, 315, 6}};
  for (size_t i = 0; i < cmbTipoCampo.size(); ++i) {
    cmbTipoCampo[i] = std::make_unique<ComboBox>("cmbTipoCampo" + std::to_string(i + 1));
    Design(*cmbTipoCampo[i], combo_places[i]);
    cmbTipoCampo[i]->onClick = [this] { site_.SetChanged(true); };
  }
  Design(txtFormatoFecha, {3330, 2520, 1365, 285, 9});
  Design(txtSeparaFecha, {3510, 1935, 465, 285, 11});
  txtFormatoFecha.onChange = [this] { site_.SetChanged(true); };
  txtSeparaFecha.onChange = [this] { site_.SetChanged(true); };
  const float field_tops[] = {225, 585, 945, 1305, 1665, 2025, 2385, 2790};
  for (size_t i = 0; i < txtN_campo.size(); ++i) {
    txtN_campo[i] = std::make_unique<TextBox>("txtN_campo" + std::to_string(i + 1));
    Design(*txtN_campo[i], {900, field_tops[i], 1230, 285, 13 + 2 * static_cast<int>(i)});
    txtN_campo[i]->onChange = [this] { site_.SetChanged(true); };
  }
}

std::vector<Widget*> pagTrovel::Children() {
  std::vector<Widget*> all;
  for (auto& l : labels) all.push_back(l.get());
  for (auto& c : cmbTipoCampo) all.push_back(c.get());
  all.push_back(&txtFormatoFecha);
  all.push_back(&txtSeparaFecha);
  for (auto& t : txtN_campo) all.push_back(t.get());
  std::stable_sort(all.begin(), all.end(), [](Widget* a, Widget* b) { return a->TabIndex() < b->TabIndex(); });
  return all;
}

Dispatch& pagTrovel::FirstSelected() const {
  std::vector<Dispatch*> selected = site_.SelectedControls();
  if (selected.empty() || !selected[0]) throw Error::SubscriptOutOfRange("no hay ningún control seleccionado");
  return *selected[0];
}

void pagTrovel::SelectionChanged() {
  Dispatch& control = FirstSelected();
  for (size_t n = 1; n <= txtN_campo.size(); ++n)
    txtN_campo[n - 1]->SetText(control.GetProperty("N_Campo" + std::to_string(n)).ToString());
  txtFormatoFecha.SetText(control.GetProperty("FormatoFecha").ToString());
  txtSeparaFecha.SetText(control.GetProperty("SeparaFecha").ToString());
  for (size_t n = 1; n <= cmbTipoCampo.size(); ++n) {
    ComboBox& list = *cmbTipoCampo[n - 1];
    list.Clear();
    for (const char* code : kTypeCodes) list.AddItem(code);
    const std::string current = control.GetProperty("TipoCampo" + std::to_string(n)).ToString();
    for (int i = 0; i < list.ListCount(); ++i) {
      if (list.List(i) == current) {
        list.SetListIndex(i);
        break;
      }
    }
  }
}

void pagTrovel::ApplyChanges() {
  Dispatch& control = FirstSelected();
  for (size_t n = 1; n <= cmbTipoCampo.size(); ++n)
    control.SetProperty("TipoCampo" + std::to_string(n), cmbTipoCampo[n - 1]->Text());
  for (size_t n = 1; n <= txtN_campo.size(); ++n)
    control.SetProperty("N_Campo" + std::to_string(n), txtN_campo[n - 1]->Text());
  control.SetProperty("SeparaFecha", txtSeparaFecha.Text());
  control.SetProperty("FormatoFecha", txtFormatoFecha.Text());
}

}  // namespace trovel
