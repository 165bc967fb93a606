#pragma once
// The Calibration page of the cinema setting: per output channel a level with
// its polarity and a speaker distance, and the test signal switched to one
// channel, off, or walked round the six speakers.
#include "pages/page.h"
#include "pages/slider_table.h"

class CMySlider;

class CDlgCal : public CPage {
    Q_OBJECT
public:
    static constexpr int kOffButtonId = 1916;  // then the six channels, 1917..1922
    static constexpr int kRotateButtonId = 1923;
    static constexpr int kChannels = 6;
    // A walk shows each channel this long.
    static constexpr int kWalkStepMs = 5000;

    explicit CDlgCal(platform::Window* mainWindow);

    // WM_SLIDER_POS from one of the page's sliders (wParam its id).
    LRESULT OnSliderPos(WPARAM id, LPARAM pos);
    // The page refresh: sliders, polarity buttons, labels and the test
    // channel from the image. Sends nothing.
    void LoadFromImage();
    void RefreshLabels();
    // Checks the button of an OutputChannel code (0 off, 1..6); a code
    // outside them checks none. Sends nothing.
    void ShowTestChannel(int code);
    // A channel button or OFF: stops a walk, shows the channel and sends it
    // when the signal moves.
    void SelectTestChannel(int code);
    // Rotate: starts a walk, or stops one (the signal stays where it is).
    void OnAutoStep();
    // Stops a walk without sending anything: the link is closing.
    void StopAutoStep();
    // The channel a walk's step 1..6 shows: Main L, Center, Main R, Sur R,
    // Sur L, LFE, top to bottom as the buttons stand; 0 for any other step.
    static int ChannelCodeForStep(int step);
    bool Walking() const { return running_; }
    int Step() const { return step_; }
    void OnTimer(int id) override;

    void SetLanguage(int language) override;
    CMySlider* Slider(int id) const;

private:
    void StartAutoStep();
    void SetTestSignal(int code);
    void ShowRotate();

    SliderTable sliders_;
    bool running_ = false;
    int step_ = 0;
};
