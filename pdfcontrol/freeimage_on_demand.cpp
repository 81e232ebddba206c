// FreeImage loaded on the first call into it, so that a run whose inputs
// never need it (a PNG passed through, a PDF) does not map it and
// the sixteen libraries it needs. Every function the library exports has an
// entry point here of the same name (listed at configure time from the
// library itself); the first call to any of them loads the library, takes
// all its addresses and starts it as a direct link would, then every entry
// jumps straight on.
#if TESSA_FREEIMAGE_ON_DEMAND
#include <FreeImage.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <mutex>

namespace {

// TESSA_FREEIMAGE_ENTRY(index, name), one a line.
constexpr const char* kEntryNames[] = {
#define TESSA_FREEIMAGE_ENTRY(index, name) #name,
#include "freeimage_entries.inc"
#undef TESSA_FREEIMAGE_ENTRY
};

}  // namespace

extern "C" {

// Where each entry jumps; null until the library is loaded.
__attribute__((visibility("hidden"))) void* tessa_freeimage_targets[std::size(kEntryNames)];

// Loads the library and fills the targets; a library that cannot be loaded
// ends the process as the loader would have ended it at start.
__attribute__((visibility("hidden"))) void tessa_freeimage_load() {
  static std::once_flag once;
  std::call_once(once, [] {
    void* library = ::dlopen(TESSA_FREEIMAGE_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
      std::fprintf(stderr, "%s\n", ::dlerror());
      std::abort();
    }
    void* found[std::size(kEntryNames)];
    for (std::size_t i = 0; i < std::size(kEntryNames); ++i) {
      found[i] = ::dlsym(library, kEntryNames[i]);
      if (!found[i]) {
        std::fprintf(stderr, "%s: no %s\n", TESSA_FREEIMAGE_SONAME, kEntryNames[i]);
        std::abort();
      }
    }
    // The start a direct link made, with the built-in plugins only.
    reinterpret_cast<decltype(&FreeImage_Initialise)>(::dlsym(library, "FreeImage_Initialise"))(FALSE);
    for (std::size_t i = 0; i < std::size(kEntryNames); ++i) {
      __atomic_store_n(&tessa_freeimage_targets[i], found[i], __ATOMIC_RELEASE);
    }
  });
}

}  // extern "C"

// The entries. Each puts its index in r11 (which no call passes arguments
// in) and goes to the dispatcher, which jumps to the target, or first keeps
// every argument register (and al, the count of vector arguments of a
// variadic call), loads the library and tries again.
asm(R"(
  .pushsection .text
  .p2align 4
  .type tessa_freeimage_dispatch, @function
tessa_freeimage_dispatch:
  leaq tessa_freeimage_targets(%rip), %r10
  movq (%r10,%r11,8), %r10
  testq %r10, %r10
  jz 1f
  jmp *%r10
1:
  pushq %r11
  pushq %rdi
  pushq %rsi
  pushq %rdx
  pushq %rcx
  pushq %r8
  pushq %r9
  pushq %rax
  subq $136, %rsp
  movdqu %xmm0, 0(%rsp)
  movdqu %xmm1, 16(%rsp)
  movdqu %xmm2, 32(%rsp)
  movdqu %xmm3, 48(%rsp)
  movdqu %xmm4, 64(%rsp)
  movdqu %xmm5, 80(%rsp)
  movdqu %xmm6, 96(%rsp)
  movdqu %xmm7, 112(%rsp)
  call tessa_freeimage_load
  movdqu 0(%rsp), %xmm0
  movdqu 16(%rsp), %xmm1
  movdqu 32(%rsp), %xmm2
  movdqu 48(%rsp), %xmm3
  movdqu 64(%rsp), %xmm4
  movdqu 80(%rsp), %xmm5
  movdqu 96(%rsp), %xmm6
  movdqu 112(%rsp), %xmm7
  addq $136, %rsp
  popq %rax
  popq %r9
  popq %r8
  popq %rcx
  popq %rdx
  popq %rsi
  popq %rdi
  popq %r11
  jmp tessa_freeimage_dispatch
  .size tessa_freeimage_dispatch, .-tessa_freeimage_dispatch
  .popsection
)");

#define TESSA_FREEIMAGE_ENTRY(index, name)                              \
  asm(".pushsection .text\n"                                            \
      ".p2align 4\n"                                                    \
      ".globl " #name "\n"                                              \
      ".hidden " #name "\n"                                             \
      ".type " #name ", @function\n" #name ":\n"                        \
      "  movl $" #index ", %r11d\n"                                     \
      "  jmp tessa_freeimage_dispatch\n"                                \
      ".size " #name ", .-" #name "\n"                                  \
      ".popsection\n");
#include "freeimage_entries.inc"
#undef TESSA_FREEIMAGE_ENTRY

#endif  // TESSA_FREEIMAGE_ON_DEMAND
