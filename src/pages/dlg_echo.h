#pragma once
// The Echo page: echo type, delays, predelays, repeats, levels and their
// polarity, and the echo EQ. The type decides which right-channel rows show
// and what the right delay and right predelay sliders edit.
#include <functional>

#include "pages/eq_page.h"
#include "pages/slider_table.h"

class QComboBox;

class CDlgEcho : public CEqPage {
    Q_OBJECT
public:
    static constexpr int kTypeComboId = 1811;
    static constexpr int kEchoTypeCount = 3;  // mono, stereo, dual
    // How long the page waits for the unit's answer to a type change before
    // it gives up. The request keeps its turn in the link's queue and a lost
    // answer drops the link, so this only guards against a unit that takes
    // the request and never answers it.
    static constexpr int kTypeAnswerTimer = 20134;
    static constexpr int kTypeAnswerMs = 6000;

    explicit CDlgEcho(platform::Window* mainWindow);

    // Whether the link is connecting or connected (the main window's Connect
    // button is checked); unset: never.
    void SetLinkQuery(std::function<bool()> connected) { connected_ = std::move(connected); }

    LRESULT OnSliderPos(WPARAM id, LPARAM pos);
    // The user's pick of an echo type. Offline the page loads the type
    // defaults and re-lays itself; connected it asks the unit (58) and takes
    // no input until the answer re-lays it. The image keeps its type until
    // then: the unit's values for the new type come with the answer.
    void OnEchoType();
    // Lays the page out for the type (a type outside the list keeps the
    // layout), then every slider, polarity button, label and caption from the
    // image. Sends nothing. A wait for the unit's answer goes on, the combo
    // keeping the type asked for.
    void RefreshFromParams(int echoType);
    // The unit's answer to a type change: the image holds its type and its
    // values for that type. Ends the wait and lays the page out for the type.
    void OnTypeAnswer(int echoType);
    void RefreshLabels();
    // The left captions for the type the page is laid out for.
    void UpdateEchoLabels();
    // No answer to a type change can come: the link is closing, or the wait
    // ran out. The combo returns to the image's type and the page takes input
    // again.
    void CancelTypeChange();

    // The EQ half, the type combo, then RefreshFromParams with the image's
    // type.
    void LoadFromImage() override;
    void SetLanguage(int language) override;

    // The type the page is laid out for.
    int LaidOutType() const { return laidOutType_; }
    // A type change waits for the unit's answer.
    bool AwaitingType() const { return awaitedType_ >= 0; }

protected:
    void OnTimer(int id) override;

private:
    void LayOut(int echoType);
    void EndWait();
    QComboBox* TypeCombo() const;

    SliderTable sliders_;
    std::function<bool()> connected_;
    int laidOutType_ = 0;
    // The type asked of the unit; -1: no wait.
    int awaitedType_ = -1;
};
