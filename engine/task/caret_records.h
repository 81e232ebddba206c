// The two records that travel as one text with "^" between fields: the
// advanced PDF options of a conversion task (eight fields, each ended by
// "^") and the priority^windowState^waitSeconds record of a started program.
#pragma once

#include <cstdint>
#include <string>

namespace tessa {

// The advanced PDF options, as parsed from or built into a record.
struct AdvancedOptions {
  bool append = false;
  std::string author;
  std::string creator;
  std::string keywords;
  std::string subject;
  std::string title;
  int32_t compression = 0;
  std::string pages = "*";
};

// "TRUE" or "FALSE", then "^", then each further value followed by "^".
std::string BuildAdvancedOptions(bool append, const std::string& author, const std::string& creator,
                                 const std::string& keywords, const std::string& subject,
                                 const std::string& title, int32_t compression, const std::string& pages);
std::string BuildAdvancedOptions(const AdvancedOptions& o);

// Splits record at "^" and assigns the fields in order. A record without a
// caret changes nothing; a missing or unreadable field leaves its output as
// it was on entry. Never fails.
void ParseAdvancedOptions(const std::string& record, bool& append, std::string& author, std::string& creator,
                          std::string& keywords, std::string& subject, std::string& title,
                          int32_t& compression, std::string& pages);
void ParseAdvancedOptions(const std::string& record, AdvancedOptions& o);

// The wait seconds of a process record that waits until the program ends.
inline constexpr int32_t kWaitWithoutLimit = -1;

// a & "^" & b & "^" & c.
std::string JoinCaretFields3(int32_t a, int32_t b, int32_t c);

// Assigns a, b, c from the first three fields read as numbers; with no caret
// nothing is assigned, and a missing or unreadable field is skipped.
void SplitCaretFields3(const std::string& record, int32_t& a, int32_t& b, int32_t& c);

}  // namespace tessa
