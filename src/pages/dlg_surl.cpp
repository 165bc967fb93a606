#include "pages/dlg_surl.h"

CDlgSurl::CDlgSurl(platform::Window* mainWindow) : CEqPage(mainWindow, kEqSurround) {}
