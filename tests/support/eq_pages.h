#pragma once
// One EQ page of each kind, standing over a given main window.
#include <memory>

#include "pages/dlg_cout.h"
#include "pages/dlg_echo.h"
#include "pages/dlg_fx.h"
#include "pages/dlg_master.h"
#include "pages/dlg_mic.h"
#include "pages/dlg_music.h"
#include "pages/dlg_surl.h"
#include "pages/dlg_sw.h"

namespace testsupport {

inline std::unique_ptr<CEqPage> MakeEqPage(EqPageKind kind, platform::Window* main) {
    switch (kind) {
        case kEqMaster:
            return std::make_unique<CDlgMaster>(main);
        case kEqSurround:
            return std::make_unique<CDlgSurl>(main);
        case kEqCentre:
            return std::make_unique<CDlgCout>(main);
        case kEqSubwoofer:
            return std::make_unique<CDlgSW>(main);
        case kEqMusic:
            return std::make_unique<CDlgMusic>(main);
        case kEqMic:
            return std::make_unique<CDlgMic>(main);
        case kEqReverb:
            return std::make_unique<CDlgFX>(main);
        default:
            return std::make_unique<CDlgEcho>(main);
    }
}

}  // namespace testsupport
