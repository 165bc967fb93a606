#include "pages/dlg_echo.h"

CDlgEcho::CDlgEcho(platform::Window* mainWindow) : CPage(mainWindow) { setObjectName("CDlgEcho"); }
