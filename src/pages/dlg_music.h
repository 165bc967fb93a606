#pragma once
// The Music page: music input gains, pitch, exciter and the music EQ.
#include "pages/eq_page.h"
#include "pages/slider_table.h"

class CMySlider;

class CDlgMusic : public CEqPage {
    Q_OBJECT
public:
    static constexpr int kSliderCount = 7;

    explicit CDlgMusic(platform::Window* mainWindow);

    // WM_SLIDER_POS from one of the page's sliders (wParam its id).
    LRESULT OnSliderPos(WPARAM id, LPARAM pos);
    // The pitch, exciter level and exciter frequency labels from the image.
    void RefreshLabels();
    // The EQ half, then the sliders and their labels.
    void LoadFromImage() override;

    CMySlider* Slider(int id) const;

private:
    SliderTable sliders_;
};
