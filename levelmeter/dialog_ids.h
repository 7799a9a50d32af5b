// Control ids of levelmeter's dialogs, as levelmeter.rc places them.
#pragma once

// Both dialogs.
constexpr int kHelpButton = 4;
constexpr int kStateHolder = 120;
constexpr char kHelpKeyword[] = "ITU P56 Active Speech Level";

// Settings dialog (100).
constexpr int kLeftItu = 1000;
constexpr int kLeftIec = 1001;
constexpr int kLeftIso = 1002;
constexpr int kRightItu = 1003;
constexpr int kRightIec = 1008;
constexpr int kRightIso = 1009;
constexpr int kRightColumnBox = 1266;
constexpr int kFullScaleRadio = 1232;
constexpr int kLeqRadio = 1234;
constexpr int kLeftHeading = 1245;
constexpr int kRightHeading = 1246;
constexpr int kLeftValue = 1006;
constexpr int kRightValue = 1007;

// Results dialog (107).
constexpr int kWeightingName = 1244;
constexpr int kDisplayFrame = 1301;
constexpr int kCurveRms = 1265;
constexpr int kCurveItu = 1266;
constexpr int kCurveFast = 1267;
constexpr int kCurveSlow = 1268;
constexpr int kCurveImpulse = 1269;
constexpr int kAverageBox = 1278;
constexpr int kCopyToClipboard = 1051;
constexpr int kExportToFile = 1057;
