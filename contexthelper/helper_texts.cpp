#include "contexthelper/helper_texts.h"

#include "common/text_helpers.h"

namespace tessa::ferrowick {

std::string BuildHelperCommand(const std::string& input, const std::string& output, bool append) {
  return "/S \"" + input + "\" /T \"" + output + "\" /F -1" + (append ? " /+" : "") + " /bUsingShellExtender";
}

std::string CommandRefusal(const std::string& path) {
  if (path.find('"') != std::string::npos) return "Skipped: a path holding a double quote cannot be passed on.";
  const size_t backslash = path.rfind('\\');
  if (backslash != std::string::npos) {
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && backslash < slash)
      return "Skipped: the name of its folder holds a backslash (\\), which tessaprint reads as a folder "
             "separator. Rename the folder to convert it.";
    return "Skipped: its name holds a backslash (\\), which tessaprint reads as a folder separator. Rename it to "
           "convert it.";
  }
  if (path.find_first_of("*?") != std::string::npos)
    return "Skipped: its path holds * or ?, which tessaprint reads as a wildcard, so other files would be converted "
           "with it. Rename it to convert it.";
  if (TrimBlanks(path) != path)
    return "Skipped: its name begins or ends with a blank, which tessaprint's command line drops. Rename it to "
           "convert it.";
  return "";
}

std::string ResultText(WorkRoutine routine, int32_t code) {
  const bool perFile = routine == WorkRoutine::kConvert;
  switch (code) {
    case 0:
      return "";
    case -6:
      if (routine == WorkRoutine::kConvertAndAppend) return "Unknown error occurred. Try 'Tessalumen' user interface.";
      break;
    case -5:
      return "File is corrupt, or not a valid image file.";
    case -3:
      return perFile ? "Missing command" : ", Missing command";
    case -2:
      return perFile ? "Incorrect command" : ", Incorrect command";
    default:
      break;
  }
  return (perFile ? "Unknown Error #:" : ", Unknown Error: ") + std::to_string(code);
}

std::string FileErrorLine(const std::string& input, const std::string& text) {
  return "Error: " + input + " - " + text;
}

std::string AutomationFailureText(int number) {
  return "Error (" + std::to_string(number) + ") This feature is for administrators only.";
}

}  // namespace tessa::ferrowick
