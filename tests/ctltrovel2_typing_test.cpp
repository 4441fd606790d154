// ctlTrovel2 with BuscarAlEscribir: a pause after a change of the cell being
// edited in the filter row reads, and shows the rows under the filter row
// with the editor left where it was.
#include <gtest/gtest.h>

#include "tests/CtlTrovel2Fixture.h"

namespace trovel {
namespace {

using std::chrono::milliseconds;

class Typing2Test : public CtlTrovel2Test {
 protected:
  Typing2Test() {
    AddArtColumns();
    FillArt(120);
    ctl.PausaBusqueda(40);
  }
  void Pause() { host.Wait(milliseconds(100)); }
  void Type(const std::string& keys) {
    for (int16_t k : KeysOf(keys)) Key(k);
  }
};

TEST_F(Typing2Test, ThePauseReadsTheCellBeingEditedAndShowsTheRowsUnderTheFilterRow) {
  ctl.BuscarAlEscribir(true);
  TypeIn(0, "a00");
  host.RunTimers();
  EXPECT_TRUE(log->statements.empty()) << "read before the pause ended";
  Pause();
  ASSERT_EQ(log->statements.size(), 1u);
  EXPECT_NE(log->statements[0].find("art.cod like 'A00%'"), std::string::npos) << log->statements[0];
  // The filter row, then A001..A009; still in filter mode, the editor as it was.
  EXPECT_EQ(State(), "filter rows:10 select");
  EXPECT_EQ(Row(2).substr(0, 5), "A001|");
  EXPECT_EQ(Row(10).substr(0, 5), "A009|");
  EXPECT_TRUE(ctl.txtEdit.Visible());
  EXPECT_EQ(host.FocusedWidget(), &ctl.txtEdit);
  EXPECT_EQ(ctl.txtEdit.Text(), "A00");
  EXPECT_EQ(ctl.txtEdit.SelStart(), 3);

  Type("1");
  Pause();
  ASSERT_EQ(log->statements.size(), 2u);
  EXPECT_NE(log->statements[1].find("art.cod like 'A001%'"), std::string::npos) << log->statements[1];
  EXPECT_EQ(State(), "filter rows:2 select");
  EXPECT_EQ(Row(2).substr(0, 5), "A001|");
  EXPECT_TRUE(TakeMessages().empty());

  // Enter keeps the filter in its cell; a row read while typing is picked
  // with Enter, and a character on it goes back to the filter row.
  Enter();
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "A001");
  ctl.grdDatos.SetRow(2);
  ctl.grdDatos.SetCol(0);
  Key('X');
  EXPECT_EQ(ctl.grdDatos.Row(), 1);
  EXPECT_EQ(ctl.txtEdit.Text(), "X");
  Escape();
  ctl.grdDatos.SetRow(2);
  Enter();
  EXPECT_EQ(Values().substr(0, 5), "A001|");
  ASSERT_EQ(host.events.size(), 1u);
  EXPECT_EQ(host.events[0].name, "evtSeleccionar");
}

TEST_F(Typing2Test, EmptyResultsAndUnfinishedDatesShowNothingAndSayNothing) {
  ctl.BuscarAlEscribir(true);
  TypeIn(0, "zz");
  Pause();
  ASSERT_EQ(log->statements.size(), 1u);
  EXPECT_EQ(State(), "filter rows:1");
  EXPECT_TRUE(TakeMessages().empty());
  Escape();
  TypeIn(3, "<01/02/20");
  Pause();
  EXPECT_EQ(log->statements.size(), 1u) << log->statements.back();
  Type("01");
  Pause();
  ASSERT_EQ(log->statements.size(), 2u);
  EXPECT_NE(log->statements[1].find("art.alta <= #02/01/2001#"), std::string::npos) << log->statements[1];
  // The filter row and the 31 articles of January.
  EXPECT_EQ(State(), "filter rows:32 select");
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(Typing2Test, WithThePropertyOffTheFilterRowReadsOnlyOnLeer) {
  TypeIn(1, "art");
  Pause();
  EXPECT_TRUE(log->statements.empty());
  Enter();
  EXPECT_NE(Read().find("art.des like 'ART'"), std::string::npos);
}

TEST_F(Typing2Test, ThePropertiesAreSavedOnlyAwayFromTheirDefaults) {
  MemoryPropertyBag saved;
  ctlTrovel2 fresh(host);
  fresh.ReadProperties(bag);
  fresh.WriteProperties(saved);
  EXPECT_FALSE(saved.Has("BuscarAlEscribir"));
  EXPECT_FALSE(saved.Has("PausaBusqueda"));
  fresh.SetProperty("BuscarAlEscribir", true);
  fresh.SetProperty("PausaBusqueda", int32_t{0});
  fresh.WriteProperties(saved);
  ctlTrovel2 loaded(host);
  loaded.ReadProperties(saved);
  EXPECT_TRUE(loaded.BuscarAlEscribir());
  EXPECT_EQ(loaded.PausaBusqueda(), 0);
  EXPECT_EQ(ErrorNumberOf([&] { loaded.SetProperty("PausaBusqueda", int32_t{60001}); }), Error::kInvalidValue);
  EXPECT_EQ(loaded.PausaBusqueda(), 0);
}

}  // namespace
}  // namespace trovel
