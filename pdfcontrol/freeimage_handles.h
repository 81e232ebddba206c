// Owners of FreeImage handles that free them when they go (a bitmap, an open
// multi-page file, a memory stream, a locked page), and FreeImage's one-time
// set-up. Part of Quirepane's public interface: the main program's imaging
// control reads and writes frames with them. Needs no FreeImage header.
#pragma once

#include <memory>

#include "pdfcontrol/quirepane_api.h"

struct FIBITMAP;
struct FIMULTIBITMAP;
struct FIMEMORY;

namespace quirepane {

struct QUIREPANE_API BitmapDeleter {
  void operator()(FIBITMAP* dib) const;
};
using BitmapPtr = std::unique_ptr<FIBITMAP, BitmapDeleter>;

// Closes a multi-page file without writing its pages back.
struct QUIREPANE_API MultiBitmapCloser {
  void operator()(FIMULTIBITMAP* multi) const;
};
using MultiBitmapPtr = std::unique_ptr<FIMULTIBITMAP, MultiBitmapCloser>;

struct QUIREPANE_API MemoryCloser {
  void operator()(FIMEMORY* memory) const;
};
using MemoryPtr = std::unique_ptr<FIMEMORY, MemoryCloser>;

// Page `index` of an open multi-page file, locked for reading while this
// object lives and unlocked unchanged when it goes. get() is null when the
// page could not be locked.
class QUIREPANE_API LockedPage {
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

}  // namespace quirepane
