#include "common/page_list.h"

#include <gtest/gtest.h>

namespace tessa {
namespace {

struct Parsed {
  std::string text;
  int32_t status;
};

Parsed Parse(std::string s, int32_t cap = kDefaultPageLimit) {
  const int32_t st = ParsePageRangeString(s, cap);
  return {s, st};
}

TEST(PageList, NormalisesTypedLists) {
  EXPECT_EQ(Parse("").status, 1);
  EXPECT_EQ(Parse("").text, "");
  EXPECT_EQ(Parse("abc").status, 3);
  EXPECT_EQ(Parse("abc").text, "");
  EXPECT_EQ(Parse("*").status, 3);
  EXPECT_EQ(Parse("1, 3").text, "1,3");
  EXPECT_EQ(Parse("1, 3").status, 2);
  EXPECT_EQ(Parse("p.4").text, "4");
  EXPECT_EQ(Parse("p.4").status, 2);
  EXPECT_EQ(Parse("10-5").text, "5,6,7,8,9,10");
  EXPECT_EQ(Parse("10-5").status, 0);
  EXPECT_EQ(Parse("3,1-4,2").text, "1,2,3,4");
  EXPECT_EQ(Parse("12,3").text, "3,12");
  EXPECT_EQ(Parse("7").text, "7");
}

TEST(PageList, RepeatedValuesSortAndDeduplicate) {
  EXPECT_EQ(Parse("1-6,1-6").text, "1,2,3,4,5,6");
  EXPECT_EQ(Parse("5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,1").text, "1,5");
  std::vector<int32_t> v;
  for (int i = 0; i < 5000; ++i) v.push_back((i * 7919) % 13);
  QuickSort(v);
  EXPECT_TRUE(std::is_sorted(v.begin(), v.end()));
  RemoveDuplicates(v);
  EXPECT_EQ(v.size(), 13u);
}

TEST(PageList, EmptyElementsAreDroppedNotPageZero) {
  EXPECT_EQ(Parse("1,,3").text, "1,3");
  EXPECT_EQ(Parse("1,,3").status, 4);
  EXPECT_EQ(Parse(",2,").text, "2");
  EXPECT_EQ(Parse(",2,").status, 4);
  EXPECT_EQ(Parse("1--3,4").text, "4");  // two dashes: nothing usable in it
  EXPECT_EQ(Parse("1--3,4").status, 4);
  EXPECT_EQ(Parse(",").status, 1 | 4);
  EXPECT_EQ(Parse(",").text, "");
  EXPECT_EQ(Parse("0").text, "0");  // a page typed as 0 stays for the caller to refuse
}

TEST(PageList, OpenRangesAndHugeNumbersGiveAStatus) {
  for (const char* s : {"5-", "-5", "2,5-", "-", "99999999999", "1-99999999999"}) {
    const auto p = Parse(s);
    EXPECT_EQ(p.status & (16 | 1), 16 | 1) << s;
    EXPECT_EQ(p.text, "") << s;
  }
}

TEST(PageList, RangesAreCappedAtTheLimit) {
  const auto p = Parse("1-2000000000", 10);
  EXPECT_EQ(p.text, "1,2,3,4,5,6,7,8,9,10");
  EXPECT_EQ(p.status, 8);
  EXPECT_EQ(Parse("12-2000000000", 10).text, "12");  // the start stays, for the caller to refuse
  EXPECT_EQ(Parse("12", 10).text, "12");
  EXPECT_EQ(Parse("2,5-6", 10).status, 0);
  // Without a cap from the caller the default limit holds.
  const auto big = Parse("1-2000000000");
  EXPECT_EQ(big.status, 8);
  EXPECT_EQ(big.text.substr(big.text.size() - 8), ",1000000");
}

TEST(PageList, ExpandPageRange) {
  bool ok = false, capped = true;
  EXPECT_EQ(ExpandPageRange("3-1", ok, capped), "1,2,3");
  EXPECT_TRUE(ok);
  EXPECT_FALSE(capped);
  EXPECT_EQ(ExpandPageRange("1-2-3", ok, capped), "");
  EXPECT_TRUE(ok);
  EXPECT_EQ(ExpandPageRange("5-", ok, capped), "");
  EXPECT_FALSE(ok);
}

TEST(SortCollection, IgnoresCaseOrComparesAsIs) {
  const std::vector<std::string> items{"b.tif", "A.tif", "c.tif"};
  EXPECT_EQ(SortCollection(items, false), (std::vector<std::string>{"A.tif", "b.tif", "c.tif"}));
  EXPECT_EQ(SortCollection(items, true), (std::vector<std::string>{"A.tif", "b.tif", "c.tif"}));
  const std::vector<std::string> mixed{"b.tif", "B.tif", "a.tif", "C.tif"};
  EXPECT_EQ(SortCollection(mixed, true), (std::vector<std::string>{"B.tif", "C.tif", "a.tif", "b.tif"}));
  EXPECT_EQ(SortCollection(mixed, false), (std::vector<std::string>{"a.tif", "b.tif", "B.tif", "C.tif"}));
  EXPECT_TRUE(SortCollection({}, false).empty());
}

}  // namespace
}  // namespace tessa
