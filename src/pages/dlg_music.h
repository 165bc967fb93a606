#pragma once
// The Music page: music input gains, pitch, exciter and the music EQ.
#include "pages/page.h"

class CDlgMusic : public CPage {
    Q_OBJECT
public:
    explicit CDlgMusic(platform::Window* mainWindow);
};
