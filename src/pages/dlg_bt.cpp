#include "pages/dlg_bt.h"

CDlgBt::CDlgBt(platform::Window* mainWindow) : CPage(mainWindow) { setObjectName("CDlgBt"); }
