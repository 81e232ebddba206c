#include "pdfcontrol/recent_tables.h"

#include <algorithm>
#include <string_view>

#include "pdfcontrol/file_descriptor.h"
#include "pdfcontrol/object_text.h"

namespace quirepane {
namespace {

constexpr size_t kMaxTableBytes = 1u << 20;

bool IsSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0'; }

std::string_view Word(std::string_view text, size_t& p) {
  while (p < text.size() && IsSpace(text[p])) ++p;
  const size_t start = p;
  while (p < text.size() && !IsSpace(text[p])) ++p;
  return text.substr(start, p - start);
}

bool ToNumber(std::string_view word, unsigned long long& value) {
  if (word.empty() || word.size() > 12) return false;
  value = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return true;
}

}  // namespace

RecentTables::RecentTables(int fd, unsigned long long startxref, unsigned long long fileSize)
    : fd_(fd), fileSize_(fileSize) {
  Table newest;
  if (ReadTable(startxref, 0, newest)) tables_.push_back(std::move(newest));
}

bool RecentTables::ReadTable(unsigned long long offset, int depth, Table& table) const {
  if (offset >= fileSize_) return false;
  std::string text;
  size_t trailerAt = std::string::npos, end = std::string::npos;
  for (size_t chunk = 4096;; chunk *= 16) {
    text = ReadAt(fd_, offset, static_cast<size_t>(std::min<unsigned long long>(chunk, fileSize_ - offset)));
    trailerAt = text.find("trailer");
    end = trailerAt == std::string::npos ? std::string::npos : text.find("startxref", trailerAt);
    if (end != std::string::npos) break;
    if (text.size() < chunk || chunk >= kMaxTableBytes) return false;
  }
  const std::string_view section(text.data(), trailerAt);
  size_t p = 0;
  if (Word(section, p) != "xref") return false;
  while (p < section.size()) {
    const size_t at = p;
    unsigned long long first = 0, count = 0;
    const std::string_view word = Word(section, p);
    if (word.empty()) break;
    if (!ToNumber(word, first) || !ToNumber(Word(section, p), count) || first + count > (1u << 30)) return false;
    for (unsigned long long i = 0; i < count; ++i) {
      unsigned long long at2 = 0, generation = 0;
      if (!ToNumber(Word(section, p), at2) || !ToNumber(Word(section, p), generation) || generation > 65535) return false;
      const std::string_view type = Word(section, p);
      const int number = static_cast<int>(first + i);
      if (type == "n") {
        table.entries[number] = Entry{at2, static_cast<int>(generation), depth};
        table.freed.erase(number);
      } else if (type == "f") {
        table.entries.erase(number);
        table.freed[number] = true;
      } else {
        return false;
      }
    }
    if (p == at) return false;
  }
  table.trailer = text.substr(trailerAt + 7, end - trailerAt - 7);
  if (std::optional<TextValue> trailer = ParseObjectText(table.trailer)) {
    const TextValue* prev = trailer->Find("/Prev");
    if (prev && prev->Is(TextValue::Kind::Integer) && prev->number >= 0) {
      table.prev = static_cast<unsigned long long>(prev->number);
    }
  }
  return true;
}

std::optional<RecentTables::Entry> RecentTables::Find(int number) {
  if (!ok()) return std::nullopt;
  for (size_t i = 0;; ++i) {
    if (i == tables_.size()) {
      const Table& last = tables_.back();
      if (exhausted_ || !last.prev || tables_.size() >= static_cast<size_t>(kRecentTables)) return std::nullopt;
      Table older;
      if (!ReadTable(*last.prev, static_cast<int>(tables_.size()), older)) {
        exhausted_ = true;
        return std::nullopt;
      }
      tables_.push_back(std::move(older));
    }
    const Table& table = tables_[i];
    if (auto it = table.entries.find(number); it != table.entries.end()) return it->second;
    if (table.freed.count(number)) return std::nullopt;
  }
}

}  // namespace quirepane
