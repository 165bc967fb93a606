#include "app/main_dialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <cstdio>

#include "app/main_ids.h"
#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "eq/skin_catalogue.h"
#include "link/command_codes.h"
#include "link/link_controls.h"
#include "link/link_status.h"
#include "model/ui_text.h"
#include "pages/dlg_bt.h"
#include "pages/dlg_cal.h"
#include "pages/dlg_cout.h"
#include "pages/dlg_echo.h"
#include "pages/dlg_fx.h"
#include "pages/dlg_master.h"
#include "pages/dlg_mic.h"
#include "pages/dlg_music.h"
#include "pages/dlg_surl.h"
#include "pages/dlg_sw.h"
#include "pages/eq_page.h"
#include "platform/color.h"
#include "platform/prompts.h"
#include "platform/settings.h"
#include "platform/text_fit.h"
#include "system/dlg_sys.h"
#include "system/dlg_wait.h"
#include "system/dlg_wifi.h"
#include "system/learn_codes.h"

namespace {

using main_ids::kAudioRow;
using main_ids::kVideo2Row;
using main_ids::kVideoRow;

constexpr std::uint32_t kPageColour = 0xF0F0F0;
constexpr std::uint32_t kStripColour = 0xC8C8C8;
constexpr std::uint32_t kBandColour = 0xDCDCDC;
constexpr int kStripWidth = 175;
constexpr int kBandHeight = 50;

constexpr int kConnectId = 1001;
constexpr int kStatusId = 1002;
constexpr int kVersionId = 1005;
constexpr int kEnglishId = 1806;
constexpr int kChineseId = 1807;
constexpr int kBoostButtonId = main_ids::kBoostButton;
constexpr int kSpareButtonId = 1816;

// Page buttons in PageIndex order, with their caption rows (-1: none).
struct PageButton {
    int id;
    int row;
};
constexpr PageButton kPageButtons[kPageButtonCount] = {
    {1545, 5},  {1808, 6},  {1809, 7},  {1811, 8},   {1810, 16}, {1546, 17},
    {1812, 13}, {1813, 14}, {1815, 15}, {1814, 219}, {1816, -1}, {1819, -1},
};

// Main sliders by column (music, microphone, effect): slider, value text,
// caption, and the command that carries the value.
struct MainSlider {
    int sliderId, valueId, captionId, command;
};
constexpr MainSlider kMainSliders[3] = {
    {1003, 1076, 1372, CMD_MUSIC_SETTINGS},
    {1004, 1077, 1373, CMD_MIC_SETTINGS},
    {1075, 1078, 1374, CMD_EFFECT_VOLUME},
};

// Main-window captions set from the text table by every language switch.
struct Caption {
    int id, row;
};
constexpr Caption kMainCaptions[] = {
    {1001, 0},   {1373, 3},   {1374, 4},   {1820, 201}, {1821, 202}, {1834, 203},
    {1860, 204}, {1861, 205}, {1862, 206}, {1822, 33},  {1826, 35},  {1827, 36},
};

// Audio input row (AUTO .. HDMI4), video row, second video row.
constexpr const char* kAudioRowText[10] = {"AUTO", "VOD",   "AUX",   "BGM",   "COAX",
                                           "OPTI", "HDMI1", "HDMI2", "HDMI3", "HDMI4"};
constexpr const char* kHdmiText[4] = {"HDMI1", "HDMI2", "HDMI3", "HDMI4"};

}  // namespace

