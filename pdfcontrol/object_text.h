// Reads the text of one PDF object into a small tree of values, without a
// document model: for the few objects an append reads from the end of a
// long file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quirepane {

struct TextValue {
  enum class Kind { Null, Boolean, Integer, Real, Name, String, Reference, Array, Dictionary };
  Kind kind = Kind::Null;
  long long number = 0;  // Integer, Boolean (0 or 1); Reference: the object number
  int generation = 0;    // Reference
  std::string text;      // Name (with its "/", as written), String (its bytes), Real (as written)
  bool hex = false;      // String written as <...>
  std::vector<TextValue> items;                            // Array
  std::vector<std::pair<std::string, TextValue>> entries;  // Dictionary, in the order written

  // The value of a dictionary's key ("/Type"), or nullptr.
  const TextValue* Find(std::string_view key) const;
  bool Is(Kind k) const { return kind == k; }
};

// The first value of text, after an "n g obj" header when there is one;
// nullopt when it does not parse. A stream's dictionary parses; what
// follows the value is not read.
std::optional<TextValue> ParseObjectText(std::string_view text);

// A dictionary's text written again with its keys in order and no blanks
// beside delimiters ("<</Colors 3/Columns 8>>"); nullopt unless text is a
// dictionary of names, integers and booleans only.
std::optional<std::string> SortedDictionaryText(std::string_view text);

}  // namespace quirepane
