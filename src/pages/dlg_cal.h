#pragma once
// The Calibration page: output levels, distances and the walking test signal.
#include "pages/page.h"

class CDlgCal : public CPage {
    Q_OBJECT
public:
    explicit CDlgCal(platform::Window* mainWindow);
};
