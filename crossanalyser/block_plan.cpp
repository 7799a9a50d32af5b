#include "crossanalyser/block_plan.h"

BlockPlan PlanBlocks(long selFirst, long selLast, long n) {
  BlockPlan plan = {0, 0, selFirst, 0, 0};
  const long long m = (long long)selLast - selFirst + 1;
  if (m <= 0) return plan;
  const long long hop = n / 4;
  if (m >= n) {
    plan.fullBlocks = (long)((m - n) / hop + 1);
    plan.covered = n + hop * (plan.fullBlocks - 1);
  }
  const long long start = hop * plan.fullBlocks;
  if (plan.covered < m) {
    plan.partialStart = (long)(selFirst + start);
    plan.partialLength = (long)(m - start);
  }
  plan.blockCount = plan.fullBlocks + (plan.partialLength > 0 ? 1 : 0);
  return plan;
}

long FullBlockStart(long selFirst, long n, long j) {
  return (long)(selFirst + (long long)n * j / 4);
}
