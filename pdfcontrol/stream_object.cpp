#include "pdfcontrol/stream_object.h"

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <algorithm>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "pdfcontrol/file_descriptor.h"
#include "pdfcontrol/object_text.h"
#include "pdfcontrol/pdf_syntax.h"

namespace quirepane {
namespace {

// Most bytes a stream read here may decode to.
constexpr size_t kMaxDecodedBytes = 64u << 20;

// Collects what a stream decodes to, up to kMaxDecodedBytes, so that a few
// compressed bytes cannot fill the memory.
class Collect : public Pipeline {
 public:
  Collect() : Pipeline("decoded stream", nullptr) {}
  void write(unsigned char const* data, size_t len) override {
    if (len > kMaxDecodedBytes - bytes.size()) throw std::length_error("The stream decodes to too many bytes");
    bytes.append(reinterpret_cast<const char*>(data), len);
  }
  void finish() override {}
  std::string bytes;
};

// The integer value of a dictionary's key, or -1.
long long Integer(const TextValue& dict, const char* key) {
  const TextValue* value = dict.Find(key);
  return value && value->Is(TextValue::Kind::Integer) ? value->number : -1;
}

// The bytes undone by the dictionary's /Filter and /DecodeParms, by qpdf's
// filters (Flate and LZW with their predictors, the ASCII ones, run length).
std::optional<std::string> Decode(const std::string& dictionary, std::string raw) {
  try {
    QPDF scratch;
    scratch.setSuppressWarnings(true);
    scratch.emptyPDF();
    QPDFObjectHandle dict = QPDFObjectHandle::parse(&scratch, dictionary);
    QPDFObjectHandle stream = QPDFObjectHandle::newStream(&scratch);
    stream.replaceStreamData(raw, dict.getKey("/Filter"), dict.getKey("/DecodeParms"));
    Collect decoded;
    bool filtered = false;
    if (!stream.pipeStreamData(&decoded, &filtered, 0, qpdf_dl_generalized, true) ||
        (!filtered && !dict.getKey("/Filter").isNull())) {
      return std::nullopt;
    }
    return std::move(decoded.bytes);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace

std::optional<StreamObject> ReadStreamObject(int fd, unsigned long long offset, unsigned long long fileSize,
                                             size_t maxBytes) {
  if (offset >= fileSize) return std::nullopt;
  std::string text;
  size_t keyword = std::string::npos;
  for (size_t chunk = 4096;; chunk *= 16) {
    text = ReadAt(fd, offset, static_cast<size_t>(std::min<unsigned long long>(chunk, fileSize - offset)));
    keyword = text.find("stream");
    if (keyword != std::string::npos) break;
    if (text.size() < chunk || chunk >= maxBytes) return std::nullopt;
  }
  StreamObject out;
  const size_t obj = text.find("obj");
  if (obj == std::string::npos || obj > keyword) return std::nullopt;
  std::istringstream header(text.substr(0, obj));
  std::string extra;
  if (!(header >> out.number >> out.generation) || header >> extra || out.number <= 0 || out.generation < 0) {
    return std::nullopt;
  }
  out.dictionary = text.substr(obj + 3, keyword - obj - 3);
  const std::optional<TextValue> dict = ParseObjectText(out.dictionary);
  const long long length = dict && dict->Is(TextValue::Kind::Dictionary) ? Integer(*dict, "/Length") : -1;
  if (length < 0 || static_cast<unsigned long long>(length) > maxBytes) return std::nullopt;

  // The bytes start after the end of the line that "stream" ends.
  unsigned long long start = offset + keyword + 6;
  const std::string eol = ReadAt(fd, start, 2);
  if (eol.compare(0, 2, "\r\n") == 0) start += 2;
  else if (!eol.empty() && (eol[0] == '\n' || eol[0] == '\r')) start += 1;
  std::string raw = ReadAt(fd, start, static_cast<size_t>(length));
  if (raw.size() != static_cast<size_t>(length)) return std::nullopt;
  const std::string after = ReadAt(fd, start + raw.size(), 32);
  size_t p = 0;
  while (p < after.size() && IsPdfWhiteSpace(after[p])) ++p;
  if (after.compare(p, 9, "endstream") != 0) return std::nullopt;

  std::optional<std::string> data = Decode(out.dictionary, std::move(raw));
  if (!data) return std::nullopt;
  out.data = std::move(*data);
  return out;
}

std::string ObjectInStream(const StreamObject& stream, int number, int index) {
  const std::optional<TextValue> dict = ParseObjectText(stream.dictionary);
  if (!dict || !dict->Is(TextValue::Kind::Dictionary)) return "";
  const TextValue* type = dict->Find("/Type");
  const long long count = Integer(*dict, "/N"), first = Integer(*dict, "/First");
  if (!type || type->text != "/ObjStm" || index < 0 || index >= count || first < 0 ||
      static_cast<unsigned long long>(first) > stream.data.size()) {
    return "";
  }
  // The header: pairs of object number and offset from /First, in order.
  std::istringstream header(stream.data.substr(0, static_cast<size_t>(first)));
  const long long wanted = std::min<long long>(index + 2, count);
  std::vector<long long> offsets;
  long long n = 0, at = 0, found = -1;
  for (long long i = 0; i < wanted && header >> n >> at; ++i) {
    if (i == index) found = n;
    offsets.push_back(first + at);
  }
  if (static_cast<long long>(offsets.size()) != wanted) return "";
  offsets.push_back(static_cast<long long>(stream.data.size()));
  const size_t i = static_cast<size_t>(index);
  if (found != number || offsets[i] > offsets[i + 1] ||
      offsets[i + 1] > static_cast<long long>(stream.data.size())) {
    return "";
  }
  return std::to_string(number) + " 0 obj\n" +
         stream.data.substr(static_cast<size_t>(offsets[i]), static_cast<size_t>(offsets[i + 1] - offsets[i])) +
         "\nendobj";
}

}  // namespace quirepane
