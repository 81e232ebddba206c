// One stream object of a PDF file read by itself, its filters undone: the
// cross-reference streams and object streams an append reads near the end
// of a long file, without a document model.
#pragma once

#include <optional>
#include <string>

namespace quirepane {

struct StreamObject {
  int number = 0, generation = 0;
  std::string dictionary;  // "<<...>>" as written
  std::string data;        // decoded
};

// The stream object that starts at offset of the file open on fd (of
// fileSize bytes). nullopt when none starts there, its /Length is not a
// direct number of at most maxBytes, "endstream" does not follow its bytes,
// or its filters cannot be undone.
std::optional<StreamObject> ReadStreamObject(int fd, unsigned long long offset, unsigned long long fileSize,
                                             size_t maxBytes);

// The object numbered number that stands at index in an object stream, as
// "number 0 obj\n...\nendobj"; "" when the stream holds another one there
// or is not an object stream.
std::string ObjectInStream(const StreamObject& stream, int number, int index);

}  // namespace quirepane
