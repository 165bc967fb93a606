#include "pages/dlg_mic.h"

CDlgMic::CDlgMic(platform::Window* mainWindow) : CEqPage(mainWindow, kEqMic) {}
