// The working buffers of a run: movable, shareable global blocks, each locked at once. The
// allocations and locks are numbered in order (allocation k is step 2k-1, its lock step 2k),
// so that after the first failure exactly the blocks that were locked are unlocked and
// exactly those that were allocated are freed.
#pragma once

#include "frame/xfm.h"

constexpr int kMaxRunBuffers = 32;

struct RunBuffers {
  HGLOBAL handles[kMaxRunBuffers];  // allocated blocks, in order
  void* addresses[kMaxRunBuffers];  // where handles[i] is locked, null when it is not
  int count;                        // blocks allocated so far
  int failedStep;                   // 0, or the number of the first allocation or lock that failed
};

void initRunBuffers(RunBuffers* buffers);

// Allocates `bytes` (zero-filled) and locks the block; returns its address, or null after a
// failure (then failedStep tells which step, and every later call also returns null). A block
// whose handle a parameter block could not hold (frame/block_fields.h) is a failed allocation.
void* allocRunBuffer(RunBuffers* buffers, SIZE_T bytes);

// The buffer field for the block locked at `address` (a value allocRunBuffer returned): what
// the run leaves in its parameter block for the results dialog. 0 for any other address.
BlockBuffer runBufferField(const RunBuffers* buffers, const void* address);

// Takes block `index` (0-based, in allocation order) out of the record, unlocked, to be handed
// on (to the clipboard): the caller owns it from now on and releaseRunBuffers leaves it alone.
// Null when there is no such block.
HGLOBAL detachRunBuffer(RunBuffers* buffers, int index);

// Unlocks what is locked and frees what is allocated, in reverse order; the record is empty
// afterwards.
void releaseRunBuffers(RunBuffers* buffers);
