#pragma once
// Window messages the windows post to each other (WM_USER + n), and the
// pointer-sized parameters they carry. Plain integers: the core uses them too.
#include <cstdint>

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

constexpr unsigned WM_USER = 0x0400;

constexpr unsigned WM_LINK_STEP = WM_USER + 0x69;
constexpr unsigned WM_REFRESH_PAGES = WM_USER + 0x6A;
constexpr unsigned WM_SEND_COMMAND = WM_USER + 0x6B;
constexpr unsigned WM_SLIDER_POS = WM_USER + 0x6C;
constexpr unsigned WM_SET_LANGUAGE = WM_USER + 0x6E;
constexpr unsigned WM_LOAD_MODE_TO_SLOT = WM_USER + 0x6F;
constexpr unsigned WM_SAVE_MODE_FILE = WM_USER + 0x70;
constexpr unsigned WM_LOAD_MODE_FILE = WM_USER + 0x71;
constexpr unsigned WM_REFRESH_PAGES_LOCAL = WM_USER + 0x75;
constexpr unsigned WM_DEVICE_RESULT = WM_USER + 0x78;
constexpr unsigned WM_BOOST_PAGE = WM_USER + 0x7B;
constexpr unsigned WM_MASS_SAVE_REQUEST = WM_USER + 0x7C;
constexpr unsigned WM_MASS_SAVE = WM_USER + 0x7D;
constexpr unsigned WM_OPEN_EQ_EDITOR = WM_USER + 0x80;
constexpr unsigned WM_EQ_BAND_EDITED = WM_USER + 0x81;
constexpr unsigned WM_SYSTEM_MODE_CHANGED = WM_USER + 0x82;
constexpr unsigned WM_KEY_NUDGE = WM_USER + 0x8D;
constexpr unsigned WM_TEST_SIGNAL = WM_USER + 0x91;
constexpr unsigned WM_LINK_BUSY = WM_USER + 0x96;
constexpr unsigned WM_LINK_IDLE = WM_USER + 0x97;
constexpr unsigned WM_PANEL_BAND_CHANGED = WM_USER + 0x98;
constexpr unsigned WM_OPEN_LEARN = WM_USER + 0xA0;
constexpr unsigned WM_LEARN_ITEM = WM_USER + 0xA1;
constexpr unsigned WM_LEARN_RESULT = WM_USER + 0xA2;
constexpr unsigned WM_LEARN_CANCEL = WM_USER + 0xA3;

// Window timers by id.
constexpr int TIMER_LINK_TICK = 20124;      // 20 ms, the whole run
constexpr int TIMER_CONNECT_WATCH = 20127;  // 1000 ms, TCP connect watch
constexpr int TIMER_BUSY_BAR = 20130;       // 100 ms, busy box bar
constexpr int TIMER_CAL_WALK = 20131;       // 5000 ms, calibration walk
constexpr int TIMER_LEARN_RETRY = 20132;    // 16 ms one-shot
constexpr int TIMER_WIFI = 20133;           // 1000 ms, WiFi set-up

// Dialog results, as the message boxes answer them.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Closes a dialog through its one close path (as the close box does).
constexpr unsigned WM_CLOSE = 0x0010;

// WM_DEVICE_RESULT kinds (wParam bits 8..15; bits 0..7 the unit's status).
constexpr int RESULT_LOCK_KEY = 0x08;
constexpr int RESULT_LOCK_PASSWORD = 0x09;
constexpr int RESULT_ADMIN_MODE = 0x0A;
constexpr int RESULT_ADMIN_PASSWORD = 0x0B;
constexpr int RESULT_SAVED = 0x20;
constexpr int RESULT_MODE_SELECTED = 0x21;
constexpr int RESULT_BOOST_SAVED = 0x31;
constexpr int RESULT_RESET_ALL = 0x32;
constexpr int RESULT_LOGO_SET = 0x33;
constexpr int RESULT_ECHO_TYPE = 0x34;
constexpr int RESULT_LEARN_TABLE = 0x51;
