// Marks what the platform library shows to the programs and libraries that
// load it. The library is built with hidden visibility; each of its headers
// opens its namespace as `namespace tessa TESSA_PLATFORM_API {`, so what the
// headers declare is shown and everything else stays inside.
#pragma once

#define TESSA_PLATFORM_API __attribute__((visibility("default")))
