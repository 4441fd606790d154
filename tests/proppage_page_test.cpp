// pagTrovel: filling the page from the first selected ctlTrovel, the changed
// mark, and applying the fourteen properties back.
#include <gtest/gtest.h>

#include "ctltrovel/ctlTrovel.h"
#include "platform/ComboBox.h"
#include "platform/Error.h"
#include "platform/HeadlessHost.h"
#include "platform/Label.h"
#include "platform/SimplePropertyPageSite.h"
#include "proppage/pagTrovel.h"

namespace trovel {
namespace {

using Strings = std::vector<std::string>;

// The fourteen properties the page writes back, in the order it writes them.
const Strings kWritten = {"TipoCampo1", "TipoCampo2", "TipoCampo3",  "TipoCampo4",  "N_Campo1",
                          "N_Campo2",   "N_Campo3",   "N_Campo4",    "N_Campo5",    "N_Campo6",
                          "N_Campo7",   "N_Campo8",   "SeparaFecha", "FormatoFecha"};

Strings Values(ctlTrovel& control) {
  Strings values;
  for (const std::string& name : kWritten) values.push_back(control.GetProperty(name).ToString());
  return values;
}

class PageTest : public ::testing::Test {
 protected:
  PageTest() {
    const Strings start = {"FEC",    "tex",    "NUM",    "TEX",    "campo1", "campo2", "campo3",
                           "campo4", "campo5", "campo6", "campo7", "campo8", "'",      "yyyy-mm-dd"};
    for (size_t i = 0; i < kWritten.size(); ++i) ctl.SetProperty(kWritten[i], start[i]);
    site.selected = {&ctl, &other};
  }

  HeadlessHost host;
  ctlTrovel ctl{host};
  ctlTrovel other{host};
  SimplePropertyPageSite site;
  pagTrovel page{site};
};

TEST_F(PageTest, TabOrderAndCaptions) {
  Strings focusable, captions;
  for (Widget* w : page.Children()) {
    if (auto* label = dynamic_cast<Label*>(w))
      captions.push_back(label->Caption());
    else
      focusable.push_back(w->Name());
  }
  EXPECT_EQ(focusable, (Strings{"cmbTipoCampo1", "cmbTipoCampo2", "cmbTipoCampo3", "cmbTipoCampo4", "txtFormatoFecha",
                                "txtSeparaFecha", "txtN_campo1", "txtN_campo2", "txtN_campo3", "txtN_campo4",
                                "txtN_campo5", "txtN_campo6", "txtN_campo7", "txtN_campo8"}));
  EXPECT_EQ(captions,
            (Strings{"Tipo Campo 1", "Tipo Campo 2", "Tipo Campo 3", "Tipo Campo 4", "Formato Fecha", "Separador Fecha",
                     "Campo1", "Campo2", "Campo3", "Campo4", "Campo5", "Campo6", "Campo7", "Campo8"}));
  EXPECT_EQ(std::string(pagTrovel::kCaption), "Campos");
}

TEST_F(PageTest, FillShowsTheFirstControlAndEveryChangeSetsTheMark) {
  // Filling from `other`, whose texts are empty like the page's: a list whose entry gets chosen sets the mark alone.
  for (const char* n : {"TipoCampo2", "TipoCampo3", "TipoCampo4", "FormatoFecha", "SeparaFecha"})
    other.SetProperty(n, "");
  site.selected = {&other};
  page.SelectionChanged();
  EXPECT_TRUE(site.Changed());

  // Filled again, from the first of two selected controls.
  other.N_Campo1("otro");
  site.selected = {&ctl, &other};
  site.SetChanged(false);
  page.SelectionChanged();
  EXPECT_TRUE(site.Changed());
  for (int n = 1; n <= 8; ++n) EXPECT_EQ(page.txtN_campo[n - 1]->Text(), "campo" + std::to_string(n));
  EXPECT_EQ(page.txtFormatoFecha.Text(), "yyyy-mm-dd");
  EXPECT_EQ(page.txtSeparaFecha.Text(), "'");
  std::vector<int> chosen;
  for (auto& list : page.cmbTipoCampo) {
    ASSERT_EQ(list->ListCount(), 3);  // the second fill does not pile up entries
    EXPECT_EQ((Strings{list->List(0), list->List(1), list->List(2)}), (Strings{"TEX", "NUM", "FEC"}));
    chosen.push_back(list->ListIndex());
  }
  EXPECT_EQ(chosen, (std::vector<int>{2, -1, 1, 0}));  // the lower-case "tex" matches no entry

  // Every edit sets the mark.
  for (Widget* w : page.Children()) {
    if (dynamic_cast<Label*>(w)) continue;
    site.SetChanged(false);
    if (auto* box = dynamic_cast<TextBox*>(w)) box->SetText(box->Text() + "x");
    if (auto* list = dynamic_cast<ComboBox*>(w)) list->SetListIndex(2);
    EXPECT_TRUE(site.Changed()) << w->Name();
  }
}

TEST_F(PageTest, ApplyWritesFourteenPropertiesInOrderToFirstControlOnly) {
  const Strings others_before = Values(other);
  page.SelectionChanged();
  // Without an edit the values read go back, but a type that chose no entry is written empty.
  page.ApplyChanges();
  EXPECT_EQ(Values(ctl), (Strings{"FEC", "", "NUM", "TEX", "campo1", "campo2", "campo3", "campo4", "campo5", "campo6",
                                  "campo7", "campo8", "'", "yyyy-mm-dd"}));

  page.cmbTipoCampo[1]->SetListIndex(0);
  page.cmbTipoCampo[3]->SetListIndex(1);
  page.txtN_campo[2]->SetText("");
  page.txtN_campo[7]->SetText("ocho ");
  page.txtSeparaFecha.SetText("#");
  page.txtFormatoFecha.SetText("DD/MM/YYYY");
  ctl.grdDatos.SetColAlignment(0, 7);
  ctl.grdDatos.SetColAlignment(1, 7);
  host.notices.clear();
  site.SetChanged(false);
  page.ApplyChanges();
  EXPECT_EQ(host.notices, kWritten);
  EXPECT_FALSE(site.Changed());  // applying leaves the mark as it is
  EXPECT_EQ(Values(ctl), (Strings{"FEC", "TEX", "NUM", "NUM", "campo1", "campo2", "", "campo4", "campo5", "campo6",
                                  "campo7", "ocho ", "#", "DD/MM/YYYY"}));
  // Through the control's own property writes: a text column is left-aligned, an emptied third field hidden.
  EXPECT_EQ(ctl.grdDatos.ColAlignment(0), 7);
  EXPECT_EQ(ctl.grdDatos.ColAlignment(1), 0);
  EXPECT_FALSE(ctl.txtcol3.Visible());
  EXPECT_EQ(Values(other), others_before);
  // With no control selected, neither fill nor apply has anything to work on: the failure goes to the caller.
  site.selected.clear();
  EXPECT_THROW(page.SelectionChanged(), Error);
  EXPECT_THROW(page.ApplyChanges(), Error);
}

}  // namespace
}  // namespace trovel
