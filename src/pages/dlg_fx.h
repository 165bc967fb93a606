#pragma once
// The Reverb page: reverb levels, times, type and the reverb EQ.
#include "pages/page.h"

class CDlgFX : public CPage {
    Q_OBJECT
public:
    explicit CDlgFX(platform::Window* mainWindow);
};
