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
    // How long the page waits for the unit's answer once its type request
    // has been written to the unit. A request that gets no reply at all
    // drops the link well before this; the guard bounds a request that
    // another frame completed and whose answer never comes. While the
    // request still waits in the link's line no guard runs: the page stays
    // closed until the request is written, refused or the link closes.
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
    // What became of the request the pick posted, as the main window learns
    // it: taken by the link (its answer will carry this number), refused
    // (nothing will answer: the page takes input again), and written to the
    // unit (the wait for the answer is timed from here).
    void OnTypeRequestTaken(int request);
    void OnTypeRequestRefused();
    void OnTypeRequestWritten();
    // Lays the page out for the type (a type outside the list keeps the
    // layout), then every slider, polarity button, label and caption from the
    // image. Sends nothing. A wait for the unit's answer goes on, the combo
    // keeping the type asked for.
    void RefreshFromParams(int echoType);
    // The unit's answer to type request number request (0: to none the panel
    // knows of); the image holds what the unit's word leaves in it. The
    // answer to the request the page waits for ends the wait and lays the
    // page out for echoType; one to an earlier request, whose wait the page
    // gave up, leaves the wait on. Without a wait the page lays out echoType.
    void OnTypeAnswer(int echoType, int request);
    void RefreshLabels();
    // The left captions for the type the page is laid out for.
    void UpdateEchoLabels();
    // No answer to a type change can come: the link is closing, or the wait
    // ran out. The page lays out the image's type and takes input again.
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
    // The number the link gave the request of the wait; 0 until it is taken.
    int typeRequest_ = 0;
};
