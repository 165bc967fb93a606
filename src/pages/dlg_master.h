#pragma once
// The Master output page.
#include "pages/output_page.h"

class CDlgMaster : public COutputPage {
    Q_OBJECT
public:
    explicit CDlgMaster(platform::Window* mainWindow) : COutputPage(mainWindow, kEqMaster) {}
};
