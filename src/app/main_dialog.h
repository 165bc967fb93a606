#pragma once
// The main window: a fixed frame around the page area, owner of the parameter
// image, the eleven pages and the link.
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/device_results.h"
#include "app/input_rows.h"
#include "app/pc_mode_flow.h"
#include "eq/radio_group.h"
#include "link/command_builder.h"
#include "link/device_link.h"
#include "link/link_config.h"
#include "link/reply_decoder.h"
#include "model/main_layout.h"
#include "model/param_image.h"
#include "platform/window.h"

class CMyBtn;
class LinkControls;
class CPage;
class CEqPage;
class CDlgBt;
class CDlgWait;
class CDlgLearn;

class CQuavixDlg : public platform::Window {
    Q_OBJECT
public:
    // The window's fixed client size: fits a 1366 x 768 screen with its
    // title bar and task bar.
    static constexpr int kClientWidth = main_layout::kClientWidth;
    static constexpr int kClientHeight = main_layout::kClientHeight;
    // The rectangle every page shares.
    static constexpr int kPageX = main_layout::kPageX;
    static constexpr int kPageY = main_layout::kPageY;
    static constexpr int kPageWidth = main_layout::kPageWidth;
    static constexpr int kPageHeight = main_layout::kPageHeight;

    // modeFolder: the PC mode folder, "param_dir" under the working directory
    // in the program; tests give their own.
    // link: the unit's address and port; tests point it at the emulator.
    explicit CQuavixDlg(std::string modeFolder = "param_dir", LinkConfig link = {});
    ~CQuavixDlg() override;

    // Wires the window once: parameter image, pages, language, mode list,
    // refresh, timers; shows the Music page.
    void OnInitDialog();

    ParamImage& Image() { return image_; }
    int Language() const { return image_.Language; }
    CPage* Page(PageTableSlot slot) const { return pages_[slot]; }
    CPage* PageForIndex(int pageIndex) const;
    int CurrentPage() const { return currentPage_; }
    const std::vector<std::string>& ModeFiles() const { return pcModes_.ModeFiles(); }
    bool WaitBoxOpen() const { return waitBoxOpen_; }
    CDlgWait* WaitBox() const { return waitBox_; }

    DeviceLink& Link() { return link_; }
    // Where the unit is: the device link's address and port, and the WiFi
    // module's port on the same address (the WiFi set-up dialog's).
    const LinkConfig& LinkSettings() const { return linkConfig_; }
    LinkControls* LinkButtons() const { return linkControls_; }
    CommandBuilder& Builder() { return builder_; }
    // The multi-step sequences (reset all, mass save) and their state.
    DeviceResults& Results() { return results_; }
    // The PC mode folder's list, the writer and loads, the mass-save chain.
    PcModeFlow& PcModes() { return pcModes_; }
    // -1 before the first layout.
    int AppliedAdminMode() const { return appliedAdminMode_.value_or(-1); }

    void SelectPage(int pageIndex);
    // Pushes the whole parameter image into the main window and every page,
    // after a block read or a local change of the image alike. Sends nothing.
    void RefreshAllPages();
    // WM_REFRESH_PAGES and WM_REFRESH_PAGES_LOCAL.
    LRESULT OnRefreshPages(WPARAM, LPARAM);
    // WM_BOOST_PAGE: lParam 1 shows the Boost page, 0 hides it again.
    LRESULT OnBoostPage(WPARAM, LPARAM show);
    LRESULT OnSetLanguage(WPARAM store, LPARAM language);
    LRESULT OnLinkBusy(WPARAM mode, LPARAM);
    LRESULT OnLinkIdle(WPARAM, LPARAM);
    // Serial-code learning: the learn dialog, one slot learned through the
    // busy box, its result, and the box closed before the unit answered.
    LRESULT OnOpenLearn(WPARAM, LPARAM);
    LRESULT OnLearnItem(WPARAM slot, LPARAM);
    LRESULT OnLearnResult(WPARAM length, LPARAM);
    LRESULT OnLearnCancel(WPARAM, LPARAM);
    // The link did not take a learn request (argument: its WM_SEND_COMMAND
    // argument).
    void OnLearnRequestRefused(LPARAM argument);
    // The learn dialog while it runs, else null.
    CDlgLearn* LearnDialog() const { return learnDialog_; }
    LRESULT OnSliderPos(WPARAM id, LPARAM pos);
    LRESULT OnKeyNudge(WPARAM column, LPARAM up);
    LRESULT OnSendCommand(WPARAM code, LPARAM argument);
    LRESULT OnLinkStep(WPARAM result, LPARAM);
    LRESULT OnDeviceResult(WPARAM result, LPARAM);
    // The PC mode files (mode_file_actions.cpp). WM_SAVE_MODE_FILE: the PC
    // name the system page checked; WM_LOAD_MODE_FILE (0, row): Upload To
    // Equipment; WM_LOAD_MODE_TO_SLOT (row, slot); WM_MASS_SAVE: the page's
    // mass-save list.
    LRESULT OnSaveModeFile(WPARAM, LPARAM);
    LRESULT OnLoadModeFile(WPARAM, LPARAM row);
    LRESULT OnLoadModeToSlot(WPARAM row, LPARAM slot);
    LRESULT OnMassSave(WPARAM, LPARAM);
    // One step of the mass-save chain: list position index to the unit.
    void MassSaveStep(int index);
    void OnEnglish();
    void OnChinese();

