#pragma once
// The Surround output page.
#include "pages/output_page.h"

class CDlgSurl : public COutputPage {
    Q_OBJECT
public:
    explicit CDlgSurl(platform::Window* mainWindow) : COutputPage(mainWindow, kEqSurround) {}
};
