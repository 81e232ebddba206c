// The last few cross-reference sections of a PDF file, tables or streams,
// read newest first and only as far back as an object asked for needs.
// Updates written here list the catalog and the document information again
// only every so many appends, so an append finds them a few sections back
// at most. A table whose trailer names a cross-reference stream (/XRefStm,
// a hybrid file) reads with that stream's entries: the table's own in-use
// entries first, then the stream's, then the table's free ones.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include <qpdf/QPDFObjGen.hh>

#include "pdfcontrol/stream_object.h"

namespace quirepane {

// Most tables looked through, the newest included.
constexpr int kRecentTables = 16;

class RecentTables {
 public:
  struct Entry {
    unsigned long long offset = 0;
    int generation = 0;
    int depth = 0;  // 0: the newest table lists it; 1: the one before ...
    int stream = 0;  // the object stream that holds it at index, or 0
    int index = 0;
  };

  // Reads the section at startxref (the newest) of the file open on fd;
  // ok() is false when it is neither a table nor a cross-reference stream.
  RecentTables(int fd, unsigned long long startxref, unsigned long long fileSize);

  bool ok() const { return !tables_.empty(); }

  // Where the newest table listing object number has it, looking back
  // through at most kRecentTables tables; nullopt when none of them lists it
  // in use (or one of them cannot be read).
  std::optional<Entry> Find(int number);

  // The newest table's trailer's text (a stream's dictionary).
  const std::string& NewestTrailer() const { return tables_.front().trailer; }

  // The lowest number a new object may take: above every /Size and every
  // number listed in the sections read so far, the newest and the one
  // before it at least. When they disagree (a section lists a number at or
  // above its own /Size, or states a /Size below the one before it), every
  // section back to the first is read and the number lies above all they
  // list. 0 when a section that must be read cannot be, or the number would
  // reach kMaxObjectNumber.
  long long NextObjectNumber();

  // "n g obj ... endobj" of og where the tables place it, read from the file
  // or out of the object stream that holds it; "" when they do not list it
  // or it is not there.
  std::string ObjectText(QPDFObjGen og);

 private:
  struct Table {
    std::map<int, Entry> entries;
    std::map<int, bool> freed;
    std::string trailer;
    std::optional<unsigned long long> prev;
    long long size = 0;    // the trailer's /Size
    long long highest = -1;  // the highest number listed, in use or free
  };
  // Reads the table before the oldest read so far; false when there is
  // none within reach or it cannot be read.
  bool ReadOlder();
  // The section at offset, a table or a stream, whichever stands there.
  bool ReadSection(unsigned long long offset, int depth, Table& table) const;
  bool ReadTable(unsigned long long offset, int depth, Table& table) const;
  bool ReadStreamTable(unsigned long long offset, int depth, Table& table) const;

  int fd_;
  unsigned long long fileSize_;
  std::vector<Table> tables_;
  bool exhausted_ = false;
  std::map<int, std::optional<StreamObject>> objectStreams_;
};

}  // namespace quirepane
