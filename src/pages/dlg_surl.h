#pragma once
// The Surround output page.
#include "pages/eq_page.h"

class CDlgSurl : public CEqPage {
    Q_OBJECT
public:
    explicit CDlgSurl(platform::Window* mainWindow);
};
