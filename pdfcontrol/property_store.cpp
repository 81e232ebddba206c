#include "pdfcontrol/property_store.h"

namespace quirepane {

PropertyStore& CurrentPropertyStore() {
  thread_local PropertyStore store;
  return store;
}

}  // namespace quirepane
