#pragma once
// The Centre output page.
#include "pages/page.h"

class CDlgCout : public CPage {
    Q_OBJECT
public:
    explicit CDlgCout(platform::Window* mainWindow);
};
