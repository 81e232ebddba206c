// Random page lists: the result is always empty or an ascending list of
// distinct page numbers, and lists that repeat large ranges stay cheap.
#include <gtest/gtest.h>

#include "common/page_list.h"
#include "common/text_helpers.h"
#include "support/random_cases.h"

namespace tessa {
namespace {

using test::RandomCases;

std::string RandomPages(RandomCases& rng) {
  static const std::vector<std::string> pieces = {
      "1", "2", "-", ",", "0", "17", "999999", "1000000", "1000001", "2147483647", "2147483648",
      "99999999999999999999", "-5", "5-", "--", ",,", " ", "a", "\xC3\xA9", "1-1000000", "3-1", "*"};
  std::string text;
  for (size_t i = 0, n = rng.Below(12); i < n; ++i) text += rng.Chance(80) ? rng.Pick(pieces) : rng.Bytes(1);
  return text;
}

// True when text is "" or distinct whole numbers in ascending order.
bool IsAscendingList(const std::string& text) {
  if (text.empty()) return true;
  long long last = -1;
  for (const auto& item : SplitText(text, ',')) {
    if (item.empty() || item.size() > 10 || item.find_first_not_of("0123456789") != std::string::npos) return false;
    const long long n = std::stoll(item);
    if (n <= last) return false;
    last = n;
  }
  return true;
}

TEST(PageListRobustness, RandomListsGiveSortedDistinctPagesOrNothing) {
  RandomCases rng(4301);
  for (int i = 0; i < 4000; ++i) {
    std::string pages = RandomPages(rng);
    const std::string typed = pages;
    const int32_t limit = rng.Chance(5) ? kDefaultPageLimit : rng.Chance(30) ? 1000 : static_cast<int32_t>(rng.Between(0, 50));
    const int32_t status = ParsePageRangeString(pages, limit);
    ASSERT_TRUE(IsAscendingList(pages)) << typed;
    ASSERT_EQ(pages.empty(), (status & (kPageListNothingUsable | kPageListNotANumber)) != 0) << typed;
    // A normalised list reads back as itself.
    if (!pages.empty()) {
      std::string again = pages;
      ASSERT_EQ(ParsePageRangeString(again, limit), 0) << typed;
      ASSERT_EQ(again, pages) << typed;
    }
  }
}

TEST(PageListRobustness, RepeatedLargeRangesStayWithinTheLimit) {
  std::string pages;
  for (int i = 0; i < 400; ++i) pages += "1-1000000,";
  const int32_t status = ParsePageRangeString(pages);
  EXPECT_EQ(status, kPageListEmptyDropped);
  EXPECT_EQ(pages.size(), 6888895u);  // 1,2,...,1000000
  EXPECT_TRUE(pages.starts_with("1,2,3,"));
  EXPECT_TRUE(pages.ends_with(",999998,999999,1000000"));
}

}  // namespace
}  // namespace tessa
