#include "engine/task/caret_records.h"

#include "common/text_helpers.h"
#include "common/vb_conversions.h"

namespace tessa {

std::string BuildAdvancedOptions(bool append, const std::string& author, const std::string& creator,
                                 const std::string& keywords, const std::string& subject,
                                 const std::string& title, int32_t compression, const std::string& pages) {
  std::string r = BoolToUpperText(append) + "^";
  for (const std::string* s : {&author, &creator, &keywords, &subject, &title}) r += *s + "^";
  r += std::to_string(compression) + "^";
  r += pages + "^";
  return r;
}

std::string BuildAdvancedOptions(const AdvancedOptions& o) {
  return BuildAdvancedOptions(o.append, o.author, o.creator, o.keywords, o.subject, o.title, o.compression,
                              o.pages);
}

void ParseAdvancedOptions(const std::string& record, bool& append, std::string& author, std::string& creator,
                          std::string& keywords, std::string& subject, std::string& title,
                          int32_t& compression, std::string& pages) {
  std::vector<std::string> p = SplitText(record, '^');
  if (p.size() < 2) return;
  if (TrimBlanks(p[0]).empty()) p[0] = "FALSE";
  if (auto b = CBoolText(p[0])) append = *b;
  std::string* texts[] = {&author, &creator, &keywords, &subject, &title};
  for (size_t i = 0; i < 5; ++i)
    if (p.size() > i + 1) *texts[i] = p[i + 1];
  if (p.size() > 6)
    if (auto c = CLngText(p[6])) compression = *c;
  if (p.size() > 7) pages = p[7];
}

void ParseAdvancedOptions(const std::string& record, AdvancedOptions& o) {
  ParseAdvancedOptions(record, o.append, o.author, o.creator, o.keywords, o.subject, o.title, o.compression,
                       o.pages);
}

std::string JoinCaretFields3(int32_t a, int32_t b, int32_t c) {
  return std::to_string(a) + "^" + std::to_string(b) + "^" + std::to_string(c);
}

void SplitCaretFields3(const std::string& record, int32_t& a, int32_t& b, int32_t& c) {
  const std::vector<std::string> p = SplitText(record, '^');
  if (p.size() < 2) return;
  int32_t* outs[] = {&a, &b, &c};
  for (size_t i = 0; i < 3 && i < p.size(); ++i)
    if (auto v = CLngText(p[i])) *outs[i] = *v;
}

}  // namespace tessa
