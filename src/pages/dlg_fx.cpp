#include "pages/dlg_fx.h"

CDlgFX::CDlgFX(platform::Window* mainWindow) : CEqPage(mainWindow, kEqReverb) {}
