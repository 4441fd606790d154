// clsColumns and clsColumn: what adding and changing a column writes to the
// grid, lookup and removal, and the messages shown when a write fails.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "ctltrovel2/ColumnDescription.h"
#include "ctltrovel2/clsColumns.h"
#include "platform/Error.h"
#include "platform/FlexGrid.h"
#include "platform/HeadlessHost.h"
#include "tests/CtlTrovel2Fixture.h"  // TakeMessagesOf
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
using Strings = std::vector<std::string>;
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
  // The messages shown since the last call, each cut to the length of
  // `prefix`: for texts that go on with a detail of their own.
  Strings MessagesCutTo(const std::string& prefix) {
    Strings texts = TakeMessagesOf(host);
    for (auto& text : texts) text.resize(std::min(text.size(), prefix.size()));
    return texts;
  }
  // Heading, alignment and width of grid column `c`.
  std::string Shown(int c) const {
    return grid->TextMatrix(0, c) + " " + std::to_string(grid->ColAlignment(c)) + " " +
           ::testing::PrintToString(grid->ColWidth(c));
  }

  HeadlessHost host;
  std::shared_ptr<FlexGrid> grid = std::make_shared<FlexGrid>("grdDatos");
  std::shared_ptr<clsColumns> columns = Peer::Create(&host);
};

TEST_F(ColumnsTest, AddAndSettersWriteHeadingAlignmentAndWidth) {
  ASSERT_TRUE(columns->Add("0", "CODIGO", "ART", ctvNUMBER, "Código", 6));
  auto date = columns->Add("1", "ALTA", "", ctvDATE, "Alta", 60);
  ASSERT_TRUE(date);
  // Numbers align right (6), the rest left (0); the width is Longht + 3 units.
  EXPECT_EQ(Shown(0), "Código 6 1080");
  EXPECT_EQ(Shown(1), "Alta 0 6360");

  // Longht counts up to 50; half units round to even.
  for (auto [unit, length, width] : {std::tuple{120.f, 0, 360}, {120.f, 10, 1560}, {120.f, 49, 6240}, {120.f, 50, 6360},
                                     {120.f, 300, 6360}, {0.5f, 0, 2}, {0.5f, 2, 2}, {0.5f, 4, 4}}) {
    Peer::SetUnit(*date, unit);
    date->Longht(static_cast<int16_t>(length));
    EXPECT_EQ(grid->ColWidth(1), width) << "length " << length << " at " << unit;
  }
  // Hidden, the column is 0 wide but keeps its length; shown, it gets the width back.
  date->Visible(false);
  EXPECT_EQ(grid->ColWidth(1), 0);
  EXPECT_EQ(date->Longht(), 4);
  Peer::SetUnit(*date, 120);
  date->Longht(10);
  date->Visible(true);
  EXPECT_EQ(grid->ColWidth(1), 1560);

  date->TypeData(ctvNUMBER);
  EXPECT_EQ(grid->ColAlignment(1), 6);
  date->TypeData(static_cast<TIPOC>(7));  // stored unchecked, left-aligned
  EXPECT_EQ(date->TypeData(), 7);
  EXPECT_EQ(grid->ColAlignment(1), 0);
  EXPECT_TRUE(TakeMessagesOf(host).empty());
}

TEST_F(ColumnsTest, ANewCollectionNeedsAHostAndAGridAndCopiesItsUnitAtEachAdd) {
  EXPECT_EQ(ErrorNumberOf([] { Peer::Create(nullptr); }), Error::kObjectNotSet);
  auto fresh = Peer::Create(&host);
  EXPECT_EQ(fresh->Add("0", "X", "", ctvTEXT, "X", 1), nullptr);
  EXPECT_EQ(MessagesCutTo(kUnbound), Strings{kUnbound});
  EXPECT_EQ(fresh->Count(), 0);
  // Bound, its unit is still 0; a later unit reaches only the columns added after it.
  Peer::SetGrid(*fresh, grid);
  auto zero = fresh->Add("0", "A", "", ctvTEXT, "A", 300);
  Peer::SetUnit(*fresh, 100);
  fresh->Add("1", "B", "", ctvTEXT, "B", 10);
  zero->Longht(10);
  EXPECT_EQ(grid->ColWidth(0), 0);
  EXPECT_EQ(grid->ColWidth(1), 1300);
  EXPECT_EQ(ErrorNumberOf([&] { Peer::SetUnit(*fresh, -1); }), Error::kInvalidValue);
  EXPECT_EQ(ErrorNumberOf([&] { Peer::SetUnit(*zero, std::nanf("")); }), Error::kInvalidValue);
  EXPECT_TRUE(TakeMessagesOf(host).empty());
}

TEST_F(ColumnsTest, KeyLeadingNumberPicksTheGridColumn) {
  for (int c = 0; c < 4; ++c) Add(std::to_string(c), "F" + std::to_string(c));
  auto column = columns->Item(1);
  // Column -1 marks a key that names no grid column: the write shows the grid's refusal.
  const std::string huge(400, '9');
  for (auto [key, col] : {std::pair{"2", 2}, {"1.5", 2}, {"2.5", 2}, {"0.5", 0}, {" +3x", 3}, {"abc", 0}, {"", 0},
                          {"-0.4", 0}, {".6", 1}, {"\t0 .6 ", 1}, {"+ 1", 1}, {"-1", -1}, {"99999999999", -1},
                          {huge.c_str(), -1}}) {
    column->Key = key;
    column->Caption(std::string("at ") + key);
    EXPECT_EQ(MessagesCutTo(kRange), col >= 0 ? Strings{} : Strings{kRange}) << "Key \"" << key << "\"";
    if (col >= 0) {
      EXPECT_EQ(grid->TextMatrix(0, col), std::string("at ") + key) << "Key \"" << key << "\"";
    }
  }
  EXPECT_EQ(grid->TextMatrix(0, 2), "at 2.5");  // a later Key moved nothing written before
}

