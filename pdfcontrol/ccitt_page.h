// A black-and-white TIFF page coded with CCITT Group 3 or 4, taken in that
// coding into a PDF (which decodes it with /CCITTFaxDecode) instead of being
// unpacked and stored again.
#pragma once

#include <optional>
#include <string>

struct tiff;

namespace quirepane {

struct CcittPage {
  long width = 0, height = 0;
  std::string data;         // the coded bytes, most significant bit first
  std::string decodeParms;  // the filter's /DecodeParms in PDF syntax
  bool inverted = false;    // the page's 0 bits are black: draw with /Decode [1 0]
};

// The page an open TIFF stands at when it is a 1-bit Group 3 or Group 4
// page. A page in one strip is taken byte for byte, once it has been
// decoded row by row to check it; one in several strips (which cannot be
// joined as they stand) is coded again as one Group 4 strip, which loses
// nothing. nullopt for any other page or a page that cannot be read; the
// caller then decodes it the usual way. A page with more rows than its
// codes can hold, or whose decoder reports an error, gives nullopt with
// *damage (when given) saying why; such a page must fail.
std::optional<CcittPage> ReadCcittPage(tiff* tif, std::string* damage = nullptr);

// As above for page `page` (0-based) of the TIFF file at path; nullopt also
// for a file that is no TIFF.
std::optional<CcittPage> ReadCcittPage(const std::string& path, int page, std::string* damage = nullptr);

// Decodes the page an open TIFF stands at once, row by row in one row's
// memory, to check a page that goes into a PDF as its file codes it; what
// its decoder reported, "" when it decoded cleanly.
std::string CodedPageDamage(tiff* tif);

}  // namespace quirepane
