#pragma once
// The Boost EQ page.
#include "pages/page.h"

class CDlgBt : public CPage {
    Q_OBJECT
public:
    explicit CDlgBt(platform::Window* mainWindow);
};
