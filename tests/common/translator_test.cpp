#include "common/translator.h"

#include <gtest/gtest.h>

#include "common/program_modes.h"
#include "common/settings_file.h"
#include "platform/ini_file.h"
#include "platform/text_file.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::ReadFile;
using test::ScopedEnv;
using test::TempDir;
using test::WriteFile;

std::string Utf16LE(const std::string& utf8) { return "\xFF\xFE" + EncodeText(utf8, TextEncoding::Utf16LE); }

class ScriptedChooser : public LanguageChooser {
 public:
  void Choose(const std::vector<std::string>& languages, const std::string& current, std::string& language,
              std::string& fontName) override {
    offered = languages;
    shownWith = current;
    ++shown;
    language = answer;
    fontName = font;
  }
  std::vector<std::string> offered;
  std::string shownWith, answer, font;
  int shown = 0;
};

// A data folder with Languages/, a settings file and an English US locale.
class TranslatorTest : public ::testing::Test {
 protected:
  TranslatorTest() : lcAll_("LC_ALL", "en_US.UTF-8") {
    ResetTranslator();
    sDataFolder = dir_.path().string() + "/data/";
    sIniFile = dir_.file("settings.INI");
    std::filesystem::create_directories(dir_.path() / "data" / "Languages");
    SetLanguageChooser(&chooser_);
  }
  ~TranslatorTest() override {
    SetLanguageChooser(nullptr);
    ResetTranslator();
    sDataFolder.clear();
    sIniFile.clear();
    bCommandLineMode = bAutomationMode = false;
  }
  std::string LanguageFile(const std::string& language) {
    return dir_.file("data/Languages/" + language + "-Tessalumen.txt");
  }
  void UseLanguage(const std::string& language) { WriteIniString(sIniFile, "Language", "Language_Code", language); }

  TempDir dir_;
  ScopedEnv lcAll_;
  test::ScriptedUserInterface ui_;
  ScriptedChooser chooser_;
};

TEST_F(TranslatorTest, Utf8FileTranslatesAndGetsMissingTextsAppended) {
  const std::string file = WriteFile(LanguageFile("French"),
                                     "\xEF\xBB\xBF\"! comment line\"\r\n"
                                     "\"Open\",\"Ouvrir\"\r\n"
                                     "\"Open\",\"Second\"\r\n"
                                     "\r\n"
                                     "   \r\n"
                                     "\"Cancel\"\r\n"
                                     "\"Save\",\"Enregistrer\",\"ignored\"\r\n"
                                     "\"Close\",\"Fermer\"\r"
                                     "\n\"Quit\",\"Quitter\"\r\r\n"
                                     "\"Done\",\"Fini\"");
  UseLanguage("French");
  InitializeTranslator();
  ASSERT_EQ(sLanguage, "French");
  EXPECT_TRUE(ui_.boxes.empty());
  EXPECT_EQ(iLanguageFileFormat, 0);
  EXPECT_EQ(Translate("Open"), "Ouvrir");
  EXPECT_EQ(Translate("Cancel"), "Cancel");
  EXPECT_EQ(Translate("Save"), "Enregistrer");
  EXPECT_EQ(Translate("Close"), "Fermer");
  EXPECT_EQ(Translate("Quit"), "Quitter");
  EXPECT_EQ(Translate("Done"), "Fini");
  EXPECT_EQ(Translate("   "), "   ");
  EXPECT_EQ(Translate("open"), "open");
  EXPECT_EQ(Translate("open"), "open");  // appended once only
  EXPECT_EQ(Translate("Caf\xC3\xA9"), "Caf\xC3\xA9");
  const std::string text = ReadFile(file);
  const std::string tail = "\"Done\",\"Fini\"\r\n\"open\"\r\n\"Caf\xC3\xA9\"\r\n";
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  // The appended texts read back as untranslated entries.
  ResetTranslator();
  InitializeTranslator();
  EXPECT_EQ(Translate("open"), "open");
  EXPECT_EQ(ReadFile(file), text);
}

TEST_F(TranslatorTest, Utf16FileIsReadAndAppendedInUtf16) {
  const std::string file = WriteFile(LanguageFile("Japanese"),
                                     Utf16LE("\"! comment\"\r\n\"Open\",\"\xE9\x96\x8B\xE3\x81\x8F\"\r\n"));
  UseLanguage("Japanese");
  InitializeTranslator();
  ASSERT_EQ(sLanguage, "Japanese");
  EXPECT_EQ(iLanguageFileFormat, -1);
  EXPECT_EQ(Translate("Open"), "\xE9\x96\x8B\xE3\x81\x8F");
  EXPECT_EQ(Translate("New text"), "New text");
  const std::string bytes = ReadFile(file);
  EXPECT_EQ(bytes.substr(bytes.size() - 24), EncodeText("\"New text\"\r\n", TextEncoding::Utf16LE));
  // Without a byte-order mark the zero second byte tells UTF-16 apart.
  const std::string bare = WriteFile(dir_.path() / "bare.txt", EncodeText("\"A\",\"B\"\r\n", TextEncoding::Utf16LE));
  EXPECT_EQ(DetectLanguageFileFormat(bare), -1);
}

