#pragma once
// The Subwoofer output page.
#include "pages/eq_page.h"

class CDlgSW : public CEqPage {
    Q_OBJECT
public:
    explicit CDlgSW(platform::Window* mainWindow);
};
