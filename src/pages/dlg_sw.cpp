#include "pages/dlg_sw.h"

CDlgSW::CDlgSW(platform::Window* mainWindow) : CEqPage(mainWindow, kEqSubwoofer) {}
