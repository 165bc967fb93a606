#include "pages/dlg_music.h"

CDlgMusic::CDlgMusic(platform::Window* mainWindow) : CEqPage(mainWindow, kEqMusic) {}
