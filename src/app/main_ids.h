#pragma once
// Control ids of the main window that more than one of its files use.

namespace main_ids {
// The input rows: audio (AUTO .. HDMI4), video and second video (HDMI1 ..
// HDMI4), by button index.
inline constexpr int kAudioRow[10] = {1822, 1823, 1824, 1825, 1826, 1827, 1828, 1829, 1830, 1835};
inline constexpr int kVideoRow[4] = {1831, 1832, 1833, 1836};
inline constexpr int kVideo2Row[4] = {1837, 1838, 1839, 1840};
inline constexpr int kInputCombo = 1859;
// The mode-kind button that the KTV audio input enables from COAX on.
inline constexpr int kAutoKindButton = 1834;
// The three toggles under the main sliders, MainToggleBits bits 0..2.
inline constexpr int kFirstToggle = 1841;
inline constexpr int kToggleCount = 3;
inline constexpr int kBoostButton = 1819;
}  // namespace main_ids
