// The few rules of PDF's lexical syntax that the readers of a file's end
// share: what counts as white space, and the highest object number read.
#pragma once

namespace quirepane {

// PDF white space: NUL, TAB, LF, FF, CR and SP (a vertical tab is not).
constexpr bool IsPdfWhiteSpace(char c) {
  return c == '\0' || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

// Object numbers at or above this count as damage, not as objects.
constexpr long long kMaxObjectNumber = 1LL << 30;

}  // namespace quirepane
