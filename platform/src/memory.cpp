// Global memory blocks as the plug-ins use them: movable blocks reached through handles and
// locked for use, with the accounting and injected faults that the tests rely on.
#include "internal.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace {

constexpr UINT kFlagDiscardable = 0x0100;    // GMEM_DISCARDABLE
constexpr UINT kFlagDiscarded = 0x4000;      // GMEM_DISCARDED, as GlobalFlags reports it
constexpr UINT kFlagInvalidHandle = 0x8000;  // GMEM_INVALID_HANDLE
constexpr UINT kLockCountMask = 0x00FF;      // GMEM_LOCKCOUNT
// Blocks allocated without GMEM_ZEROINIT start filled with this (unless the host turns it off
// for a person's run), so code that reads what it never wrote sees the same junk on every run
// instead of lucky zeros.
constexpr int kFreshFill = 0xCD;

struct Block {
  void* data;  // null for a discarded (zero-size movable) block
  SIZE_T size;
  SIZE_T mapped;  // bytes mapped for a large block (data is then the mapping's), else 0
  UINT flags;
  int locks;
  bool failLock;   // orvane_fail_lock_of
  bool clipboard;  // handed over by SetClipboardData
};

struct MemoryState {
  // Keyed by handle: a fresh opaque value for movable blocks, the address for fixed ones
  // (a fixed block's handle is its address, as on Windows).
  std::unordered_map<uintptr_t, Block> blocks;
  int allocCalls = 0;
  int lockCalls = 0;
  int failedCalls = 0;
  int failAllocIn = 0;  // the call that many from now fails; 0 when none is pending
  int failLockIn = 0;
  bool freshFill = true;  // orvane_memory_fill_fresh
};

MemoryState& memory() {
  // Never destroyed: plug-ins may still free blocks while the process exits.
  static MemoryState* s = new MemoryState;
  return *s;
}

Block* find(HGLOBAL h) {
  auto& blocks = memory().blocks;
  auto it = blocks.find(reinterpret_cast<uintptr_t>(h));
  return it == blocks.end() ? nullptr : &it->second;
}

bool taken(HANDLE h) { return find(h) != nullptr; }

// Counts down a one-shot fault; true when this call is the one to fail.
bool strikes(int& countdown) {
  if (countdown <= 0) return false;
  return --countdown == 0;
}

// Large blocks (a recording's samples, a long history) are pages of their own, in huge pages
// where the system offers them: touching hundreds of megabytes then costs a few hundred page
// faults instead of a hundred thousand, which is most of a long run's time otherwise. Fresh
// pages are zero, so a zero-filled block needs no pass either.
constexpr SIZE_T kLargeBlock = SIZE_T(4) << 20;
#if defined(__SANITIZE_ADDRESS__)
// Under AddressSanitizer every block comes from its allocator, which guards its ends.
constexpr bool kMapLargeBlocks = false;
#else
constexpr bool kMapLargeBlocks = true;
#endif
constexpr SIZE_T kHugePage = SIZE_T(2) << 20;

void* mapLarge(SIZE_T bytes, SIZE_T* mapped) {
  const SIZE_T length = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  // One huge page more than needed, so that the block can start on a huge-page boundary.
  const SIZE_T reserve = length + kHugePage;
  if (length < bytes || reserve < length) return nullptr;
  void* p = mmap(nullptr, reserve, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  const uintptr_t start = reinterpret_cast<uintptr_t>(p);
  const uintptr_t aligned = (start + kHugePage - 1) & ~(uintptr_t(kHugePage) - 1);
  if (aligned > start) munmap(p, aligned - start);
  const uintptr_t end = start + reserve, used = aligned + length;
  if (end > used) munmap(reinterpret_cast<void*>(used), end - used);
  madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
  *mapped = length;
  return reinterpret_cast<void*>(aligned);
}

void freeData(const Block& b) {
  if (b.mapped)
    munmap(b.data, b.mapped);
  else
    std::free(b.data);
}

void release(HGLOBAL h) {
  auto& blocks = memory().blocks;
  auto it = blocks.find(reinterpret_cast<uintptr_t>(h));
  if (it == blocks.end()) return;
  freeData(it->second);
  blocks.erase(it);
}

}  // namespace

