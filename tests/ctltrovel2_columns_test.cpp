#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "ctltrovel2/clsColumns.h"
#include "platform/Error.h"
#include "platform/FlexGrid.h"
#include "platform/HeadlessHost.h"
#include "tests/ErrorNumber.h"

namespace trovel {

// Reaches the owner-only operations, as ctlTrovel2 does.
struct ColumnsTestPeer {
  static std::shared_ptr<clsColumns> Create(Host* host) { return clsColumns::Create(host); }
  static void SetGrid(clsColumns& c, std::weak_ptr<FlexGrid> g) { c.SetGrid(std::move(g)); }
  static void SetUnit(clsColumns& c, float unit) { c.SetWidthUnit(unit); }
  static void SetUnit(clsColumn& c, float unit) { c.SetWidthUnit(unit); }
};

namespace {

using Peer = ColumnsTestPeer;
const std::string kRange = Error::SubscriptOutOfRange().description();
const std::string kUnbound = Error::ObjectNotSet().description();

class ColumnsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Peer::SetGrid(*columns, grid);
    Peer::SetUnit(*columns, 120);
  }
  std::shared_ptr<clsColumn> Add(const std::string& key, const std::string& field, int16_t length = 10,
                                 const std::string& sKey = "") {
    return columns->Add(key, field, "T", ctvTEXT, "Cap " + field, length, sKey);
  }
  // The texts of the messages shown since the last call; each must be a
  // critical "Mensaje" box.
  std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& m : host.messages) {
      EXPECT_EQ(m.style, Host::kCritical | Host::kOkOnly);
      EXPECT_EQ(m.title, "Mensaje");
      texts.push_back(m.text);
    }
    host.messages.clear();
    return texts;
  }
  std::string Fields() const {
    std::string out;
    for (const auto& column : *columns) out += column->Field() + ",";
    return out;
  }
  static bool StartsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

  HeadlessHost host;
  std::shared_ptr<FlexGrid> grid = std::make_shared<FlexGrid>("grdDatos");
  std::shared_ptr<clsColumns> columns = Peer::Create(&host);
};

TEST_F(ColumnsTest, AddWritesHeadingAlignmentAndWidth) {
  auto code = columns->Add("0", "CODIGO", "ART", ctvNUMBER, "Código", 6);
  auto date = columns->Add("1", "ALTA", "", ctvDATE, "Alta", 60);
  ASSERT_TRUE(code && date);
  EXPECT_EQ(columns->Count(), 2);
  EXPECT_EQ(grid->Cols(), 2);
  EXPECT_EQ(grid->TextMatrix(0, 0), "Código");
  EXPECT_EQ(grid->TextMatrix(0, 1), "Alta");
  EXPECT_EQ(grid->ColAlignment(0), 6);
  EXPECT_EQ(grid->ColAlignment(1), 0);
  EXPECT_EQ(grid->ColWidth(0), 1080);
  EXPECT_EQ(code->Key + code->Field() + code->Table(), "0CODIGOART");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ColumnsTest, WidthVisibilityAndAlignment) {
  auto column = Add("0", "A");
  for (auto [length, width] : {std::pair{0, 360}, {10, 1560}, {49, 6240}, {50, 6360}, {300, 6360}}) {
    column->Longht(static_cast<int16_t>(length));
    EXPECT_EQ(grid->ColWidth(0), width) << "length " << length;
  }
  column->Visible(false);
  EXPECT_EQ(grid->ColWidth(0), 0);
  EXPECT_EQ(column->Longht(), 300);
  column->Longht(10);
  column->Visible(true);
  EXPECT_EQ(grid->ColWidth(0), 1560);

  Peer::SetUnit(*column, 0.5f);  // half twips round to even
  for (auto [length, width] : {std::pair{0, 2}, {2, 2}, {4, 4}}) {
    column->Longht(static_cast<int16_t>(length));
    EXPECT_EQ(grid->ColWidth(0), width) << "length " << length;
  }
  column->TypeData(ctvNUMBER);
  EXPECT_EQ(grid->ColAlignment(0), 6);
  column->TypeData(static_cast<TIPOC>(7));  // stored unchecked, left-aligned
  EXPECT_EQ(column->TypeData(), 7);
  EXPECT_EQ(grid->ColAlignment(0), 0);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ColumnsTest, UnitIsCopiedAtAddAndChecked) {
  auto fresh = Peer::Create(&host);
  Peer::SetGrid(*fresh, grid);
  auto zero = fresh->Add("0", "A", "", ctvTEXT, "A", 300);
  Peer::SetUnit(*fresh, 100);
  fresh->Add("1", "B", "", ctvTEXT, "B", 10);
  zero->Longht(10);
  EXPECT_EQ(grid->ColWidth(0), 0);
  EXPECT_EQ(grid->ColWidth(1), 1300);
  EXPECT_EQ(ErrorNumberOf([&] { Peer::SetUnit(*fresh, -1); }), Error::kInvalidValue);
  EXPECT_EQ(ErrorNumberOf([&] { Peer::SetUnit(*zero, std::nanf("")); }), Error::kInvalidValue);
  EXPECT_EQ(ErrorNumberOf([] { Peer::Create(nullptr); }), Error::kObjectNotSet);
}

