#include "engine/job/flex_grid.h"

#include <gtest/gtest.h>

namespace tessa {
namespace {

TEST(FlexGrid, AddItemSplitsAtTabsAndNotifies) {
  FlexGrid g(4, 2);
  std::vector<GridChange> seen;
  g.Subscribe([&](const GridChange& c) { seen.push_back(c); });
  ASSERT_TRUE(g.AddItem("a\tb\t\td\textra", 1));
  EXPECT_EQ(g.Rows(), 3);
  EXPECT_EQ(g.TextMatrix(1, 0), "a");
  EXPECT_EQ(g.TextMatrix(1, 2), "");
  EXPECT_EQ(g.TextMatrix(1, 3), "d");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].kind, GridChange::RowsInserted);
  EXPECT_EQ(seen[0].first, 1);
  EXPECT_FALSE(g.AddItem("x", 9));
}

TEST(FlexGrid, RowsAndRemovalKeepTheHeadingAndClampTheCurrentRow) {
  FlexGrid g(2, 1);
  g.SetRows(4);
  g.SetRow(3);
  EXPECT_FALSE(g.RemoveItem(0));
  EXPECT_TRUE(g.RemoveItem(3));
  EXPECT_EQ(g.Row(), 2);
  g.SetRows(0);
  EXPECT_EQ(g.Rows(), 1);
  EXPECT_EQ(g.TextMatrix(5, 5), "");
  EXPECT_FALSE(g.SetTextMatrix(5, 0, "x"));
}

}  // namespace
}  // namespace tessa