CQuavixDlg::CQuavixDlg(std::string modeFolder, LinkConfig link)
    : linkConfig_(std::move(link)),
      link_(this, linkConfig_),
      builder_(image_, link_.Commands()),
      decoder_(image_, builder_.Upload()),
      results_(image_),
      pcModes_(image_, results_, std::move(modeFolder)) {
    setObjectName("CQuavixDlg");
    setFixedSize(kClientWidth, kClientHeight);
    image_.ExtendedFeatures = 1;
    image_.MainToggleBits = 0;
    MapMessage(WM_SET_LANGUAGE, &CQuavixDlg::OnSetLanguage);
    MapMessage(WM_LINK_BUSY, &CQuavixDlg::OnLinkBusy);
    MapMessage(WM_LINK_IDLE, &CQuavixDlg::OnLinkIdle);
    MapMessage(WM_SLIDER_POS, &CQuavixDlg::OnSliderPos);
    MapMessage(WM_KEY_NUDGE, &CQuavixDlg::OnKeyNudge);
    MapMessage(WM_SEND_COMMAND, &CQuavixDlg::OnSendCommand);
    MapMessage(WM_LINK_STEP, &CQuavixDlg::OnLinkStep);
    MapMessage(WM_DEVICE_RESULT, &CQuavixDlg::OnDeviceResult);
    MapMessage(WM_REFRESH_PAGES, &CQuavixDlg::OnRefreshPages);
    MapMessage(WM_REFRESH_PAGES_LOCAL, &CQuavixDlg::OnRefreshPages);
    MapMessage(WM_BOOST_PAGE, &CQuavixDlg::OnBoostPage);
    MapMessage(WM_OPEN_LEARN, &CQuavixDlg::OnOpenLearn);
    MapMessage(WM_LEARN_ITEM, &CQuavixDlg::OnLearnItem);
    MapMessage(WM_LEARN_RESULT, &CQuavixDlg::OnLearnResult);
    MapMessage(WM_LEARN_CANCEL, &CQuavixDlg::OnLearnCancel);
}

CQuavixDlg::~CQuavixDlg() {
    // The link's reader thread is stopped and joined before the pages and
    // the window it reports to go.
    link_.OnDestroy();
    KillTimer(TIMER_LINK_TICK);
    for (CPage*& page : pages_) {
        delete page;
        page = nullptr;
    }
}

CMyBtn* CQuavixDlg::Button(int id) const { return ControlAs<CMyBtn>(id); }

