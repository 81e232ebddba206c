// Turning user-typed paths into real ones: special-folder macros such as
// %APPDATA% and bracketed date-time tokens such as [YMD].
#pragma once

#include <string>

#include "platform/clock.h"

namespace tessa {

// Trims sPath in place (blanks at both ends) and returns it with at most one
// kind of macro replaced: the first of %USERPROFILE% or %HOMEPATH% (home),
// %APPDATA%, %LOCALAPPDATA%, %WINDIR%, %PROGRAMFILES(X86)%, %PROGRAMFILES%,
// %MYDOCUMENTS% found (in any case) has every occurrence of its macros
// replaced by the folder; the other macros stay as typed. Separators are left
// as written ("\" reads as "/" wherever the path is used).
std::string ExpandPathMacros(std::string& sPath);

// Replaces, in place, the tokens [Y] [M] [D] [YMD] [MDY] [H] [I] [S] [HIS]
// (only as spelled here, upper case) by the date or time: year "yyyy",
// month, day, hour (00-23), minute and second two digits each. The clock is
// read once per call, so all tokens of one path show the same moment. An
// empty sPath gives "".
std::string ExpandDateTimeTokens(std::string& sPath);

// The same for a given moment (the clock is not read).
std::string ExpandDateTimeTokensAt(std::string& sPath, const LocalDateTime& when);

}  // namespace tessa
