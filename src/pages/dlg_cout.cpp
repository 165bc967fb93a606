#include "pages/dlg_cout.h"

CDlgCout::CDlgCout(platform::Window* mainWindow) : CPage(mainWindow) { setObjectName("CDlgCout"); }
