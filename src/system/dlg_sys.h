#pragma once
// The System page: volume limits and start volumes, the subwoofer dance-mode
// microphone, the IR and UART enables, the language, the unit's user modes,
// the PC modes, the lock key and admin logins, the logo and the learn and
// WiFi buttons.
#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "eq/radio_group.h"
#include "model/ui_text.h"
#include "pages/page.h"
#include "pages/slider_table.h"
#include "system/link_query.h"
#include "system/logo_record.h"
#include "system/mass_save_dlg.h"

class QTreeWidget;

class CDlgSys : public CPage {
    Q_OBJECT
public:
    static constexpr int kMusicMaxSliderId = 1080;
    static constexpr int kUserModeComboId = 1307;
    static constexpr int kRecallId = 1308;
    static constexpr int kSaveId = 1309;
    static constexpr int kResetId = 1311;
    static constexpr int kPowerOnComboId = 1317;
    static constexpr int kLearnId = 1318;
    static constexpr int kWifiId = 1319;
    static constexpr int kModeNameEditId = 1561;
    static constexpr int kLockNewPasswordEditId = 1580;
    static constexpr int kLockModifyId = 1581;
    static constexpr int kLogoLine1EditId = 1849;
    static constexpr int kLogoLine2EditId = 1850;
    static constexpr int kSetLogoId = 1545;
    static constexpr int kClearLogoId = 1546;
    static constexpr int kEnglishId = 1806;
    static constexpr int kChineseId = 1807;
    static constexpr int kSwManualId = 1810;
    static constexpr int kSwAutoId = 1811;
    static constexpr int kIrEnableId = 1819;
    static constexpr int kUartEnableId = 1820;
    static constexpr int kPcNameEditId = 1560;
    static constexpr int kPcModeListId = 1827;
    static constexpr int kSaveToPcId = 1314;
    static constexpr int kUploadToEquipmentId = 1313;
    // Hidden: the unit's mass-save step has no known frame.
    static constexpr int kMassSaveId = 1316;

    // What the page asks of the main window beyond posted messages.
    struct Hooks {
        // The link is connected: a recall, a store or a reset is refused in
        // words without it.
        LinkQuery linkConnected;
        // Why the unit would not take a store (a mode upload) now; nullopt
        // when it would. Asked while the link is connected.
        std::function<std::optional<UploadRefusal>()> uploadRefusal;
        // Runs the WiFi module set-up.
        std::function<void()> openWifi;
        // The PC mode folder holds an entry of this name.
        std::function<bool(const std::string& pcName)> pcNameInFolder;
    };

    explicit CDlgSys(platform::Window* mainWindow);

    void Wire(ParamImage* image) override;
    // The PC mode list (1827): its 1-based number and the file name per row,
    // shown readably (platform::FileNameText); AddModeFile appends one row.
    void SetModeFiles(const std::vector<std::string>& names);
    void AddModeFile(const std::string& name);
    // The PC name Save To PC checked, oldest first, for the WM_SAVE_MODE_FILE
    // it posted: the writer takes the checked name, not what the edit holds
    // when the message arrives. nullopt when none waits.
    std::optional<std::string> TakeCheckedPcName();
    // The names the mass-save picker chose last.
    const MassSaveList& MassSaveNames() const { return massSaveList_; }
    void SetLanguage(int language) override;
    std::span<const PageCaption> Captions() const override;

    // The page's part of the whole refresh: every slider, radio, sign
    // button, combo and text from the image. Sends nothing.
    void LoadFromImage();
    // The kind's layout of the page: which byte the music maximum edits,
    // the controls used only in KTV, the captions, then every value text.
    // Any kind but 0 and 1 is laid out as auto.
    void ApplySystemMode(int kind);
    // Every value text from the image.
    void RefreshFromParams();
    // The user-mode list from the mode-name table, the selection kept.
    void FillUserModeCombo();
    // Dance-mode microphone: bit 27 of ParamFlags; notify 1 posts the change
    // when the radio moves.
    void SetSwMode(int mode, int notify);
    // Sign button 0..3 of the record mixer: "-" when negative.
    void SetPolarityButton(int negative, int index);
    // The language radio follows a switch made anywhere. Posts nothing.
    void ShowLanguage(int language);

