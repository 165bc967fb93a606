#pragma once
// The Reverb page: reverb levels, times, type and the reverb EQ.
#include "pages/eq_page.h"

class CDlgFX : public CEqPage {
    Q_OBJECT
public:
    explicit CDlgFX(platform::Window* mainWindow);
};