WINBASEAPI HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
  MemoryState& m = memory();
  ++m.allocCalls;
  if (strikes(m.failAllocIn)) {
    ++m.failedCalls;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  const bool movable = (uFlags & GMEM_MOVEABLE) != 0;
  Block b{nullptr, dwBytes, 0, uFlags, 0, false, false};
  // A zero-size movable block is born discarded: it has a handle but no memory to lock.
  // A zero-size fixed block is a valid address of no bytes.
  if (dwBytes > 0 || !movable) {
    // A zero-filled block comes zeroed from the system (large ones as fresh pages, which
    // costs no pass over them); the others get the fill only when it is asked for.
    const SIZE_T bytes = dwBytes > 0 ? dwBytes : 1;
    if (bytes >= kLargeBlock && kMapLargeBlocks)
      b.data = mapLarge(bytes, &b.mapped);
    else
      b.data = (uFlags & GMEM_ZEROINIT) ? std::calloc(bytes, 1) : std::malloc(bytes);
    if (!b.data) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    if (!(uFlags & GMEM_ZEROINIT) && m.freshFill) std::memset(b.data, kFreshFill, dwBytes);
  }
  HGLOBAL h = movable ? handleNew(kHandleMemory, taken) : b.data;
  if (!h) {
    freeData(b);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  m.blocks.emplace(reinterpret_cast<uintptr_t>(h), b);
  return h;
}

WINBASEAPI LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
  MemoryState& m = memory();
  ++m.lockCalls;
  Block* b = find(hMem);
  if (strikes(m.failLockIn) || (b && b->failLock)) {
    ++m.failedCalls;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (!b) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (!b->data) {
    SetLastError(kErrorDiscarded);
    return nullptr;
  }
  ++b->locks;
  return b->data;
}

WINBASEAPI BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
  Block* b = find(hMem);
  if (!b) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (b->locks == 0) {
    SetLastError(kErrorNotLocked);
    return FALSE;
  }
  if (--b->locks > 0) return TRUE;
  SetLastError(ERROR_SUCCESS);
  return FALSE;
}

WINBASEAPI HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
  Block* b = find(hMem);
  // A block handed to the clipboard is no longer the caller's to free.
  if (!b || b->clipboard) {
    SetLastError(ERROR_INVALID_HANDLE);
    return hMem;
  }
  // As on Windows, a locked block is freed too; its lock count goes with it.
  release(hMem);
  return nullptr;
}

WINBASEAPI SIZE_T WINAPI GlobalSize(HGLOBAL hMem) {
  Block* b = find(hMem);
  if (!b) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return b->data ? b->size : 0;
}

WINBASEAPI UINT WINAPI GlobalFlags(HGLOBAL hMem) {
  Block* b = find(hMem);
  if (!b) {
    SetLastError(ERROR_INVALID_HANDLE);
    return kFlagInvalidHandle;
  }
  UINT flags = UINT(b->locks) & kLockCountMask;
  flags |= b->flags & (GMEM_DDESHARE | kFlagDiscardable);
  if (!b->data) flags |= kFlagDiscarded;
  return flags;
}

DWORD memoryGiveToClipboard(HGLOBAL block) {
  Block* b = find(block);
  if (!b || b->clipboard) return ERROR_INVALID_HANDLE;
  if (b->locks > 0) return ERROR_INVALID_PARAMETER;
  b->clipboard = true;
  return 0;
}

void memoryFreeClipboardBlock(HGLOBAL block) {
  Block* b = find(block);
  if (b && b->clipboard) release(block);
}

const void* memoryBlockBytes(HGLOBAL block, size_t* size) {
  Block* b = find(block);
  if (size) *size = (b && b->data) ? b->size : 0;
  return b ? b->data : nullptr;
}

void memoryResetFaults() {
  orvane_memory_reset_counters();
  for (auto& entry : memory().blocks) entry.second.failLock = false;
}

extern "C" {

ORVANE_EXPORT void orvane_memory_stats(OrvaneMemoryStats* out) {
  if (!out) return;
  const MemoryState& m = memory();
  *out = OrvaneMemoryStats{};
  for (const auto& entry : m.blocks) {
    const Block& b = entry.second;
    if (b.clipboard) continue;
    ++out->liveBlocks;
    if (b.locks > 0) ++out->lockedBlocks;
  }
  out->allocCalls = m.allocCalls;
  out->lockCalls = m.lockCalls;
  out->failedCalls = m.failedCalls;
}

ORVANE_EXPORT void orvane_memory_reset_counters(void) {
  MemoryState& m = memory();
  m.allocCalls = m.lockCalls = m.failedCalls = 0;
  m.failAllocIn = m.failLockIn = 0;
}

ORVANE_EXPORT void orvane_memory_fill_fresh(int fill) { memory().freshFill = fill != 0; }

ORVANE_EXPORT void orvane_fail_alloc_at(int k) { memory().failAllocIn = k > 0 ? k : 0; }

ORVANE_EXPORT void orvane_fail_lock_at(int k) { memory().failLockIn = k > 0 ? k : 0; }

ORVANE_EXPORT void orvane_fail_lock_of(HGLOBAL block, int fail) {
  if (Block* b = find(block)) b->failLock = fail != 0;
}

ORVANE_EXPORT int orvane_lock_count(HGLOBAL block) {
  const Block* b = find(block);
  return (b && !b->clipboard) ? b->locks : -1;
}

}  // extern "C"
