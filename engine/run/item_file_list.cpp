#include "engine/run/item_file_list.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/work_file_journal.h"

namespace tessa {

namespace {

// Creates sPath only when nothing is there yet; notes it as a work file and
// claims it while it is in use.
bool CreateExclusive(const std::string& sPath, std::vector<TempFileClaim>& claims) {
  const int fd = ::open(sPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  claims.push_back(TempFileClaim::Adopt(fd));
  NoteWorkFile(sPath);
  return true;
}

std::string MakePrivateFolder() {
  std::error_code ec;
  std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) base = "/tmp";
  std::string pattern = (base / "tessaprint-frames-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) return "";
  NoteWorkFile(pattern);
  return pattern;
}

}  // namespace

ItemFileList::~ItemFileList() { Clear(); }

std::string ItemFileList::FrameFileName(const std::string& sInput, int32_t lPage) {
  // The input's name is a name: a "\" in it never makes a folder.
  const std::filesystem::path input(sInput);
  std::string name = input.stem().string() + "-ZOL_TEMP_FILE-" + std::to_string(lPage);
  const std::string extension = input.extension().string();  // with its dot
  if (extension.size() > 1) name += extension;
  return (input.parent_path() / name).string();
}

std::string ItemFileList::ReserveFrameFile(const std::string& sInput, int32_t lPage) {
  const std::string beside = FrameFileName(sInput, lPage);
  if (CreateExclusive(beside, claims_)) {
    reserved_.push_back(beside);
    return beside;
  }
  if (privateFolder_.empty()) privateFolder_ = MakePrivateFolder();
  if (privateFolder_.empty()) return "";
  // The same name inside, or a short one when that name is too long.
  const std::filesystem::path name = std::filesystem::path(beside).filename();
  for (const std::string& inside : {privateFolder_ + "/" + name.string(),
                                    privateFolder_ + "/ZOL_TEMP_FILE-" + std::to_string(lPage) +
                                        name.extension().string()}) {
    if (CreateExclusive(inside, claims_)) {
      reserved_.push_back(inside);
      return inside;
    }
  }
  return "";
}

void ItemFileList::Clear() {
  for (const std::string& f : reserved_) ::unlink(f.c_str());
  reserved_.clear();
  claims_.clear();
  if (!privateFolder_.empty()) {
    ::rmdir(privateFolder_.c_str());
    privateFolder_.clear();
  }
  entries_.clear();
}

}  // namespace tessa
