#pragma once
// The Subwoofer output page.
#include "pages/output_page.h"

class CDlgSW : public COutputPage {
    Q_OBJECT
public:
    explicit CDlgSW(platform::Window* mainWindow) : COutputPage(mainWindow, kEqSubwoofer) {}
};
