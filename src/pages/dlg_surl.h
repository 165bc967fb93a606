#pragma once
// The Surround output page.
#include "pages/page.h"

class CDlgSurl : public CPage {
    Q_OBJECT
public:
    explicit CDlgSurl(platform::Window* mainWindow);
};
