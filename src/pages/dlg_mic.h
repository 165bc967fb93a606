#pragma once
// The Mic page: microphone volumes, feedback suppression, noise gate and the microphone EQ.
#include "pages/eq_page.h"

class CDlgMic : public CEqPage {
    Q_OBJECT
public:
    explicit CDlgMic(platform::Window* mainWindow);

    // The microphone whose EQ the page shows: 0 mic 1, 1 mic 2. Its band
    // array, module, band mask and EQ-on bit follow.
    void SelectMic(int mic) { SelectModuleSlot(mic); }
    int CurrentMic() const { return ModuleSlot(); }
};
