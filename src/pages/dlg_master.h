#pragma once
// The Master output page.
#include "pages/eq_page.h"

class CDlgMaster : public CEqPage {
    Q_OBJECT
public:
    explicit CDlgMaster(platform::Window* mainWindow);
};
