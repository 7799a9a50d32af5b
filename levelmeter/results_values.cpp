#include "levelmeter/results_values.h"

#include <math.h>

double energeticMean(double a, double b) {
  return 10.0 * log10((pow(10.0, a / 10.0) + pow(10.0, b / 10.0)) / 2.0);
}

double totalDuration(const MeterParams* p) {
  return p->runSampleRate > 0 ? (double)p->runFrames / p->runSampleRate : 0.0;
}

namespace {

double selOf(double leq, double duration) {
  return duration > 0.0 ? leq + 10.0 * log10(duration) : leq;
}

void fillDifferences(ResultSummary* s) {
  s->peakiness = s->maxPeak - s->activeLevel;
  s->impulsiveness = s->maxImpulse - s->activeLevel;
  s->millisecondness = s->maxRms - s->activeLevel;
}

}  // namespace

ResultSummary channelSummary(const MeterParams* p, const ChannelResults& r, float fullScale) {
  ResultSummary s;
  s.fullScale = fullScale;
  s.duration = totalDuration(p);
  s.leq = r.leq;
  s.sel = selOf(s.leq, s.duration);
  s.activeLevel = r.activeLevel;
  s.thresholdLevel = r.thresholdLevel;
  s.activityPercent = r.activityFactor * 100.0;
  s.maxPeak = r.maxPeak;
  s.maxImpulse = r.maxImpulse;
  s.maxFast = r.maxFast;
  s.maxSlow = r.maxSlow;
  s.maxRms = r.maxRms;
  s.eventDuration = r.eventDuration;
  s.impulsive = r.impulsiveEvent != 0;
  fillDifferences(&s);
  return s;
}

ResultSummary averageSummary(const MeterParams* p) {
  const ChannelResults& l = p->left;
  const ChannelResults& r = p->right;
  ResultSummary s;
  s.fullScale = (p->fullScaleLeft + p->fullScaleRight) / 2.0;
  s.duration = totalDuration(p);
  s.leq = energeticMean(l.leq, r.leq);
  s.sel = selOf(s.leq, s.duration);
  s.activeLevel = energeticMean(l.activeLevel, r.activeLevel);
  s.thresholdLevel = ((double)l.thresholdLevel + r.thresholdLevel) / 2.0;
  s.activityPercent = ((double)l.activityFactor + r.activityFactor) / 2.0 * 100.0;
  s.maxPeak = energeticMean(l.maxPeak, r.maxPeak);
  s.maxImpulse = energeticMean(l.maxImpulse, r.maxImpulse);
  s.maxFast = energeticMean(l.maxFast, r.maxFast);
  s.maxSlow = energeticMean(l.maxSlow, r.maxSlow);
  s.maxRms = energeticMean(l.maxRms, r.maxRms);
  s.eventDuration = ((double)l.eventDuration + r.eventDuration) / 2.0;
  s.impulsive = l.impulsiveEvent != 0 || r.impulsiveEvent != 0;
  fillDifferences(&s);
  return s;
}

const char* filterName(char code) {
  switch (code) {
    case kFilterItuBandPass:
      return "ITU BandPass";
    case kFilterAWeighting:
      return "IEC A-weighting";
    case kFilterWholeBody:
      return "ISO whole body";
    default:
      return "Wide Band";
  }
}