void CQuavixDlg::CreateControls() {
    enum Look { kRadioStripGrey, kRadioBandGrey, kInputRadio, kToggle, kConnect, kPage };
    auto addButton = [this](int id, const QString& text, int x, int y, int w, int h, Look look) {
        auto* b = new CMyBtn(this, id, this);
        b->setGeometry(x, y, w, h);
        b->setText(text);
        b->setFocusPolicy(Qt::NoFocus);
        const int radio = CMyBtn::Flags(CMyBtn::kLookCheck, CMyBtn::kAlignLeft);
        switch (look) {
            case kRadioStripGrey:
                b->Setup(RadioSkins(), radio, kStripColour, kStripColour, kStripColour);
                b->SetTextLeft(18);
                break;
            case kRadioBandGrey:
                b->Setup(RadioSkins(), radio, kBandColour, kBandColour, kBandColour);
                b->SetTextLeft(18);
                break;
            case kInputRadio: {
                b->Setup(RadioSkins(), radio, kBandColour, kBandColour, kBandColour);
                b->SetTextLeft(15);
                // Ten inputs share the band: a smaller face keeps "Coaxial" whole.
                QFont f = b->font();
                f.setPixelSize(10);
                b->setFont(f);
                break;
            }
            case kToggle:
                b->Setup(ToggleSkins(), CMyBtn::Flags(CMyBtn::kLookCheck, CMyBtn::kAlignCentre),
                         kStripColour, kStripColour, kStripColour);
                break;
            case kConnect:
                b->Setup(ConnectSkins(), CMyBtn::Flags(CMyBtn::kLookCheck, CMyBtn::kAlignCentre),
                         kStripColour, kStripColour, kStripColour);
                break;
            case kPage:
                b->SetupPageButton(PageButtonSkins());
                break;
        }
        return b;
    };
    auto addLabel = [this](int id, int x, int y, int w, int h, Qt::Alignment align) {
        auto* l = new QLabel(this);
        l->setGeometry(x, y, w, h);
        l->setAlignment(align | Qt::AlignVCenter);
        AddControl(id, l);
        return l;
    };

    // The top band: Connect and status, link type, mode kinds, input rows.
    addButton(kConnectId, {}, 184, 4, 90, 23, kConnect);
    std::vector<std::string> statusTexts;
    for (int status = 0; status <= static_cast<int>(kLastLinkStatus); ++status)
        for (int language = 0; language < kLanguageCount; ++language)
            statusTexts.push_back(LinkStatusText(static_cast<LinkStatus>(status), language));
    platform::SetWidestTexts(addLabel(kStatusId, 180, 29, 98, 18, Qt::AlignHCenter), statusTexts);
    // On the band the link and mode-kind radios keep the strip's darker grey.
    addButton(1817, "USB", 282, 6, 64, 18, kRadioStripGrey);
    addButton(1818, "WIFI", 282, 28, 64, 18, kRadioStripGrey);
    addButton(1820, {}, 352, 6, 72, 18, kRadioStripGrey);
    addButton(1821, {}, 352, 28, 72, 18, kRadioStripGrey);
    addButton(1834, {}, 428, 6, 72, 18, kRadioStripGrey);
    addLabel(1860, 506, 1, 54, 16, Qt::AlignRight);
    addLabel(1861, 506, 17, 54, 16, Qt::AlignRight);
    addLabel(1862, 506, 33, 54, 16, Qt::AlignRight);
    for (int i = 0; i < 10; ++i)
        addButton(kAudioRow[i], kAudioRowText[i], 564 + i * 56, 1, 54, 16, kInputRadio);
    for (int i = 0; i < 4; ++i) {
        addButton(kVideoRow[i], kHdmiText[i], 564 + (i + 6) * 56, 17, 54, 16, kInputRadio);
        addButton(kVideo2Row[i], kHdmiText[i], 564 + (i + 6) * 56, 33, 54, 16, kInputRadio);
    }
    auto* inputCombo = new QComboBox(this);
    inputCombo->setGeometry(1128, 6, 140, 22);
    AddControl(1859, inputCombo);
    auto* boundCombo = new QComboBox(this);  // kept by the window, its selection does nothing
    boundCombo->hide();
    AddControl(1855, boundCombo);
    addButton(kEnglishId, "English", 1128, 30, 68, 18, kRadioBandGrey);
    addButton(kChineseId, QString::fromUtf8("中文"), 1200, 30, 68, 18, kRadioBandGrey);

    // The left strip: page buttons, main sliders, toggles, version.
    for (int i = 0; i < kPageButtonCount; ++i) {
        auto* b = addButton(kPageButtons[i].id, {}, 37, 8 + i * 30, 102, 26, kPage);
        connect(b, &QAbstractButton::clicked, this, [this, i] { SelectPage(i); });
    }
    for (int c = 0; c < 3; ++c) {
        const MainSlider& s = kMainSliders[c];
        const int x = 12 + c * 54;
        addLabel(s.captionId, x - 6, 392, 48, 18, Qt::AlignHCenter);
        auto* slider = new CMySlider(this, s.sliderId, this);
        slider->setGeometry(x + 6, 412, 24, 150);
        slider->Setup(MainSliderSkins(), kStripColour, 0);
        slider->SetFocused(true);
        slider->SetRange(0, 99);
        platform::SetWidestText(addLabel(s.valueId, x - 6, 564, 48, 18, Qt::AlignHCenter), "99");
    }
    for (int i = 0; i < 3; ++i) addButton(1841 + i, {}, 26 + i * 46, 592, 23, 23, kToggle);
    addLabel(kVersionId, 0, kClientHeight - 24, kStripWidth, 18, Qt::AlignHCenter);

    connect(Button(kEnglishId), &QAbstractButton::clicked, this, [this] { OnEnglish(); });
    connect(Button(kChineseId), &QAbstractButton::clicked, this, [this] { OnChinese(); });
}

void CQuavixDlg::CreatePages() {
    pages_[kTableMusic] = new CDlgMusic(this);
    pages_[kTableMic] = new CDlgMic(this);
    pages_[kTableFX] = new CDlgFX(this);
    pages_[kTableEcho] = new CDlgEcho(this);
    pages_[kTableMaster] = new CDlgMaster(this);
    pages_[kTableSurl] = new CDlgSurl(this);
    pages_[kTableCout] = new CDlgCout(this);
    pages_[kTableSW] = new CDlgSW(this);
    pages_[kTableSys] = new CDlgSys(this);
    pages_[kTableCal] = new CDlgCal(this);
    pages_[kTableBt] = new CDlgBt(this);
    for (CPage* page : pages_) {
        page->setGeometry(kPageX, kPageY, kPageWidth, kPageHeight);
        page->hide();
        page->Wire(&image_);
    }
}

CDlgBt* CQuavixDlg::BoostPage() const { return static_cast<CDlgBt*>(pages_[kTableBt]); }

