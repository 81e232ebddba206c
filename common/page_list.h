// Page lists typed by the user ("1-3", "2,5-10") turned into a plain,
// ascending, duplicate-free list of page numbers; and the case-insensitive
// sort of file-name lists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessa {

// Status bits of ParsePageRangeString, added together.
enum PageListStatus : int32_t {
  kPageListNothingUsable = 1,   // empty input, nothing left after the filter, or no element remained
  kPageListCharsRemoved = 2,    // a character other than "0123456789,-" was removed
  kPageListEmptyDropped = 4,    // an empty element (",,", a leading or trailing ",", "1--3") was dropped
  kPageListRangeCapped = 8,     // a range reached beyond the page limit and was cut there
  kPageListNotANumber = 16,     // an open range ("5-", "-5") or a number beyond 32 bits: the list is unusable
};

// The longest list a range may expand to when the caller gives no limit.
inline constexpr int32_t kDefaultPageLimit = 1000000;

// Rewrites sPages as the normalised list ("2,5,6,7") and returns the status
// bits above. lMaxPage caps every range: a range ends at lMaxPage (or at its
// own start when that already lies beyond it), so a caller that passes the
// frame count never gets a list longer than the document. Single page numbers
// are kept as typed, whatever their size. With bit 1 or bit 16 the text is
// empty. Never throws.
int32_t ParsePageRangeString(std::string& sPages, int32_t lMaxPage = kDefaultPageLimit);

// "a-b" (either order) as "min,min+1,...,max", the end cut at lMaxPage as
// above (bCapped tells whether it was). Text with two or more "-" gives "".
// bOk is false when a side is not a 32-bit whole number ("5-", "-5").
std::string ExpandPageRange(const std::string& sRange, bool& bOk, bool& bCapped,
                            int32_t lMaxPage = kDefaultPageLimit);

// Sorts values[lo..hi] ascending in place (the whole array by default).
void QuickSort(std::vector<int32_t>& values, int64_t lo = -1, int64_t hi = -1);

// On a sorted array, keeps the first of each run of equal values.
void RemoveDuplicates(std::vector<int32_t>& values);

// Keeps the non-empty elements in order; returns 4 when any was dropped, else 0.
int32_t RemoveEmptyItems(std::vector<std::string>& values);

// A new list with the same items in ascending order: compared by their
// upper-case forms when bCompareAsIs is false (letter case ignored, names
// equal but for case keep their given order), else byte by byte.
std::vector<std::string> SortCollection(const std::vector<std::string>& items, bool bCompareAsIs);

}  // namespace tessa
