#include "pages/dlg_music.h"

CDlgMusic::CDlgMusic(platform::Window* mainWindow) : CPage(mainWindow) {
    setObjectName("CDlgMusic");
}
