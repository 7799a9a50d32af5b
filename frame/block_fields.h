// Handles and buffers kept in parameter blocks. A block has one byte layout on every build (a
// preset saved by a 64-bit build loads in a 32-bit one and the other way round), so what it
// holds of the system is always 32 bits, whatever the width of an address. The rule:
//
// - A handle field (letter 'h', BlockHandle) holds a window or module handle as its low 32
//   bits and gives it back widened with its sign, as Win64 hands handles to 32-bit code.
//   Window handles always fit; the Linux platform layer issues all its handles below 2 GiB. A
//   handle that would not come back unchanged (a 64-bit module loaded high) is stored as 0,
//   "none": a run then takes its own module (frame/own_module.h) and its boxes have no owner.
//
// - A buffer field (letter 'l', BlockBuffer) holds the handle of one of the run's movable
//   blocks, never its address. The run owns the block and frees it once its results dialog has
//   closed; whoever reads the buffer (the results dialog, the display's callback, an export)
//   locks it for that use only, and a field read after the run has freed its block fails the
//   lock instead of reading freed memory. 0 means no buffer. A run whose block handle would
//   not fit in 32 bits treats it as a failed allocation (frame/run_buffers.h).
#pragma once

#include <windows.h>

#include <stdint.h>

#pragma pack(push, 1)
struct BlockHandle {
  uint32_t bits;
};
struct BlockBuffer {
  uint32_t bits;
};
#pragma pack(pop)
static_assert(sizeof(BlockHandle) == 4 && sizeof(BlockBuffer) == 4, "32-bit block fields");

// The 32-bit form of a handle; 0 when the handle does not survive it.
inline uint32_t handleBits(const void* handle) {
  const uint32_t bits = (uint32_t)(uintptr_t)handle;
  return (const void*)(intptr_t)(int32_t)bits == handle ? bits : 0;
}
inline void* handleFromBits(uint32_t bits) { return (void*)(intptr_t)(int32_t)bits; }

inline void storeHandle(BlockHandle* field, const void* handle) {
  field->bits = handleBits(handle);
}
template <typename Handle>
inline Handle loadHandle(BlockHandle field) {
  return (Handle)handleFromBits(field.bits);
}

inline BlockBuffer blockBufferOf(HGLOBAL block) { return BlockBuffer{handleBits(block)}; }
// The buffer's bytes, locked until unlockBlockBuffer; null for no buffer or a freed block (and
// then there is nothing to unlock).
inline void* lockBlockBuffer(BlockBuffer buffer) {
  return buffer.bits != 0 ? GlobalLock((HGLOBAL)handleFromBits(buffer.bits)) : nullptr;
}
inline void unlockBlockBuffer(BlockBuffer buffer) {
  if (buffer.bits != 0) GlobalUnlock((HGLOBAL)handleFromBits(buffer.bits));
}

// Locks `count` buffer fields, addresses[i] null where the lock failed; unlocks those that
// locked.
inline void lockBlockBuffers(const BlockBuffer* fields, int count, void** addresses) {
  for (int i = 0; i < count; ++i) addresses[i] = lockBlockBuffer(fields[i]);
}
inline void unlockBlockBuffers(const BlockBuffer* fields, int count, void* const* addresses) {
  for (int i = 0; i < count; ++i)
    if (addresses[i] != nullptr) unlockBlockBuffer(fields[i]);
}
