// Random option records and three-field records: parsing never fails, and
// a record built from parsed fields parses back to the same fields.
#include <gtest/gtest.h>

#include "engine/task/caret_records.h"
#include "support/random_cases.h"

namespace tessa {
namespace {

using test::RandomCases;

std::string RandomRecord(RandomCases& rng) {
  static const std::vector<std::string> pieces = {
      "^", "TRUE", "FALSE", "true", "-1", "0", "1", "2147483647", "2147483648", "-2147483649",
      "99999999999999999999", "1e9", "&H7F", "0x10", " ", "*", "1-3", "", "\xC3\xA9", std::string(1, '\0'), "\r\n"};
  std::string record;
  for (size_t i = 0, n = rng.Below(20); i < n; ++i) record += rng.Chance(85) ? rng.Pick(pieces) : rng.Bytes(1 + rng.Below(4));
  return record;
}

TEST(CaretRecordsRobustness, RandomRecordsParseAndRebuildStably) {
  RandomCases rng(4101);
  for (int i = 0; i < 4000; ++i) {
    const std::string record = RandomRecord(rng);
    AdvancedOptions parsed;
    ParseAdvancedOptions(record, parsed);
    // Texts that hold no caret survive a build and a parse unchanged.
    bool caretFree = true;
    for (const std::string* s : {&parsed.author, &parsed.creator, &parsed.keywords, &parsed.subject, &parsed.title,
                                 &parsed.pages}) {
      caretFree = caretFree && s->find('^') == std::string::npos;
    }
    ASSERT_TRUE(caretFree) << i;
    AdvancedOptions again;
    ParseAdvancedOptions(BuildAdvancedOptions(parsed), again);
    ASSERT_EQ(again.append, parsed.append) << i;
    ASSERT_EQ(again.author, parsed.author) << i;
    ASSERT_EQ(again.title, parsed.title) << i;
    ASSERT_EQ(again.compression, parsed.compression) << i;
    ASSERT_EQ(again.pages, parsed.pages) << i;

    int32_t a = 7, b = 8, c = 9;
    SplitCaretFields3(record, a, b, c);
    int32_t x = 0, y = 0, z = 0;
    SplitCaretFields3(JoinCaretFields3(a, b, c), x, y, z);
    ASSERT_EQ(std::make_tuple(x, y, z), std::make_tuple(a, b, c)) << i;
  }
}

}  // namespace
}  // namespace tessa
