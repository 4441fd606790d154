// The search core on a real SQLite database: the statement text that both
// controls build through ClauseBuilder, and BlockLoader's blocks, failures
// and rows whose texts hold a TAB.
#include <gtest/gtest.h>

#include <tuple>

#include "connectors/SqliteConnection.h"
#include "contracts/ForwardingCursor.h"
#include "platform/Error.h"
#include "search/BlockLoader.h"
#include "search/ClauseBuilder.h"
#include "tests/ErrorNumber.h"

namespace trovel {
namespace {

// Fails the MoveNext that would leave row `fail_at` (from 1), as a cursor
// whose connection drops in the middle of a block does.
class FailingCursor : public ForwardingCursor {
 public:
  FailingCursor(std::shared_ptr<DataCursor> target, int fail_at)
      : ForwardingCursor(std::move(target)), fail_at_(fail_at) {}
  std::string MoveNext() override {
    if (++moves_ == fail_at_) throw Error(Error::kDatabase, "the connection was lost");
    return ForwardingCursor::MoveNext();
  }

 private:
  int fail_at_;
  int moves_ = 0;
};

class BlockLoaderTest : public ::testing::Test {
 protected:
  BlockLoaderTest() {
    db.Execute(
        "create table t (n integer, nombre text, alta date);"
        "with recursive k(i) as (select 1 union all select i + 1 from k where i < 120)"
        " insert into t select i, 'fila ' || i, date('2001-01-01', '+' || i || ' days') from k;"
        "update t set nombre = 'con' || char(9) || 'tab' where n = 3;"
        "update t set alta = null where n = 2;");
    grid.SetCols(3);
    grid.SetRows(1);
  }

  std::shared_ptr<DataCursor> Open(const std::string& statement) {
    std::string sql = statement;
    bool flag = false;
    return db.OpenCursor(sql, flag);
  }

  // Describes the three columns, counting how often it is asked.
  BlockLoader::Describe Describer() {
    return [this](int col) {
      ++described;
      static const char* const kFields[] = {"N", "Nombre", "ALTA"};
      BlockLoader::Column column{kFields[col], std::nullopt};
      if (col == 2) column.format = "dd/mm/yyyy";
      return column;
    };
  }

  std::string Row(int r) {
    return grid.TextMatrix(r, 0) + "|" + grid.TextMatrix(r, 1) + "|" + grid.TextMatrix(r, 2);
  }

