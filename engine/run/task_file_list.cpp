#include "engine/run/task_file_list.h"

#include "common/file_search.h"
#include "common/page_list.h"
#include "common/translator.h"
#include "platform/user_interface.h"

namespace tessa {

bool BuildFileListForItem(clsConversionOptions& task, const std::string& sPath, std::vector<std::string>& files,
                          bool bSort, bool bContinueFileListingOnError) {
  BusyPointer busy;
  CFileSearch search;
  const int32_t rc = search.BuildFileList(sPath, task.bDoSubfolders, bContinueFileListingOnError);
  std::vector<std::string> found;
  if (rc == 0 || bContinueFileListingOnError) {
    found.reserve(search.Files().size());
    for (const auto& f : search.Files()) found.push_back(f.Filename());
  }
  if (rc != 0 && found.empty()) {
    task.sErr = Translate("An error occured while searching for files: ") + std::to_string(search.LastErrorNumber()) +
                " : " + search.LastErrorDescription();
    return false;
  }
  files.insert(files.end(), found.begin(), found.end());
  if (bSort) files = SortCollection(files, false);
  return true;
}

}  // namespace tessa
