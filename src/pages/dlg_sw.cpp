#include "pages/dlg_sw.h"

CDlgSW::CDlgSW(platform::Window* mainWindow) : CPage(mainWindow) { setObjectName("CDlgSW"); }