std::array<CEqPage*, 8> CQuavixDlg::EqPages() const {
    // The refresh order: Music, Mic, Reverb, Echo, Master, Surround, Centre,
    // Subwoofer.
    return {static_cast<CEqPage*>(pages_[kTableMusic]),  static_cast<CEqPage*>(pages_[kTableMic]),
            static_cast<CEqPage*>(pages_[kTableFX]),     static_cast<CEqPage*>(pages_[kTableEcho]),
            static_cast<CEqPage*>(pages_[kTableMaster]), static_cast<CEqPage*>(pages_[kTableSurl]),
            static_cast<CEqPage*>(pages_[kTableCout]),   static_cast<CEqPage*>(pages_[kTableSW])};
}

LRESULT CQuavixDlg::OnRefreshPages(WPARAM, LPARAM) {
    RefreshAllPages();
    return 0;
}

CPage* CQuavixDlg::PageForIndex(int pageIndex) const {
    static constexpr int kSlotForIndex[kPageButtonCount] = {
        kTableMusic, kTableMic, kTableFX,  kTableEcho, kTableMaster, kTableSurl,
        kTableCout,  kTableSW,  kTableSys, kTableCal,  -1,           kTableBt,
    };
    if (pageIndex < 0 || pageIndex >= kPageButtonCount || kSlotForIndex[pageIndex] < 0)
        return nullptr;
    return pages_[kSlotForIndex[pageIndex]];
}

void CQuavixDlg::OnInitDialog() {
    setWindowTitle(kAppTitle);
    CreateControls();
    WireMainControls();
    WireModeKinds();
    char version[16];
    std::snprintf(version, sizeof version, "%s", "V1.10");
    SetItemText(kVersionId, version);

    InitParamImage(image_);
    CreatePages();
    requestedPage_ = currentPage_ = 0;

    // Link, mode-kind and language groups start at their first button.
    Button(1817)->SetChecked(true);
    Button(kEnglishId)->SetChecked(true);
    Button(kAudioRow[0])->SetChecked(true);
    Button(kVideoRow[0])->SetChecked(true);
    Button(kVideo2Row[0])->SetChecked(true);
    Button(kPageButtons[0].id)->SetChecked(true);

    // The stored language, applied without storing; a machine without the
    // value starts in Chinese.
    const int language =
        LanguageFromStored(platform::ReadSettingInt(kLangSettingName), kDefaultLanguage);
    OnSetLanguage(1, language);
    SetLanguageButtons(language);
    // The System page's own language buttons start at English; when they
    // change, that page reports the language as its buttons do, so the value
    // is stored again and every caption set a second time.
    if (language != 0) PostMessage(WM_SET_LANGUAGE, 0, language);

    image_.ModeFileCount = 0;
    image_.BaudIndex = 3;
    ClearLearnArea(image_);
    pcModes_.ListFolder();
    static_cast<CDlgSys*>(pages_[kTableSys])->SetModeFiles(pcModes_.ModeFiles());

    RefreshAllPages();

    WireLink();
    WirePcModes();
    link_.SetLanguage(image_.Language);
    link_.Start();
    SetItemText(kStatusId, "Idle");
    pages_[kTableMusic]->show();
    SetItemText(kBoostButtonId, "EQ");
    ShowItem(kBoostButtonId, false);
    ShowItem(kSpareButtonId, false);
}

