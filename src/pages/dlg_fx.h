#pragma once
// The Reverb page: reverb and direct levels with their polarity, decay,
// predelay, liveliness, the reverb type and the reverb EQ.
#include "pages/eq_page.h"
#include "pages/slider_table.h"

class QComboBox;

class CDlgFX : public CEqPage {
    Q_OBJECT
public:
    static constexpr int kTypeComboId = 1535;

    explicit CDlgFX(platform::Window* mainWindow);

    LRESULT OnSliderPos(WPARAM id, LPARAM pos);
    // The user's pick of a reverb type: stored and sent, even when unchanged.
    void OnReverbType();
    void RefreshLabels();
    // The EQ half, the sliders, polarity, the type and the labels.
    void LoadFromImage() override;
    // Captions, and the type list in the language keeping its selection.
    void SetLanguage(int language) override;

private:
    QComboBox* TypeCombo() const;

    SliderTable sliders_;
};
