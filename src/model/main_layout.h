#pragma once
// The main window's fixed geometry and its page order, known to the pages
// that size their graphs by the window and to the main window itself.

namespace main_layout {
// The window's fixed client size: fits a 1366 x 768 screen with its title bar
// and task bar.
inline constexpr int kClientWidth = 1280;
inline constexpr int kClientHeight = 680;
// The rectangle every page shares.
inline constexpr int kPageX = 180;
inline constexpr int kPageY = 55;
inline constexpr int kPageWidth = kClientWidth - 184;
inline constexpr int kPageHeight = kClientHeight - 20 - kPageY;
}  // namespace main_layout

// Page order of the page buttons (PageIndex); 10 is a spare button with no page.
enum PageIndex {
    kPageMusic = 0,
    kPageMic = 1,
    kPageFX = 2,
    kPageEcho = 3,
    kPageMaster = 4,
    kPageSurl = 5,
    kPageCout = 6,
    kPageSW = 7,
    kPageSys = 8,
    kPageCal = 9,
    kPageSpare = 10,
    kPageBt = 11,
    kPageButtonCount = 12,
};

// Order in which the pages are owned, created and deleted.
enum PageTableSlot {
    kTableMusic,
    kTableMic,
    kTableFX,
    kTableEcho,
    kTableMaster,
    kTableSurl,
    kTableCout,
    kTableSW,
    kTableSys,
    kTableBt,
    kTableCal,
    kPageTableSize,
};
