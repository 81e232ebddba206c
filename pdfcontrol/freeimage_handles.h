// Owners of FreeImage handles that free them when they go (a bitmap, an open
// multi-page file, a memory stream, a locked page), and FreeImage's one-time
// set-up. The owners stay inside each library built with them (Quirepane,
// and the engine, whose imaging control cuts frames with them); only the
// set-up is Quirepane's to show. Needs no FreeImage header.
#pragma once

#include <memory>

#include "pdfcontrol/quirepane_api.h"

struct FIBITMAP;
struct FIMULTIBITMAP;
struct FIMEMORY;

namespace quirepane {

struct BitmapDeleter {
  void operator()(FIBITMAP* dib) const;
};
using BitmapPtr = std::unique_ptr<FIBITMAP, BitmapDeleter>;

// Closes a multi-page file without writing its pages back.
struct MultiBitmapCloser {
  void operator()(FIMULTIBITMAP* multi) const;
};
using MultiBitmapPtr = std::unique_ptr<FIMULTIBITMAP, MultiBitmapCloser>;

struct MemoryCloser {
  void operator()(FIMEMORY* memory) const;
};
using MemoryPtr = std::unique_ptr<FIMEMORY, MemoryCloser>;

// Page `index` of an open multi-page file, locked for reading while this
// object lives and unlocked unchanged when it goes. get() is null when the
// page could not be locked.
class LockedPage {
 public:
  LockedPage(FIMULTIBITMAP* multi, int index);
  ~LockedPage();
  LockedPage(const LockedPage&) = delete;
  LockedPage& operator=(const LockedPage&) = delete;

  FIBITMAP* get() const { return page_; }

 private:
  FIMULTIBITMAP* multi_;
  FIBITMAP* page_;
};

// Makes sure FreeImage is set up (safe to call any number of times, from
// any thread).
QUIREPANE_API void EnsureFreeImage();

// Sends FreeImage's messages to the decoders' error captures (once).
void HearFreeImageMessages();

}  // namespace quirepane
