// Handle values for memory blocks and files: opaque numbers that are never addresses.
#include "internal.h"

#include <sys/mman.h>

namespace {

// Each kind gets 4 MiB of reserved addresses, one handle every 8 bytes: half a million live
// objects before a value is reissued.
constexpr uintptr_t kKindSpan = uintptr_t(1) << 22;
constexpr uintptr_t kStep = 8;
// Should the reservation fail, the first 64 KiB, which the system never maps, serve instead.
constexpr uintptr_t kFallbackBase = 0x1000;
constexpr uintptr_t kFallbackSpan = (0x10000 - kFallbackBase) / kHandleKinds;

struct HandleSpace {
  uintptr_t base;
  uintptr_t span;
  uintptr_t offset[kHandleKinds];  // of the last value issued, within the kind's part
};

HandleSpace& space() {
  static HandleSpace* s = [] {
    auto* h = new HandleSpace{};
    void* p = mmap(nullptr, kKindSpan * kHandleKinds, PROT_NONE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED) {
      h->base = kFallbackBase;
      h->span = kFallbackSpan;
    } else {
      h->base = reinterpret_cast<uintptr_t>(p);
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