void CQuavixDlg::WireLink() {
    linkControls_ = new LinkControls(Button(kConnectId), Button(1817), Button(1818), link_, this);
    auto* sys = static_cast<CDlgSys*>(pages_[kTableSys]);
    auto* echo = static_cast<CDlgEcho*>(pages_[kTableEcho]);
    auto* cal = static_cast<CDlgCal*>(pages_[kTableCal]);
    auto post = [this](unsigned msg, WPARAM w, LPARAM l) { PostMessage(msg, w, l); };

    link_.hooks.statusText = [this](const std::string& text) { SetItemText(kStatusId, text); };
    link_.hooks.disconnected = [this, sys] {
        SetItemText(kConnectId, UiText(image_.Language, 0));
        pcModes_.OnLinkClosed();
        results_.DeviceSequenceActive = 0;
        // Offline the keys read unlocked, and the lock radios say so; the
        // next block read brings the unit's state back.
        image_.KeyLockOn = 0;
        image_.KeyLockConfirmed = 0;
        sys->ShowLockState(0);
        // No answer to a learn request can come any more.
        image_.LearnSlotIndex = 0;
    };
    link_.hooks.featureFlag = [this](int flag) { ApplyFeatureFlag(flag); };
    link_.hooks.linkClosing = [this, cal, echo] {
        cal->StopAutoStep();
        echo->CancelTypeChange();
        decoder_.OnLinkClosing();
        results_.OnLinkClosing();
    };
    link_.hooks.requestWritten = [this, echo](std::uint8_t code) {
        if (code != CMD_ECHO_TYPE) return;
        decoder_.OnEchoTypeWritten();
        echo->OnTypeRequestWritten();
    };
    link_.hooks.blockRead = [this](const DeviceBlockRead& read) {
        decoder_.OnBlockRead(read);
        ApplyAdminMode(image_.AdminMode);
    };
    link_.hooks.reply = [this](const ReplyFrame& reply, bool answersRequest) {
        return decoder_.OnReply(reply, answersRequest);
    };
    link_.hooks.learnSlot = [this] { return image_.LearnSlotIndex; };

    decoder_.hooks.post = post;
    decoder_.hooks.learnRetry = [this] { link_.StartLearnRetry(); };

    builder_.hooks.mainVolume = [this](int column, int value) { SetMainSlider(column, value); };
    builder_.hooks.modeNameText = [sys] { return sys->ModeNameText(); };
    builder_.hooks.userModesChanged = [sys] { sys->FillUserModeCombo(); };
    // Kept until the builder returns: a refused Upload To Equipment first
    // puts the panel back, then says why.
    builder_.hooks.uploadRefused = [this](UploadRefusal why, int powerOnMode) {
        uploadRefusal_ = UploadRefusalSaid{why, powerOnMode};
    };
    sys->hooks.linkConnected = [this] { return link_.LinkState() == LinkSequencer::kConnected; };
    sys->hooks.openWifi = [this, sys] {
        RunWifiSetup(this, image_.Language, linkConfig_, sys->hooks.linkConnected);
    };

    results_.hooks.messageBox = [this](const std::string& text) {
        platform::MessageBox(this, text, " ", platform::MbType::Ok);
    };
    results_.hooks.post = post;
    results_.hooks.mainVolumes = [this] { ShowMainVolumes(); };
    results_.hooks.systemLock = [sys](int locked) { sys->ShowLockState(locked); };
    results_.hooks.systemAdmin = [sys](int level) { sys->ShowAdminLevel(level); };
    results_.hooks.applyAdminMode = [this](int level) { ApplyAdminMode(level); };
    results_.hooks.echoRefresh = [echo](int echoType, int request) {
        echo->OnTypeAnswer(echoType, request);
    };
    echo->SetLinkQuery([this] { return Button(kConnectId)->Checked(); });
}

LRESULT CQuavixDlg::OnSendCommand(WPARAM code, LPARAM argument) {
    // Numbered before the link has it: an idle link writes it at once.
    const int echoRequest = code == CMD_ECHO_TYPE ? decoder_.OnEchoTypeRequested() : 0;
    uploadRefusal_.reset();
    const bool handed = builder_.OnSendCommand(static_cast<unsigned>(code), argument);
    results_.OnLoginRequest(static_cast<unsigned>(code), argument, handed);
    if (code == CMD_MODE_UPLOAD_START) {
        if (handed) decoder_.OnModeUploadTaken();
        const std::optional<UploadRefusal> why =
            uploadRefusal_ ? std::optional(uploadRefusal_->why) : std::nullopt;
        if (!pcModes_.OnUploadStartHandled(argument, handed, why) && uploadRefusal_) {
            platform::MessageBox(this,
                                 UploadRefusalText(uploadRefusal_->why, uploadRefusal_->powerOnMode,
                                                   image_.Language),
                                 kAppTitle, platform::MbType::Ok);
        }
    }
    if (code == CMD_ECHO_TYPE) {
        auto* echo = static_cast<CDlgEcho*>(pages_[kTableEcho]);
        if (handed) {
            echo->OnTypeRequestTaken(echoRequest);
        } else {
            decoder_.OnEchoTypeRefused();
            echo->OnTypeRequestRefused();
            // A full line says so in the status line; a link still
            // connecting would say nothing, and the pick would seem taken.
            if (link_.LinkState() != LinkSequencer::kConnected)
                platform::MessageBox(this, NotConnectedText(image_.Language), " ",
                                     platform::MbType::Ok);
        }
    }
    // Recall and Save post their busy box behind the request; no answer
    // will close it for a request that was not taken.
    if (!handed && (code == CMD_SELECT_MODE || code == CMD_MODE_UPLOAD_START))
        PostMessage(WM_LINK_IDLE, 0, 0);
    if (!handed && code == CMD_LEARN) OnLearnRequestRefused(argument);
    return 0;
}

