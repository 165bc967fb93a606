#include "pages/dlg_cal.h"

CDlgCal::CDlgCal(platform::Window* mainWindow) : CPage(mainWindow) { setObjectName("CDlgCal"); }
