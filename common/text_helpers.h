// Small pure functions on text: cleaning up what system calls return and
// taking paths apart. Paths may use "\" or "/"; what is built uses "/".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessa {

// The characters before the first NUL; s whole when it holds none.
std::string TrimAtNull(std::string_view s);

// s with every double-quote character removed.
std::string StripQuotes(std::string_view s);

// True when s contains "?" or "*".
bool bHasWildcards(std::string_view s);

// True when s begins with sPrefix, compared without regard to case; an empty
// prefix gives true.
bool bStartsWith(std::string_view s, std::string_view sPrefix);

// Removes sCut (any case) again and again from the end of s, then from its
// start. An empty s or sCut leaves s unchanged.
std::string TrimCharsFromEnds(std::string_view s, std::string_view sCut);

// The text up to and including the last path separator, written with "/";
// "" when there is none.
std::string GetFolderFromPath(std::string_view sPath);

// The trimmed text after the last "." of the file-name part; "" when the
// name has no dot.
std::string GetFileExtension(std::string_view sPath);

// s without its last character when that is a path separator ("/" or "\").
std::string RemoveTrailingBackslash(std::string_view s);

// s with every "\" turned into "/" (stored and typed paths read this way).
std::string ToForwardSlashes(std::string_view s);

// A user-typed or stored path as the file helpers take it: blanks at its ends
// trimmed, "\" read as "/". A path the system named (a listed or picked
// file) is taken as it stands instead.
std::string TypedPath(std::string_view s);

// True for "/" and "\".
constexpr bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

// ASCII case folding and comparison, as the original file system did.
std::string ToLowerAscii(std::string_view s);
std::string ToUpperAscii(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);

// s without leading and trailing blanks (spaces, as the original Trim).
std::string TrimBlanks(std::string_view s);

// Splits text at every sep; an empty text gives one empty piece.
std::vector<std::string> SplitText(std::string_view text, char sep);

}  // namespace tessa