LRESULT CQuavixDlg::OnDeviceResult(WPARAM result, LPARAM) {
    return results_.OnDeviceResult(result);
}

void CQuavixDlg::ApplyAdminMode(int level) {
    if (appliedAdminMode_ == level) return;
    appliedAdminMode_ = level;
    SetItemText(kPageButtons[kPageMusic].id, UiText(image_.Language, kPageButtons[kPageMusic].row));
    // The Music page is shown afresh.
    currentPage_ = -1;
    SelectPage(kPageMusic);
    // The kind decides which pages may stay shown.
    ApplyForcedPage(image_.ParamBytes[kSystemModeByte]);
    for (int page = kPageMic; page <= kPageSys; ++page) ShowItem(kPageButtons[page].id, true);
    ShowItem(kPageButtons[kPageCal].id, image_.ExtendedFeatures != 0);
    OnSetLanguage(1, image_.Language);
    ApplyOutputLayout();
}

void CQuavixDlg::EnablePageButton(int pageIndex, bool enable) {
    if (pageIndex >= 0 && pageIndex < kPageButtonCount)
        EnableItem(kPageButtons[pageIndex].id, enable);
}

void CQuavixDlg::ApplyFeatureFlag(int flag) {
    if (flag == image_.ExtendedFeatures) return;
    image_.ExtendedFeatures = flag;
    const bool on = flag != 0;
    ShowItem(1820, on);
    ShowItem(1821, on);
    ShowItem(kPageButtons[kPageCal].id, on);
    // Without the extended features the output pages offer their Pink boxes.
    struct Pink {
        PageTableSlot page;
        int id;
    };
    static constexpr Pink kPinkBoxes[] = {{kTableMaster, 1930}, {kTableMaster, 1931},
                                          {kTableSurl, 1930},   {kTableSurl, 1931},
                                          {kTableCout, 1930},   {kTableSW, 1930}};
    for (const Pink& p : kPinkBoxes)
        if (pages_[p.page]) pages_[p.page]->ShowItem(p.id, !on);
}

void CQuavixDlg::ApplyOutputLayout() {
    CMyBtn* spare = Button(kSpareButtonId);
    ShowItem(kSpareButtonId, false);
    if (spare && spare->Checked()) {
        spare->SetChecked(false);
        Button(kPageButtons[kPageCal].id)->SetChecked(false);
        Button(kPageButtons[kPageSys].id)->SetChecked(true);
    }
    OnSetLanguage(1, image_.Language);
    // Only the left-channel mixer levels are used; the second output's delay
    // and mute stay.
    static constexpr int kShownTwin[] = {1414, 1244, 1252, 1248};
    static constexpr int kHiddenRight[] = {1238, 1239, 1245, 1246, 1407, 1416,
                                           1549, 1552, 1553, 1554, 1557, 1559};
    for (PageTableSlot slot : {kTableMaster, kTableSurl, kTableCout, kTableSW}) {
        CPage* page = pages_[slot];
        if (!page) continue;
        if (slot == kTableMaster || slot == kTableSurl)
            for (int id : kShownTwin) page->ShowItem(id, true);
        for (int id : kHiddenRight) page->ShowItem(id, false);
    }
}

