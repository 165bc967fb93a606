#pragma once
// The Centre output page.
#include "pages/output_page.h"

class CDlgCout : public COutputPage {
    Q_OBJECT
public:
    explicit CDlgCout(platform::Window* mainWindow) : COutputPage(mainWindow, kEqCentre) {}
};
