// Showing a most-recently-used list: as numbered entries of a menu, or as
// the entries of a combo box, newest first.
#pragma once

#include <functional>

class QAction;
class QComboBox;
class QMenu;

namespace tessa {

class clsMRU;

// Replaces the list's entries of menu (the actions named "mnuMRU") by one
// entry per item, placed before `before` (at the end when null): entry i
// reads "&i " and the i-th newest item ("&" in the item shown as itself),
// carries the property "Index" = i, is tagged "TranslateFalse" and calls
// onClick(i) when chosen. bGridUpdateByCode is set meanwhile.
void FillMenuFromMRU(QMenu* menu, QAction* before, const clsMRU& mru, bool& bGridUpdateByCode,
                     const std::function<void(int)>& onClick);

// Refills cbo with the list's items newest first and selects the first;
// bGridUpdateByCode is set meanwhile.
void FillComboFromMRU(QComboBox* cbo, const clsMRU& mru, bool& bGridUpdateByCode);

}  // namespace tessa
