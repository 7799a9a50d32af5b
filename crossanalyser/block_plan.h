// How a selection is cut into analysis blocks of N samples overlapping by three quarters (hop
// N/4), with a final partial block for the rest. Counts and offsets are 32-bit and products are
// formed in 64 bits, so no selection length can wrap them.
#pragma once

struct BlockPlan {
  long fullBlocks;     // A: blocks of N samples
  long long covered;   // c: samples the full blocks cover, 0 when A = 0, else N + N(A-1)/4
  long partialStart;   // frame where the partial block starts (selFirst + N A/4)
  long partialLength;  // m': samples of the partial block, 0 when there is none
  long blockCount;     // A, plus 1 when there is a partial block
};

// The plan for the frames selFirst ... selLast (inclusive) and FFT size n (a power of two,
// >= 4). With m = selLast - selFirst + 1: A = (m - N) / (N/4) + 1 when m >= N, else 0; so a
// selection shorter than N is one partial block of m samples and no block ever reads past the
// selection. An empty selection (m <= 0) has no block at all.
BlockPlan PlanBlocks(long selFirst, long selLast, long n);

// First frame of full block j.
long FullBlockStart(long selFirst, long n, long j);
