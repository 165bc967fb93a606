#pragma once
// The Master output page.
#include "pages/page.h"

class CDlgMaster : public CPage {
    Q_OBJECT
public:
    explicit CDlgMaster(platform::Window* mainWindow);
};
