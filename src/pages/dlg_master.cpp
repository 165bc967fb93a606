#include "pages/dlg_master.h"

CDlgMaster::CDlgMaster(platform::Window* mainWindow) : CPage(mainWindow) {
    setObjectName("CDlgMaster");
}
