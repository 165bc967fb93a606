#pragma once
// The Subwoofer output page.
#include "pages/page.h"

class CDlgSW : public CPage {
    Q_OBJECT
public:
    explicit CDlgSW(platform::Window* mainWindow);
};