    // Re-lays the window for an admin level; nothing when it was laid for
    // this level already.
    void ApplyAdminMode(int level);
    // Byte 4 of the handshake reply: the extended features on (1) or off.
    void ApplyFeatureFlag(int flag);
    void ApplyOutputLayout();

    // The mode kinds: 0 KTV, 1 cinema, 2 auto (any other value from the unit
    // is laid out as auto). A kind button's click switches unless its kind
    // is shown; the switch stores SystemMode and posts
    // WM_SYSTEM_MODE_CHANGED, whose handler lays the window out for the kind,
    // and then the request that tells the unit (command 61).
    void OnModeKind(int kind);
    void SetSystemMode(int kind);
    LRESULT OnSystemModeChanged(WPARAM, LPARAM);
    void ApplySystemMode(int kind);
    // The kind button shown checked; -1 for none.
    int KindRadioIndex() const { return kindRadio_.Index(); }

    // The toggles under the main sliders (0..2): flip their MainToggleBits bit
    // and send the bits.
    void OnMainToggle(int toggle);
    // The input rows and the input combo, by button index; each stores and
    // posts what the choice changes.
    void OnAudioRowButton(int button);
    void OnVideoRowButton(int button);
    void OnVideo2RowButton(int button);
    void OnInputComboChanged(int selection);
    // Shows a row's input for the current kind; force: redraw only, as a
    // refresh or a kind switch does (stores and sends nothing). Without force
    // the row stores and sends what its requested input changes.
    void SelectInputRowA(int force);
    void SelectInputRowB(int force);
    void SelectInputRowC(int force);
    InputRows& Rows() { return inputRows_; }
    // WM_TEST_SIGNAL: every output page's test boxes show PinkNoiseState, and
    // the unit is told.
    LRESULT OnTestSignal(WPARAM, LPARAM);
    // One output page or the calibration page from the image. Send nothing.
    void RefreshMasterPage();
    void RefreshSurroundPage();
    void RefreshCentrePage();
    void RefreshSubwooferPage();
    void RefreshCalPage();

protected:
    void OnTimer(int id) override;
    bool OnKeyDown(int qtKey, const QString& text) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void CreatePages();
    // The eight EQ pages in refresh order.
    std::array<CEqPage*, 8> EqPages() const;
    CDlgBt* BoostPage() const;
    void WireLink();
    void WirePcModes();
    void SetLanguageButtons(int language);
    void SetMainSlider(int column, int value);
    void ShowMainVolumes();
    // Connects the toggles, input rows, combo, test-signal and boost messages.
    void WireMainControls();
    void WireModeKinds();
    // The page a kind will not leave shown: Music instead of Calibration in
    // KTV, Master instead of the channel pages in cinema, System in auto.
    void ApplyForcedPage(int kind);
    void EnablePageButton(int pageIndex, bool enable);
    // The refresh's input rows: loaded from the image and shown, nothing sent.
    void LoadInputRows();
    void ShowInputRows();
    // The input combo's items for the language and kind, and the item of the
    // stored input selected. Sends nothing.
    void FillInputCombo();
    void PostInputCommand(const std::optional<InputCommand>& command);
    void ShowTestSignal(int pinkNoiseState);
    // The page-button refresh of the output and calibration pages.
    void RefreshPageBeforeShow(int pageIndex);
    CMyBtn* Button(int id) const;

    ParamImage image_;
    InputRows inputRows_{image_};
    RadioGroup kindRadio_;
    LinkConfig linkConfig_;
    DeviceLink link_;
    CommandBuilder builder_;
    ReplyDecoder decoder_;
    DeviceResults results_;
    PcModeFlow pcModes_;
    // Why the command builder refused the upload start it is handling.
    struct UploadRefusalSaid {
        UploadRefusal why;
        int powerOnMode;
    };
    std::optional<UploadRefusalSaid> uploadRefusal_;
    // The admin level the layout was last applied for; none yet, so the
    // first level the unit reports (whatever its value) applies.
    std::optional<int> appliedAdminMode_;
    LinkControls* linkControls_ = nullptr;
    std::array<CPage*, kPageTableSize> pages_{};
    int requestedPage_ = 0;
    int currentPage_ = 0;
    int languageGroupIndex_ = 0;
    bool waitBoxOpen_ = false;
    CDlgWait* waitBox_ = nullptr;
    CDlgLearn* learnDialog_ = nullptr;
};
