#pragma once
// The question before a filled learn slot is learned again: clear the code,
// learn it anew, or leave it. Modal; its buttons are Chinese in both
// languages.
#include "platform/window.h"

class CDlgQuery : public platform::Dialog {
    Q_OBJECT
public:
    static constexpr int kClearId = 1311;
    static constexpr int kRelearnId = 1312;
    static constexpr int kCancelId = 1313;

    enum Answer { kNone = 0, kClear = 1, kRelearn = 2, kCancel = 3 };

    explicit CDlgQuery(QWidget* owner);

    // Runs the box until a button or the close box ends it; the answer, or
    // kNone when it was closed.
    int DoModal();
    int Answer() const { return answer_; }

private:
    void OnAnswer(int answer);

    int answer_ = kNone;
};
