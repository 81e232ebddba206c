#include "common/page_list.h"

#include <algorithm>
#include <charconv>

#include "common/text_helpers.h"

namespace tessa {

namespace {

// A text of digits as a 32-bit whole number; nullopt-like false when it is
// empty or too large.
bool DigitsToInt(const std::string& s, int32_t& out) {
  const std::string t = TrimBlanks(s);
  if (t.empty()) return false;
  const char* first = t.data();
  const char* last = t.data() + t.size();
  const auto [ptr, ec] = std::from_chars(first, last, out);
  return ec == std::errc() && ptr == last;
}

std::string JoinNumbers(const std::vector<int32_t>& values) {
  std::string out;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i) out += ',';
    out += std::to_string(values[i]);
  }
  return out;
}

// The first and last page of "a-b" (either order), the last cut at lMaxPage
// as ExpandPageRange says. False when the text holds two or more "-" or
// when a side is not a number (bOk false then).
bool RangeBounds(const std::string& sRange, bool& bOk, bool& bCapped, int32_t lMaxPage, int32_t& start,
                 int32_t& end) {
  bOk = true;
  bCapped = false;
  if (std::count(sRange.begin(), sRange.end(), '-') > 1) return false;
  const auto parts = SplitText(sRange, '-');
  int32_t a = 0;
  int32_t b = 0;
  if (!DigitsToInt(parts.front(), a) || !DigitsToInt(parts.back(), b)) {
    bOk = false;
    return false;
  }
  start = std::min(a, b);
  end = std::max(a, b);
  const int32_t cap = std::max(start, lMaxPage);
  if (end > cap) {
    end = cap;
    bCapped = true;
  }
  return true;
}

}  // namespace

std::string ExpandPageRange(const std::string& sRange, bool& bOk, bool& bCapped, int32_t lMaxPage) {
  int32_t start = 0;
  int32_t end = 0;
  if (!RangeBounds(sRange, bOk, bCapped, lMaxPage, start, end)) return "";
  std::vector<int32_t> pages;
  pages.reserve(static_cast<size_t>(static_cast<int64_t>(end) - start + 1));
  for (int64_t p = start; p <= end; ++p) pages.push_back(static_cast<int32_t>(p));
  return JoinNumbers(pages);
}

int32_t ParsePageRangeString(std::string& sPages, int32_t lMaxPage) {
  int32_t status = 0;
  if (sPages.empty()) return kPageListNothingUsable;

  std::string kept;
  for (char c : sPages) {
    if ((c >= '0' && c <= '9') || c == ',' || c == '-') kept += c;
    else status |= kPageListCharsRemoved;
  }
  sPages = kept;
  if (sPages.empty()) return status | kPageListNothingUsable;

  // Pages are kept as runs (first, last) and written out only once merged,
  // so that a list repeating a long range costs no more than the range.
  const std::vector<std::string> elements = SplitText(sPages, ',');
  std::vector<std::pair<int32_t, int32_t>> runs;
  std::vector<std::string> singles;
  for (const auto& e : elements) {
    if (e.find('-') == std::string::npos) {
      singles.push_back(e);
      continue;
    }
    bool ok = true;
    bool capped = false;
    int32_t start = 0;
    int32_t end = 0;
    const bool range = RangeBounds(e, ok, capped, lMaxPage, start, end);
    if (!ok) {
      sPages.clear();
      return status | kPageListNotANumber | kPageListNothingUsable;
    }
    if (capped) status |= kPageListRangeCapped;
    if (range) runs.emplace_back(start, end);
    else singles.emplace_back();  // two or more "-": an empty element
  }

  // Empty elements are dropped before they could read as page 0.
  status |= RemoveEmptyItems(singles);
  for (const auto& e : singles) {
    int32_t n = 0;
    if (!DigitsToInt(e, n)) {
      sPages.clear();
      return status | kPageListNotANumber | kPageListNothingUsable;
    }
    runs.emplace_back(n, n);
  }
  if (runs.empty()) {
    sPages.clear();
    return status | kPageListNothingUsable;
  }

  std::sort(runs.begin(), runs.end());
  std::vector<std::pair<int32_t, int32_t>> merged;
  for (const auto& run : runs) {
    if (!merged.empty() && static_cast<int64_t>(run.first) <= static_cast<int64_t>(merged.back().second) + 1) {
      merged.back().second = std::max(merged.back().second, run.second);
    } else {
      merged.push_back(run);
    }
  }
  sPages.clear();
  for (const auto& [first, last] : merged) {
    for (int64_t p = first; p <= last; ++p) {
      if (!sPages.empty()) sPages += ',';
      sPages += std::to_string(p);
    }
  }
  return status;
}

void QuickSort(std::vector<int32_t>& values, int64_t lo, int64_t hi) {
  if (values.empty()) return;
  if (lo < 0) lo = 0;
  if (hi < 0 || hi >= static_cast<int64_t>(values.size())) hi = static_cast<int64_t>(values.size()) - 1;
  if (lo >= hi) return;
  std::sort(values.begin() + lo, values.begin() + hi + 1);
}

void RemoveDuplicates(std::vector<int32_t>& values) {
  values.erase(std::unique(values.begin(), values.end()), values.end());
}

int32_t RemoveEmptyItems(std::vector<std::string>& values) {
  const auto before = values.size();
  std::erase_if(values, [](const std::string& s) { return s.empty(); });
  return values.size() == before ? 0 : kPageListEmptyDropped;
}

std::vector<std::string> SortCollection(const std::vector<std::string>& items, bool bCompareAsIs) {
  std::vector<std::string> keys;
  if (!bCompareAsIs) {
    keys.reserve(items.size());
    for (const auto& s : items) keys.push_back(ToUpperAscii(s));
  }
  const std::vector<std::string>& key = bCompareAsIs ? items : keys;
  std::vector<size_t> idx(items.size());
  for (size_t i = 0; i < idx.size(); ++i) idx[i] = i;
  std::stable_sort(idx.begin(), idx.end(), [&](size_t a, size_t b) { return key[a] < key[b]; });
  std::vector<std::string> out;
  out.reserve(items.size());
  for (size_t i : idx) out.push_back(items[i]);
  return out;
}

}  // namespace tessa
