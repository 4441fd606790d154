// pagTrovel: filling the page from the first selected ctlTrovel, the changed
// mark, and applying the fourteen properties back.
#include <gtest/gtest.h>

#include "ctltrovel/ctlTrovel.h"
#include "platform/Error.h"
#include "platform/HeadlessHost.h"
#include "platform/Label.h"
#include "platform/SimplePropertyPageSite.h"
#include "proppage/pagTrovel.h"

namespace trovel {
namespace {

using Strings = std::vector<std::string>;

class PageTest : public ::testing::Test {
 protected:
  PageTest() {
    for (int n = 1; n <= 8; ++n) ctl.SetProperty("N_Campo" + std::to_string(n), "campo" + std::to_string(n));
    ctl.TipoCampo1("FEC");
    ctl.TipoCampo2("tex");
    ctl.TipoCampo3("NUM");
    ctl.TipoCampo4("TEX");
    ctl.FormatoFecha("yyyy-mm-dd");
    ctl.SeparaFecha("'");
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
  EXPECT_EQ(captions, (Strings{"Tipo Campo 1", "Tipo Campo 2", "Tipo Campo 3", "Tipo Campo 4", "Formato Fecha",
                               "Separador Fecha", "Campo1", "Campo2", "Campo3", "Campo4", "Campo5", "Campo6",
                               "Campo7", "Campo8"}));
  EXPECT_EQ(std::string(pagTrovel::kCaption), "Campos");
}

TEST_F(PageTest, FillShowsFirstControlAndChoosesMatchingEntry) {
  other.N_Campo1("otro");
  page.SelectionChanged();
  for (int n = 1; n <= 8; ++n) EXPECT_EQ(page.txtN_campo[n - 1]->Text(), "campo" + std::to_string(n));
  EXPECT_EQ(page.txtFormatoFecha.Text(), "yyyy-mm-dd");
  EXPECT_EQ(page.txtSeparaFecha.Text(), "'");
  for (auto& list : page.cmbTipoCampo) {
    ASSERT_EQ(list->ListCount(), 3);
    EXPECT_EQ(list->List(0), "TEX");
    EXPECT_EQ(list->List(1), "NUM");
    EXPECT_EQ(list->List(2), "FEC");
  }
  EXPECT_EQ(page.cmbTipoCampo[0]->ListIndex(), 2);
  EXPECT_EQ(page.cmbTipoCampo[1]->ListIndex(), -1);  // lower-case code matches nothing
  EXPECT_EQ(page.cmbTipoCampo[2]->ListIndex(), 1);
  EXPECT_EQ(page.cmbTipoCampo[3]->ListIndex(), 0);
  // Filling twice does not pile up entries.
  ctl.TipoCampo2("NUM");
  page.SelectionChanged();
  EXPECT_EQ(page.cmbTipoCampo[1]->ListCount(), 3);
  EXPECT_EQ(page.cmbTipoCampo[1]->ListIndex(), 1);
}

TEST_F(PageTest, FillAndEveryEditSetTheChangedMark) {
  page.SelectionChanged();
  EXPECT_TRUE(site.Changed());
  std::vector<TextBox*> boxes = {&page.txtFormatoFecha, &page.txtSeparaFecha};
  for (auto& b : page.txtN_campo) boxes.push_back(b.get());
  for (TextBox* box : boxes) {
    site.SetChanged(false);
    box->SetText(box->Text() + "x");
    EXPECT_TRUE(site.Changed()) << box->Name();
  }
  for (auto& list : page.cmbTipoCampo) {
    site.SetChanged(false);
    list->SetListIndex(2);
    EXPECT_TRUE(site.Changed()) << list->Name();
  }
  // A list whose entry gets chosen during the fill sets the mark too.
  ctlTrovel fresh(host);
  fresh.TipoCampo1("TEX");
  fresh.FormatoFecha("");
  fresh.SeparaFecha("");
  for (const char* n : {"TipoCampo2", "TipoCampo3", "TipoCampo4"}) fresh.SetProperty(n, "");
  SimplePropertyPageSite fresh_site;
  fresh_site.selected = {&fresh};
  pagTrovel fresh_page(fresh_site);
  fresh_page.SelectionChanged();
  EXPECT_TRUE(fresh_site.Changed());
  // Applying leaves the mark as it is.
  site.SetChanged(false);
  page.ApplyChanges();
  EXPECT_FALSE(site.Changed());
}

TEST_F(PageTest, ApplyWritesFourteenPropertiesInOrderToFirstControlOnly) {
  page.SelectionChanged();
  page.cmbTipoCampo[3]->SetListIndex(1);
  page.txtN_campo[2]->SetText("");
  page.txtN_campo[7]->SetText("ocho ");
  page.txtSeparaFecha.SetText("#");
  page.txtFormatoFecha.SetText("DD/MM/YYYY");
  ctl.grdDatos.SetColAlignment(0, 7);
  host.notices.clear();
  page.ApplyChanges();
  EXPECT_EQ(host.notices, (Strings{"TipoCampo1", "TipoCampo2", "TipoCampo3", "TipoCampo4", "N_Campo1", "N_Campo2",
                                   "N_Campo3", "N_Campo4", "N_Campo5", "N_Campo6", "N_Campo7", "N_Campo8",
                                   "SeparaFecha", "FormatoFecha"}));
  EXPECT_EQ(ctl.TipoCampo1(), "FEC");
  EXPECT_EQ(ctl.TipoCampo2(), "");  // no entry chosen: written empty
  EXPECT_EQ(ctl.TipoCampo3(), "NUM");
  EXPECT_EQ(ctl.TipoCampo4(), "NUM");
  EXPECT_EQ(ctl.N_Campo1(), "campo1");
  EXPECT_EQ(ctl.N_Campo3(), "");
  EXPECT_FALSE(ctl.txtcol3.Visible());  // through the control's own property write
  EXPECT_EQ(ctl.N_Campo8(), "ocho ");
  EXPECT_EQ(ctl.SeparaFecha(), "#");
  EXPECT_EQ(ctl.FormatoFecha(), "DD/MM/YYYY");
  EXPECT_EQ(other.N_Campo1(), "");
  EXPECT_EQ(other.TipoCampo2(), "TEX");
  EXPECT_EQ(other.FormatoFecha(), "dd/mm/yyyy");
}

TEST_F(PageTest, ApplyWithoutEditRewritesValuesRead) {
  page.SelectionChanged();
  host.notices.clear();
  page.ApplyChanges();
  EXPECT_EQ(host.notices.size(), 14u);
  EXPECT_EQ(ctl.TipoCampo1(), "FEC");
  EXPECT_EQ(ctl.TipoCampo2(), "");
  EXPECT_EQ(ctl.TipoCampo4(), "TEX");
  EXPECT_EQ(ctl.N_Campo5(), "campo5");
  EXPECT_EQ(ctl.FormatoFecha(), "yyyy-mm-dd");
  EXPECT_EQ(ctl.SeparaFecha(), "'");
}

TEST_F(PageTest, NoSelectedControlGoesToTheCaller) {
  site.selected.clear();
  EXPECT_THROW(page.SelectionChanged(), Error);
  EXPECT_THROW(page.ApplyChanges(), Error);
}

}  // namespace
}  // namespace trovel
