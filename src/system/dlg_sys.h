#pragma once
// The System page: user modes, PC modes, volume limits, logins and logo.
#include <string>
#include <vector>

#include "pages/page.h"

class QTreeWidget;

class CDlgSys : public CPage {
    Q_OBJECT
public:
    explicit CDlgSys(platform::Window* mainWindow);

    // The PC mode list (1827): its 1-based number and the file name per row.
    void SetModeFiles(const std::vector<std::string>& names);
    // The mode list's column headers (rows 215 and 216).
    void SetLanguage(int language) override;

    // What the main dialog asks of the page after a unit's answer. The
    // login answers set the lock value (0 / 1) and admin level the page
    // holds; each moves its radio when it shows another index.
    virtual void ShowLockState(int locked) { lockValue_ = locked; }
    virtual void ShowAdminLevel(int level) { adminValue_ = level; }
    int LockValue() const { return lockValue_; }
    int AdminValue() const { return adminValue_; }
    // The user-mode list from the mode-name table.
    virtual void FillUserModeCombo() {}
    // The text of the mode-name edit (1561), UTF-8.
    virtual std::string ModeNameText() const { return ItemText(1561); }

private:
    QTreeWidget* modeList_;
    int lockValue_ = 0;
    int adminValue_ = 1;
};
