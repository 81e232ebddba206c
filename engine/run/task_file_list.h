// The files of a task: its input mask expanded through the file search into
// full file names, sorted without regard to letter case.
#pragma once

#include <string>
#include <vector>

#include "engine/task/conversion_options.h"

namespace tessa {

// Adds the files that sPath (a folder and mask, or one file) names to files,
// searching subfolders when task.bDoSubfolders is set. With bSort the list
// is then sorted, letter case ignored. When the search reports an error,
// the names found anyway are used if bContinueFileListingOnError allows;
// when none are left the result is false and task.sErr says why. A mask
// that matches nothing in an existing folder gives true and no names. The
// busy pointer shows meanwhile.
bool BuildFileListForItem(clsConversionOptions& task, const std::string& sPath, std::vector<std::string>& files,
                          bool bSort, bool bContinueFileListingOnError);

}  // namespace tessa