TEST_F(ColumnsTest, FailedAddsKeepListButNotGrid) {
  Add("0", "Codigo");
  // A field already in the collection (in any case) is refused after its grid column was written.
  const std::string duplicate = Error::KeyAlreadyInCollection().description();
  EXPECT_EQ(columns->Add("1", "CODIGO", "", ctvNUMBER, "Otra", 20), nullptr);
  EXPECT_EQ(MessagesCutTo(duplicate), Strings{duplicate});
  EXPECT_EQ(columns->Count(), 1);
  EXPECT_EQ(grid->Cols(), 2);
  EXPECT_EQ(Shown(1), "Otra 6 2760");
  EXPECT_TRUE(Add("1", "CODIGO", 10, "codigo2"));  // under a key of its own it is welcome

  // Once the grid has gone nothing is added.
  Peer::SetGrid(*columns, std::make_shared<FlexGrid>("gone"));  // expires at once
  EXPECT_EQ(Add("2", "X"), nullptr);
  EXPECT_EQ(MessagesCutTo(kUnbound), Strings{kUnbound});
  EXPECT_EQ(columns->Count(), 2);
}

TEST_F(ColumnsTest, ItemAndRemoveByPositionOrKey) {
  auto a = Add("0", "Año");
  auto b = Add("1", "B");
  auto c = Add("2", "x", 10, "Clave");
  // Positions count from 1 and round to even; keys ignore case.
  EXPECT_EQ(columns->Item(int16_t{3}), c);
  EXPECT_EQ((*columns)[2.5], b);
  EXPECT_EQ(columns->Item("AÑO"), a);
  EXPECT_EQ(columns->Item("clave"), c);
  EXPECT_TRUE(TakeMessagesOf(host).empty());
  // A position or key that names no column: Item shows the failure and gives
  // nothing, Remove throws it and shows nothing.
  const Error range = Error::SubscriptOutOfRange(), mismatch = Error::TypeMismatch();
  for (const auto& [bad, error] : {std::pair{Variant(0), range}, {Variant(4), range}, {Variant("1"), range},
                                   {Variant("x"), range}, {Variant(), mismatch}, {Variant::Null, mismatch}}) {
    EXPECT_EQ(columns->Item(bad), nullptr);
    EXPECT_EQ(MessagesCutTo(error.description()), Strings{error.description()}) << error.number();
    EXPECT_EQ(ErrorNumberOf([&] { columns->Remove(bad); }), error.number());
    EXPECT_TRUE(TakeMessagesOf(host).empty());
  }
  columns->Remove("b");
  auto again = Add("1", "B");  // the key is free again
  ASSERT_TRUE(again);
  columns->Remove(1);
  EXPECT_EQ(columns->Count(), 2);
  EXPECT_EQ(columns->Item(1), c);
  EXPECT_EQ(columns->Item(2), again);
  EXPECT_EQ(grid->Cols(), 3);
  a->Caption("kept");  // a removed column still works for its holder
  EXPECT_EQ(grid->TextMatrix(0, 0), "kept");
}

TEST_F(ColumnsTest, WriteFailuresShowTheirMessagesAndKeepTheValue) {
  auto column = columns->Add("7", "A", "", ctvNUMBER, "Cap", 20);  // Add goes on past them
  ASSERT_TRUE(column);
  std::string range;
  try { grid->SetTextMatrix(0, 7, ""); } catch (const Error& e) { range = e.description(); }
  EXPECT_EQ(TakeMessagesOf(host), (Strings{"Columna no válida Key:7", range + " Numero de Columna Key:7",
                                           "Columna no valida key:7"}));
  column->Visible(false);
  EXPECT_EQ(TakeMessagesOf(host), Strings{range + " Columna Key:7"});
  EXPECT_FALSE(column->Visible());
  EXPECT_EQ(column->Caption() + std::to_string(column->Longht()), "Cap20");
  column->Key = "0";
  column->Longht(-5);  // a negative width, refused by the grid
  EXPECT_EQ(TakeMessagesOf(host), Strings{"Columna no valida key:0"});

  // The column outlives its grid: each write shows the object is gone, the
  // values are kept and the collection still finds the column.
  grid.reset();
  column->Caption("new");
  column->Visible(false);
  column->TypeData(ctvDATE);
  const Strings texts = TakeMessagesOf(host);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_TRUE(texts[0].starts_with(kUnbound) && texts[0].ends_with(" Numero de Columna Key:0")) << texts[0];
  EXPECT_TRUE(texts[1].starts_with(kUnbound) && texts[1].ends_with(" Columna Key:0")) << texts[1];
  EXPECT_EQ(texts[2], "Columna no válida Key:0");
  EXPECT_EQ(column->Caption() + std::to_string(column->TypeData()), "new" + std::to_string(ctvDATE));
  EXPECT_EQ(columns->Item("a"), column);
}

// Column descriptions from a form or the Designer: text that is not JSON,
// a number past a double's range included, is one type-mismatch failure.
TEST(ColumnDescriptionTest, TextThatIsNotJsonIsRefused) {
  for (const char* bad : {"[", "[1e99999]", R"([{"Key": "a", "Longht": -1e99999}])", "{\"a\": 1"})
    EXPECT_EQ(ErrorNumberOf([&] { ColumnDescription::Parse(bad); }), Error::kTypeMismatch) << bad;
  EXPECT_TRUE(ColumnDescription::Parse("  ").empty());
}

}  // namespace
}  // namespace trovel
