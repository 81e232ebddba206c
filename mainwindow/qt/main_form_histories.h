// The main form's history lists: recent job files (the File menu) and the
// editor's inputs, outputs, programs and arguments (their combo boxes), each
// kept in its own section of the settings file.
#pragma once

#include <string>

#include "common/mru_list.h"

class QAction;
class QMenu;
class QWidget;

namespace tessa {

class MainFormHistories {
 public:
  // Reads the lists: the recent job files always, the editor's four only for
  // a window (bWindow), filling their combo boxes under form.
  void Setup(bool bWindow, QWidget& form, bool& bGridUpdateByCode);
  // Writes every list back (nothing in a command-line or automation run).
  void WriteBack();

  // Adds the editor's current texts (by sActionToDo: "C" input and output,
  // "S" program and arguments) to their lists and refills the combo boxes;
  // each box keeps the text it had (an empty one stays empty).
  void Update(const std::string& sActionToDo, QWidget& form, bool& bGridUpdateByCode);

  // Makes path the newest recent job file.
  void AddJobFile(const std::string& path) { mruFileOpen.AddUniqueItemToCollection(path); }
  // The recent job file shown as menu entry index (1 the newest); "" for none.
  std::string JobFileAt(int index) const;

  clsMRU mruFileOpen;
  clsMRU mruSource;
  clsMRU mruTarget;
  clsMRU mruCommandLine;
  clsMRU mruCommandLineArguments;

 private:
  bool bWindow_ = false;
};

}  // namespace tessa
