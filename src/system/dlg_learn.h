#pragma once
// The learn dialog: the unit's 32 learnable functions, each a button that
// asks the main window to learn its serial code and an edit that shows the
// code learned; the baud rate the unit listens at; the table saved to and
// loaded from a learn table file, downloaded to the unit, or cleared. Modal;
// Chinese in both languages. The table lives in the parameter image, so it
// outlives the dialog.
#include <utility>

#include "model/param_image.h"
#include "platform/window.h"
#include "system/link_query.h"

class QComboBox;

class CDlgLearn : public platform::Dialog {
    Q_OBJECT
public:
    static constexpr int kFirstButtonId = 1925;  // slot s: 1925 + 2 (s - 1)
    static constexpr int kFirstEditId = 1926;    // slot s: 1926 + 2 (s - 1)
    static constexpr int kBaudComboId = 1871;
    static constexpr int kBaudLabelId = 1989;
    static constexpr int kLoadId = 1545;
    static constexpr int kSaveId = 1546;
    static constexpr int kDownloadId = 1547;
    static constexpr int kClearAllId = 1548;

    static constexpr int ButtonId(int slot) { return kFirstButtonId + 2 * (slot - 1); }
    static constexpr int EditId(int slot) { return kFirstEditId + 2 * (slot - 1); }

    // owner: the main window, which learns the slots (WM_LEARN_ITEM) and
    // downloads the table (WM_SEND_COMMAND 71).
    CDlgLearn(platform::Window* owner, ParamImage& image);
    // Whether the main window's link is connected, asked before a download;
    // without one it never is.
    void SetLinkQuery(LinkQuery connected) { linkConnected_ = std::move(connected); }

    // Shows the table and the baud rate, then runs until the close box.
    int DoModal();

    // The slot's edit from the image; nothing for a slot outside 1..32.
    void ShowCode(int slot);
    void ShowCodes();

private:
    void OnLearnItem(int slot);
    void OnLoad();
    void OnSave();
    void OnDownload();
    void OnClearAll();
    void OnBaudSelChange(int selection);
    void ShowBaudIndex();

    platform::Window* owner_;
    ParamImage& image_;
    LinkQuery linkConnected_;
    QComboBox* baud_ = nullptr;
};
