#include "pdfcontrol/tiff_messages.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace quirepane {

namespace {

constexpr size_t kMostKept = 16 * 1024;

std::mutex g_messagesMutex;
std::string g_messages;  // what the reader said since the last take

void KeepTiffMessage(const char* module, const char* format, va_list args) {
  char text[1024];
  std::vsnprintf(text, sizeof text, format, args);
  if (IsUnknownTagNote(module ? module : "", text)) return;
  const std::lock_guard<std::mutex> lock(g_messagesMutex);
  if (g_messages.size() > kMostKept) return;
  if (module) g_messages += std::string(module) + ": ";
  g_messages += std::string(text) + "\n";
}

}  // namespace

bool IsUnknownTagNote(const std::string& module, const std::string& message) {
  return module == "TIFFFieldWithTag" && message.find("unknown tag") != std::string::npos;
}

void QuietenTiffTagNotes() {
  static std::once_flag once;
  std::call_once(once, [] {
    TIFFSetErrorHandler(KeepTiffMessage);
    TIFFSetWarningHandler(KeepTiffMessage);
  });
}

std::string TakeTiffMessages() {
  const std::lock_guard<std::mutex> lock(g_messagesMutex);
  std::string taken;
  taken.swap(g_messages);
  return taken;
}

}  // namespace quirepane