// The whole-image refresh: the main window, then every EQ page in one pass.
void CQuavixDlg::RefreshAllPages() {
    auto& b = image_.ParamBytes;
    auto* sys = static_cast<CDlgSys*>(pages_[kTableSys]);
    if (sys) sys->FillUserModeCombo();
    for (int i = 0; i < 3; ++i) Button(1841 + i)->SetChecked((image_.MainToggleBits >> i) & 1);
    // The second video row has four inputs.
    if (b[94] > 3) b[94] = 0;
    if (b[95] > 3) b[95] = 0;
    LoadInputRows();
    ShowMainVolumes();
    // The kind is the unit's already: moving the radio sends nothing.
    const int kind = b[kSystemModeByte];
    if (kindRadio_.Index() != kind) SetSystemMode(kind);
    ApplySystemMode(kind);
    if (sys) sys->LoadFromImage();
    ApplyOutputLayout();

    const std::array<CEqPage*, 8> eqPages = EqPages();
    // Pass-filter records first: the labels and curves read them.
    for (CEqPage* page : eqPages) page->LoadFromImage();
    BoostPage()->SetGraphState(2);
    BoostPage()->SelectTarget(CDlgBt::kTargetMic);
    for (CEqPage* page : eqPages) page->SetGraphState(2);
    for (CEqPage* page : eqPages) page->EnsureSelection();
    for (CEqPage* page : eqPages) page->RedrawCurve();
    RefreshCalPage();
    ShowTestSignal(image_.PinkNoiseState);
}

void CQuavixDlg::ShowMainVolumes() {
    for (int c = 0; c < 3; ++c) SetMainSlider(c, image_.ParamBytes[MainVolumeFor(image_, c).index]);
}

LRESULT CQuavixDlg::OnLinkStep(WPARAM result, LPARAM lParam) {
    return link_.OnLinkStep(result, lParam);
}

void CQuavixDlg::SetMainSlider(int column, int value) {
    const MainSlider& s = kMainSliders[column];
    if (auto* slider = ControlAs<CMySlider>(s.sliderId)) slider->SetPos(99 - value);
    SetItemText(s.valueId, std::to_string(value));
}

void CQuavixDlg::SelectPage(int n) {
    requestedPage_ = n;
    if (n == currentPage_) {
        Button(kPageButtons[n].id)->SetChecked(true);
        return;
    }
    currentPage_ = n;
    RefreshPageBeforeShow(n);
    for (int i = 0; i < kPageButtonCount; ++i) Button(kPageButtons[i].id)->SetChecked(i == n);
    for (int i = 0; i < kPageButtonCount; ++i) {
        CPage* page = PageForIndex(i);
        if (!page) continue;
        if (i == kPageBt && !image_.BoostPageEnabled) continue;
        page->setVisible(i == n);
    }
}

LRESULT CQuavixDlg::OnBoostPage(WPARAM, LPARAM show) {
    if (show != 0 && show != 1) return 0;
    CDlgBt* boost = BoostPage();
    image_.BoostPageEnabled = static_cast<int>(show);
    boost->SetGraphState(2);
    ShowItem(kBoostButtonId, show != 0);
    Button(kBoostButtonId)->SetChecked(false);
    if (show) {
        SelectPage(kPageBt);
        boost->show();
        // Every showing starts on MIC.
        boost->SelectTarget(CDlgBt::kTargetMic);
    } else {
        boost->hide();
        SelectPage(kPageSys);
    }
    return 0;
}

LRESULT CQuavixDlg::OnSetLanguage(WPARAM store, LPARAM language) {
    image_.Language = language != 0 ? 1 : 0;
    const int lang = image_.Language;
    for (CPage* page : pages_)
        if (page) page->SetLanguage(lang);
    link_.SetLanguage(lang);
    if (store == 0) platform::WriteSettingInt(kLangSettingName, lang);

    SetItemText(1372, UiText(lang, image_.ParamBytes[107] == 0 ? 2 : 211));
    for (const Caption& c : kMainCaptions) SetItemText(c.id, UiText(lang, c.row));
    FillInputCombo();
    for (const PageButton& b : kPageButtons)
        if (b.row >= 0) SetItemText(b.id, UiText(lang, b.row));
    // Both language radios show the language however it was chosen, so a
    // later click on the other one always switches.
    SetLanguageButtons(lang);
    if (auto* sys = static_cast<CDlgSys*>(pages_[kTableSys])) sys->ShowLanguage(lang);
    return 0;
}

void CQuavixDlg::SetLanguageButtons(int language) {
    languageGroupIndex_ = language;
    Button(kEnglishId)->SetChecked(language == 0);
    Button(kChineseId)->SetChecked(language == 1);
}

