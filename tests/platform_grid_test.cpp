#include <gtest/gtest.h>

#include "tests/ErrorNumber.h"

#include "platform/Error.h"
#include "platform/FlexGrid.h"
#include "platform/Picture.h"

namespace trovel {
namespace {

std::vector<std::string> Column(const FlexGrid& g, int col) {
  std::vector<std::string> out;
  for (int r = 0; r < g.Rows(); ++r) out.push_back(g.TextMatrix(r, col));
  return out;
}

TEST(FlexGridTest, ResetAddAndRemoveKeepOrder) {
  FlexGrid g("grdDatos");
  g.SetFormatString("Código         | Nombre" + std::string(64, ' '));
  EXPECT_EQ(g.Cols(), 2);
  EXPECT_EQ(g.TextMatrix(0, 0), "Código         ");
  EXPECT_EQ(g.FormatString().size(), std::string("Código         | Nombre").size() + 64);
  g.AddItem("x\ty");
  g.SetRows(1);
  EXPECT_EQ(g.Rows(), 1);
  EXPECT_EQ(g.TextMatrix(0, 1), " Nombre" + std::string(64, ' '));
  g.SetRows(2);
  g.SetFixedRows(1);
  EXPECT_EQ(g.TextMatrix(1, 0), "");
  g.AddItem("a\t1");
  g.AddItem("b\t2\textra");
  g.AddItem("c");
  g.RemoveItem(1);
  EXPECT_EQ(Column(g, 0), (std::vector<std::string>{"Código         ", "a", "b", "c"}));
  EXPECT_EQ(Column(g, 1)[3], "");
  EXPECT_THROW(g.RemoveItem(0), Error);  // the header stays
}

TEST(FlexGridTest, GrowsAndShrinksColumns) {
  FlexGrid g("g");
  g.AddItem("a\tb");
  g.SetCols(4);
  EXPECT_EQ(g.TextMatrix(2, 1), "b");
  EXPECT_EQ(g.TextMatrix(2, 3), "");
  g.SetColWidth(3, 500);
  g.SetCols(1);
  EXPECT_THROW(g.TextMatrix(0, 1), Error);
  g.SetCols(4);
  EXPECT_EQ(g.TextMatrix(2, 1), "");  // shrinking dropped the cells
  EXPECT_EQ(g.ColWidth(3), FlexGrid::kDefaultColWidth);
  EXPECT_THROW(g.SetCols(-1), Error);
  EXPECT_EQ(g.Cols(), 4);
}

// Arrow keys and clicks ask for any cell: the grid takes the nearest
// non-fixed one in one move, and without such a cell stays where it is.
// Rows live in blocks of 4,096 cells, each cell holding up to 15 bytes inside itself and a longer text on the
// heap: a grid of many rows must keep every text in its place across block boundaries when columns change, a
// row is removed, rows are cut and rows come a block at a time.
TEST(FlexGridTest, ManyRowsKeepTheirTextsAcrossBlocks) {
  struct Recorder : FlexGrid::Observer {
    std::vector<std::string> notices;
    void GridReset() override { notices.push_back("reset"); }
    void RowsAppended(int first, int last) override {
      notices.push_back(std::to_string(first) + "-" + std::to_string(last));
    }
    void CellChanged(int, int) override {}
  } recorder;
  FlexGrid g("grdDatos");
  g.SetCols(3);
  const std::string fifteen(15, 'f'), long_text = "a text longer than fifteen bytes, on the heap";
  for (int r = 2; r < 5000; ++r)
    g.AddItem("a" + std::to_string(r) + "\tb" + std::to_string(r) + "\t" + (r % 2 ? long_text : fifteen));
  g.SetCols(5);  // 819 rows to a block instead of 1,365
  EXPECT_EQ(g.TextMatrix(1400, 1), "b1400");
  EXPECT_EQ(g.TextMatrix(4999, 0), "a4999");
  EXPECT_EQ(g.TextMatrix(4999, 4), "");
  EXPECT_EQ(g.TextMatrix(4999, 2), long_text);
  EXPECT_EQ(g.TextMatrix(4998, 2), fifteen);
  g.SetTextMatrix(4998, 2, long_text + long_text);  // a short cell takes a long text and back
  EXPECT_EQ(g.TextMatrix(4998, 2), long_text + long_text);
  g.SetTextMatrix(4998, 2, fifteen + "!");
  EXPECT_EQ(g.TextMatrix(4998, 2), fifteen + "!");
  g.RemoveItem(3);  // every later row moves up, across all blocks
  EXPECT_EQ(g.TextMatrix(3, 0), "a4");
  EXPECT_EQ(g.TextMatrix(818, 1), "b819");
  EXPECT_EQ(g.TextMatrix(819, 1), "b820");
  EXPECT_EQ(g.Rows(), 4999);
  g.SetRows(820);
  EXPECT_EQ(g.TextMatrix(819, 2), fifteen);  // row 819 held row 820's texts since the removal
  EXPECT_EQ(g.TextMatrix(818, 2), long_text);
  g.SetCols(2);

  g.AddObserver(&recorder);
  std::vector<std::string> block{"x0", "y\t0", "x1", "y1"};
  g.AddRows(block, 2);
  EXPECT_TRUE(block.empty());
  EXPECT_EQ(g.TextMatrix(820, 1), "y\t0");  // a TAB stays inside its cell
  EXPECT_EQ(g.TextMatrix(821, 0), "x1");
  g.AddRows(block, 0);
  g.SetRows(1);
  g.SetRows(3);
  EXPECT_EQ(Column(g, 0), (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(recorder.notices, (std::vector<std::string>{"820-821", "reset", "reset"}));
}

TEST(FlexGridTest, MoveWithinTakesTheNearestNonFixedCell) {
  struct Case {
    int rows, cols, fixed_cols;  // fixed rows: 1
    int row, col;                // asked for
    std::string want;            // "row,col leaves"
  };
  for (const Case& c : std::vector<Case>{{5, 3, 0, 9, 9, "4,2 1"},
                                         {5, 3, 1, -3, -1, "1,1 0"},
                                         {5, 3, 0, 2, 1, "2,1 1"},
                                         {2, 0, 0, 1, 1, "1,0 0"},
                                         {1, 3, 0, 5, 2, "0,0 0"}}) {
    FlexGrid g("g");
    g.SetCols(c.cols);
    g.SetRows(c.rows);
    if (c.fixed_cols) g.SetFixedCols(c.fixed_cols);
    int leaves = 0;
    g.onLeaveCell = [&] { ++leaves; };
    g.MoveWithin(c.row, c.col);
    EXPECT_EQ(std::to_string(g.Row()) + "," + std::to_string(g.Col()) + " " + std::to_string(leaves), c.want)
        << c.rows << "x" << c.cols << " to " << c.row << "," << c.col;
  }
}

TEST(PictureTest, RowsOfPaletteDigits) {
  Picture p({".c", "f0"});
  EXPECT_EQ(p.PaletteIndex(0, 0), Picture::kTransparent);
  EXPECT_EQ(p.PaletteIndex(1, 0), 12);
  EXPECT_EQ(p.PaletteIndex(0, 1), 15);
  EXPECT_EQ(ErrorNumberOf([] { Picture({"0f", "0"}); }), Error::kInvalidValue);
  EXPECT_EQ(ErrorNumberOf([] { Picture({"0g"}); }), Error::kInvalidValue);
}

TEST(FlexGridTest, RefusesBadAddressesAndValues) {
  FlexGrid g("g");
  EXPECT_EQ(ErrorNumberOf([&] { g.TextMatrix(2, 0); }), Error::kSubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { g.SetTextMatrix(0, -1, "x"); }), Error::kSubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { g.SetRow(5); }), Error::kSubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { g.SetColAlignment(0, 10); }), Error::kInvalidValue);
  EXPECT_EQ(ErrorNumberOf([&] { g.SetColWidth(0, -5); }), Error::kInvalidValue);
  EXPECT_EQ(ErrorNumberOf([&] { g.SetWidth(-1); }), Error::kInvalidValue);
  g.SetColAlignment(1, 6);
  EXPECT_EQ(g.ColAlignment(1), 6);
}

TEST(FlexGridTest, LeaveCellRunsBeforeTheCurrentCellMoves) {
  FlexGrid g("g");
  g.SetCols(3);
  g.SetColWidth(0, 1000);
  g.SetColWidth(1, 500);
  std::vector<std::string> log;
  g.onLeaveCell = [&] { log.push_back("leave " + std::to_string(g.Col())); };
  g.onRowColChange = [&] { log.push_back("now " + std::to_string(g.Col())); };
  g.SetCol(2);
  g.SetCol(2);  // no move, no events
  EXPECT_EQ(log, (std::vector<std::string>{"leave 0", "now 2"}));
  EXPECT_EQ(g.CellLeft(), 1500);
  EXPECT_EQ(g.CellTop(), FlexGrid::kRowHeight);
  g.SetText("filter");
  EXPECT_EQ(g.TextMatrix(1, 2), "filter");
}

}  // namespace
}  // namespace trovel
