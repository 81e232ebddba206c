#include "pdfcontrol/freeimage_handles.h"

#include <FreeImage.h>

#if TESSA_FREEIMAGE_ON_DEMAND
#include <dlfcn.h>

#include "pdfcontrol/tiff_messages.h"
#endif

namespace quirepane {

void BitmapDeleter::operator()(FIBITMAP* dib) const { FreeImage_Unload(dib); }

void MultiBitmapCloser::operator()(FIMULTIBITMAP* multi) const { FreeImage_CloseMultiBitmap(multi, 0); }

void MemoryCloser::operator()(FIMEMORY* memory) const { FreeImage_CloseMemory(memory); }

LockedPage::LockedPage(FIMULTIBITMAP* multi, int index)
    : multi_(multi), page_(multi ? FreeImage_LockPage(multi, index) : nullptr) {}

LockedPage::~LockedPage() {
  if (page_) FreeImage_UnlockPage(multi_, page_, FALSE);
}

}  // namespace quirepane

#if TESSA_FREEIMAGE_ON_DEMAND
// Called as FreeImage is loaded, before any call into it goes on: libtiff,
// which it has just loaded as its own, gets our handlers first; then the
// start a direct link made, with the built-in plugins only.
extern "C" __attribute__((visibility("hidden"))) void tessa_freeimage_loaded(void* library) {
  quirepane::QuietenTiffTagNotes();
  reinterpret_cast<decltype(&FreeImage_Initialise)>(::dlsym(library, "FreeImage_Initialise"))(FALSE);
}
#endif
