// A small stand-in for a long PDF file that is about to grow by one more
// incremental update: the catalog, the last path of the page tree (its
// root, the last kid of each node, the last page) and the document
// information, read through the file's last few cross-reference sections
// only (tables or streams, out of the object streams that hold them), at
// their own object numbers. Opening it costs the same however many updates
// or pages the file already holds.
#pragma once

#include <optional>
#include <string>

namespace quirepane {

// The bytes of an in-memory PDF under the file's header that holds the objects named above, stand-ins
// for the objects they refer to (never to be written back), and the real
// file's /Root, /Info, /ID and /Size in its trailer. nullopt when the last
// section cannot be read, the file is encrypted, or the sections read do not
// list all of them; the caller then reads the whole file instead.
std::optional<std::string> ReadTailSnapshot(const std::string& path);

}  // namespace quirepane