TEST_F(TranslatorTest, Windows1252FileKeepsItsEncodingWhenAppended) {
  const std::string file = WriteFile(LanguageFile("German"), "\"Close\",\"Schlie\xDF" "en\"\n");
  UseLanguage("German");
  InitializeTranslator();
  EXPECT_EQ(Translate("Close"), "Schlie\xC3\x9F" "en");
  Translate("Gr\xC3\xBC\xC3\x9F" "e");
  EXPECT_EQ(ReadFile(file), "\"Close\",\"Schlie\xDF" "en\"\n\"Gr\xFC\xDF" "e\"\r\n");
}

TEST_F(TranslatorTest, EndMarkerStopsReadingAndLastLineWithoutLineEndIsKept) {
  const std::string file = WriteFile(LanguageFile("French"), "\"Yes\",\"Oui\"\n\"****\"\n\"No\",\"Non\"");
  UseLanguage("French");
  InitializeTranslator();
  EXPECT_EQ(Translate("Yes"), "Oui");
  EXPECT_EQ(Translate("No"), "No");
  EXPECT_EQ(ReadFile(file), "\"Yes\",\"Oui\"\n\"****\"\n\"No\",\"Non\"\r\n\"No\"\r\n");
}

TEST_F(TranslatorTest, TextsThatCannotStandOnOneLineAreNotAppended) {
  const std::string original = "\"Yes\",\"Oui\"\r\n";
  const std::string file = WriteFile(LanguageFile("French"), original);
  UseLanguage("French");
  InitializeTranslator();
  EXPECT_EQ(Translate("Line one\r\nLine two"), "Line one\r\nLine two");
  EXPECT_EQ(Translate("a\",\"b"), "a\",\"b");
  EXPECT_EQ(Translate("bare\rcr"), "bare\rcr");
  for (const char* noText : {"1", "#", "*", "-1", "12:00"}) EXPECT_EQ(Translate(noText), noText);  // no letters
  EXPECT_EQ(ReadFile(file), original);
  ResetTranslator();
  InitializeTranslator();
  EXPECT_EQ(Translate("a"), "a");
  EXPECT_EQ(Translate("Yes"), "Oui");
}

TEST_F(TranslatorTest, AFileNamedInAnotherCaseIsListedEditedAndLoadedAsItIs) {
  const std::string file = WriteFile(dir_.file("data/Languages/German-Tessalumen.TXT"), "\"Yes\",\"Ja\"\r\n");
  UseLanguage("German");
  InitializeTranslator();
  EXPECT_EQ(GetLanguageFilePath("German"), file);  // what the chooser's Edit opens
  EXPECT_EQ(Translate("Yes"), "Ja");
}

TEST_F(TranslatorTest, AppendedLinesReadBackAsTheTextsThemselves) {
  const std::string file = WriteFile(LanguageFile("French"), "\"Yes\",\"Oui\"\r\n");
  UseLanguage("French");
  InitializeTranslator();
  // Each of these, between quotes, would read back as something else: a
  // pair mapping "Keep" to "", the end of the table, a comment.
  Translate("Keep\",");
  Translate("**** stars ****");
  Translate("!Note");
  Translate("After");
  const std::string once = ReadFile(file);
  ResetTranslator();
  InitializeTranslator();
  EXPECT_EQ(Translate("Keep"), "Keep");
  EXPECT_EQ(Translate("After"), "After");
  Translate("!Note");
  EXPECT_EQ(ReadFile(file), once + "\"Keep\"\r\n");
}

TEST_F(TranslatorTest, EnglishNeverTouchesAFile) {
  const std::string original = "\"Open\",\"Ouvrir\"\r\n";
  const std::string file = WriteFile(LanguageFile("English"), original);
  UseLanguage("English");
  InitializeTranslator();
  EXPECT_EQ(Translate("Open"), "Open");
  EXPECT_EQ(Translate("Anything"), "Anything");
  EXPECT_EQ(ReadFile(file), original);
}

TEST_F(TranslatorTest, UninitialisedTranslatorReturnsItsArgument) {
  EXPECT_EQ(Translate("Open"), "Open");
}

