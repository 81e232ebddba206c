// Help by topic: the program's own HTML pages (installed in the data folder's
// "help", one page per context id), opened in the desktop's browser; when a
// page cannot be shown, a web page of the online documentation instead.
#pragma once

#include <string>

namespace tessa {

// Context ids of the help topics the program opens.
inline constexpr long kHelpStartTopic = 1234;     // the main window (Help menu)
inline constexpr long kHelpCommandLine = 33;      // the command line and automation
inline constexpr long kHelpProgramOptions = 91;   // the general options dialog
inline constexpr long kHelpQuickStart = 13;       // a first job, step by step
inline constexpr long kHelpLanguages = 41;        // the language chooser
inline constexpr long kHelpAdvancedOptions = 42;  // the advanced PDF options dialog
inline constexpr long kHelpScheduler = 43;        // the job scheduler

// The folder of the help pages: the data folder's "help", or "help-JP" while
// the interface is in Japanese. Set by InitializeHelpFile.
extern std::string sHelpFile;
// The online documentation's home page. Set by InitializeHelpFile.
extern std::string sDocHome;

// Sets sHelpFile and sDocHome; called after InitializeTranslator.
void InitializeHelpFile();

// The page file of lContextId in sHelpFile; "" for an id without a page.
std::string HelpPagePath(long lContextId);

// Opens the page of lContextId in the browser. When there is no such page or
// it cannot be opened, opens sWebPage, or sDocHome when sWebPage is "".
// False when nothing could be opened.
bool ShowHelpTopic(long lContextId, const std::string& sWebPage = "");

// A web address of the program: key DocHome, CommandLine, ProgramOptions,
// Languages, ProductHome, ProductUpdates, MakerHome or ConversionTools.
// Each may be set in the settings file's section [Help]; "" for other keys.
std::string HelpAddress(const std::string& key);

}  // namespace tessa
