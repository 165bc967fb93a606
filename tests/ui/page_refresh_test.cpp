// The whole-image refresh of the main window: every EQ page shows the image
// (pass-filter records, bypass boxes, panels, curves), draws only once it has
// run, and nothing is sent for it, after start-up and after a block read
// from the emulator.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <set>

#include "app/main_dialog.h"
#include "emulator/device_emulator.h"
#include "emulator/emulator_tcp_server.h"
#include "eq/band_panel.h"
#include "eq/my_btn.h"
#include "link_host_window.h"
#include "model/ui_text.h"
#include "pages/dlg_master.h"
#include "pages/dlg_music.h"
#include "pages/eq_page.h"
#include "platform/settings.h"
#include "support/emulated_main.h"

namespace {

class PageRefresh : public ::testing::Test {
protected:
    void SetUp() override {
        platform::WriteSettingInt(kLangSettingName, 0);
        ASSERT_TRUE(server.Listen());
        dlg = testsupport::StartMainOnEmulator(folder, server);
    }
    CEqPage* Eq(PageTableSlot slot) { return static_cast<CEqPage*>(dlg->Page(slot)); }

    QTemporaryDir folder;
    emu::DeviceEmulator device;
    emu::EmulatorTcpServer server{device};
    std::unique_ptr<CQuavixDlg> dlg;
};

constexpr PageTableSlot kEqSlots[] = {kTableMusic,  kTableMic,  kTableFX,   kTableEcho,
                                      kTableMaster, kTableSurl, kTableCout, kTableSW};

}  // namespace

TEST_F(PageRefresh, StartUpLeavesEveryEqPageDrawnWithBandZeroSelected) {
    for (PageTableSlot slot : kEqSlots) {
        CEqPage* page = Eq(slot);
        EXPECT_EQ(page->GraphState(), 2) << slot;
        EXPECT_EQ(page->SelectedBand(), 0) << slot;
        // The curve and the markers lie over the empty graph.
        const QImage& canvas = page->Canvas();
        QPoint marker;
        ASSERT_TRUE(page->MarkerCentre(0, &marker));
        marker -= page->GraphRect().topLeft();
        EXPECT_NE(canvas.pixel(marker) & 0xFFFFFF, 0xF0F0F0u) << slot;
    }
}

TEST_F(PageRefresh, RefreshShowsTheImageAndSendsNothing) {
    ParamImage& image = dlg->Image();
    image.ParamWords[3] = 5000;  // music low-pass
    image.ParamBytes[8] = 5;
    image.ParamFlags &= ~(1u << 10);  // music EQ bypassed
    image.MusicEqBands[4].gain = -35;
    image.ParamBytes[kSystemModeByte] = 1;  // the output pages show their cinema set
    image.MasterEqBands[12 + 1].frequency = 777;
    image.ParamBytes[94] = 7;
    platform::MessageQueue::Drain();
    ASSERT_EQ(platform::MessageQueue::Pending(), 0u);

    dlg->RefreshAllPages();
    EXPECT_EQ(platform::MessageQueue::Pending(), 0u);

    EXPECT_EQ(image.MusicEqBands[15].frequency, 5000);
    EXPECT_EQ(image.MusicEqBands[15].slope, 5);
    EXPECT_EQ(image.MusicEqBands[15].type, kBandTypeLowPass);
    EXPECT_EQ(image.ParamBytes[94], 0);
    CEqPage* music = Eq(kTableMusic);
    EXPECT_TRUE(music->ControlAs<QCheckBox>(1079)->isChecked());
    EXPECT_EQ(music->Resp().overlayOn, 1);
    EXPECT_EQ(music->ControlAs<QLineEdit>(CEqPage::kLpFreqEditId)->text(), "5000");
    EXPECT_EQ(music->Panel()->ControlAs<QLineEdit>(CDlgVS::kGainEditId + 4 * 8)->text(), "-3.5");
    CEqPage* master = Eq(kTableMaster);
    EXPECT_EQ(master->SetOffset(), 12);
    EXPECT_EQ(master->Panel()->ControlAs<QLineEdit>(CDlgVS::kFreqEditId + 8)->text(), "777");
    // The reverb and echo pass filters always have slope 6.
    EXPECT_EQ(image.ReverbEqBands[5].slope, 6);
    EXPECT_EQ(image.EchoEqBands[6].slope, 6);
}

TEST_F(PageRefresh, BlockReadFromTheEmulatorRefreshesThePagesWithoutACommand) {
    dlg->ControlAs<CMyBtn>(1818)->click();
    dlg->ControlAs<CMyBtn>(1001)->click();
    ASSERT_TRUE(linktest::WaitFor([&] { return dlg->ItemText(1002) == "OK"; }, 10000))
        << dlg->ItemText(1002);
    platform::MessageQueue::Drain();
    // The music high-pass record was rebuilt from the unit's word by the refresh
    // that followed the block, and the panel shows the unit's first band.
    const ParamImage& image = dlg->Image();
    EXPECT_EQ(image.MusicEqBands[16].frequency, image.ParamWords[2]);
    EXPECT_EQ(image.MusicEqBands[16].type, kBandTypeHighPass);
    EXPECT_EQ(Eq(kTableMusic)->Panel()->ControlAs<QLineEdit>(CDlgVS::kFreqEditId)->text(),
              QString::number(image.MusicEqBands[0].frequency));
    const std::set<std::uint8_t> allowed{0x1C, 0x3F, 0x40};
    for (std::uint8_t code : device.RequestCodes()) EXPECT_TRUE(allowed.count(code)) << int(code);
}
