// Control ids of crossanalyser's dialogs, as crossanalyser.rc places them.
#pragma once

constexpr int kHelpButton = 3;
constexpr char kHelpKeyword[] = "Cross Functions";

// Settings dialog (100).
constexpr int kSettingsStateHolder = 1033;
constexpr int kFftSizeList = 1034;
constexpr int kWindowList = 1035;
constexpr int kRadioAutoCorrelations = 1045;
constexpr int kRadioCrossCorrelation = 1025;
constexpr int kRadioWhiteCross = 1046;
constexpr int kRadioCrossPowerPhase = 1059;
constexpr int kRadioTransferH1 = 1026;
constexpr int kRadioTransferH2 = 1040;
constexpr int kRadioTransferH3 = 1041;
constexpr int kRadioAbsorption = 1056;
constexpr int kRadioTubeCalibration = 1042;
constexpr int kRadioFreeField = 1057;
constexpr int kSoundSpeedEdit = 1048;
constexpr int kProbeDistanceEdit = 1055;
constexpr int kMaxFrequencyEdit = 1058;
constexpr int kFollowBox = 1036;
constexpr int kFollowLeftRadio = 1049;
constexpr int kFollowRightRadio = 1050;
constexpr int kBandwidthLabel = 1051;
constexpr int kBandwidthEdit = 1047;
constexpr int kNormalizeBox = 1000;
constexpr int kSquaredHilbertBox = 1043;
constexpr int kShiftHalfBox = 1001;
constexpr int kTimeReversalBox = 1002;
constexpr int kCoherenceWeightingBox = 1003;
constexpr int kMultiSpectrumBox = 1054;
constexpr int kTriggerLevelEdit = 1053;

// Results dialog (107).
constexpr int kResultsStateHolder = 1038;
constexpr int kFftSizeText = 1031;
constexpr int kChannelsText = 1028;
constexpr int kSampleRateText = 1027;
constexpr int kBlockCountText = 1029;
constexpr int kTransformTypeText = 1032;
constexpr int kElapsedText = 1030;
constexpr int kRmsLeftText = 1033;
constexpr int kRmsRightText = 1034;
constexpr int kRmsCrossText = 1035;
constexpr int kTriggerLine = 1037;
constexpr int kCorrelationLine = 1036;
constexpr int kScaleDb = 1062;
constexpr int kScaleLinear = 1063;
constexpr int kRangeTwoKilohertz = 1064;
constexpr int kRangeNyquist = 1065;
constexpr int kLinearView = 1066;
constexpr int kWaveformButton = 1;
constexpr int kSpectralValuesButton = 2;
constexpr int kDisplayFrame = 1055;
constexpr int kCurveLeft = 1060;
constexpr int kCurveRight = 1061;
constexpr int kCurveMagnitude = 1056;
constexpr int kCurvePhase = 1057;
constexpr int kCurveReal = 1058;
constexpr int kCurveImag = 1059;
constexpr int kCurveAlpha = 1004;
constexpr int kCurveCoherence = 1003;
