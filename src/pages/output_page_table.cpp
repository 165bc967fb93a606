#include "pages/output_page_table.h"

namespace {

// Threshold v - 50 dB, ratio 1:v, attack v ms, release v x 0.1 s.
constexpr LabelFormat kThreshold{"", -50, 1.0, 0, "db"};
constexpr LabelFormat kRatio{"1:"};
constexpr LabelFormat kRelease{"", 0, 0.1, 1, "s"};
// A KTV delay counts 0.02 ms steps.
constexpr LabelFormat kDelayMs{"", 0, 0.02, 2, "ms"};
// The crossover byte is half the frequency.
constexpr LabelFormat kCrossover{"", 0, 2.0, 0, "Hz"};

// clang-format off
constexpr OutputRoleSpec kRoles[kOutRoleCount] = {
    // slider, caption, label, polarity, range, label, caption rows (KTV, cinema)
    {1220, 1402, 1221, 1545, 0, 99, label_formats::kVolumeDb, {217, 217}},
    {1249, 1406, 1250, 1555, 0, 99, label_formats::kVolumeDb, {218, 218}},
    {1236, 1412, 1237, 0, 0, 2500, kDelayMs, {83, 243}},
    {1244, 1414, 1252, 0, 0, 2500, kDelayMs, {84, 244}},
    {1226, 1405, 1227, 1546, 0, 100, label_formats::kPercent, {103, 103}},
    {1224, 1404, 1225, 1547, 0, 100, label_formats::kPercent, {85, 85}},
    {1222, 1403, 1223, 1556, 0, 100, label_formats::kPercent, {55, 55}},
    {1551, 1548, 1550, 1558, 0, 100, label_formats::kPercent, {65, 65}},
    {1228, 1408, 1229, 0, 0, 50, kThreshold, {107, 107}},
    {1230, 1409, 1231, 0, 2, 100, kRatio, {108, 108}},
    {1232, 1410, 1233, 0, 1, 90, label_formats::kMs, {109, 109}},
    {1234, 1411, 1235, 0, 1, 25, kRelease, {110, 110}},
    {1251, 1856, 1857, 0, 20, 125, kCrossover, {210, 210}},
    {1242, 1413, 1243, 1560, 0, 99, label_formats::kVolumeDb, {246, 246}},
    {1253, 1415, 1254, 1561, 0, 99, label_formats::kVolumeDb, {247, 247}},
};

constexpr DluPoint kNone{};

constexpr OutputPageSpec kPages[] = {
    {kEqMaster, 0, 0,
     {{27, 116}, {28, 117}}, {29, 30, 31, 32}, {33, 118}, {{34, 40}, {35, 41}},
     {{-1, -1}, {-1, -1}},
     217, {83, 243},
     {{1240, 19, false, 111, 478, 127, 70},
      {1241, 0, true, 189, 252, 127, 58},
      {1248, 1, true, 190, 252, 141, 58}}, 3,
     {{1930, 1, 250, 312, 127}, {1931, 2, 251, 312, 141}},
     {{251, 19}, {251, 46}, {251, 76}, {251, 106},
      {364, 19}, {364, 46}, {364, 76}, {364, 106},
      {475, 19}, {475, 46}, {475, 76}, {475, 106},
      {586, 46}, kNone, kNone},
     {586, 6}, {587, 20}},
    // The output column one unit left; the back pair where the other pages
    // have the speaker group, the speaker group below it.
    {kEqSurround, 2, 1,
     {{41, 124}, {42, 125}}, {43, 44, 45, 46}, {47, 126}, {{36, 42}, {37, 43}},
     {{155, 157}, {156, 158}},
     217, {83, 243},
     {{1240, 21, false, 111, 478, 127, 70},
      {1241, 2, true, 189, 251, 127, 58},
      {1248, 3, true, 190, 251, 141, 58},
      {1247, 6, true, 248, 587, 66, 64},
      {1255, 7, true, 249, 587, 80, 64}}, 5,
     {{1930, 3, 250, 311, 127}, {1931, 4, 251, 311, 141}},
     {{250, 19}, {250, 46}, {250, 76}, {250, 106},
      {364, 19}, {364, 46}, {364, 76}, {364, 106},
      {475, 19}, {475, 46}, {475, 76}, {475, 106},
      {586, 130}, {583, 18}, {583, 45}},
     {586, 94}, {587, 107}},
    {kEqCentre, 4, 2,
     {{55, 132}, {-1, -1}}, {57, 58, 59, 60}, {61, 134}, {{38, 44}, {-1, -1}},
     {{-1, -1}, {-1, -1}},
     96, {97, 245},
     {{1240, 23, false, 111, 478, 127, 70},
      {1241, 4, true, 98, 257, 79, 58}}, 2,
     {{1930, 5, 252, 257, 94}, {1931, 0, 0, 0, 0}},
     {{250, 19}, kNone, {250, 47}, kNone,
      {364, 19}, {364, 46}, {364, 76}, {364, 106},
      {475, 19}, {475, 46}, {475, 76}, {475, 106},
      {586, 46}, kNone, kNone},
     {586, 6}, {587, 20}},
    {kEqSubwoofer, 5, -1,
     {{67, 140}, {-1, -1}}, {69, 70, 71, 72}, {73, 142}, {{39, 45}, {-1, -1}},
     {{-1, -1}, {-1, -1}},
     96, {97, 245},
     {{1240, 24, false, 111, 478, 127, 70},
      {1241, 5, true, 98, 257, 79, 58}}, 2,
     {{1930, 6, 252, 257, 95}, {1931, 0, 0, 0, 0}},
     {{250, 19}, kNone, {250, 47}, kNone,
      {364, 19}, {364, 46}, {364, 76}, {364, 106},
      {475, 19}, {475, 46}, {475, 76}, {475, 106},
      kNone, kNone, kNone},
     kNone, kNone},
};
// clang-format on

}  // namespace

const OutputRoleSpec& OutputRoleFor(OutputRole role) {
    return kRoles[role >= 0 && role < kOutRoleCount ? role : 0];
}

const OutputPageSpec& OutputPageSpecFor(EqPageKind kind) {
    for (const OutputPageSpec& spec : kPages)
        if (spec.eq == kind) return spec;
    return kPages[0];
}
