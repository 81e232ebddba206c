// What one run has done to its outputs: the outputs an input of the run
// wrote whole (a later input of the same run with the same output fails
// instead of replacing it), and the hidden work files that killed runs left
// beside the outputs, found once per folder and removed under each output's
// lock.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace tessa {

class RunOutputs {
 public:
  // A new run: nothing written yet.
  void Clear();

  // True when an earlier input of this run wrote sOutput.
  bool bWrittenBefore(const std::string& sOutput) const;
  void NoteWritten(const std::string& sOutput);

  // While this process holds sOutput's lock: removes the hidden work files
  // of sOutput (".<name>.XXXXXX" and ".<name>.XXXXXX.pdf") that lay beside
  // it when its folder was first looked at in this run. Under the lock no
  // live writer of sOutput can own them.
  void RemoveLeftoversOf(const std::string& sOutput);

  // The output's key: its absolute, normalised path.
  static std::string Key(const std::string& sOutput);

 private:
  std::set<std::string> written_;
  // folder -> output name -> hidden work files of that output
  std::map<std::string, std::map<std::string, std::vector<std::string>>> hidden_;
};

}  // namespace tessa
