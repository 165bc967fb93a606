#pragma once
// The Centre output page.
#include "pages/eq_page.h"

class CDlgCout : public CEqPage {
    Q_OBJECT
public:
    explicit CDlgCout(platform::Window* mainWindow);
};