TEST_F(TranslatorTest, MissingOrUnreadableFileFallsBackToEnglishOnce) {
  UseLanguage("Klingon");
  InitializeTranslator();
  ASSERT_EQ(ui_.boxes.size(), 1u);
  EXPECT_EQ(ui_.boxes[0].title, "Error");
  EXPECT_EQ(ui_.boxes[0].style, vbExclamation);
  EXPECT_EQ(ui_.boxes[0].prompt,
            "Unable to locate Language file: \r\n" + LanguageFile("Klingon") + "\r\nDefaulting to English");
  EXPECT_EQ(sLanguage, "English");
  EXPECT_EQ(ReadLanguageCode(), "English");

  WriteFile(LanguageFile("Broken"), "no quote at the start\n");
  UseLanguage("Broken");
  InitializeTranslator();
  ASSERT_EQ(ui_.boxes.size(), 2u);
  EXPECT_EQ(ui_.boxes[1].prompt.rfind("Unable to read Language file: \r\n", 0), 0u);
  EXPECT_EQ(sLanguage, "English");
}

TEST_F(TranslatorTest, AppendFailureWarnsWithoutAppendingTheWarning) {
  WriteFile(LanguageFile("French"), "\"Error\",\"Erreur\"\n");
  UseLanguage("French");
  InitializeTranslator();
  std::filesystem::remove(LanguageFile("French"));
  std::filesystem::create_directories(LanguageFile("French"));  // a folder cannot be appended to
  EXPECT_EQ(Translate("New"), "New");
  ASSERT_EQ(ui_.boxes.size(), 1u);
  EXPECT_EQ(ui_.boxes[0].prompt, "Unable to add to Language file");
  EXPECT_EQ(ui_.boxes[0].title, "Erreur");
  EXPECT_EQ(Translate("New"), "New");
  EXPECT_EQ(ui_.boxes.size(), 1u);
}

TEST_F(TranslatorTest, FirstStartAsksOnlyOutsideEnglishLocalesAndNeverOnTheCommandLine) {
  WriteFile(LanguageFile("French"), "\"Open\",\"Ouvrir\"\n");
  WriteFile(LanguageFile("Japanese"), "\"Open\",\"x\"\n");
  WriteFile(dir_.path() / "data" / "Languages" / "notes.txt", "x");
  chooser_.answer = "French";
  InitializeTranslator();  // en_US: no question
  EXPECT_EQ(chooser_.shown, 0);
  EXPECT_EQ(sLanguage, "English");
  EXPECT_EQ(ReadLanguageCode(), "English");

  ScopedEnv ja("LC_ALL", "ja_JP.UTF-8");
  WriteIniString(sIniFile, "Language", "Language_Code", "");
  bCommandLineMode = true;
  InitializeTranslator();
  EXPECT_EQ(chooser_.shown, 0);
  EXPECT_EQ(sLanguage, "English");
  EXPECT_TRUE(bAsianLocale);

  bCommandLineMode = false;
  WriteIniString(sIniFile, "Language", "Language_Code", "");
  InitializeTranslator();
  EXPECT_EQ(chooser_.shown, 1);
  EXPECT_EQ(chooser_.offered, (std::vector<std::string>{"French", "Japanese"}));
  EXPECT_EQ(sLanguage, "French");
  EXPECT_EQ(ReadLanguageCode(), "French");
  EXPECT_EQ(Translate("Open"), "Ouvrir");
}

TEST_F(TranslatorTest, ChangingTheLanguageFromTheMenuTakesEffectNextTime) {
  WriteFile(LanguageFile("French"), "\"Open\",\"Ouvrir\"\n");
  InitializeTranslator();
  chooser_.answer = "French";
  chooser_.font = "DejaVu Sans";
  bool notice = true;
  EXPECT_TRUE(SelectLanguage(notice));
  EXPECT_EQ(sLanguage, "English");
  EXPECT_EQ(ReadLanguageCode(), "French");
  EXPECT_EQ(ReadLanguageFont(), "DejaVu Sans");
  ASSERT_EQ(ui_.boxes.size(), 1u);
  EXPECT_EQ(ui_.boxes[0].prompt, "Your changes will take effect next time you run Tessalumen");
  chooser_.answer = "";
  notice = true;
  EXPECT_FALSE(SelectLanguage(notice));  // cancelled
}

TEST(TranslatorLocale, LocaleIds) {
  EXPECT_EQ(LocaleIdFromName("en_US.UTF-8"), 1033);
  EXPECT_EQ(LocaleIdFromName("en_GB"), 2057);
  EXPECT_EQ(LocaleIdFromName("ja_JP.eucJP"), 1041);
  EXPECT_EQ(LocaleIdFromName("ko_KR.UTF-8"), 1042);
  EXPECT_EQ(LocaleIdFromName("zh_CN.UTF-8"), 2052);
  EXPECT_EQ(LocaleIdFromName("zh_TW"), 1028);
  EXPECT_EQ(LocaleIdFromName("C"), 1033);
  EXPECT_EQ(LocaleIdFromName("POSIX"), 1033);
  EXPECT_EQ(LocaleIdFromName("C.UTF-8"), 1033);
  EXPECT_EQ(LocaleIdFromName("de_DE.UTF-8"), 0);
  EXPECT_EQ(LocaleIdFromName("en_AU"), 0);
}

}  // namespace
}  // namespace tessa
