// Handle values for memory blocks, files and modules: opaque numbers that are never addresses.
#include "internal.h"

#include <sys/mman.h>

uintptr_t reserveHandleRange(uintptr_t bytes) {
  int flags = MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE;
#if defined(MAP_32BIT)
  // x86-64: the first 2 GiB, so that every handle survives a 32-bit field and comes back
  // unchanged when widened with its sign, as Win64 widens handles.
  flags |= MAP_32BIT;
#endif
  void* p = mmap(nullptr, bytes, PROT_NONE, flags, -1, 0);
  return p == MAP_FAILED ? 0 : reinterpret_cast<uintptr_t>(p);
}

namespace {

// Each kind gets 4 MiB of reserved addresses, one handle every 8 bytes: half a million live
// objects before a value is reissued.
constexpr uintptr_t kKindSpan = uintptr_t(1) << 22;
constexpr uintptr_t kStep = 8;
// Should the reservation fail, the first 64 KiB, which the system never maps, serve instead.
constexpr uintptr_t kFallbackBase = 0x1000;
constexpr uintptr_t kFallbackSpan = (0x8000 - kFallbackBase) / kHandleKinds / kStep * kStep;

struct HandleSpace {
  uintptr_t base;
  uintptr_t span;
  uintptr_t offset[kHandleKinds];  // of the last value issued, within the kind's part
};

HandleSpace& space() {
  static HandleSpace* s = [] {
    auto* h = new HandleSpace{};
    const uintptr_t base = reserveHandleRange(kKindSpan * kHandleKinds);
    if (base == 0) {
      h->base = kFallbackBase;
      h->span = kFallbackSpan;
    } else {
      h->base = base;
      h->span = kKindSpan;
    }
    return h;
  }();
  return *s;
}

}  // namespace

HANDLE handleNew(PlatformHandleKind kind, bool (*taken)(HANDLE)) {
  HandleSpace& s = space();
  const uintptr_t first = s.base + s.span * kind;
  const uintptr_t count = s.span / kStep - 1;  // offset 0 is never issued
  for (uintptr_t tries = 0; tries < count; ++tries) {
    s.offset[kind] += kStep;
    if (s.offset[kind] >= s.span) s.offset[kind] = kStep;
    HANDLE h = reinterpret_cast<HANDLE>(first + s.offset[kind]);
    if (!taken(h)) return h;
  }
  return nullptr;
}
