#include "pdfcontrol/freeimage_handles.h"

#include <FreeImage.h>

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
