// The result fields of levelmeter's results dialog (107), as levelmeter.rc places them: one
// column of ids per channel and one for the average of the two.
#pragma once

// What a field holds while it shows no result (the template's text, and a cleared column's).
constexpr char kNotShown[] = "- - -";

// The control ids of one column of the result rows.
struct ResultColumn {
  int fullScale, leq, sel, duration, active, threshold, activity, maxPeak, maxImpulse, maxFast,
      maxSlow, eventDuration, impulsive;
};
constexpr ResultColumn kLeftColumn = {1233, 1234, 1247, 1248, 1235, 1236, 1237,
                                      1243, 1238, 1239, 1240, 1241, 1242};
constexpr ResultColumn kRightColumn = {1253, 1254, 1249, 1250, 1255, 1256, 1257,
                                       1245, 1258, 1259, 1260, 1261, 1262};
// The average column has no full-scale field of its own (1263 keeps its template text).
constexpr ResultColumn kAverageColumn = {0,    1264, 1251, 1252, 1270, 1271, 1272,
                                         1246, 1273, 1274, 1275, 1276, 1277};

// The texts of the impulsive-event field, for false and true.
constexpr char kImpulsiveNo[] = "no";
constexpr char kImpulsiveYes[] = "yes";
