#include "pages/dlg_echo.h"

CDlgEcho::CDlgEcho(platform::Window* mainWindow) : CEqPage(mainWindow, kEqEcho) {}