    // What the main dialog asks of the page after a unit's answer. The
    // login answers set the lock value (0 / 1) and admin level the page
    // holds; each moves its radio when it shows another index (a level
    // outside 0..2 checks none).
    void ShowLockState(int locked);
    void ShowAdminLevel(int level);
    int LockValue() const { return lockValue_; }
    int AdminValue() const { return adminValue_; }
    // The text of the mode-name edit (1561), UTF-8.
    std::string ModeNameText() const { return ItemText(kModeNameEditId); }
    // The user mode Recall and Save act on; -1 until one is picked when the
    // unit reported a slot outside 0..9.
    int SelectedUserMode() const { return selectedMode_; }
    // The record the last Set or Clear logo posted.
    const LogoRecord& LastLogoRecord() const { return logoRecord_; }

    LRESULT OnSliderPos(WPARAM id, LPARAM pos);
    void OnEnglish();
    void OnChinese();
    void OnUnlock(int bit);
    void OnSetLogo();
    void OnClearLogo();
    void OnLockNewPasswordEdit(const std::string& utf8);
    // The lock key and admin logins: the password edits enable the radios
    // and Modify buttons; a radio asks the unit for a state or level, Modify
    // for a new password. The unit decides and answers (WM_DEVICE_RESULT).
    void OnLockPasswordEdit();
    void OnAdminPasswordEdit();
    void OnLockState(int state);
    void OnAdminLevel(int level);
    void OnChangeLockPassword();
    void OnChangeAdminPassword();
    void OnUserModeSelChange(int index);
    void OnLoadFromEquipment();
    void OnSaveToEquipment();
    void OnResetToFactory();
    void OnPowerModeSelChange(int index);
    void OnSaveToPc();
    void OnLoadFromPc();
    // A click on a row of the PC mode list: its name into the PC name edit,
    // and the row remembered for Save To PC.
    void OnPcModeClick(int row);
    // Runs the mass-save picker.
    void OnMassSave();
    // WM_MASS_SAVE_REQUEST from the picker: admin level 1 only.
    LRESULT OnMassSaveRequest(WPARAM, LPARAM);

    Hooks hooks;

protected:
    bool OnKeyDown(int qtKey, const QString& text) override;

private:
    void CreateControls();
    void ConnectHandlers();
    void ConnectLogins();
    void SetLanguageRadio(int language);
    // The IR and UART buttons from UnlockFlags; posts it when it differs
    // from what was sent last.
    void SetUnlockBit();
    void ShowUnlockButtons();
    void PostLogo(const LogoRecord& record);
    void ShowLogoControls();
    // The file name (its bytes) of the PC name typed or clicked: a listed
    // file's own name when the text is what its row shows, else the text.
    std::string PcNameOfText(const std::string& text) const;
    // The file of the row clicked last when the text is still what its row
    // shows; nullopt when no row was clicked or the text was changed.
    std::optional<std::string> ClickedRowFile(const std::string& text) const;

    SliderTable sliders_;
    // The record mixer: shown from the image, never stored or sent.
    SliderTable recordMixer_;
    RadioGroup languageRadio_;
    RadioGroup swModeRadio_;
    RadioGroup lockRadio_;
    RadioGroup adminRadio_;
    RadioGroup uiModeRadio_;
    QTreeWidget* modeList_ = nullptr;
    // The list's names as the folder holds them (bytes, whatever encoding).
    std::vector<std::string> modeFiles_;
    std::optional<std::size_t> clickedRow_;
    std::deque<std::string> checkedPcNames_;
    MassSaveList massSaveList_;
    int lockValue_ = 0;
    int adminValue_ = 1;
    int selectedMode_ = 0;
    int lastUnlockSent_ = 0;
    LogoRecord logoRecord_{};
    // The login records the posts point at: lock (43) or its password
    // change (44) share one buffer, admin (45) and its change (46) another.
    std::array<std::uint8_t, 8> lockRecord_{};
    std::array<std::uint8_t, 12> adminRecord_{};
};
