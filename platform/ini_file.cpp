#include "platform/ini_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/text_file.h"

namespace tessa {

namespace {

struct Line {
  std::string text;  // without its line end
  std::string eol;   // "\r\n", "\n" or "" for a last line without one
};

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

std::vector<Line> SplitLines(const std::string& text) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t lf = text.find('\n', start);
    Line line;
    if (lf == std::string::npos) {
      line.text = text.substr(start);
      start = text.size();
    } else {
      line.text = text.substr(start, lf - start);
      line.eol = "\n";
      start = lf + 1;
    }
    if (!line.text.empty() && line.text.back() == '\r') {
      line.text.pop_back();
      line.eol = "\r" + line.eol;
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

// The section name of a "[name]" line.
std::optional<std::string> SectionOf(const std::string& text) {
  const std::string t = Trim(text);
  if (t.empty() || t[0] != '[') return std::nullopt;
  const auto close = t.find(']');
  if (close == std::string::npos) return std::nullopt;
  return Trim(t.substr(1, close - 1));
}

// The key name of a "key=value" line (comments have none).
std::optional<std::string> KeyOf(const std::string& text) {
  const std::string t = Trim(text);
  if (t.empty() || t[0] == ';') return std::nullopt;
  const auto eq = t.find('=');
  if (eq == std::string::npos) return std::nullopt;
  return Trim(t.substr(0, eq));
}

std::string ValueOf(const std::string& text) {
  std::string v = Trim(text.substr(text.find('=') + 1));
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return v;
}

// What tells one version of a file from another: a write by rename makes a
// new file, any other write changes the size or the times.
struct FileStamp {
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  timespec mtime{};
  timespec ctime{};

  bool operator==(const FileStamp& o) const {
    return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
           mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec;
  }
};

std::optional<FileStamp> StampOf(const std::string& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileStamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

// The decoded text of every INI file this process read or wrote, with the
// stamp of the version it came from, so that a run reads each file once: a
// file whose stamp is unchanged is not opened again.
struct KnownText {
  FileStamp stamp;
  std::string text;
};
std::mutex& KnownTextsMutex() {
  static std::mutex m;
  return m;
}
std::map<std::string, KnownText>& KnownTexts() {
  static std::map<std::string, KnownText> texts;
  return texts;
}

// True when a later write in place could leave the stamp as it is: file
// times move in coarse steps, so only a version at least a second old is
// told apart from any later one by its times.
bool bRecentlyChanged(const FileStamp& stamp) {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return now.tv_sec - stamp.mtime.tv_sec < 2;
}

// The file's text, from memory while the file is unchanged; nullopt when the
// file cannot be read (error then says why). The stamp is taken before the
// read, so a file that changes meanwhile is read again next time, and so is
// a file that changed just now.
std::optional<std::string> CurrentText(const std::string& path, std::string* error = nullptr) {
  const std::lock_guard guard(KnownTextsMutex());
  auto& known = KnownTexts();
  const auto stamp = StampOf(path);
  if (const auto it = known.find(path); it != known.end()) {
    if (stamp && it->second.stamp == *stamp) return it->second.text;
    known.erase(it);
  }
  auto decoded = ReadTextFile(path, error);
  if (!decoded) return std::nullopt;
  if (stamp && !bRecentlyChanged(*stamp)) known[path] = KnownText{*stamp, decoded->text};
  return std::move(decoded->text);
}

// Notes the text this process has just written to path under its write
// lock: the file is one of its own making, replaced only by a rename.
void NoteWrittenText(const std::string& path, const std::string& text) {
  const std::lock_guard guard(KnownTextsMutex());
  if (const auto stamp = StampOf(path)) KnownTexts()[path] = KnownText{*stamp, DecodeTextBytes(text).text};
  else KnownTexts().erase(path);
}

std::string LoadText(const std::string& path) { return CurrentText(path).value_or(std::string()); }

std::string FolderOf(const std::string& path) {
  const auto parent = std::filesystem::path(path).parent_path();
  return parent.empty() ? "." : parent.string();
}

// Locks held by this process, by folder: the descriptor and how many
// IniWriteLock objects share it.
struct HeldLock {
  int fd = -1;
  int count = 0;
};
std::recursive_mutex& ProcessMutex() {
  static std::recursive_mutex m;
  return m;
}
std::map<std::string, HeldLock>& HeldLocks() {
  static std::map<std::string, HeldLock> locks;
  return locks;
}

}  // namespace

IniWriteLock::IniWriteLock(const std::string& path) : folder_(FolderOf(path)) {
  ProcessMutex().lock();
  auto& held = HeldLocks()[folder_];
  if (held.count == 0) {
    held.fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (held.fd >= 0) {
      int rc;
      do rc = ::flock(held.fd, LOCK_EX);
      while (rc != 0 && errno == EINTR);
      if (rc != 0) {
        ::close(held.fd);
        held.fd = -1;
      }
    }
  }
  ++held.count;
  held_ = held.fd >= 0;
}

IniWriteLock::~IniWriteLock() {
  auto& locks = HeldLocks();
  auto it = locks.find(folder_);
  if (it != locks.end() && --it->second.count == 0) {
    if (it->second.fd >= 0) ::close(it->second.fd);  // closing drops the lock
    locks.erase(it);
  }
  ProcessMutex().unlock();
}

std::string ReadIniString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& def) {
  if (path.empty()) return def;
  const std::string wantSection = Trim(section), wantKey = Trim(key);
  bool inSection = false;
  for (const Line& line : SplitLines(LoadText(path))) {
    if (auto name = SectionOf(line.text)) {
      if (inSection) break;  // only the first section of the name counts
      inSection = SameName(*name, wantSection);
      continue;
    }
    if (!inSection) continue;
    if (auto k = KeyOf(line.text); k && SameName(*k, wantKey)) return ValueOf(line.text);
  }
  return def;
}

bool WriteIniString(const std::string& path, const std::string& section,
                    const std::string& key, const std::string& value, std::string* error) {
  auto refuse = [&](const std::string& why) {
    if (error) *error = "Cannot write to \"" + path + "\": " + why;
    return false;
  };
  const std::string wantSection = Trim(section), wantKey = Trim(key);
  if (path.empty()) return refuse("no settings file");
  if (value.find_first_of("\r\n") != std::string::npos)
    return refuse("the value of " + wantKey + " holds a line break");
  if (wantKey.empty() || wantKey.find_first_of("=\r\n") != std::string::npos || wantKey[0] == ';' ||
      wantKey[0] == '[')
    return refuse("\"" + key + "\" is not a usable key name");
  if (wantSection.find_first_of("]\r\n") != std::string::npos)
    return refuse("\"" + section + "\" is not a usable section name");

  IniWriteLock lock(path);
  // A file that is there but cannot be read would be replaced by the one
  // new key: refuse instead.
  std::string readError;
  const auto current = CurrentText(path, &readError);
  struct stat st{};
  if (!current && ::stat(path.c_str(), &st) == 0) {
    if (error) *error = readError;
    return false;
  }
  std::vector<Line> lines = SplitLines(current.value_or(std::string()));
  std::string eol = "\n";
  // A lone CR can only end the last line; it is no line end to copy.
  auto ended = [](const Line& l) { return !l.eol.empty() && l.eol != "\r"; };
  for (const Line& l : lines)
    if (ended(l)) {
      eol = l.eol;
      break;
    }

  // Find the first matching section, its first matching key and its last
  // non-blank line.
  std::optional<size_t> sectionAt, keyAt, lastInSection;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (auto name = SectionOf(lines[i].text)) {
      if (sectionAt) break;
      if (SameName(*name, wantSection)) {
        sectionAt = i;
        lastInSection = i;
      }
      continue;
    }
    if (!sectionAt) continue;
    if (!Trim(lines[i].text).empty()) lastInSection = i;
    if (auto k = KeyOf(lines[i].text); k && SameName(*k, wantKey)) {
      keyAt = i;
      break;
    }
  }

  if (keyAt) {
    const std::string& old = lines[*keyAt].text;
    const auto keyStart = old.find_first_not_of(" \t");
    lines[*keyAt].text = old.substr(0, keyStart) + *KeyOf(old) + "=" + value;
  } else if (sectionAt) {
    const size_t at = *lastInSection;
    if (!ended(lines[at])) lines[at].eol = eol;
    lines.insert(lines.begin() + static_cast<long>(at) + 1, Line{wantKey + "=" + value, eol});
  } else {
    if (!lines.empty() && !ended(lines.back())) lines.back().eol = eol;
    lines.push_back(Line{"[" + wantSection + "]", eol});
    lines.push_back(Line{wantKey + "=" + value, eol});
  }

  std::string text;
  for (const Line& l : lines) text += l.text + l.eol;
  std::string why;
  if (!WriteTextFileAtomic(path, text, &why)) {
    if (error) *error = why;
    return false;
  }
  // Under the write lock, the file is still the one just written.
  NoteWrittenText(path, text);
  return true;
}

}  // namespace tessa
