#include "pdfcontrol/tiff_messages.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace quirepane {

namespace {

void FilteredTiffError(const char* module, const char* format, va_list args) {
  char text[1024];
  std::vsnprintf(text, sizeof text, format, args);
  if (IsUnknownTagNote(module ? module : "", text)) return;
  if (module) std::fprintf(stderr, "%s: ", module);
  std::fprintf(stderr, "%s.\n", text);
}

}  // namespace

bool IsUnknownTagNote(const std::string& module, const std::string& message) {
  return module == "TIFFFieldWithTag" && message.find("unknown tag") != std::string::npos;
}

void QuietenTiffTagNotes() {
  static std::once_flag once;
  std::call_once(once, [] { TIFFSetErrorHandler(FilteredTiffError); });
}

}  // namespace quirepane
