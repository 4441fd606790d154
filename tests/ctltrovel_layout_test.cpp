// ctlTrovel: the designed child widgets and their re-arrangement on resize.
#include <set>

#include "platform/Font.h"
#include "tests/CtlTrovelFixture.h"

namespace trovel {
namespace {

class LayoutTest : public CtlTrovelTest {
 protected:
  void ResizeTo(float w, float h) {
    host.SetInnerSize(&ctl, w, h);
    ctl.Resize();
  }
  std::vector<float> ButtonLefts() {
    return {ctl.cmdLeer.Left(), ctl.cmdSiguiente.Left(), ctl.cmdSeleccionar.Left(), ctl.cmdSalir.Left()};
  }
  std::vector<float> BoxLefts() {
    return {ctl.txtCodigo.Left(), ctl.txtNombre.Left(), ctl.txtcol3.Left(), ctl.txtcol4.Left()};
  }
};

TEST_F(LayoutTest, DesignedWidgets) {
  struct D {
    Widget* w;
    float left, top, width, height;
  };
  const std::vector<D> designed = {
      {&ctl.txtCodigo, 195, 150, 990, 270},       {&ctl.txtNombre, 1215, 150, 1485, 270},
      {&ctl.txtcol3, 2745, 150, 1485, 270},       {&ctl.txtcol4, 4260, 165, 1485, 270},
      {&ctl.cmdLeer, 480, 4215, 850, 550},        {&ctl.cmdSiguiente, 1575, 4215, 850, 550},
      {&ctl.cmdSeleccionar, 2670, 4230, 850, 550}, {&ctl.cmdSalir, 3840, 4230, 850, 550},
      {&ctl.grdDatos, 165, 480, 4935, 3645}};
  for (size_t i = 0; i < designed.size(); ++i) {
    const D& d = designed[i];
    EXPECT_EQ(d.w->Left(), d.left) << d.w->Name();
    EXPECT_EQ(d.w->Top(), d.top) << d.w->Name();
    EXPECT_EQ(d.w->Width(), d.width) << d.w->Name();
    EXPECT_EQ(d.w->Height(), d.height) << d.w->Name();
    EXPECT_EQ(d.w->TabIndex(), static_cast<int>(i)) << d.w->Name();
    EXPECT_TRUE(d.w->Visible() && d.w->Enabled()) << d.w->Name();
  }
  EXPECT_EQ(ctl.cmdLeer.Caption(), "&Leer");
  EXPECT_EQ(ctl.cmdSiguiente.Caption(), "S&iguiente");
  EXPECT_EQ(ctl.cmdSeleccionar.Caption(), "S&eleccion");
  EXPECT_EQ(ctl.cmdSalir.Caption(), "&Salir");
  std::set<const Picture*> pictures;
  for (CommandButton* b : {&ctl.cmdLeer, &ctl.cmdSiguiente, &ctl.cmdSeleccionar, &ctl.cmdSalir}) {
    EXPECT_EQ(b->Style(), ButtonStyle::Graphical) << b->Name();
    ASSERT_NE(b->GetPicture(), nullptr) << b->Name();
    EXPECT_EQ(b->GetPicture()->Width(), 16);
    EXPECT_EQ(b->GetPicture()->Height(), 16);
    pictures.insert(b->GetPicture().get());
  }
  EXPECT_EQ(pictures.size(), 4u);  // one picture per button
  ASSERT_NE(ctl.grdDatos.GetFont(), nullptr);
  EXPECT_EQ(ctl.grdDatos.GetFont()->name, "MS Sans Serif");
  EXPECT_EQ(ctl.grdDatos.GetFont()->size, 8.25f);
}

TEST_F(LayoutTest, DesignedSizeGivesTheDocumentedFigures) {
  ResizeTo(5280, 4905);
  EXPECT_EQ(ctl.grdDatos.Left(), 165);
  EXPECT_EQ(ctl.grdDatos.Top(), 480);
  EXPECT_EQ(ctl.grdDatos.Width(), 4950);
  EXPECT_EQ(ctl.grdDatos.Height(), 3785);
  for (CommandButton* b : {&ctl.cmdLeer, &ctl.cmdSiguiente, &ctl.cmdSeleccionar, &ctl.cmdSalir}) {
    EXPECT_EQ(b->Top(), 4345) << b->Name();
    EXPECT_EQ(b->Width(), 850) << b->Name();
    EXPECT_EQ(b->Height(), 550) << b->Name();
  }
  EXPECT_EQ(ButtonLefts(), (std::vector<float>{408.75f, 1471.25f, 2533.75f, 3596.25f}));
  EXPECT_EQ(BoxLefts(), (std::vector<float>{195, 1205, 2710, 4215}));
  EXPECT_EQ(ctl.txtcol4.Top(), 165);  // box tops and sizes stay
  EXPECT_EQ(ctl.txtcol4.Width(), 1485);
}

TEST_F(LayoutTest, NarrowControlMovesButtonsButNotBoxes) {
  ResizeTo(3000, 4905);
  EXPECT_EQ(ctl.cmdLeer.Left(), -731.25f);
  EXPECT_EQ(ctl.cmdSiguiente.Left(), -731.25f + 850 + 212.5f);
  EXPECT_EQ(ctl.grdDatos.Width(), 2670);
  EXPECT_EQ(BoxLefts(), (std::vector<float>{195, 1205, 2710, 4215}));
}

TEST_F(LayoutTest, TooLowControlKeepsGridHeight) {
  ResizeTo(5280, 4905);
  ResizeTo(4000, 1119);  // the grid height would be -1
  EXPECT_EQ(ctl.grdDatos.Height(), 3785);
  EXPECT_EQ(ctl.grdDatos.Width(), 3670);  // later steps still run
  EXPECT_EQ(ctl.cmdLeer.Top(), 480 + 3785 + 80);
  EXPECT_EQ(ctl.cmdSalir.Top(), 4345);
  EXPECT_EQ(ctl.cmdLeer.Left(), 2000 - 1700 - 531.25f);
  ResizeTo(4000, 1120);  // exactly zero is accepted
  EXPECT_EQ(ctl.grdDatos.Height(), 0);
  EXPECT_EQ(ctl.cmdLeer.Top(), 560);
}

TEST_F(LayoutTest, BoxChainFollowsWidthsOnResize) {
  ctl.Width1(500);
  EXPECT_EQ(ctl.txtNombre.Left(), 1215);  // not before the next resize
  ResizeTo(5280, 4905);
  EXPECT_EQ(BoxLefts(), (std::vector<float>{195, 715, 2220, 3725}));
  // A hidden box keeps its place in the chain.
  ctl.N_Campo3("");
  ctl.Width1(990);
  ResizeTo(5280, 4905);
  EXPECT_FALSE(ctl.txtcol3.Visible());
  EXPECT_EQ(ctl.txtcol4.Left(), 4215);
  // Width3 re-places txtcol3 at once; the next resize chains txtcol4 after it.
  ctl.Width3(2000);
  EXPECT_EQ(ctl.txtcol3.Left(), 2710);
  ResizeTo(5280, 4905);
  EXPECT_EQ(ctl.txtcol4.Left(), 4730);
}

}  // namespace
}  // namespace trovel
