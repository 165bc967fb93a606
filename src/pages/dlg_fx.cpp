#include "pages/dlg_fx.h"

CDlgFX::CDlgFX(platform::Window* mainWindow) : CPage(mainWindow) { setObjectName("CDlgFX"); }
