#include "pdfcontrol/tiff_messages.h"

#include <tiffio.h>

#if TESSA_TIFF_ON_DEMAND
#include <dlfcn.h>
#endif

#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "pdfcontrol/freeimage_handles.h"

namespace quirepane {

namespace {

constexpr size_t kMostKept = 16 * 1024;

std::mutex g_messagesMutex;
std::string g_messages;  // what the reader said since the last take

thread_local DecoderErrorCapture* t_innermost = nullptr;

void KeepTiffMessage(const char* module, const char* format, va_list args, bool error) {
  char text[1024];
  std::vsnprintf(text, sizeof text, format, args);
  const std::string name = module ? module : "";
  if (IsUnknownTagNote(name, text)) return;
  const std::string line = name.empty() ? std::string(text) : name + ": " + text;
  if (error || IsDecoderWarning(name)) DecoderErrorCapture::Report(line);
  const std::lock_guard<std::mutex> lock(g_messagesMutex);
  if (g_messages.size() > kMostKept) return;
  g_messages += line + "\n";
}

void KeepTiffError(const char* module, const char* format, va_list args) { KeepTiffMessage(module, format, args, true); }
void KeepTiffWarning(const char* module, const char* format, va_list args) { KeepTiffMessage(module, format, args, false); }

using SetHandler = decltype(&TIFFSetErrorHandler);

void InstallHandlers(SetHandler setError, SetHandler setWarning) {
  setError(KeepTiffError);
  setWarning(KeepTiffWarning);
}

}  // namespace

bool IsUnknownTagNote(const std::string& module, const std::string& message) {
  return module == "TIFFFieldWithTag" && message.find("unknown tag") != std::string::npos;
}

bool IsMetadataNote(const std::string& message) {
  for (const char* marker : {"ICC", "Exif", "EXIF", "JFIF", "XMP"}) {
    if (message.find(marker) != std::string::npos) return true;
  }
  return false;
}

// The fax decoders ("Fax3Decode1D", "Fax4Decode") report a row whose codes
// do not add up to its width as a warning; so does the JPEG library its
// corrupt data. Other decoders' warnings leave a page whole (an LZW strip
// without its end code).
bool IsDecoderWarning(const std::string& module) { return module.rfind("Fax", 0) == 0 || module == "JPEGLib"; }

void QuietenTiffTagNotes() {
  static std::once_flag once;
  std::call_once(once, [] { InstallHandlers(TIFFSetErrorHandler, TIFFSetWarningHandler); });
}

#if TESSA_TIFF_ON_DEMAND
// Called as libtiff is loaded, before any call into it goes on; its entries
// cannot be called yet, so the handlers are set through its own functions.
extern "C" __attribute__((visibility("hidden"))) void tessa_tiff_loaded(void* library) {
  InstallHandlers(reinterpret_cast<SetHandler>(::dlsym(library, "TIFFSetErrorHandler")),
                  reinterpret_cast<SetHandler>(::dlsym(library, "TIFFSetWarningHandler")));
}
#endif

std::string TakeTiffMessages() {
  const std::lock_guard<std::mutex> lock(g_messagesMutex);
  std::string taken;
  taken.swap(g_messages);
  return taken;
}

std::string DamagedDataText(const std::string& what) { return "the image data is damaged (" + what + ")"; }

std::string DecoderErrorCapture::Reason() const { return Failed() ? DamagedDataText(first_) : ""; }

DecoderErrorCapture::DecoderErrorCapture() : outer_(t_innermost) {
  // The TIFF reader's handlers go in with FreeImage's set-up (or as the
  // reader is loaded, where it is loaded on demand); FreeImage's messages
  // reach a capture once it is told where to send them (which loads
  // FreeImage where it is loaded on demand).
  EnsureFreeImage();
  HearFreeImageMessages();
  t_innermost = this;
}

DecoderErrorCapture::~DecoderErrorCapture() { t_innermost = outer_; }

void DecoderErrorCapture::Report(const std::string& text) {
  for (DecoderErrorCapture* capture = t_innermost; capture; capture = capture->outer_) {
    if (capture->first_.empty()) capture->first_ = text.empty() ? "the decoder failed" : text;
  }
}

}  // namespace quirepane
