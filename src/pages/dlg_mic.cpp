#include "pages/dlg_mic.h"

CDlgMic::CDlgMic(platform::Window* mainWindow) : CPage(mainWindow) { setObjectName("CDlgMic"); }
