#include "pdfcontrol/object_text.h"

#include <algorithm>

#include "pdfcontrol/pdf_syntax.h"

namespace quirepane {
namespace {

constexpr int kMaxNesting = 32;

bool IsDelimiter(char c) {
  return c == '/' || c == '[' || c == ']' || c == '<' || c == '>' || c == '(' || c == ')' || c == '{' || c == '}' ||
         c == '%';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Reader {
 public:
  explicit Reader(std::string_view text) : s_(text) {}

  void SkipSpace() {
    while (p_ < s_.size()) {
      if (IsPdfWhiteSpace(s_[p_])) {
        ++p_;
      } else if (s_[p_] == '%') {
        while (p_ < s_.size() && s_[p_] != '\n' && s_[p_] != '\r') ++p_;
      } else {
        break;
      }
    }
  }

  // A plain word (digits, letters) at the reading point, not consumed.
  std::string_view PeekWord() {
    SkipSpace();
    size_t q = p_;
    while (q < s_.size() && !IsPdfWhiteSpace(s_[q]) && !IsDelimiter(s_[q])) ++q;
    return s_.substr(p_, q - p_);
  }

  // Skips "n g obj" when the text starts with it.
  void SkipObjectHeader() {
    const size_t start = p_;
    std::string_view n = PeekWord();
    if (!n.empty() && IsAllDigits(n)) {
      p_ += n.size();
      std::string_view g = PeekWord();
      if (!g.empty() && IsAllDigits(g)) {
        p_ += g.size();
        if (PeekWord() == "obj") {
          p_ += 3;
          return;
        }
      }
    }
    p_ = start;
  }

  bool Value(TextValue& out, int depth) {
    if (depth > kMaxNesting) return false;
    SkipSpace();
    if (p_ >= s_.size()) return false;
    const char c = s_[p_];
    if (c == '/') return Name(out);
    if (c == '(') return Literal(out);
    if (c == '[') {
      ++p_;
      out.kind = TextValue::Kind::Array;
      for (;;) {
        SkipSpace();
        if (p_ >= s_.size()) return false;
        if (s_[p_] == ']') {
          ++p_;
          return true;
        }
        TextValue item;
        if (!Value(item, depth + 1)) return false;
        out.items.push_back(std::move(item));
      }
    }
    if (c == '<') {
      if (p_ + 1 < s_.size() && s_[p_ + 1] == '<') return Dictionary(out, depth);
      return Hex(out);
    }
    std::string_view word = PeekWord();
    if (word.empty()) return false;
    if (word == "true" || word == "false") {
      p_ += word.size();
      out.kind = TextValue::Kind::Boolean;
      out.number = word == "true";
      return true;
    }
    if (word == "null") {
      p_ += word.size();
      out.kind = TextValue::Kind::Null;
      return true;
    }
    return Number(out, word);
  }

 private:
  static bool IsAllDigits(std::string_view w) {
    if (w.empty() || w.size() > 12) return false;
    for (char c : w) {
      if (!IsDigit(c)) return false;
    }
    return true;
  }

  static long long ToInteger(std::string_view w) {
    long long v = 0;
    for (char c : w) v = v * 10 + (c - '0');
    return v;
  }

  bool Name(TextValue& out) {
    const size_t start = p_++;
    while (p_ < s_.size() && !IsPdfWhiteSpace(s_[p_]) && !IsDelimiter(s_[p_])) ++p_;
    out.kind = TextValue::Kind::Name;
    out.text = std::string(s_.substr(start, p_ - start));
    return true;
  }

  bool Number(TextValue& out, std::string_view word) {
    std::string_view digits = word;
    const bool sign = digits.front() == '+' || digits.front() == '-';
    if (sign) digits.remove_prefix(1);
    const size_t dot = digits.find('.');
    if (digits.empty() || digits.size() > 18 || (dot != std::string_view::npos && digits.size() == 1)) return false;
    for (size_t i = 0; i < digits.size(); ++i) {
      if (!IsDigit(digits[i]) && i != dot) return false;
    }
    p_ += word.size();
    if (dot != std::string_view::npos) {
      out.kind = TextValue::Kind::Real;
      out.text = std::string(word);
      return true;
    }
    out.kind = TextValue::Kind::Integer;
    out.number = word.front() == '-' ? -ToInteger(digits) : ToInteger(digits);
    if (sign) return true;
    // "n g R" is one reference.
    const size_t after = p_;
    std::string_view g = PeekWord();
    if (IsAllDigits(g) && g.size() <= 5) {
      p_ += g.size();
      if (PeekWord() == "R") {
        ++p_;
        out.kind = TextValue::Kind::Reference;
        out.generation = static_cast<int>(ToInteger(g));
        return true;
      }
    }
    p_ = after;
    return true;
  }

  bool Dictionary(TextValue& out, int depth) {
    p_ += 2;
    out.kind = TextValue::Kind::Dictionary;
    for (;;) {
      SkipSpace();
      if (p_ + 1 < s_.size() && s_[p_] == '>' && s_[p_ + 1] == '>') {
        p_ += 2;
        return true;
      }
      if (p_ >= s_.size() || s_[p_] != '/') return false;
      TextValue key;
      Name(key);
      TextValue value;
      if (!Value(value, depth + 1)) return false;
      out.entries.emplace_back(std::move(key.text), std::move(value));
    }
  }

  bool Hex(TextValue& out) {
    ++p_;
    out.kind = TextValue::Kind::String;
    out.hex = true;
    int pending = -1;
    for (; p_ < s_.size(); ++p_) {
      const char c = s_[p_];
      if (c == '>') {
        ++p_;
        if (pending >= 0) out.text += static_cast<char>(pending << 4);
        return true;
      }
      if (IsPdfWhiteSpace(c)) continue;
      const int d = HexDigit(c);
      if (d < 0) return false;
      if (pending < 0) {
        pending = d;
      } else {
        out.text += static_cast<char>((pending << 4) | d);
        pending = -1;
      }
    }
    return false;
  }

  bool Literal(TextValue& out) {
    ++p_;
    out.kind = TextValue::Kind::String;
    int depth = 1;
    while (p_ < s_.size()) {
      const char c = s_[p_++];
      if (c == '\\') {
        if (p_ >= s_.size()) return false;
        const char e = s_[p_++];
        switch (e) {
          case 'n': out.text += '\n'; break;
          case 'r': out.text += '\r'; break;
          case 't': out.text += '\t'; break;
          case 'b': out.text += '\b'; break;
          case 'f': out.text += '\f'; break;
          case '\r':
            if (p_ < s_.size() && s_[p_] == '\n') ++p_;
            break;
          case '\n': break;
          default:
            if (e >= '0' && e <= '7') {
              int v = e - '0';
              for (int i = 0; i < 2 && p_ < s_.size() && s_[p_] >= '0' && s_[p_] <= '7'; ++i) v = v * 8 + (s_[p_++] - '0');
              out.text += static_cast<char>(v & 0xFF);
            } else {
              out.text += e;
            }
        }
        continue;
      }
      if (c == '(') ++depth;
      if (c == ')' && --depth == 0) return true;
      out.text += c;
    }
    return false;
  }

  std::string_view s_;
  size_t p_ = 0;
};

}  // namespace

const TextValue* TextValue::Find(std::string_view key) const {
  for (const auto& [name, value] : entries) {
    if (name == key) return &value;
  }
  return nullptr;
}

std::optional<TextValue> ParseObjectText(std::string_view text) {
  Reader reader(text);
  reader.SkipObjectHeader();
  TextValue value;
  if (!reader.Value(value, 0)) return std::nullopt;
  return value;
}

std::optional<std::string> SortedDictionaryText(std::string_view text) {
  const std::optional<TextValue> value = ParseObjectText(text);
  if (!value || !value->Is(TextValue::Kind::Dictionary)) return std::nullopt;
  std::vector<std::pair<std::string, std::string>> entries;
  for (const auto& [key, v] : value->entries) {
    switch (v.kind) {
      case TextValue::Kind::Name: entries.emplace_back(key, v.text); break;
      case TextValue::Kind::Integer: entries.emplace_back(key, " " + std::to_string(v.number)); break;
      case TextValue::Kind::Boolean: entries.emplace_back(key, v.number ? " true" : " false"); break;
      default: return std::nullopt;
    }
  }
  std::sort(entries.begin(), entries.end());
  std::string sorted = "<<";
  for (const auto& [key, v] : entries) sorted += key + v;
  return sorted + ">>";
}

}  // namespace quirepane