  SqliteConnection db{":memory:"};
  FlexGrid grid{"grdDatos"};
  BlockLoader loader;
  int described = 0;
};

TEST_F(BlockLoaderTest, BlocksOfLimitPlusOneRowsFromOneCursorUntilTheEnd) {
  auto cursor = Open("select n, nombre, alta from t order by n");
  int32_t rows = -1;
  EXPECT_EQ(loader.Load(*cursor, grid, Describer(), 50, rows), BlockLoader::BlockEnd::kMoreRows);
  EXPECT_EQ(rows, 51);
  EXPECT_EQ(described, 3);
  EXPECT_EQ(loader.Load(*cursor, grid, Describer(), 50, rows), BlockLoader::BlockEnd::kMoreRows);
  EXPECT_EQ(loader.Load(*cursor, grid, Describer(), 50, rows), BlockLoader::BlockEnd::kEndOfData);
  EXPECT_EQ(rows, 18);
  EXPECT_EQ(described, 9);  // once per column and block, not per row
  EXPECT_EQ(grid.Rows(), 1 + 120);
  EXPECT_EQ(Row(1), "1|fila 1|02/01/2001");
  EXPECT_EQ(Row(2), "2|fila 2|");  // a Null shows as nothing
  // A text holding a TAB splits across the cells, as AddItem splits a row.
  EXPECT_EQ(Row(3), "3|con|tab");
  EXPECT_EQ(Row(120), "120|fila 120|01/05/2001");
  // An empty cursor adds nothing and asks nothing.
  auto empty = Open("select n, nombre, alta from t where n < 0");
  EXPECT_EQ(loader.Load(*empty, grid, Describer(), 50, rows), BlockLoader::BlockEnd::kEndOfData);
  EXPECT_EQ(rows, 0);
  EXPECT_EQ(described, 9);
}

TEST_F(BlockLoaderTest, AFailureKeepsTheRowsFinishedBeforeIt) {
  FailingCursor cursor(Open("select n, nombre, alta from t order by n"), 30);
  int32_t rows = -1;
  EXPECT_EQ(ErrorNumberOf([&] { loader.Load(cursor, grid, Describer(), 50, rows); }), Error::kDatabase);
  EXPECT_EQ(rows, 30);
  EXPECT_EQ(grid.Rows(), 31);
  EXPECT_EQ(Row(30), "30|fila 30|31/01/2001");

  // An unknown field or an undescribed column fails on the block's first row.
  grid.SetRows(1);
  auto cursor2 = Open("select n, nombre from t");
  EXPECT_EQ(ErrorNumberOf([&] { loader.Load(*cursor2, grid, Describer(), 50, rows); }), 3265);
  EXPECT_EQ(rows, 0);
  EXPECT_EQ(grid.Rows(), 1);
}

TEST(ClauseBuilderTest, ClausesFollowTheStartAndTheOrderEndsTheStatement) {
  ClauseBuilder sql("select * from t");
  sql.And("t.nombre");
  sql.Like("O'BRIEN%");
  sql.And("t.n");
  sql.Compare("<", "10");
  sql.And("t.alta");
  sql.CompareDate("", "#", "25/12/2001", ClauseBuilder::DayMonth::kSwapped);
  sql.And("t.baja");
  sql.CompareDate(">", "'", "2001-12-25", ClauseBuilder::DayMonth::kAsTyped);
  const SearchStatement statement = sql.Finish("nombre");
  // The text as the control shows it, the user's text as typed...
  EXPECT_EQ(statement.text,
            "SELECT * FROM T where 1=1  and t.nombre like 'O'BRIEN%' and t.n <= 10 and t.alta = #12/25/2001#"
            " and t.baja >= '2001-12-25' ORDER BY nombre");
  // ...and the same statement in parts, each filter a typed condition.
  EXPECT_EQ(statement.base, "SELECT * FROM T");
  EXPECT_TRUE(statement.where_added);
  EXPECT_EQ(statement.order, " ORDER BY nombre");
  using S = SearchStatement;
  ASSERT_EQ(statement.conditions.size(), 4u);
  const std::tuple<std::string, S::Test, S::Kind, std::string> expected[] = {
      {"t.nombre", S::Test::kLike, S::Kind::kText, "O'BRIEN%"},
      {"t.n", S::Test::kAtMost, S::Kind::kNumber, "10"},
      {"t.alta", S::Test::kEqual, S::Kind::kDate, "12/25/2001"},
      {"t.baja", S::Test::kAtLeast, S::Kind::kDate, "2001-12-25"},
  };
  for (size_t i = 0; i < 4; ++i) {
    const S::Condition& c = statement.conditions[i];
    EXPECT_EQ(std::tie(c.field, c.test, c.kind, c.value), expected[i]) << i;
  }
  // A connection that takes text only gets the values as standard literals,
  // the base on a line of its own.
  EXPECT_EQ(statement.StandardText(),
            "SELECT * FROM T\n where 1=1  and t.nombre like 'O''BRIEN%' and t.n <= 10 and t.alta = DATE '2001-12-25'"
            " and t.baja >= DATE '2001-12-25' ORDER BY nombre");
}

// A number filter is a plain number and a date filter a day that exists,
// or the read fails naming the field: neither ever reaches the statement as
// text of its own.
TEST(ClauseBuilderTest, NumbersAndDatesAreCheckedBeforeTheyAreWritten) {
  for (const char* number : {"5", "-5", "+5", "5.25", ".5", "9223372036854775807", "00012"}) {
    ClauseBuilder sql("select * from t where a = 1");
    sql.And("t.n");
    sql.Compare("", number);
    EXPECT_EQ(sql.Finish("").conditions[0].Number(), number);
  }
  for (const char* bad : {"", "-", "5-3", "1e5", "0x10", "5.2.1", "5 or 1=1", "1;", " 5", "NaN", "\xef\xbc\x95"}) {
    ClauseBuilder sql("select * from t");
    sql.And("t.n");
    sql.Compare(">", bad);
    const SearchStatement statement = sql.Finish("");
    EXPECT_EQ(ErrorNumberOf([&] { statement.conditions[0].Number(); }), Error::kTypeMismatch) << bad;
    EXPECT_EQ(ErrorNumberOf([&] { statement.StandardText(); }), Error::kTypeMismatch) << bad;
  }
  const std::pair<const char*, const char*> dates[] = {
      {"12/25/2001", "2001-12-25"}, {"2/29/2000", "2000-02-29"}, {"1/2/05", "2005-01-02"}, {"1/2/45", "1945-01-02"},
      {"2001-12-25", "2001-12-25"}, {"2001/12/25", "2001-12-25"}};
  for (const auto& [typed, iso] : dates) {
    ClauseBuilder sql("select * from t");
    sql.And("t.alta");
    sql.CompareDate("", "#", typed, ClauseBuilder::DayMonth::kAsTyped);
    EXPECT_EQ(sql.Finish("").conditions[0].IsoDate(), iso) << typed;
  }
  for (const char* bad : {"2/29/2001", "13/01/2001", "00/10/2001", "12/25", "12/25/2001' or '1'='1", "", "//"}) {
    ClauseBuilder sql("select * from t");
    sql.And("t.alta");
    sql.CompareDate("<", "#", bad, ClauseBuilder::DayMonth::kAsTyped);
    const SearchStatement statement = sql.Finish("");
    try {
      statement.conditions[0].Date();
      ADD_FAILURE() << bad;
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), Error::kTypeMismatch) << bad;
      EXPECT_NE(e.description().find("t.alta"), std::string::npos) << e.description();
    }
  }
}

}  // namespace
}  // namespace trovel
