// One request handed to the Process object: which work routine to run and
// the copies of the caller's arguments it works from.
#pragma once

#include <string>
#include <vector>

namespace tessa::ferrowick {

enum class RunKind {
  kConvert,           // ProcessFiles: one PDF per input
  kAppend,            // AppendFiles: every input appended to outFile
  kConvertAndAppend,  // ConvertAndAppendFiles: one new Vemo-Output.PDF
};

struct RunRequest {
  RunKind kind = RunKind::kConvert;
  std::vector<std::string> files;  // the chosen paths at 1..n; element 0 unused
  std::string parameters;          // kept, never read: each command is built anew
  bool overwrite = false;
  bool openFile = false;
  bool doSubfolders = false;
  bool saveToOriginalFolder = false;
  std::string lowestBranch;  // the first chosen path: decides the root folder
  std::string outFile;       // the PDF to append to
};

}  // namespace tessa::ferrowick
