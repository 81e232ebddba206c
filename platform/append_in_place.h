// Bytes written in place after the end of a file (the incremental update of
// a PDF) so that a writer stopped part-way, by kill -9, a crash or a machine
// that goes down, leaves no torn tail that outlives the next touch of the
// file: a note beside the file, on disk before the first byte is, says how
// long the file was and what is to follow; the note goes once the bytes are
// on disk, and a note left behind lets the next touch cut away what its
// writer did not finish.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

// Writes bytes at oldSize, the end of the file open for writing on fd that
// path names, and flushes them to disk. Every write in place into an
// existing file goes through here, holding the file's output lock. 0 when
// done; else the system's error code, with the file cut back to oldSize and
// what naming the step that failed and its file ("Cannot append to
// \"/a/b.pdf\"").
int AppendInPlace(int fd, const std::string& path, std::string_view bytes, uint64_t oldSize, std::string& what);

// What MendTornAppend found and did.
enum class TornAppendMend {
  kNoNote,        // no note of an append to path, or one that counts for nothing
  kCut,           // path was cut back to its noted length; the note is gone
  kNothingToCut,  // path holds no torn tail of the noted append; the note is gone
  kUnsettled,     // path could not be read or cut to tell; the note stays
};

// When the note of an append to path is left, that append's writer is gone:
// cuts path back to the noted length when the writer did not write all it
// noted, and drops the note. Cuts only a tail that starts with the noted
// append's first bytes, so never a complete append, nor another program's
// update, nor a file that has since been replaced, changed before the noted
// length, shortened or extended past the append. A note owned by neither the
// user running nor path's owner counts for nothing. Call it holding path's
// output lock, before path is read for a change; a path that is gone loses
// its note.
TornAppendMend MendTornAppend(const std::string& path);

}  // namespace tessa
