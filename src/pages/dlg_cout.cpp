#include "pages/dlg_cout.h"

CDlgCout::CDlgCout(platform::Window* mainWindow) : CEqPage(mainWindow, kEqCentre) {}
