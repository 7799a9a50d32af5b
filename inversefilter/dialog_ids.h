// Control ids of inversefilter's dialogs, as inversefilter.rc places them, and the help
// keyword both its settings dialog and the help file share.
#pragma once

constexpr int kHelpButton = 3;
constexpr char kHelpKeyword[] = "Kirkeby's Inverse Filter";

// Settings dialog (100).
constexpr int kSettingsStateHolder = 1033;
constexpr int kSelectionInfo = 1026;
constexpr int kDualMonoButton = 1010;
constexpr int kStereoButton = 1011;
constexpr int k2x2Button = 1012;
constexpr int kActiveNoiseControlBox = 1053;  // hidden: the block's flag is never set here
constexpr int kCrossTalkOnlyBox = 1052;
constexpr int kFilterLengthEdit = 1061;
constexpr int kInBandEdit = 1042;
constexpr int kOutBandEdit = 1043;
constexpr int kLowerCutEdit = 1044;
constexpr int kHigherCutEdit = 1045;
constexpr int kTransitionEdit = 1046;
constexpr int kAverageTypeList = 1034;
constexpr int kWindowGroup = 1074;
constexpr int kWindowTypeLabel = 1072;
constexpr int kWindowTypeList = 1035;
constexpr int kWindowWidthLabel = 1073;
constexpr int kWindowWidthEdit = 1058;
constexpr int kAutorangeBox = 1036;
constexpr int kManualGainLabel = 1076;
constexpr int kManualGainEdit = 1047;

// Results dialog (107).
constexpr int kShownFilterLength = 1026;
constexpr int kShownChannels = 1028;
constexpr int kShownSampleRate = 1029;
constexpr int kShownInBand = 1031;
constexpr int kShownOutBand = 1032;
constexpr int kShownLowerCut = 1044;
constexpr int kShownHigherCut = 1045;
constexpr int kShownTransition = 1046;
constexpr int kShownAverageType = 1027;
constexpr int kShownWindowType = 1033;
constexpr int kShownWindowWidth = 1034;
constexpr int kShownElapsed = 1030;
constexpr int kShownGain = 1035;
constexpr int kDisplayFrame = 1301;
