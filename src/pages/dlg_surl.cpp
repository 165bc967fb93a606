#include "pages/dlg_surl.h"

CDlgSurl::CDlgSurl(platform::Window* mainWindow) : CPage(mainWindow) { setObjectName("CDlgSurl"); }
