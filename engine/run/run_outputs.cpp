#include "engine/run/run_outputs.h"

#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>

namespace tessa {

namespace {

namespace fs = std::filesystem;

constexpr size_t kRandomPart = 6;  // the characters mkstemp chooses

// The output name a hidden work file belongs to: ".<name>.XXXXXX" with an
// optional ".pdf" after it; "" for any other name. A word of small letters
// only (".a.pdf.backup") is taken for a name a person chose.
std::string OwnerOf(std::string name) {
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".pdf") == 0) name.resize(name.size() - 4);
  if (name.size() < kRandomPart + 3 || name[0] != '.' || name[name.size() - kRandomPart - 1] != '.') return "";
  bool chosen = true;
  for (size_t i = name.size() - kRandomPart; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (!std::isalnum(c)) return "";
    chosen = chosen && std::islower(c);
  }
  return chosen ? "" : name.substr(1, name.size() - kRandomPart - 2);
}

// The work files are PDFs, whole or begun, or empty.
bool HoldsPdfOrNothing(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  char head[5] = {};
  in.read(head, sizeof head);
  return in.gcount() == 0 || (in.gcount() == 5 && std::string(head, 5) == "%PDF-");
}

}  // namespace

void RunOutputs::Clear() {
  written_.clear();
  hidden_.clear();
}

std::string RunOutputs::Key(const std::string& sOutput) {
  std::error_code ec;
  fs::path path = fs::absolute(sOutput, ec);
  if (ec) path = sOutput;
  const fs::path folder = fs::weakly_canonical(path.parent_path(), ec);
  return ((ec ? path.parent_path() : folder) / path.filename()).lexically_normal().string();
}

bool RunOutputs::bWrittenBefore(const std::string& sOutput) const { return written_.count(Key(sOutput)) != 0; }

void RunOutputs::NoteWritten(const std::string& sOutput) { written_.insert(Key(sOutput)); }

void RunOutputs::RemoveLeftoversOf(const std::string& sOutput) {
  const fs::path key(Key(sOutput));
  const std::string folder = key.parent_path().string();
  auto found = hidden_.find(folder);
  if (found == hidden_.end()) {
    auto& byOwner = hidden_[folder];
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string owner = OwnerOf(it->path().filename().string());
      if (!owner.empty() && it->is_regular_file(ec) && HoldsPdfOrNothing(it->path()))
        byOwner[owner].push_back(it->path().string());
    }
    found = hidden_.find(folder);
  }
  auto files = found->second.find(key.filename().string());
  if (files == found->second.end()) return;
  for (const std::string& file : files->second) ::unlink(file.c_str());
  found->second.erase(files);
}

}  // namespace tessa
