#pragma once
// The Echo page: echo levels, delays, type and the echo EQ.
#include "pages/eq_page.h"

class CDlgEcho : public CEqPage {
    Q_OBJECT
public:
    explicit CDlgEcho(platform::Window* mainWindow);

    // Layout, sliders and labels for the echo type, from the image.
    virtual void RefreshFromParams(int /*echoType*/) {}
};
