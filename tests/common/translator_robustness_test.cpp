// Random and damaged language files: loading never fails badly, and a text
// the file lacks is appended so that it reads back, once, at the next start.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/program_modes.h"
#include "common/settings_file.h"
#include "common/translator.h"
#include "platform/ini_file.h"
#include "platform/text_file.h"
#include "support/random_cases.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::RandomCases;

std::string RandomLanguageText(RandomCases& rng) {
  static const std::vector<std::string> lines = {
      "\"Open\",\"Ouvrir\"", "\"Save\",\"Enregistrer\",\"extra\"", "\"Alone\"", "\"!comment", "\"",
      "\"\"", "\",\"", "\"a\",\"", "   ", "\t\"Tabbed\",\"T\"", "\"\xC3\xA9t\xC3\xA9\",\"summer\"", "no quote",
      "\"Close\",\"Fermer\"   "};
  static const std::vector<std::string> ends = {"\r\n", "\n", "\r", ""};
  std::string text;
  for (size_t i = 0, n = rng.Below(12); i < n; ++i) {
    text += rng.Chance(85) ? rng.Pick(lines) : rng.Bytes(rng.Below(20));
    text += rng.Pick(ends);
  }
  return text;
}

std::string RandomFileBytes(RandomCases& rng) {
  const std::string text = RandomLanguageText(rng);
  std::string bytes;
  switch (rng.Below(6)) {
    case 0: bytes = "\xFF\xFE" + EncodeText(text, TextEncoding::Utf16LE); break;
    case 1: bytes = "\xFE\xFF" + EncodeText(text, TextEncoding::Utf16BE); break;
    case 2: bytes = EncodeText(text, TextEncoding::Utf16LE); break;  // no byte-order mark
    case 3: bytes = "\xEF\xBB\xBF" + text; break;
    default: bytes = text; break;
  }
  if (rng.Chance(15) && !bytes.empty()) bytes.pop_back();  // odd length
  if (rng.Chance(10)) bytes = rng.Damage(bytes);
  return bytes;
}

TEST(TranslatorRobustness, DamagedLanguageFilesLoadAndMissingTextsReadBack) {
  test::ScriptedUserInterface ui;
  test::TempDir dir;
  test::ScopedEnv locale("LC_ALL", "en_US.UTF-8");
  sDataFolder = dir.path().string() + "/data/";
  sIniFile = dir.file("settings.INI");
  std::filesystem::create_directories(dir.path() / "data" / "Languages");
  const std::string file = dir.file("data/Languages/Fuzz-Tessalumen.txt");
  RandomCases rng(4401);
  int appended = 0;
  for (int i = 0; i < 1500; ++i) {
    ResetTranslator();
    WriteIniString(sIniFile, "Language", "Language_Code", "Fuzz");
    test::WriteFile(file, RandomFileBytes(rng));
    InitializeTranslator();
    if (sLanguage != "Fuzz") continue;  // refused with a warning
    for (const char* probe : {"Open", "Save", "Alone", "", "\"", "\xC3\xA9t\xC3\xA9"}) Translate(probe);
    std::string missing = "Missing ";
    for (size_t k = 0, n = 1 + rng.Below(8); k < n; ++k) {
      missing += rng.Pick(std::vector<std::string>{"a", "Z", " ", ".", ":", "(", "%", "\"", ",", "\xC3\xA9", "\xE2\x82\xAC"});
    }
    missing += std::to_string(i);
    Translate(missing);
    // The next start finds the text and appends nothing more.
    const std::string after = test::ReadFile(file);
    ResetTranslator();
    InitializeTranslator();
    if (sLanguage != "Fuzz") continue;
    Translate(missing);
    ASSERT_TRUE(test::ReadFile(file) == after) << i << ": the appended text did not read back: " << ::testing::PrintToString(test::ReadFile(file));
    ++appended;
  }
  EXPECT_GT(appended, 300);
  ResetTranslator();
  sDataFolder.clear();
  sIniFile.clear();
}

}  // namespace
}  // namespace tessa
