#include "pages/eq_page_table.h"

namespace {

constexpr EntryRange kFullRange = kFrequencyRange;
constexpr EntryRange kFixedLowPassRange{4000, 16000};
constexpr EntryRange kFixedHighPassRange{20, 1000};

// clang-format off
constexpr EqPageSpec kSpecs[kEqPageKindCount] = {
    // name, records, sets, modules, low-pass {id, words, slope bytes, range}, high-pass,
    // pass command, bypass, reset, scroll, markers, marker count, 48 dB, link byte
    {"CDlgMaster", 12, 2, {3, -1}, 1,
     {5, {5, 17}, {38, 123}, kFullRange}, {4, {4, 16}, {37, 122}, kFullRange},
     CMD_PASS_FILTER, 1326, 1538, 300, MarkerPage::kMaster, 20, false, -1},
    {"CDlgSurl", 12, 2, {5, -1}, 1,
     {9, {9, 19}, {52, 131}, kFullRange}, {8, {8, 18}, {51, 130}, kFullRange},
     CMD_PASS_FILTER, 1326, 1538, 300, MarkerPage::kSurround, 20, false, -1},
    {"CDlgCout", 9, 2, {7, -1}, 1,
     {13, {13, 21}, {66, 139}, kFullRange}, {12, {12, 20}, {65, 138}, kFullRange},
     CMD_PASS_FILTER, 1326, 1538, 208, MarkerPage::kCentre, 20, false, -1},
    {"CDlgSW", 7, 2, {8, -1}, 1,
     {15, {15, 23}, {78, 147}, kFullRange}, {14, {14, 22}, {77, 146}, kFullRange},
     CMD_PASS_FILTER, 1326, 1538, 208, MarkerPage::kSubwoofer, 20, true, -1},
    {"CDlgMusic", 17, 1, {2, -1}, 1,
     {3, {3, 3}, {8, 8}, kFullRange}, {2, {2, 2}, {7, 7}, kFullRange},
     CMD_PASS_FILTER, 1079, 1072, 440, MarkerPage::kMusic, 20, false, -1},
    {"CDlgMic", 17, 1, {0, 1}, 2,
     {1, {1, 1}, {20, 20}, kFullRange}, {0, {0, 0}, {19, 19}, kFullRange},
     CMD_PASS_FILTER, 1092, 1542, 440, MarkerPage::kMic, 27, false, 152},
    {"CDlgFX", 7, 1, {9, -1}, 1,
     {-1, {25, 25}, {-1, -1}, kFixedLowPassRange}, {-1, {24, 24}, {-1, -1}, kFixedHighPassRange},
     CMD_REVERB_SETTINGS, 1494, 1542, 208, MarkerPage::kReverb, 20, false, -1},
    {"CDlgEcho", 7, 1, {10, -1}, 1,
     {-1, {27, 27}, {-1, -1}, kFixedLowPassRange}, {-1, {26, 26}, {-1, -1}, kFixedHighPassRange},
     CMD_ECHO_SETTINGS, 1494, 1542, 208, MarkerPage::kEcho, 20, false, -1},
};
// clang-format on

}  // namespace

const EqPageSpec& EqPageSpecFor(EqPageKind kind) {
    const int k = kind >= 0 && kind < kEqPageKindCount ? kind : kEqMusic;
    return kSpecs[k];
}
