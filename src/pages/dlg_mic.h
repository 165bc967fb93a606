#pragma once
// The Mic page: microphone volumes and polarity, feedback suppression, noise
// gate, exciter, the Mic 1 / Mic 2 choice of the EQ shown and the link that
// makes the two microphone EQs one.
#include "pages/eq_page.h"
#include "pages/slider_table.h"

class CMyBtn;

class CDlgMic : public CEqPage {
    Q_OBJECT
public:
    static constexpr int kMic1ButtonId = 1809;
    static constexpr int kMic2ButtonId = 1810;
    static constexpr int kEqLinkId = 1739;

    explicit CDlgMic(platform::Window* mainWindow);

    // The microphone whose EQ the page shows: 0 mic 1, any other value mic 2.
    // Its band array, module, band mask and EQ-on bit follow; choosing the
    // one shown changes nothing.
    void SelectMic(int mic);
    int CurrentMic() const { return ModuleSlot(); }

    // The link box: on copies the shown microphone's EQ to the other one and,
    // when the link was off, tells the unit; off tells the unit when it was on.
    void OnEqLink();
    void SetEqLink(bool on, int mic);

    LRESULT OnSliderPos(WPARAM id, LPARAM pos);
    void RefreshLabels();
    // The EQ half, the sliders, polarity, link box and their labels.
    void LoadFromImage() override;
    void SetLanguage(int language) override;

private:
    void ShowMicButtons();
    CMyBtn* Button(int id) const;

    SliderTable sliders_;
};
