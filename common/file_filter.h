// File-dialog filters in the program's own form "Desc|*.x;*.y|Desc2|*.z"
// (a 1-based filter index picks one pair) and in the form the desktop's file
// dialogs take, one "Desc (*.x *.y)" text per filter.
#pragma once

#include <string>
#include <vector>

namespace tessa {

// One dialog filter per description|patterns pair. A pattern list in the
// description's own trailing parentheses is not repeated; "*.*" becomes
// "*" (every file); an empty filter gives no filters; a description without
// patterns matches every file.
std::vector<std::string> DialogFiltersFromPairs(const std::string& sFilter);

// The pairs text of dialog filters: "Desc (*.x *.y)" gives "Desc|*.x;*.y".
std::string PairsFromDialogFilters(const std::vector<std::string>& filters);

// The dialog filter that the 1-based lFilterIndex names; the first one when
// the index lies outside; "" when there are none.
std::string DialogFilterAt(const std::vector<std::string>& filters, long lFilterIndex);

// The 1-based index of filter among filters; 0 when it is not there.
long FilterIndexOf(const std::vector<std::string>& filters, const std::string& filter);

// The extension a name saved under a dialog filter gets when it has none:
// that of the filter's first pattern when it reads "*.ext" without
// wildcards ("ZOL" for "Jobs (*.ZOL)"); "" for any other filter.
std::string DefaultExtensionOf(const std::string& dialogFilter);

}  // namespace tessa
