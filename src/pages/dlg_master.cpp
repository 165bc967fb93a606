#include "pages/dlg_master.h"

CDlgMaster::CDlgMaster(platform::Window* mainWindow) : CEqPage(mainWindow, kEqMaster) {}