void CQuavixDlg::OnEnglish() {
    image_.Language = 0;
    if (languageGroupIndex_ == 0) {
        SetLanguageButtons(0);
        return;
    }
    SetLanguageButtons(0);
    PostMessage(WM_SET_LANGUAGE, 0, image_.Language);
}

void CQuavixDlg::OnChinese() {
    image_.Language = 1;
    if (languageGroupIndex_ == 1) {
        SetLanguageButtons(1);
        return;
    }
    SetLanguageButtons(1);
    PostMessage(WM_SET_LANGUAGE, 0, image_.Language);
}

LRESULT CQuavixDlg::OnLinkBusy(WPARAM mode, LPARAM) {
    if (waitBoxOpen_) return 0;
    waitBoxOpen_ = true;
    CDlgWait box(this);
    waitBox_ = &box;
    box.SetMode(static_cast<int>(mode));
    box.SetLanguage(image_.Language);
    if (mode == CDlgWait::kCustom) {
        const int slot = image_.LearnSlotIndex;
        if (IsLearnSlot(slot)) box.SetCustomText("正在学习: " + LearnFunctionName(slot));
    }
    box.DoModal();
    // A box closed by OnLinkIdle has already cleared the state; a newer box
    // opened meanwhile keeps its own.
    if (waitBox_ == &box) {
        waitBox_ = nullptr;
        waitBoxOpen_ = false;
    }
    return 0;
}

LRESULT CQuavixDlg::OnLinkIdle(WPARAM, LPARAM) {
    if (!waitBoxOpen_) return 0;
    if (waitBox_) waitBox_->PostMessage(WM_CLOSE);
    waitBox_ = nullptr;
    waitBoxOpen_ = false;
    return 0;
}

LRESULT CQuavixDlg::OnSliderPos(WPARAM id, LPARAM pos) {
    for (int c = 0; c < 3; ++c) {
        const MainSlider& s = kMainSliders[c];
        if (static_cast<int>(id) != s.sliderId) continue;
        const int v = 99 - static_cast<int>(pos);
        SetItemText(s.valueId, std::to_string(v));
        const int index = MainVolumeFor(image_, c).index;
        if (image_.ParamBytes[index] == v) return 0;
        image_.ParamBytes[index] = static_cast<std::uint8_t>(v);
        PostMessage(WM_SEND_COMMAND, s.command, 0);
        return 0;
    }
    return 0;
}

bool CQuavixDlg::OnKeyDown(int qtKey, const QString&) {
    // The auto kind (and a kind the unit reports beyond it, laid out as auto)
    // takes no keyboard input in the main window.
    if (inputRows_.Kind() == kInputAuto) return true;
    int column = 0, up = 0;
    if (!NudgeForKey(qtKey, &column, &up)) return false;
    PostMessage(WM_KEY_NUDGE, column, up);
    return true;
}

LRESULT CQuavixDlg::OnKeyNudge(WPARAM column, LPARAM up) {
    std::uint8_t* b = image_.ParamBytes.data();
    const int systemMode = b[107];
    if (inputRows_.Kind() == kInputAuto) return 0;
    // Outside KTV only the music column moves.
    if (column > 2 || (column != 0 && systemMode != 0)) return 0;
    const MainVolumeBytes volume = MainVolumeFor(image_, static_cast<int>(column));
    const int index = volume.index;
    const int maximum = volume.maximumIndex >= 0 ? b[volume.maximumIndex] : 99;
    int value = b[index] + (up ? 1 : -1);
    value = std::clamp(value, 0, 99);
    value = std::min(value, maximum);
    if (value == b[index]) return 0;
    b[index] = static_cast<std::uint8_t>(value);
    SetMainSlider(static_cast<int>(column), value);
    PostMessage(WM_SEND_COMMAND, kMainSliders[column].command, 0);
    return 0;
}

void CQuavixDlg::OnTimer(int id) { link_.OnTimer(id); }

void CQuavixDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), platform::ColorFromRef(kPageColour));
    p.fillRect(QRect(0, 0, kStripWidth, height()), platform::ColorFromRef(kStripColour));
    p.fillRect(QRect(kStripWidth, 0, width() - kStripWidth, kBandHeight),
               platform::ColorFromRef(kBandColour));
}

void CQuavixDlg::closeEvent(QCloseEvent* event) {
    link_.OnDestroy();
    KillTimer(TIMER_LINK_TICK);
    event->accept();
}
