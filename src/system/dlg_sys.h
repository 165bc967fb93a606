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

private:
    QTreeWidget* modeList_;
};
