// Reading text files in whatever encoding they were saved in (UTF-16 by its
// byte-order mark, else UTF-8, else Windows-1252) and writing them as UTF-8.
// Line ends, tabs and every other character are kept exactly as they are.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

enum class TextEncoding {
  Utf8,          // no byte-order mark (plain ASCII reads as this)
  Utf8Bom,       // EF BB BF first
  Utf16LE,       // FF FE first
  Utf16BE,       // FE FF first
  Windows1252,   // bytes that are not valid UTF-8
};

// Text of a file turned into UTF-8, with the encoding it was found in.
struct DecodedText {
  std::string text;
  TextEncoding encoding = TextEncoding::Utf8;
};

// Decodes raw file bytes: UTF-16 when they begin with its byte-order mark,
// else UTF-8 (a UTF-8 mark is skipped) when they are valid UTF-8, else
// Windows-1252. Never fails; unpaired UTF-16 halves become U+FFFD.
DecodedText DecodeTextBytes(std::string_view bytes);

// Decodes UTF-16 bytes without a mark (little- or big-endian) into UTF-8.
std::string DecodeUtf16(std::string_view bytes, bool bigEndian);

// Turns UTF-8 text into bytes of the given encoding, without a byte-order
// mark. Characters that Windows-1252 cannot hold become "?".
std::string EncodeText(std::string_view utf8, TextEncoding encoding);

// The byte-order mark that files of this encoding begin with ("" for none).
std::string ByteOrderMark(TextEncoding encoding);

// The text for a failed system call on path: what, the path in quotes and
// the reason errno gives. Call it before anything else can change errno.
std::string SystemError(const std::string& path, const std::string& what);

// The same failure as an exception for writers that throw: what() is
// SystemError's text, code() keeps errno's code so that the reason can be
// told apart from the rest.
std::system_error SystemFailure(const std::string& path, const std::string& what);

// Writes every byte of bytes to fd, going on after a signal or a short
// write. False (errno set) when the file takes no more.
bool WriteAllBytes(int fd, std::string_view bytes);

// True when bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

// Reads a whole text file and decodes it. nullopt when it cannot be read;
// error (when given) then names the file and the reason.
std::optional<DecodedText> ReadTextFile(const std::string& path, std::string* error = nullptr);

// Writes utf8 as the whole file: to a temporary name in the same folder,
// flushed, then renamed over path, so a failed write leaves any old file
// as it was. The folder must exist. False on failure, with error set.
bool WriteTextFileAtomic(const std::string& path, std::string_view utf8,
                         std::string* error = nullptr);

// The first n bytes of a file (fewer when it is shorter); "" when it cannot
// be read.
std::string ReadFileHead(const std::string& path, size_t n);

// Reads raw bytes of a file; nullopt when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path, std::string* error = nullptr);

// Writes bytes to path through a temporary file and a rename. A file that
// already exists keeps its permission bits; one that may not be written is
// left alone. False on failure, error set.
bool WriteFileBytesAtomic(const std::string& path, std::string_view bytes,
                          std::string* error = nullptr);

}  // namespace tessa
