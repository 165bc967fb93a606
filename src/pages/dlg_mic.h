#pragma once
// The Mic page: microphone volumes, feedback suppression, noise gate and the microphone EQ.
#include "pages/page.h"

class CDlgMic : public CPage {
    Q_OBJECT
public:
    explicit CDlgMic(platform::Window* mainWindow);
};
