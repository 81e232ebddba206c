#include "common/help_launcher.h"

#include <utility>

#include "common/file_helpers.h"
#include "common/settings_file.h"
#include "common/translator.h"
#include "platform/program_data_folder.h"
#include "platform/shell_open.h"

namespace tessa {

std::string sHelpFile;
std::string sDocHome;

namespace {

constexpr const char* kDocServer = "https://docs.brindlecove.example/all-documentation/tessalumen/english/html5/";

// The default web address of each key.
constexpr std::pair<const char*, const char*> kAddresses[] = {
    {"DocHome", kDocServer},
    {"CommandLine", "https://docs.brindlecove.example/all-documentation/tessalumen/english/html5/"
                    "#t=Tessaprint%2FUsing_the_Command_Line.htm"},
    {"ProgramOptions", "https://docs.brindlecove.example/all-documentation/tessalumen/english/html5/"
                       "#t=Tessaprint%2FProgram_Options.htm"},
    {"Languages", "https://docs.brindlecove.example/all-documentation/tessalumen/english/html5/"
                  "#t=Tessaprint%2FLanguages.htm"},
    {"ProductHome", "https://www.brindlecove.example/tessalumen/"},
    {"ProductUpdates", "https://www.brindlecove.example/tessalumen/revision-history/"},
    {"MakerHome", "https://www.brindlecove.example/"},
    {"ConversionTools", "https://www.brindlecove.example/conversion-tools/"},
};

// The page of each context id.
constexpr std::pair<long, const char*> kPages[] = {
    {kHelpStartTopic, "index.html"},        {kHelpCommandLine, "command-line.html"},
    {kHelpProgramOptions, "options.html"},  {kHelpQuickStart, "quick-start.html"},
    {kHelpLanguages, "language.html"},      {kHelpAdvancedOptions, "advanced-options.html"},
    {kHelpScheduler, "scheduler.html"},
};

}  // namespace

void InitializeHelpFile() {
  sDocHome = HelpAddress("DocHome");
  const std::string folder = ProgramDataFolder();
  sHelpFile = folder.empty() ? std::string() : folder + (sLanguage == "Japanese" ? "/help-JP" : "/help");
}

std::string HelpPagePath(long lContextId) {
  if (sHelpFile.empty()) return "";
  for (const auto& [id, page] : kPages)
    if (id == lContextId) return sHelpFile + "/" + page;
  return "";
}

bool ShowHelpTopic(long lContextId, const std::string& sWebPage) {
  const std::string page = HelpPagePath(lContextId);
  if (!page.empty() && bFileExists(page) && ShellOpen(page)) return true;
  const std::string web = sWebPage.empty() ? sDocHome : sWebPage;
  return !web.empty() && ShellOpen(web);
}

std::string HelpAddress(const std::string& key) {
  for (const auto& [name, address] : kAddresses)
    if (key == name) return ReadSetting("Help", key, address);
  return "";
}

}  // namespace tessa
