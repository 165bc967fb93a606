#pragma once
// What the main window does with a WM_DEVICE_RESULT: the message box of a
// store, reset, logo or login answer, the undo of a refused login, and the
// next step of the reset-all and mass-save chains.
#include <deque>
#include <functional>
#include <string>

#include "model/messages.h"
#include "model/param_image.h"

class DeviceResults {
public:
    struct Hooks {
        // A message box with the caption " " and an OK button.
        std::function<void(const std::string& text)> messageBox;
        std::function<void(unsigned msg, WPARAM, LPARAM)> post;
        // The three main sliders and their texts from the image.
        std::function<void()> mainVolumes;
        // The system page's lock value (0 / 1) and admin level; the page moves
        // its radio when it shows another index.
        std::function<void(int locked)> systemLock;
        std::function<void(int level)> systemAdmin;
        std::function<void(int level)> applyAdminMode;
        // The echo page, for the unit's answer to a type request: the type
        // the image holds now and the number of the request it answers (the
        // result's status bits; 0 for an answer nothing waited for).
        std::function<void(int echoType, int request)> echoRefresh;
        // One step of the mass-save chain.
        std::function<void(int listIndex)> massSaveStep;
    };

    explicit DeviceResults(ParamImage& image) : image_(image) {}

    // WM_DEVICE_RESULT: kind in bits 8..15, the unit's status in 0..7.
    LRESULT OnDeviceResult(WPARAM wParam);

    // A WM_SEND_COMMAND after the command builder has taken it: for a lock
    // state (43) or an admin level (45), the state its record carries waits
    // for the unit's answer, in the order sent; a request that never goes
    // out (handed false) puts the value and the page's radio back to the
    // confirmed copy. Other codes are not looked at.
    void OnLoginRequest(unsigned code, LPARAM record, bool handed);
    // The link closes: no answer can come for what waits, so the value and
    // the radio go back to the confirmed copy.
    void OnLinkClosing();

    // A multi-step sequence (reset all, mass save) runs; cleared by the
    // mode-selected result and by a disconnect.
    int DeviceSequenceActive = 0;
    // The next list position of the mass-save chain, counting down to -1.
    int MassSaveIndex = -1;

    Hooks hooks;

private:
    // The states of the lock or level requests sent and not yet answered,
    // oldest first.
    using Pending = std::deque<int>;

    void Show(int kind, bool ok);
    static void Confirm(Pending& pending, bool ok, int value, int& confirmed);
    void SettleLock(bool ok);
    void SettleAdmin(bool ok);
    void RevertLock();
    void RevertAdmin();
    void Post(unsigned msg, WPARAM w, LPARAM l) {
        if (hooks.post) hooks.post(msg, w, l);
    }
    void OnSaved();

    ParamImage& image_;
    Pending lockRequests_;
    Pending adminRequests_;
};

// The text a result shows, padded as the unit's answers are shown; empty
// for a kind without one.
std::string DeviceResultText(int kind, bool ok, int language);
