#pragma once
// The Music page: music input gains, pitch, exciter and the music EQ.
#include "pages/eq_page.h"

class CDlgMusic : public CEqPage {
    Q_OBJECT
public:
    explicit CDlgMusic(platform::Window* mainWindow);
};