TEST_F(ColumnsTest, KeyLeadingNumberPicksTheGridColumn) {
  for (int c = 0; c < 4; ++c) Add(std::to_string(c), "F" + std::to_string(c));
  auto column = columns->Item(1);
  for (auto [key, col] : {std::pair{"2", 2}, {"1.5", 2}, {"2.5", 2}, {"0.5", 0}, {" +3x", 3}, {"abc", 0},
                          {"", 0}, {"-0.4", 0}, {".6", 1}, {"\t0 .6 ", 1}, {"+ 1", 1}}) {
    column->Key = key;
    column->Caption(std::string("at ") + key);
    EXPECT_EQ(grid->TextMatrix(0, col), std::string("at ") + key) << "Key \"" << key << "\"";
  }
  EXPECT_EQ(grid->TextMatrix(0, 2), "at 2.5");  // a later Key moved nothing written before
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ColumnsTest, FailedAddsKeepListButNotGrid) {
  auto first = Add("0", "Codigo");
  EXPECT_EQ(columns->Add("1", "CODIGO", "", ctvNUMBER, "Otra", 20), nullptr);
  auto texts = Messages();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_TRUE(StartsWith(texts[0], Error::KeyAlreadyInCollection().description())) << texts[0];
  EXPECT_EQ(Fields(), "Codigo,");
  EXPECT_EQ(grid->Cols(), 2);
  EXPECT_EQ(grid->TextMatrix(0, 1), "Otra");
  EXPECT_EQ(grid->ColAlignment(1), 6);
  EXPECT_TRUE(Add("1", "CODIGO", 10, "codigo2"));

  Peer::SetGrid(*columns, std::make_shared<FlexGrid>("gone"));  // expires at once
  EXPECT_EQ(Add("2", "X"), nullptr);
  auto unbound = Peer::Create(&host);
  EXPECT_EQ(unbound->Add("0", "X", "", ctvTEXT, "X", 1), nullptr);
  texts = Messages();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_TRUE(StartsWith(texts[0], kUnbound) && StartsWith(texts[1], kUnbound));
  EXPECT_EQ(columns->Count(), 2);
  EXPECT_EQ(unbound->Count(), 0);
}

TEST_F(ColumnsTest, ItemAndRemoveByPositionOrKey) {
  auto a = Add("0", "Año");
  auto b = Add("1", "B");
  auto c = Add("2", "x", 10, "Clave");
  EXPECT_EQ(columns->Item(int16_t{3}), c);
  EXPECT_EQ((*columns)[2.5], b);
  EXPECT_EQ(columns->Item("AÑO"), a);
  EXPECT_EQ(columns->Item("clave"), c);
  EXPECT_TRUE(Messages().empty());
  for (const Variant& bad : {Variant(0), Variant(4), Variant("1"), Variant("x")}) {
    EXPECT_EQ(columns->Item(bad), nullptr);
    auto texts = Messages();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(StartsWith(texts[0], kRange)) << texts[0];
  }
  EXPECT_EQ(columns->Item(Variant()), nullptr);
  EXPECT_EQ(Messages().size(), 1u);

  EXPECT_EQ(ErrorNumberOf([&] { columns->Remove("absent"); }), Error::kSubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { columns->Remove(4); }), Error::kSubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { columns->Remove(Variant::Null); }), Error::kTypeMismatch);
  EXPECT_TRUE(Messages().empty());
  columns->Remove("b");
  EXPECT_TRUE(Add("1", "B"));  // the key is free again
  columns->Remove(1);
  EXPECT_EQ(Fields(), "x,B,");
  EXPECT_EQ(grid->Cols(), 3);
  a->Caption("kept");  // a removed column still works for its holder
  EXPECT_EQ(grid->TextMatrix(0, 0), "kept");
}

TEST_F(ColumnsTest, WriteFailuresShowTheirMessagesAndKeepTheValue) {
  auto column = columns->Add("7", "A", "", ctvNUMBER, "Cap", 20);  // Add goes on past them
  ASSERT_TRUE(column);
  const std::string range = [&] {
    try { grid->SetTextMatrix(0, 7, ""); } catch (const Error& e) { return e.description(); }
    return std::string();
  }();
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Columna no válida Key:7", range + " Numero de Columna Key:7",
                                                  "Columna no valida key:7"}));
  column->Visible(false);
  EXPECT_EQ(Messages(), std::vector<std::string>{range + " Columna Key:7"});
  EXPECT_FALSE(column->Visible());
  EXPECT_EQ(column->Caption() + std::to_string(column->Longht()), "Cap20");

  for (std::string key : {std::string(400, '9'), std::string("99999999999"), std::string("-1")}) {
    column->Key = key;
    column->Caption("x");
    auto texts = Messages();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(StartsWith(texts[0], kRange)) << texts[0];
  }
  column->Key = "0";
  column->Longht(-5);  // a negative width, refused by the grid
  EXPECT_EQ(Messages(), std::vector<std::string>{"Columna no valida key:0"});
}

TEST_F(ColumnsTest, ColumnOutlivesItsGrid) {
  auto column = Add("0", "A");
  grid.reset();
  column->Caption("new");
  column->Visible(false);
  column->TypeData(ctvDATE);
  auto texts = Messages();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_TRUE(StartsWith(texts[0], kUnbound) && texts[0].ends_with(" Numero de Columna Key:0"));
  EXPECT_TRUE(StartsWith(texts[1], kUnbound) && texts[1].ends_with(" Columna Key:0"));
  EXPECT_EQ(texts[2], "Columna no válida Key:0");
  EXPECT_EQ(column->Caption(), "new");
  EXPECT_EQ(columns->Item("a"), column);
}

}  // namespace
}  // namespace trovel
