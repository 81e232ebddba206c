#include "platform/text_file.h"

#include "platform/sibling_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace tessa {

namespace {

// Code points of the bytes 0x80-0x9F in Windows-1252; the five unassigned
// bytes keep their own value, as the system's converter does.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at i; returns false on a malformed one.
bool NextUtf8(std::string_view s, size_t& i, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  int len;
  if (b0 < 0x80) { cp = b0; len = 1; }
  else if (b0 >= 0xC2 && b0 <= 0xDF) { cp = b0 & 0x1F; len = 2; }
  else if (b0 >= 0xE0 && b0 <= 0xEF) { cp = b0 & 0x0F; len = 3; }
  else if (b0 >= 0xF0 && b0 <= 0xF4) { cp = b0 & 0x07; len = 4; }
  else return false;
  if (i + len > s.size()) return false;
  for (int k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (b & 0x3F);
  }
  if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return false;
  i += len;
  return true;
}

std::string DecodeCp1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) out += c;
    else if (b < 0xA0) AppendUtf8(out, kCp1252High[b - 0x80]);
    else AppendUtf8(out, b);
  }
  return out;
}

char EncodeCp1252Char(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (int k = 0; k < 32; ++k)
    if (kCp1252High[k] == cp) return static_cast<char>(0x80 + k);
  return '?';
}

}  // namespace

bool WriteAllBytes(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = ENOSPC;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string SystemError(const std::string& path, const std::string& what) {
  return what + " \"" + path + "\": " + std::strerror(errno);
}

std::system_error SystemFailure(const std::string& path, const std::string& what) {
  const int code = errno;
  return std::system_error(code, std::generic_category(), what + " \"" + path + "\"");
}


bool IsValidUtf8(std::string_view bytes) {
  size_t i = 0;
  char32_t cp;
  while (i < bytes.size())
    if (!NextUtf8(bytes, i, cp)) return false;
  return true;
}

std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  auto unit = [&](size_t i) -> char32_t {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (a << 8 | b) : (b << 8 | a);
  };
  const size_t n = bytes.size() & ~size_t{1};
  for (size_t i = 0; i < n; i += 2) {
    char32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < n) {
      const char32_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    if (u >= 0xD800 && u <= 0xDFFF) u = 0xFFFD;
    AppendUtf8(out, u);
  }
  return out;
}

DecodedText DecodeTextBytes(std::string_view bytes) {
  DecodedText d;
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    d.encoding = TextEncoding::Utf16LE;
    d.text = DecodeUtf16(bytes.substr(2), false);
  } else if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') {
    d.encoding = TextEncoding::Utf16BE;
    d.text = DecodeUtf16(bytes.substr(2), true);
  } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    d.encoding = TextEncoding::Utf8Bom;
    bytes.remove_prefix(3);
    d.text = IsValidUtf8(bytes) ? std::string(bytes) : DecodeCp1252(bytes);
  } else if (IsValidUtf8(bytes)) {
    d.encoding = TextEncoding::Utf8;
    d.text = std::string(bytes);
  } else {
    d.encoding = TextEncoding::Windows1252;
    d.text = DecodeCp1252(bytes);
  }
  return d;
}

std::string EncodeText(std::string_view utf8, TextEncoding encoding) {
  if (encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8Bom) return std::string(utf8);
  std::string out;
  size_t i = 0;
  while (i < utf8.size()) {
    char32_t cp;
    if (!NextUtf8(utf8, i, cp)) {
      cp = static_cast<unsigned char>(utf8[i]);  // a stray byte stands for itself
      ++i;
    }
    if (encoding == TextEncoding::Windows1252) {
      out += EncodeCp1252Char(cp);
      continue;
    }
    auto put = [&](char32_t u) {
      const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
      if (encoding == TextEncoding::Utf16BE) { out += hi; out += lo; }
      else { out += lo; out += hi; }
    };
    if (cp >= 0x10000) {
      cp -= 0x10000;
      put(0xD800 + (cp >> 10));
      put(0xDC00 + (cp & 0x3FF));
    } else {
      put(cp);
    }
  }
  return out;
}

std::string ByteOrderMark(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8Bom: return "\xEF\xBB\xBF";
    case TextEncoding::Utf16LE: return "\xFF\xFE";
    case TextEncoding::Utf16BE: return "\xFE\xFF";
    default: return "";
  }
}

std::string ReadFileHead(const std::string& path, size_t n) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return "";
  std::string head(n, '\0');
  ssize_t got;
  while ((got = ::pread(fd, head.data(), n, 0)) < 0 && errno == EINTR) {
  }
  ::close(fd);
  head.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return head;
}

std::optional<std::string> ReadFileBytes(const std::string& path, std::string* error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (error) *error = SystemError(path, "Cannot open");
    return std::nullopt;
  }
  struct stat st{};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    if (error) *error = "Cannot read \"" + path + "\": it is a folder";
    return std::nullopt;
  }
  std::string bytes;
  char buf[65536];
  while (true) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (error) *error = SystemError(path, "Cannot read");
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return bytes;
}

std::optional<DecodedText> ReadTextFile(const std::string& path, std::string* error) {
  auto bytes = ReadFileBytes(path, error);
  if (!bytes) return std::nullopt;
  return DecodeTextBytes(*bytes);
}

bool WriteFileBytesAtomic(const std::string& path, std::string_view bytes, std::string* error) {
  // Write beside the real file when path is a link, so the link survives;
  // a loop of links is refused and stays.
  const std::string target = WrittenPath(path);
  if (target.empty()) {
    if (error) *error = SystemError(path, "Cannot write");
    return false;
  }
  // A file the user may not write stays as it is, even though its folder
  // would let a rename replace it.
  if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) {
    if (error) *error = SystemError(target, "Cannot write");
    return false;
  }
  std::string tmpl = SiblingTempPattern(target);
  const int fd = ::mkstemp(tmpl.data());
  if (fd < 0) {
    if (error) *error = SystemError(target, "Cannot create a temporary file beside");
    return false;
  }
  const mode_t mode = ReplacementFileMode(target);
  bool ok = WriteAllBytes(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  if (!ok && error) *error = SystemError(target, "Cannot write");
  if (::close(fd) != 0 && ok) {
    ok = false;
    if (error) *error = SystemError(target, "Cannot write");
  }
  if (ok && ::rename(tmpl.c_str(), target.c_str()) != 0) {
    ok = false;
    if (error) *error = SystemError(target, "Cannot replace");
  }
  if (!ok) ::unlink(tmpl.c_str());
  return ok;
}

bool WriteTextFileAtomic(const std::string& path, std::string_view utf8, std::string* error) {
  return WriteFileBytesAtomic(path, utf8, error);
}

}  // namespace tessa
