#pragma once
// The busy box: tells the user the processor is busy (connecting, loading,
// saving, learning) with an endless progress bar. Modal; the main window's
// messages keep being handled inside its loop.
#include <string>

#include "platform/window.h"

class QLabel;
class QProgressBar;

class CDlgWait : public platform::Dialog {
    Q_OBJECT
public:
    enum Mode { kConnecting = 0, kLoading = 1, kSaving = 2, kCustom = 3 };

    explicit CDlgWait(platform::Window* owner);
    // Every way the box ends tells the owner to cancel a pending learn.
    ~CDlgWait() override;

    void SetMode(int mode) { mode_ = mode; }
    void SetLanguage(int language) { language_ = language; }
    // Shown in mode 3; at most 127 bytes are kept, as the box's text field.
    void SetCustomText(const std::string& utf8);

    // Shows the box and runs it until it is closed.
    int DoModal();

    int Position() const { return position_; }
    std::string Text() const;

    // Timer 20130: one step of the endless bar.
    void OnTimer(int id) override;

private:
    platform::Window* owner_;
    int language_ = 0;
    int mode_ = kConnecting;
    std::string customText_;
    int position_ = 0;
    QLabel* text_;
    QProgressBar* bar_;
};

// The box's message for a mode and language (mode 3: the custom text).
std::string WaitBoxText(int mode, int language, const std::string& customText);
