#include "pdfcontrol/recent_tables.h"

#include <algorithm>
#include <set>
#include <sstream>
#include <string_view>

#include "pdfcontrol/file_descriptor.h"
#include "pdfcontrol/object_text.h"
#include "pdfcontrol/pdf_syntax.h"

namespace quirepane {
namespace {

constexpr size_t kMaxTableBytes = 1u << 20;
constexpr size_t kMaxObjectBytes = 16u << 20;

std::string_view Word(std::string_view text, size_t& p) {
  while (p < text.size() && IsPdfWhiteSpace(text[p])) ++p;
  const size_t start = p;
  while (p < text.size() && !IsPdfWhiteSpace(text[p])) ++p;
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

// "n g obj ... endobj" starting at offset, or "" when it is not there.
std::string ObjectAt(int fd, unsigned long long offset, QPDFObjGen og) {
  std::string text;
  for (size_t chunk = 4u << 10; text.size() < kMaxObjectBytes; chunk *= 2) {
    text = ReadAt(fd, offset, chunk);
    const size_t end = text.find("endobj");
    if (end != std::string::npos) {
      text.resize(end + 6);
      break;
    }
    if (text.size() < chunk) return "";
  }
  std::istringstream head(text);
  int n = -1, g = -1;
  std::string keyword;
  head >> n >> g >> keyword;
  if (n != og.getObj() || g != og.getGen() || keyword.rfind("obj", 0) != 0) return "";
  return text;
}

// The field of width bytes at data[at], most significant byte first.
unsigned long long Field(const std::string& data, size_t at, size_t width) {
  unsigned long long value = 0;
  for (size_t i = 0; i < width; ++i) value = (value << 8) | static_cast<unsigned char>(data[at + i]);
  return value;
}

}  // namespace

RecentTables::RecentTables(int fd, unsigned long long startxref, unsigned long long fileSize)
    : fd_(fd), fileSize_(fileSize) {
  Table newest;
  if (ReadSection(startxref, 0, newest)) tables_.push_back(std::move(newest));
}

bool RecentTables::ReadSection(unsigned long long offset, int depth, Table& table) const {
  if (offset >= fileSize_) return false;
  const bool plain = ReadTable(offset, depth, table);
  if (!plain && !ReadStreamTable(offset, depth, table)) return false;
  const std::optional<TextValue> trailer = ParseObjectText(table.trailer);
  if (!trailer || !trailer->Is(TextValue::Kind::Dictionary)) return false;
  if (const TextValue* prev = trailer->Find("/Prev"); prev && prev->Is(TextValue::Kind::Integer) && prev->number >= 0) {
    table.prev = static_cast<unsigned long long>(prev->number);
  }
  if (const TextValue* size = trailer->Find("/Size"); size && size->Is(TextValue::Kind::Integer)) table.size = size->number;
  // A hybrid section: the stream's entries stand behind the table's own
  // in-use entries and before its free ones.
  if (const TextValue* hybrid = trailer->Find("/XRefStm"); plain && hybrid) {
    Table stream;
    if (!hybrid->Is(TextValue::Kind::Integer) || hybrid->number < 0 ||
        !ReadStreamTable(static_cast<unsigned long long>(hybrid->number), depth, stream)) {
      return false;
    }
    for (const auto& [number, entry] : stream.entries) {
      if (table.entries.emplace(number, entry).second) table.freed.erase(number);
    }
    for (const auto& [number, freed] : stream.freed) {
      if (!table.entries.count(number)) table.freed[number] = true;
    }
  }
  if (!table.entries.empty()) table.highest = table.entries.rbegin()->first;
  if (!table.freed.empty()) table.highest = std::max(table.highest, static_cast<long long>(table.freed.rbegin()->first));
  return true;
}

bool RecentTables::ReadTable(unsigned long long offset, int depth, Table& table) const {
  std::string text;
  size_t trailerAt = std::string::npos, end = std::string::npos;
  for (size_t chunk = 4096;; chunk *= 16) {
    text = ReadAt(fd_, offset, static_cast<size_t>(std::min<unsigned long long>(chunk, fileSize_ - offset)));
    size_t first = 0;
    if (Word(text, first) != "xref") return false;  // a stream, or nothing
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
    if (!ToNumber(word, first) || !ToNumber(Word(section, p), count) || first + count > kMaxObjectNumber) return false;
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
  return true;
}

bool RecentTables::ReadStreamTable(unsigned long long offset, int depth, Table& table) const {
  const std::optional<StreamObject> stream = ReadStreamObject(fd_, offset, fileSize_, kMaxTableBytes);
  const std::optional<TextValue> dict = stream ? ParseObjectText(stream->dictionary) : std::nullopt;
  if (!dict || !dict->Is(TextValue::Kind::Dictionary)) return false;
  const TextValue* type = dict->Find("/Type");
  const TextValue* widths = dict->Find("/W");
  if (!type || type->text != "/XRef" || !widths || !widths->Is(TextValue::Kind::Array) || widths->items.size() != 3) {
    return false;
  }
  size_t w[3] = {0, 0, 0};
  for (size_t k = 0; k < 3; ++k) {
    const TextValue& item = widths->items[k];
    if (!item.Is(TextValue::Kind::Integer) || item.number < 0 || item.number > 8) return false;
    w[k] = static_cast<size_t>(item.number);
  }
  const size_t row = w[0] + w[1] + w[2];
  // Runs of (first object, count); the whole /Size from 0 without /Index.
  std::vector<unsigned long long> runs;
  if (const TextValue* index = dict->Find("/Index")) {
    if (!index->Is(TextValue::Kind::Array) || index->items.size() % 2 != 0) return false;
    for (const TextValue& item : index->items) {
      if (!item.Is(TextValue::Kind::Integer) || item.number < 0) return false;
      runs.push_back(static_cast<unsigned long long>(item.number));
    }
  } else {
    const TextValue* size = dict->Find("/Size");
    if (!size || !size->Is(TextValue::Kind::Integer) || size->number < 0) return false;
    runs = {0, static_cast<unsigned long long>(size->number)};
  }
  const std::string& data = stream->data;
  size_t at = 0;
  for (size_t r = 0; r < runs.size(); r += 2) {
    if (runs[r] + runs[r + 1] > kMaxObjectNumber) return false;
    for (unsigned long long i = 0; i < runs[r + 1]; ++i, at += row) {
      if (row == 0 || at + row > data.size()) return false;
      // A type field of no bytes means 1: in use at an offset.
      const unsigned long long kind = w[0] == 0 ? 1 : Field(data, at, w[0]);
      const unsigned long long second = Field(data, at + w[0], w[1]), third = Field(data, at + w[0] + w[1], w[2]);
      const int number = static_cast<int>(runs[r] + i);
      if (kind == 0) {
        table.entries.erase(number);
        table.freed[number] = true;
      } else if (kind == 1 && third <= 65535) {
        table.entries[number] = Entry{second, static_cast<int>(third), depth};
        table.freed.erase(number);
      } else if (kind == 2 && second > 0 && second < kMaxObjectNumber && third < kMaxObjectNumber) {
        table.entries[number] = Entry{0, 0, depth, static_cast<int>(second), static_cast<int>(third)};
        table.freed.erase(number);
      } else {
        return false;
      }
    }
  }
  table.trailer = stream->dictionary;
  return true;
}

bool RecentTables::ReadOlder() {
  const Table& last = tables_.back();
  if (exhausted_ || !last.prev || tables_.size() >= static_cast<size_t>(kRecentTables)) return false;
  Table older;
  if (!ReadSection(*last.prev, static_cast<int>(tables_.size()), older)) {
    exhausted_ = true;
    return false;
  }
  tables_.push_back(std::move(older));
  return true;
}

std::optional<RecentTables::Entry> RecentTables::Find(int number) {
  if (!ok()) return std::nullopt;
  for (size_t i = 0;; ++i) {
    if (i == tables_.size() && !ReadOlder()) return std::nullopt;
    const Table& table = tables_[i];
    if (auto it = table.entries.find(number); it != table.entries.end()) return it->second;
    if (table.freed.count(number)) return std::nullopt;
  }
}

long long RecentTables::NextObjectNumber() {
  if (!ok() || (tables_.size() == 1 && tables_.front().prev && !ReadOlder())) return 0;
  long long next = 0;
  bool agree = true;
  for (size_t i = 0; i < tables_.size(); ++i) {
    const Table& table = tables_[i];
    next = std::max({next, table.size, table.highest + 1});
    agree = agree && table.highest < table.size && (i + 1 == tables_.size() || table.size >= tables_[i + 1].size);
  }
  if (agree) return next < kMaxObjectNumber ? next : 0;
  // Every section, newest first, each read once however the chain loops.
  std::set<unsigned long long> seen;
  for (std::optional<unsigned long long> at = tables_.front().prev; at; ) {
    Table table;
    if (!seen.insert(*at).second || !ReadSection(*at, 0, table)) return 0;
    next = std::max({next, table.size, table.highest + 1});
    at = table.prev;
  }
  return next < kMaxObjectNumber ? next : 0;
}

std::string RecentTables::ObjectText(QPDFObjGen og) {
  const std::optional<Entry> entry = Find(og.getObj());
  if (!entry || entry->generation != og.getGen()) return "";
  if (entry->stream == 0) return ObjectAt(fd_, entry->offset, og);
  auto held = objectStreams_.find(entry->stream);
  if (held == objectStreams_.end()) {
    std::optional<StreamObject> stream;
    const std::optional<Entry> where = Find(entry->stream);
    if (where && where->stream == 0) stream = ReadStreamObject(fd_, where->offset, fileSize_, kMaxObjectBytes);
    if (stream && (stream->number != entry->stream || stream->generation != where->generation)) stream.reset();
    held = objectStreams_.emplace(entry->stream, std::move(stream)).first;
  }
  return held->second ? ObjectInStream(*held->second, og.getObj(), entry->index) : "";
}

}  // namespace quirepane
