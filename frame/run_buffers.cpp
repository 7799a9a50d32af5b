#include "frame/run_buffers.h"

void initRunBuffers(RunBuffers* buffers) {
  buffers->count = 0;
  buffers->failedStep = 0;
  for (int i = 0; i < kMaxRunBuffers; ++i) {
    buffers->handles[i] = nullptr;
    buffers->addresses[i] = nullptr;
  }
}

void* allocRunBuffer(RunBuffers* buffers, SIZE_T bytes) {
  if (buffers->failedStep != 0) return nullptr;
  int step = 2 * buffers->count + 1;
  if (buffers->count == kMaxRunBuffers) {
    buffers->failedStep = step;
    return nullptr;
  }
  HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, bytes);
  if (handle != nullptr && handleBits(handle) == 0) {
    GlobalFree(handle);
    handle = nullptr;
  }
  if (handle == nullptr) {
    buffers->failedStep = step;
    return nullptr;
  }
  int index = buffers->count++;
  buffers->handles[index] = handle;
  // A zero-size movable block cannot be locked: it counts as a failed lock, not a buffer.
  void* address = GlobalLock(handle);
  if (address == nullptr) {
    buffers->failedStep = step + 1;
    return nullptr;
  }
  buffers->addresses[index] = address;
  return address;
}

BlockBuffer runBufferField(const RunBuffers* buffers, const void* address) {
  for (int i = 0; i < buffers->count; ++i)
    if (address != nullptr && buffers->addresses[i] == address)
      return blockBufferOf(buffers->handles[i]);
  return BlockBuffer{0};
}

HGLOBAL detachRunBuffer(RunBuffers* buffers, int index) {
  if (index < 0 || index >= buffers->count) return nullptr;
  HGLOBAL handle = buffers->handles[index];
  if (buffers->addresses[index] != nullptr) GlobalUnlock(handle);
  buffers->handles[index] = nullptr;
  buffers->addresses[index] = nullptr;
  return handle;
}

void releaseRunBuffers(RunBuffers* buffers) {
  for (int i = buffers->count - 1; i >= 0; --i) {
    if (buffers->handles[i] == nullptr) continue;  // detached
    if (buffers->addresses[i] != nullptr) GlobalUnlock(buffers->handles[i]);
    GlobalFree(buffers->handles[i]);
    buffers->handles[i] = nullptr;
    buffers->addresses[i] = nullptr;
  }
  buffers->count = 0;
}
