#include "common/file_filter.h"

#include "common/text_helpers.h"

namespace tessa {

namespace {

// desc without a trailing "(...)" and the blanks before it.
std::string DescriptionWithoutPatterns(std::string desc) {
  desc = TrimBlanks(desc);
  if (!desc.empty() && desc.back() == ')') {
    const auto open = desc.rfind('(');
    if (open != std::string::npos) desc = TrimBlanks(desc.substr(0, open));
  }
  return desc;
}

}  // namespace

std::vector<std::string> DialogFiltersFromPairs(const std::string& sFilter) {
  std::vector<std::string> filters;
  if (TrimBlanks(sFilter).empty()) return filters;
  const std::vector<std::string> parts = SplitText(sFilter, '|');
  for (size_t i = 0; i < parts.size(); i += 2) {
    std::string patterns;
    for (const std::string& raw : SplitText(i + 1 < parts.size() ? parts[i + 1] : "", ';')) {
      std::string p = TrimBlanks(raw);
      if (p.empty()) continue;
      if (p == "*.*") p = "*";
      patterns += (patterns.empty() ? "" : " ") + p;
    }
    if (patterns.empty()) patterns = "*";
    std::string desc = DescriptionWithoutPatterns(parts[i]);
    filters.push_back((desc.empty() ? patterns : desc) + " (" + patterns + ")");
  }
  return filters;
}

std::string PairsFromDialogFilters(const std::vector<std::string>& filters) {
  std::string pairs;
  for (const std::string& filter : filters) {
    const auto open = filter.rfind('(');
    const auto close = filter.rfind(')');
    std::string desc = filter, patterns = "*";
    if (open != std::string::npos && close != std::string::npos && close > open) {
      desc = TrimBlanks(filter.substr(0, open));
      patterns.clear();
      for (const std::string& p : SplitText(filter.substr(open + 1, close - open - 1), ' '))
        if (!p.empty()) patterns += (patterns.empty() ? "" : ";") + p;
    }
    pairs += (pairs.empty() ? "" : "|") + desc + "|" + patterns;
  }
  return pairs;
}

std::string DialogFilterAt(const std::vector<std::string>& filters, long lFilterIndex) {
  if (filters.empty()) return "";
  if (lFilterIndex < 1 || lFilterIndex > static_cast<long>(filters.size())) return filters.front();
  return filters[static_cast<size_t>(lFilterIndex - 1)];
}

long FilterIndexOf(const std::vector<std::string>& filters, const std::string& filter) {
  for (size_t i = 0; i < filters.size(); ++i)
    if (filters[i] == filter) return static_cast<long>(i + 1);
  return 0;
}

std::string DefaultExtensionOf(const std::string& dialogFilter) {
  const auto open = dialogFilter.rfind('(');
  const auto close = dialogFilter.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return "";
  const std::string patterns = dialogFilter.substr(open + 1, close - open - 1);
  const std::string first = SplitText(TrimBlanks(patterns), ' ').front();
  if (first.rfind("*.", 0) != 0) return "";
  const std::string ext = first.substr(2);
  return ext.find_first_of("*?.[") == std::string::npos ? ext : "";
}

}  // namespace tessa
