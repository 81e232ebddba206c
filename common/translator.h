// Showing the program in the user's language: texts are looked up in the
// chosen language file, and texts the file lacks are appended to it so that
// a translator finds every text the program ever showed.
#pragma once

#include <string>
#include <vector>

namespace tessa {

// The chosen language: "English" or the name part of a language file; ""
// before InitializeTranslator (Translate then returns its argument).
extern std::string sLanguage;
// The language file's path.
extern std::string sLanguageFile;
// 0 for an 8-bit file (UTF-8 or Windows-1252), -1 for UTF-16; 99 from
// DetectLanguageFileFormat means unreadable.
extern int iLanguageFileFormat;
// Font chosen for the language; "" keeps the designed fonts.
extern std::string sLanguageFont;
// The user's locale id, from the environment's locale (see UserLocaleId).
extern int iUserLCID;
// True for the Chinese, Japanese and Korean locale ids.
extern bool bAsianLocale;
// The product name that every language file name carries: "Tessalumen".
extern std::string sProductName;

// What the language chooser dialog offers: the window installs one; without
// one, a choice counts as cancelled.
class LanguageChooser {
 public:
  virtual ~LanguageChooser() = default;
  // Shows the installed languages with current selected; returns the chosen
  // language ("" when cancelled) and font ("" for none).
  virtual void Choose(const std::vector<std::string>& languages, const std::string& current,
                      std::string& language, std::string& fontName) = 0;
};

// Installs the chooser (nullptr removes it).
void SetLanguageChooser(LanguageChooser* chooser);

// Reads the language and font from the settings file ([Language]), asks the
// user on a first start in a locale other than US or UK English (never in a
// command-line or automation start) and loads the language file. A missing
// or unusable language file shows one warning and falls back to English,
// which is then stored.
void InitializeTranslator();

// The translation of sText; sText itself for blank texts, before
// initialisation and for texts the file lacks (appended to the file once per
// run unless the language is English). Keys are case-sensitive.
std::string Translate(const std::string& sText);

// Shows the chooser and stores the choice. Returns true when it wrote a
// changed language or font. With bShowRestartNotice true, a change is noted
// as taking effect at the next start (and a notice is shown); otherwise the
// choice is taken at once.
bool SelectLanguage(bool& bShowRestartNotice);

// [Language] Language_Code and Language_Font of the settings file.
std::string ReadLanguageCode();
void WriteLanguageCode(const std::string& sCode);
std::string ReadLanguageFont();
void WriteLanguageFont(const std::string& sFont);

// sDataFolder & "Languages/" & language & "-" & sProductName & ".txt", or
// the file of that name in another case (".TXT") when only that one exists.
std::string GetLanguageFilePath(const std::string& sLanguage);

// 0 for an 8-bit file, -1 for UTF-16 (it starts with FF FE or its second
// byte is 0), 99 when the file cannot be read or its first line does not
// begin with a double quote (a byte-order mark is allowed).
int DetectLanguageFileFormat(const std::string& sPath);

// Reads sLanguageFile into the translation table. False (and the language
// set back to English) when it cannot be read.
bool LoadLanguageFile();

// Appends sText between double quotes as a new line of the language file,
// in the file's own encoding. Texts without a letter (numbers, marks such as
// "#" and "*") are no English texts to translate and are not appended, nor
// are texts whose line would not read back as that one text (holding CR, LF
// or the pair separator '","', or read as a comment or the end marker). A
// failure shows a warning box.
void AppendMissingText(const std::string& sText);

// The languages whose files lie in sDataFolder & "Languages/" (names ending
// in "-" & sProductName & ".txt" in any case), sorted.
std::vector<std::string> FillLanguageList();

// The locale id of a locale name such as "ja_JP.UTF-8": en_US 1033, en_GB
// 2057, ja 1041, ko 1042, zh_CN 2052, zh_TW 1028, zh_HK 3076, zh_SG 4100,
// zh_MO 5124; "", C and POSIX 1033; any other 0.
int LocaleIdFromName(const std::string& localeName);

// The user's locale id from LC_ALL, else LC_MESSAGES, else LANG.
int UserLocaleId();

// Forgets the language, the table and every setting taken from the files
// (for tests and for a fresh initialisation).
void ResetTranslator();

}  // namespace tessa
