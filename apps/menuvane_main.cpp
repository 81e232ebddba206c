// menuvane: the file manager's "Convert To PDF" menu from a shell. "list"
// prints the menu that the given paths get; "invoke" runs one of its verbs
// as choosing the entry would.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/file_helpers.h"
#include "shellmenu/bus_actions.h"
#include "shellmenu/context_menu.h"

namespace {

constexpr const char* kUsage =
    "usage: menuvane list [--flags N] [--first ID] [--last ID] PATH...\n"
    "       menuvane invoke VERB PATH...\n"
    "verbs: CONVERTMULTITOMULTI CONVERTMULTITOSINGLE APPEND OPTIONS SOURCE\n"
    "       OVERWRITE OPEN DOSUBFOLDERS SAVETOORIGINALFOLDER\n";

void Print(const tessa::MenuEntry& e, int depth) {
  const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
  switch (e.kind) {
    case tessa::MenuEntry::Kind::Separator:
      std::printf("%s----\n", indent.c_str());
      return;
    case tessa::MenuEntry::Kind::Popup:
      std::printf("%s%s >\n", indent.c_str(), e.sCaption.c_str());
      for (const auto& c : e.children) Print(c, depth + 1);
      return;
    case tessa::MenuEntry::Kind::Command:
      std::printf("%s%d\t%s%s\t%s\n", indent.c_str(), e.iCommandId, e.bChecked ? "[x] " : "", e.sCaption.c_str(),
                  e.sVerb.c_str());
      return;
  }
}

// tessaprint lies beside this program.
std::string TessaprintPath(const char* argv0) {
  std::error_code ec;
  auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) self = argv0;
  return (self.parent_path() / "tessaprint").string();
}

// The path as ferrowick and tessaprint, which do not share this command's
// working folder, must get it.
std::string Absolute(const std::string& path) {
  const std::string absolute = tessa::GetAbsolutePath(path);
  return absolute.empty() ? path : absolute;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    std::fputs(kUsage, args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  const std::string command = args[0];
  tessa::clsContextMenu menu(tessa::GetINIFile());
  if (command == "list") {
    unsigned flags = 0;
    int first = 1, last = 0x7fff;
    std::vector<std::string> paths;
    for (std::size_t i = 1; i < args.size(); ++i) {
      if (i + 1 < args.size() && args[i] == "--flags") flags = static_cast<unsigned>(std::strtoul(args[++i].c_str(), nullptr, 0));
      else if (i + 1 < args.size() && args[i] == "--first") first = std::atoi(args[++i].c_str());
      else if (i + 1 < args.size() && args[i] == "--last") last = std::atoi(args[++i].c_str());
      else paths.push_back(Absolute(args[i]));
    }
    if (!menu.Initialize(paths)) {
      std::fprintf(stderr, "menuvane: more than 255 items: no menu\n");
      return 1;
    }
    tessa::MenuModel model;
    const int used = menu.QueryContextMenu(model, 0, first, last, flags);
    for (const auto& e : model) Print(e, 0);
    std::printf("ids used: %d\n", used);
    return 0;
  }
  if (command == "invoke" && args.size() >= 2) {
    std::vector<std::string> paths;
    for (std::size_t i = 2; i < args.size(); ++i) paths.push_back(Absolute(args[i]));
    if (!menu.Initialize(paths)) {
      std::fprintf(stderr, "menuvane: more than 255 items\n");
      return 1;
    }
    tessa::BusContextMenuActions actions(TessaprintPath(argv[0]), true);
    if (!menu.InvokeVerb(args[1], actions)) {
      std::fprintf(stderr, "menuvane: unknown verb %s\n%s", args[1].c_str(), kUsage);
      return 2;
    }
    if (!actions.LastError().empty()) {
      std::fprintf(stderr, "menuvane: %s\n", actions.LastError().c_str());
      return 1;
    }
    return 0;
  }
  std::fputs(kUsage, stderr);
  return 2;
}
