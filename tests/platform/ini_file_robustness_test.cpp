// Random and damaged INI files: reading never fails badly, and a write
// keeps every other line of the file byte for byte.
#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "platform/text_file.h"
#include "support/random_cases.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::RandomCases;

std::string RandomIni(RandomCases& rng) {
  static const std::vector<std::string> pieces = {
      "[Main]", "[main]", "[", "]", "[]", "[Main", "Key=Value", "key = \"quoted\" ", "Key=", "=v", "Key",
      "\"", "\"\"", ";comment", "Other=1", " ", "\t", "\r\n", "\n", "\r", "\xEF\xBB\xBF", "\xFF\xFE", "\0",
      "Key=" + std::string(5000, 'v'), "\xC3\xA9=\xE9"};
  std::string text;
  for (size_t i = 0, n = rng.Below(16); i < n; ++i) text += rng.Chance(85) ? rng.Pick(pieces) : rng.Bytes(1 + rng.Below(8));
  return text;
}

TEST(IniFileRobustness, RandomFilesReadAndWritesTouchOnlyTheirKey) {
  test::TempDir dir;
  const std::string ini = dir.file("a.ini");
  RandomCases rng(4501);
  for (int i = 0; i < 1500; ++i) {
    const std::string before = RandomIni(rng);
    test::WriteFile(ini, before);
    for (const char* section : {"Main", "main", "", "["}) {
      for (const char* key : {"Key", "Other", "", "="}) ReadIniString(ini, section, key, "dflt");
    }
    std::string value = rng.From("abc =\"[];", rng.Below(10));
    if (rng.Chance(20)) value += "\xC3\xA9";
    std::string error;
    if (!WriteIniString(ini, "Main", "Fresh", value, &error)) {
      ASSERT_TRUE(test::ReadFile(ini) == before) << i << ": a refused write changed the file";
      continue;
    }
    // The new key reads back, and nothing of the old text was lost.
    if (value.find('"') == std::string::npos && value.find_first_of(" \t") == std::string::npos) {
      ASSERT_EQ(ReadIniString(ini, "Main", "Fresh", "dflt"), value) << i << ::testing::PrintToString(before) << " became " << ::testing::PrintToString(test::ReadFile(ini));
    }
    // Compared as text: a file in another encoding is rewritten in UTF-8.
    // A second byte-order mark at the start may read as the file's own.
    auto text = [](const std::string& bytes) {
      std::string t = DecodeTextBytes(bytes).text;
      while (t.starts_with("\xEF\xBB\xBF")) t.erase(0, 3);
      return t;
    };
    const std::string old = text(before);
    const std::string after = text(test::ReadFile(ini));
    size_t at = 0;
    for (char c : old) {
      if (c == '\r' || c == '\n') continue;
      at = after.find(c, at);
      ASSERT_NE(at, std::string::npos) << i << ": text of the old file was lost: " << ::testing::PrintToString(old) << " became " << ::testing::PrintToString(after);
      ++at;
    }
  }
}

}  // namespace
}  // namespace tessa
