// Marks what the Quirepane library shows to the programs that load it. The
// library is built with hidden visibility: whatever a header does not mark
// with QUIREPANE_API stays inside it.
#pragma once

#define QUIREPANE_API __attribute__((visibility("default")))
// A member of a shown class that stays inside all the same.
#define QUIREPANE_INTERNAL __attribute__((visibility("hidden")))
