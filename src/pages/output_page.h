#pragma once
// The output half every output page shares (Master, Surround, Centre,
// Subwoofer), over the EQ half: output volumes with polarity, the four-way
// mixer with polarity, the compressor, the delays, mutes, the speaker size and
// crossover, the back-surround pair and the test-signal boxes. What differs
// between the pages is one row of the output page table.
//
// The volumes, compressor, delays and back pair have a KTV and a cinema set;
// the page edits the set of the SystemMode it was last laid for, which every
// refresh lays anew. The mixers, speaker size and crossover have one set.
#include "pages/eq_page.h"
#include "pages/output_page_table.h"
#include "pages/slider_table.h"

class CMyBtn;
class CMySlider;

class COutputPage : public CEqPage {
    Q_OBJECT
public:
    static constexpr int kLargeId = 1854;
    static constexpr int kSmallId = 1855;
    static constexpr int kSpeakerCaptionId = 1853;

    COutputPage(platform::Window* mainWindow, EqPageKind kind);

    // WM_SLIDER_POS from one of the page's sliders (wParam its id).
    LRESULT OnSliderPos(WPARAM id, LPARAM pos);

    // Lays the page for a SystemMode: which set the volumes, compressor,
    // delays and back pair edit, the delays' range and label, and the delay
    // captions. Sends nothing.
    void LayForSystemMode(int systemMode);
    // The page refresh: the EQ half, the page laid for the image's SystemMode,
    // every slider, label, polarity button, flag box and the speaker size from
    // the image. Sends nothing.
    void LoadFromImage() override;
    // Every value label from the image.
    void RefreshLabels();
    // Checks the test-signal box whose output holds the signal; a state no
    // box of the page has (other outputs, off, or a value out of range)
    // checks none. Sends nothing.
    void ShowTestSignal(int pinkNoiseState);
    void SetLanguage(int language) override;

    // The speaker-size buttons: a choice other than the one shown selects it,
    // stores it and sends it.
    void OnLarge();
    void OnSmall();
    // 0 Large, 1 Small; -1 when the unit's byte names neither.
    int SpeakerSize() const { return speakerSize_; }

    const OutputPageSpec& Output() const { return out_; }
    const SliderTable& Sliders() const { return sliders_; }
    CMySlider* Slider(int id) const;
    // The set the page is laid for: 0 KTV, 1 cinema and auto.
    int LaidSet() const { return set_; }

private:
    void BuildOutputControls();
    SliderField FieldFor(OutputRole role, int set) const;
    void SelectSpeakerSize(int index);
    void ShowSpeakerSize(int index);
    void OnFlagBox(const OutputFlagBox& box, bool checked);
    void OnPink(const OutputPinkBox& box, bool checked);
    void ShowFlagBoxes();
    void CaptionDelays();

    const OutputPageSpec& out_;
    SliderTable sliders_;
    int set_ = 0;
    int speakerSize_ = 0;
};
