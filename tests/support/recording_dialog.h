#pragma once
// The main window with its outgoing commands recorded instead of built: for
// window tests that run without a unit.
#include <string>
#include <utility>
#include <vector>

#include "app/main_dialog.h"

namespace testsupport {

class RecordingDialog : public CQuavixDlg {
public:
    explicit RecordingDialog(const std::string& folder) : CQuavixDlg(folder) {
        MapMessage(WM_SEND_COMMAND, [this](WPARAM w, LPARAM l) -> LRESULT {
            commands.push_back({static_cast<int>(w), l});
            return 0;
        });
    }
    std::vector<std::pair<int, LPARAM>> commands;
};

}  // namespace testsupport
