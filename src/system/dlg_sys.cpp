#include "system/dlg_sys.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTreeWidget>
#include <algorithm>
#include <array>

#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "eq/skin_catalogue.h"
#include "link/command_codes.h"
#include "model/level_byte.h"
#include "model/param_image.h"
#include "model/ui_text.h"
#include "platform/controls.h"
#include "platform/prompts.h"
#include "platform/text.h"
#include "platform/text_fit.h"
#include "system/access_codes.h"
#include "system/mode_files.h"
#include "system/user_modes.h"

namespace {

constexpr std::uint32_t kPageBackground = 0xF0F0F0;

constexpr int kLockPasswordEditId = 1579;
constexpr int kSwModeFlagBit = 27;
constexpr int kDanceMicThresholdOffset = -60;
constexpr int kUserModes = static_cast<int>(kUserModeCount);
constexpr int kPowerOnEntries = kUserModes + 1;  // "Last Mode", then the ten modes
// The PC mode list's number and name columns.
constexpr int kPcModeNumberWidth = 40;
constexpr int kPcModeNameWidth = 160;

// The value sliders that store and send: row, caption, top edge. Music Max
// edits byte 4 in KTV and 149 otherwise (ApplySystemMode moves it).
struct SysSlider {
    SliderRow row;
    int captionId;
    int y;
};
constexpr LabelFormat kDecibelsFromMinus60{"", kDanceMicThresholdOffset, 1.0, 0, "db"};
constexpr LabelFormat kSeconds{"", 0, 1.0, 0, "s"};
constexpr SysSlider kSliders[] = {
    {{1080, 1082, 0, 99, SliderField::Byte(4), label_formats::kPlain, CMD_MUSIC_SETTINGS},
     1386,
     26},
    {{1081, 1083, 0, 86, SliderField::Byte(3), label_formats::kPlain, CMD_MUSIC_SETTINGS},
     1387,
     54},
    {{1205, 1554, 0, 99, SliderField::Byte(11), label_formats::kPlain, CMD_MIC_SETTINGS}, 1395, 82},
    {{1206, 1213, 0, 86, SliderField::Byte(10), label_formats::kPlain, CMD_MIC_SETTINGS},
     1396,
     110},
    {{1215, 1217, 0, 99, SliderField::Byte(21), label_formats::kPlain, CMD_EFFECT_INIT_VOLUME},
     1470,
     138},
    {{1084, 1085, 0, 60, SliderField::Byte(98), kDecibelsFromMinus60, CMD_SW_MODE}, 1388, 230},
    {{1086, 1087, 1, 30, SliderField::Byte(99), kSeconds, CMD_SW_MODE}, 1389, 258},
    {{1088, 1089, 0, 99, SliderField::Byte(96), label_formats::kPlain, CMD_SW_MODE}, 1390, 286},
    {{1090, 1091, 0, 99, SliderField::Byte(97), label_formats::kPlain, CMD_SW_MODE}, 1391, 314},
};
constexpr int kSliderCaptionX = 18;
constexpr int kSliderX = 142;
constexpr int kSliderWidth = 160;
constexpr int kSliderValueX = 306;

// The record mixer, kept hidden: its levels are shown, never changed.
struct MixerSlider {
    SysSlider slider;
    int signId;
};
constexpr MixerSlider kMixer[] = {
    {{{1835, 1834, 0, 99, SliderField::Level(103), label_formats::kVolumeDb}, 1832, 452}, 1836},
    {{{1839, 1838, 0, 100, SliderField::Level(104), label_formats::kPercent}, 1837, 480}, 1840},
    {{{1843, 1842, 0, 100, SliderField::Level(105), label_formats::kPercent}, 1841, 508}, 1844},
    {{{1847, 1846, 0, 100, SliderField::Level(106), label_formats::kPercent}, 1845, 536}, 1848},
};
constexpr int kMixerCaptionX = 752;
constexpr int kMixerSliderX = 850;
constexpr int kMixerSliderWidth = 130;
constexpr int kMixerValueX = 984;
constexpr int kMixerSignX = 1050;

enum class Kind { kGroup, kLabel, kEdit, kCombo, kPush, kRadio, kCheck };
struct SysControl {
    int id;
    Kind kind;
    int x, y, w, h;
    // A text no language changes; nullptr: from the caption table.
    const char* text = nullptr;
    bool hidden = false;
};
constexpr const char* kLearnText = "自定义串口控制";
// clang-format off
constexpr SysControl kControls[] = {
    // Volume limits and start volumes, the dance mode, the enables, language.
    {1558, Kind::kGroup, 8, 4, 360, 170},
    {1559, Kind::kGroup, 8, 180, 360, 176},
    {1392, Kind::kLabel, 18, 201, 120, 20},
    {1810, Kind::kRadio, 142, 203, 100, 18},
    {1811, Kind::kRadio, 248, 203, 100, 18},
    {1993, Kind::kGroup, 8, 362, 360, 52},
    {1819, Kind::kCheck, 18, 386, 165, 18},
    {1820, Kind::kCheck, 190, 386, 165, 18},
    {1377, Kind::kGroup, 8, 420, 360, 52},
    {1806, Kind::kRadio, 18, 444, 120, 18, "ENGLISH"},
    {1807, Kind::kRadio, 190, 444, 120, 18, "中文"},
    {1318, Kind::kPush, 8, 482, 175, 28, kLearnText},
    {1319, Kind::kPush, 193, 482, 175, 28, "WIFI", true},
    {1851, Kind::kLabel, 8, 520, 60, 24, "第一行", true},
    {1849, Kind::kEdit, 72, 520, 180, 24, nullptr, true},
    {1545, Kind::kPush, 258, 518, 110, 28, "设置logo", true},
    {1852, Kind::kLabel, 8, 554, 60, 24, "第二行", true},
    {1850, Kind::kEdit, 72, 554, 180, 24, nullptr, true},
    {1546, Kind::kPush, 258, 552, 110, 28, "清除logo", true},
    // The unit's user modes.
    {1477, Kind::kGroup, 380, 4, 350, 200},
    {1464, Kind::kLabel, 390, 28, 100, 24},
    {1317, Kind::kCombo, 494, 28, 226, 24},
    {1463, Kind::kLabel, 390, 60, 100, 24},
    {1307, Kind::kCombo, 494, 60, 226, 24},
    {1591, Kind::kLabel, 390, 92, 100, 24},
    {1561, Kind::kEdit, 494, 92, 226, 24},
    {1308, Kind::kPush, 390, 128, 106, 28},
    {1309, Kind::kPush, 504, 128, 106, 28},
    {1311, Kind::kPush, 390, 164, 220, 28},
    // The lock key and the admin levels.
    {1574, Kind::kGroup, 380, 212, 350, 150},
    {1575, Kind::kLabel, 390, 236, 170, 24},
    {1579, Kind::kEdit, 564, 236, 156, 24},
    {1576, Kind::kLabel, 390, 268, 170, 24},
    {1580, Kind::kEdit, 564, 268, 156, 24},
    {1812, Kind::kRadio, 390, 302, 110, 18},
    {1813, Kind::kRadio, 506, 302, 110, 18},
    {1581, Kind::kPush, 390, 326, 106, 28},
    {1582, Kind::kGroup, 380, 370, 350, 160},
    {1583, Kind::kLabel, 390, 394, 170, 24},
    {1587, Kind::kEdit, 564, 394, 156, 24},
    {1584, Kind::kLabel, 390, 426, 170, 24},
    {1588, Kind::kEdit, 564, 426, 156, 24},
    {1814, Kind::kRadio, 390, 460, 110, 18},
    {1815, Kind::kRadio, 506, 460, 110, 18},
    {1816, Kind::kRadio, 622, 460, 100, 18, nullptr, true},
    {1589, Kind::kPush, 390, 486, 106, 28},
    {1557, Kind::kGroup, 380, 536, 350, 50, nullptr, true},
    {1808, Kind::kRadio, 390, 558, 110, 18, nullptr, true},
    {1809, Kind::kRadio, 506, 558, 110, 18, nullptr, true},
    // The PC modes.
    {1476, Kind::kGroup, 742, 4, 346, 412},
    {1590, Kind::kLabel, 752, 306, 100, 24},
    {1560, Kind::kEdit, 856, 306, 222, 24},
    {1314, Kind::kPush, 752, 342, 160, 28},
    {1313, Kind::kPush, 918, 342, 160, 28},
    {1316, Kind::kPush, 752, 378, 326, 28, nullptr, true},
    {1315, Kind::kPush, 918, 378, 160, 28, nullptr, true},
    // Kept hidden: the kind pair, the cinema input and the record mixer.
    {1817, Kind::kRadio, 752, 424, 100, 18, "KTV模式", true},
    {1818, Kind::kRadio, 858, 424, 100, 18, "影院模式", true},
    {1859, Kind::kCombo, 964, 421, 114, 24, nullptr, true},
    {1833, Kind::kGroup, 742, 430, 346, 170, nullptr, true},
};
// clang-format on

// Edits: longest text (0: no limit), digits only, password style.
struct EditRule {
    int id;
    int maxLength;
    bool digitsOnly;
    bool password;
};
constexpr EditRule kEditRules[] = {
    {CDlgSys::kModeNameEditId, static_cast<int>(kModeNameLength), false, false},
    {CDlgSys::kLogoLine1EditId, static_cast<int>(kLogoLineBytes), false, false},
    {CDlgSys::kLogoLine2EditId, static_cast<int>(kLogoLineBytes), false, false},
    // Read up to 31 characters: the access codes are typed here too.
    {CDlgSys::kLockNewPasswordEditId, 31, false, false},
    {kLockPasswordEditId, 0, true, true},
    {1587, 0, true, true},
    {1588, 0, true, false},
};

// Edits where the nudge letters type as letters.
constexpr int kTypingEdits[] = {CDlgSys::kPcNameEditId, CDlgSys::kModeNameEditId,
                                CDlgSys::kLockNewPasswordEditId, CDlgSys::kLogoLine1EditId,
                                CDlgSys::kLogoLine2EditId};

// Shown by the logo access code.
constexpr int kLogoControls[] = {1849, 1850, 1851, 1852, 1545, 1546};

// Enabled in KTV only.
constexpr int kKtvOnly[] = {1081, 1205, 1206, 1215, 1084, 1086, 1088, 1090, 1810,
                            1811, 1835, 1839, 1843, 1847, 1836, 1840, 1844, 1848};

// clang-format off
constexpr PageCaption kCaptions[] = {
    {1591, 144}, {1463, 143}, {1308, 145}, {1309, 146}, {1316, 147}, {1311, 191},
    {1377, 156}, {1313, 148}, {1314, 149}, {1315, 150}, {1477, 151}, {1476, 152},
    {1386, 38, 212}, {1387, 39}, {1395, 44}, {1396, 45}, {1470, 50}, {1557, 159},
    {1808, 160}, {1809, 161}, {1559, 162}, {1392, 162}, {1810, 167}, {1811, 33},
    {1388, 165}, {1389, 166}, {1390, 163}, {1391, 164}, {1574, 171}, {1575, 172},
    {1576, 173}, {1813, 174}, {1812, 175}, {1582, 176}, {1583, 177}, {1584, 178},
    {1814, 180}, {1815, 181}, {1816, 181}, {1581, 182}, {1589, 182}, {1590, 183},
    {1558, 184}, {1833, 168}, {1832, 169}, {1837, 85}, {1841, 103}, {1845, 170},
    {1464, 195}, {1993, 255}, {1819, 253}, {1820, 254},
};
// clang-format on

bool ValidSlot(int slot) { return slot >= 0 && slot < kUserModes; }

QLabel* AddLabel(CPage* page, int id, const QRect& rect) {
    auto* label = new QLabel(page);
    label->setGeometry(rect);
    page->AddControl(id, label);
    return label;
}

void AddSliderRow(CPage* page, const SysSlider& s, int captionX, int sliderX, int sliderWidth,
                  int valueX) {
    AddLabel(page, s.captionId, QRect(captionX, s.y, sliderX - captionX - 4, 24));
    CreatePageSlider(page, s.row.id, QRect(sliderX, s.y, sliderWidth, 24), s.row.min, s.row.max);
    AddLabel(page, s.row.labelId, QRect(valueX, s.y, 52, 24));
}

CMyBtn* AddSkinnedButton(CPage* page, int id, const QRect& rect, const ButtonSkins& skins) {
    auto* b = new CMyBtn(page, id, page);
    b->setGeometry(rect);
    b->Setup(skins, CMyBtn::Flags(CMyBtn::kLookCheck, CMyBtn::kAlignLeft), kPageBackground,
             kPageBackground, kPageBackground);
    b->SetTextLeft(18);
    return b;
}

}  // namespace

CDlgSys::CDlgSys(platform::Window* mainWindow)
    : CPage(mainWindow), sliders_(*this), recordMixer_(*this) {
    setObjectName("CDlgSys");
    MapMessage(WM_SLIDER_POS, &CDlgSys::OnSliderPos);
    MapMessage(WM_MASS_SAVE_REQUEST, &CDlgSys::OnMassSaveRequest);
    CreateControls();
    ConnectHandlers();
    SetLanguage(Language());
}

void CDlgSys::CreateControls() {
    for (const SysControl& c : kControls) {
        const QRect rect(c.x, c.y, c.w, c.h);
        QWidget* w = nullptr;
        switch (c.kind) {
            case Kind::kGroup:
                w = CreateGroupBox(this, c.id, rect);
                break;
            case Kind::kLabel:
                w = new QLabel(this);
                break;
            case Kind::kEdit:
                // Names, passwords and logo lines: a longer text scrolls.
                w = new QLineEdit(this);
                platform::SetFreeText(w);
                break;
            case Kind::kCombo:
                w = new QComboBox(this);
                break;
            case Kind::kPush:
                w = new QPushButton(this);
                break;
            case Kind::kRadio:
                w = AddSkinnedButton(this, c.id, rect, RadioSkins());
                break;
            case Kind::kCheck:
                w = AddSkinnedButton(this, c.id, rect, CheckBoxSkins());
                break;
        }
        w->setGeometry(rect);
        AddControl(c.id, w);
        if (c.text) SetItemText(c.id, c.text);
        if (c.hidden) w->hide();
    }
    for (const EditRule& r : kEditRules) {
        auto* edit = ControlAs<QLineEdit>(r.id);
        if (r.maxLength > 0) edit->setMaxLength(r.maxLength);
        if (r.digitsOnly)
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
        if (r.password) edit->setEchoMode(QLineEdit::Password);
    }

    for (const SysSlider& s : kSliders) {
        AddSliderRow(this, s, kSliderCaptionX, kSliderX, kSliderWidth, kSliderValueX);
        sliders_.Add(s.row);
    }
    for (const MixerSlider& m : kMixer) {
        AddSliderRow(this, m.slider, kMixerCaptionX, kMixerSliderX, kMixerSliderWidth,
                     kMixerValueX);
        CreatePolarityButton(this, m.signId, QRect(kMixerSignX, m.slider.y, 24, 24), kPolarityGrey);
        recordMixer_.Add(m.slider.row);
        for (int id : {m.slider.captionId, m.slider.row.id, m.slider.row.labelId, m.signId})
            ShowItem(id, false);
    }

    modeList_ = new QTreeWidget(this);
    modeList_->setColumnCount(2);
    platform::ShowAsGridList(modeList_);
    modeList_->setGeometry(752, 26, 326, 270);
    // The columns keep their widths; the list's width beyond them stays empty.
    modeList_->header()->setStretchLastSection(false);
    modeList_->setColumnWidth(0, kPcModeNumberWidth);
    modeList_->setColumnWidth(1, kPcModeNameWidth);
    AddControl(CDlgSys::kPcModeListId, modeList_);

    auto* combo1859 = ControlAs<QComboBox>(1859);
    platform::RefillCombo(combo1859, InputComboItems(kLanguageEnglish, 1));
    platform::SetComboSelection(combo1859, 0);
    auto* userModes = ControlAs<QComboBox>(kUserModeComboId);
    std::vector<std::string> placeholders;
    for (int slot = 0; slot < kUserModes; ++slot) placeholders.push_back(UserModePlaceholder(slot));
    platform::RefillCombo(userModes, placeholders);
    platform::SetComboSelection(userModes, selectedMode_);

    languageRadio_ = RadioGroup{ControlAs<CMyBtn>(kEnglishId), ControlAs<CMyBtn>(kChineseId)};
    swModeRadio_ = RadioGroup{ControlAs<CMyBtn>(kSwManualId), ControlAs<CMyBtn>(kSwAutoId)};
    lockRadio_ = RadioGroup{ControlAs<CMyBtn>(1812), ControlAs<CMyBtn>(1813)};
    adminRadio_ =
        RadioGroup{ControlAs<CMyBtn>(1814), ControlAs<CMyBtn>(1815), ControlAs<CMyBtn>(1816)};
    uiModeRadio_ = RadioGroup{ControlAs<CMyBtn>(1808), ControlAs<CMyBtn>(1809)};
    // Every group starts at its first button; the lock shows unlocked and
    // the admin level the page's start value until the first refresh.
    languageRadio_.Show(0);
    swModeRadio_.Show(0);
    lockRadio_.Show(lockValue_);
    adminRadio_.Show(adminValue_);
    uiModeRadio_.Show(0);
    EnableItem(kLockModifyId, false);
}

void CDlgSys::ConnectHandlers() {
    auto click = [this](int id, std::function<void()> fn) {
        platform::OnUserClick(ControlAs<QAbstractButton>(id), std::move(fn));
    };
    click(kEnglishId, [this] { OnEnglish(); });
    click(kChineseId, [this] { OnChinese(); });
    click(kSwManualId, [this] { SetSwMode(0, 1); });
    click(kSwAutoId, [this] { SetSwMode(1, 1); });
    click(kIrEnableId, [this] { OnUnlock(0); });
    click(kUartEnableId, [this] { OnUnlock(1); });
    click(kSetLogoId, [this] { OnSetLogo(); });
    click(kClearLogoId, [this] { OnClearLogo(); });
    click(kLearnId, [this] { Main()->PostMessage(WM_OPEN_LEARN, 0, 0); });
    click(kWifiId, [this] {
        if (hooks.openWifi) hooks.openWifi();
    });
    click(kRecallId, [this] { OnLoadFromEquipment(); });
    click(kSaveId, [this] { OnSaveToEquipment(); });
    click(kResetId, [this] { OnResetToFactory(); });
    click(kSaveToPcId, [this] { OnSaveToPc(); });
    click(kUploadToEquipmentId, [this] { OnLoadFromPc(); });
    click(kMassSaveId, [this] { OnMassSave(); });
    connect(modeList_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        OnPcModeClick(modeList_->indexOfTopLevelItem(item));
    });
    platform::OnUserEdit(ControlAs<QLineEdit>(kLockNewPasswordEditId),
                         [this](const std::string& text) { OnLockNewPasswordEdit(text); });
    ConnectLogins();
    platform::OnUserSelect(ControlAs<QComboBox>(kUserModeComboId),
                           [this](int index) { OnUserModeSelChange(index); });
    platform::OnUserSelect(ControlAs<QComboBox>(kPowerOnComboId),
                           [this](int index) { OnPowerModeSelChange(index); });
}

void CDlgSys::Wire(ParamImage* image) {
    CPage::Wire(image);
    if (image) lastUnlockSent_ = image->UnlockFlags;
}

void CDlgSys::SetModeFiles(const std::vector<std::string>& names) {
    modeList_->clear();
    modeFiles_.clear();
    clickedRow_.reset();
    for (const std::string& name : names) AddModeFile(name);
}

void CDlgSys::AddModeFile(const std::string& name) {
    modeFiles_.push_back(name);
    auto* item = new QTreeWidgetItem(modeList_);
    item->setText(0, QString::number(modeFiles_.size()));
    item->setText(1, QString::fromStdString(platform::FileNameText(name)));
}

std::string CDlgSys::PcNameOfText(const std::string& text) const {
    // A row whose file name is no UTF-8 shows it decoded: typing or clicking
    // that text names the row's own file, so a save goes over it. A file
    // of exactly that name comes first.
    if (std::find(modeFiles_.begin(), modeFiles_.end(), text) != modeFiles_.end()) return text;
    for (const std::string& name : modeFiles_)
        if (platform::FileNameText(name) == text) return name;
    return text;
}

std::optional<std::string> CDlgSys::ClickedRowFile(const std::string& text) const {
    if (!clickedRow_) return std::nullopt;
    const std::string& name = modeFiles_[*clickedRow_];
    if (platform::FileNameText(name) != text) return std::nullopt;
    return name;
}

std::optional<std::string> CDlgSys::TakeCheckedPcName() {
    if (checkedPcNames_.empty()) return std::nullopt;
    std::string name = std::move(checkedPcNames_.front());
    checkedPcNames_.pop_front();
    return name;
}

void CDlgSys::OnSaveToPc() {
    if (modeFiles_.size() >= kMaxModeFiles) return;
    const std::string typed = ItemText(kPcNameEditId);
    // The clicked row's name, still as shown, is that row's file: checked as
    // the folder holds it, since the text may show '?' for bytes that are
    // neither UTF-8 nor GBK.
    const std::optional<std::string> rowFile = ClickedRowFile(typed);
    const PcNameRefusal refusal = CheckPcName(rowFile ? *rowFile : typed);
    if (refusal != PcNameRefusal::kNone) {
        platform::MessageBox(this, PcNameRefusalText(refusal, Language()), kAppTitle);
        return;
    }
    const std::string name = rowFile ? *rowFile : PcNameOfText(typed);
    // Asked whenever the folder holds the name, listed or not.
    if (hooks.pcNameInFolder && hooks.pcNameInFolder(name) &&
        platform::MessageBox(this, PcModeOverwriteQuestion(Language()), kAppTitle,
                             platform::MbType::YesNo) != IDYES) {
        return;
    }
    checkedPcNames_.push_back(name);
    Main()->PostMessage(WM_SAVE_MODE_FILE, 0, 0);
}

void CDlgSys::OnLoadFromPc() {
    const QList<QTreeWidgetItem*> picked = modeList_->selectedItems();
    if (picked.isEmpty()) return;
    Main()->PostMessage(WM_LOAD_MODE_FILE, 0, modeList_->indexOfTopLevelItem(picked.front()));
}

void CDlgSys::OnPcModeClick(int row) {
    if (row < 0 || row >= static_cast<int>(modeFiles_.size())) return;
    clickedRow_ = static_cast<std::size_t>(row);
    platform::SetEditText(ControlAs<QLineEdit>(kPcNameEditId),
                          platform::FileNameText(modeFiles_[*clickedRow_]));
}

void CDlgSys::OnMassSave() {
    CMassSaveDlg picker(this, modeFiles_, Language(), massSaveList_);
    picker.DoModal();
}

LRESULT CDlgSys::OnMassSaveRequest(WPARAM, LPARAM) {
    const ParamImage* image = Image();
    if (!image) return 0;
    if (image->AdminModeConfirmed != 1) {
        platform::MessageBox(this, UserModeMessage(UserModeText::kNotAdmin, Language()), kAppTitle);
        return 0;
    }
    Main()->PostMessage(WM_MASS_SAVE, 0, 0);
    return 0;
}

std::span<const PageCaption> CDlgSys::Captions() const { return kCaptions; }

void CDlgSys::SetLanguage(int language) {
    CPage::SetLanguage(language);
    const int lang = Language();
    modeList_->setHeaderLabels(
        {QString::fromUtf8(UiText(lang, 215)), QString::fromUtf8(UiText(lang, 216))});
    platform::RefillCombo(ControlAs<QComboBox>(kPowerOnComboId), ModeListItems(lang));
}

void CDlgSys::ShowLanguage(int language) { languageRadio_.Show(language ? 1 : 0); }

void CDlgSys::SetLanguageRadio(int language) {
    if (languageRadio_.Show(language)) Main()->PostMessage(WM_SET_LANGUAGE, 0, language);
}

void CDlgSys::OnEnglish() { SetLanguageRadio(0); }
void CDlgSys::OnChinese() { SetLanguageRadio(1); }

LRESULT CDlgSys::OnSliderPos(WPARAM id, LPARAM pos) {
    sliders_.OnSliderPos(static_cast<int>(id), static_cast<int>(pos));
    return 0;
}

void CDlgSys::SetSwMode(int mode, int notify) {
    ParamImage* image = Image();
    if (!image) return;
    const std::uint32_t bit = 1u << kSwModeFlagBit;
    image->ParamFlags = mode ? (image->ParamFlags | bit) : (image->ParamFlags & ~bit);
    if (swModeRadio_.Show(mode ? 1 : 0) && notify) PostCommand(CMD_SW_MODE, 0);
}

void CDlgSys::OnUnlock(int bit) {
    ParamImage* image = Image();
    if (!image) return;
    image->UnlockFlags ^= 1 << bit;
    SetUnlockBit();
}

void CDlgSys::ShowUnlockButtons() {
    const ParamImage* image = Image();
    if (!image) return;
    // A set bit disables the input: the button shows on while it is clear.
    ControlAs<CMyBtn>(kIrEnableId)->SetChecked((image->UnlockFlags & 1) == 0);
    ControlAs<CMyBtn>(kUartEnableId)->SetChecked((image->UnlockFlags & 2) == 0);
}

void CDlgSys::SetUnlockBit() {
    ShowUnlockButtons();
    const int flags = Image()->UnlockFlags;
    if (flags == lastUnlockSent_) return;
    lastUnlockSent_ = flags;
    PostCommand(CMD_UNLOCK_FLAGS, 0);
}

void CDlgSys::PostLogo(const LogoRecord& record) {
    // The builder copies the record when it handles the message; the page
    // keeps it until then.
    logoRecord_ = record;
    PostCommand(CMD_SET_LOGO, reinterpret_cast<LPARAM>(logoRecord_.data()));
}

void CDlgSys::OnSetLogo() {
    PostLogo(SetLogoRecord(platform::Utf8ToGbk(ItemText(kLogoLine1EditId)),
                           platform::Utf8ToGbk(ItemText(kLogoLine2EditId))));
}

void CDlgSys::OnClearLogo() { PostLogo(ClearLogoRecord()); }

void CDlgSys::ShowLogoControls() {
    for (int id : kLogoControls) ShowItem(id, true);
}

void CDlgSys::OnLockNewPasswordEdit(const std::string& utf8) {
    auto* edit = ControlAs<QLineEdit>(kLockNewPasswordEditId);
    if (const std::optional<AccessCode> code = MatchAccessCode(utf8)) {
        switch (*code) {
            case AccessCode::kBoost:
                platform::SetEditText(edit, "");
                Main()->PostMessage(WM_BOOST_PAGE, 0, 1);
                break;
            case AccessCode::kLogo:
                platform::SetEditText(edit, "");
                ShowLogoControls();
                break;
            case AccessCode::kWifi:
                ShowItem(kWifiId, true);
                break;
        }
    }
    OnLockPasswordEdit();
}

bool CDlgSys::OnKeyDown(int qtKey, const QString& text) {
    // The page's focused control is the one the key goes to.
    const QWidget* focus = focusWidget();
    for (int id : kTypingEdits)
        if (focus && focus == Control(id)) return false;
    return CPage::OnKeyDown(qtKey, text);
}

void CDlgSys::ShowLockState(int locked) {
    lockValue_ = locked;
    lockRadio_.Show(locked != 0 ? 1 : 0);
}

void CDlgSys::ShowAdminLevel(int level) {
    adminValue_ = level;
    adminRadio_.Show(level);
}

void CDlgSys::SetPolarityButton(int negative, int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kMixer))) return;
    SetItemText(kMixer[index].signId, level_byte::PolarityCaption(negative != 0));
}

void CDlgSys::FillUserModeCombo() {
    const ParamImage* image = Image();
    if (!image) return;
    std::vector<std::string> items;
    for (int slot = 0; slot < kUserModes; ++slot)
        items.push_back(UserModeItem(slot, image->ModeNameTable[static_cast<std::size_t>(slot)]));
    platform::RefillCombo(ControlAs<QComboBox>(kUserModeComboId), items);
}

void CDlgSys::OnUserModeSelChange(int index) {
    const ParamImage* image = Image();
    if (!image || !ValidSlot(index)) return;
    selectedMode_ = index;
    platform::SetEditText(ControlAs<QLineEdit>(kModeNameEditId),
                          UserModeEditName(image->ModeNameTable[static_cast<std::size_t>(index)]));
}

void CDlgSys::OnLoadFromEquipment() {
    if (!ValidSlot(selectedMode_)) return;
    if (!ConnectedOrSaySo(this, hooks.linkConnected, Language(), kAppTitle)) return;
    PostCommand(CMD_SELECT_MODE, selectedMode_);
    Main()->PostMessage(WM_LINK_BUSY, 1, 0);
}

void CDlgSys::OnSaveToEquipment() {
    const ParamImage* image = Image();
    if (!image || !ValidSlot(selectedMode_)) return;
    switch (CheckModeStore(image->AdminModeConfirmed, ModeNameText())) {
        case UserModeRefusal::kNotAdmin:
            platform::MessageBox(this, UserModeMessage(UserModeText::kNotAdmin, Language()),
                                 kAppTitle);
            return;
        case UserModeRefusal::kBadName:
            platform::MessageBox(this, UserModeMessage(UserModeText::kBadName, Language()),
                                 kAppTitle);
            return;
        case UserModeRefusal::kNone:
            break;
    }
    if (!ConnectedOrSaySo(this, hooks.linkConnected, Language(), kAppTitle)) return;
    // Asked before anything is posted: a store the unit would not take gets
    // the box that says why and no busy box, which would only open and close.
    if (hooks.uploadRefusal) {
        if (const std::optional<UploadRefusal> why = hooks.uploadRefusal()) {
            platform::MessageBox(this, UploadRefusalText(*why, image->PowerOnMode, Language()),
                                 kAppTitle);
            return;
        }
    }
    PostCommand(CMD_MODE_UPLOAD_START, selectedMode_);
    Main()->PostMessage(WM_LINK_BUSY, 2, 0);
}

void CDlgSys::OnResetToFactory() {
    const ParamImage* image = Image();
    if (!image) return;
    const int lang = Language();
    const std::string warning = UserModeMessage(UserModeText::kWarning, lang);
    if (CheckModeReset(image->AdminModeConfirmed) != UserModeRefusal::kNone) {
        platform::MessageBox(this, UserModeMessage(UserModeText::kNotAdmin, lang), warning);
        return;
    }
    if (platform::MessageBox(this, UserModeMessage(UserModeText::kResetAll, lang), warning,
                             platform::MbType::OkCancelQuestion) != IDOK)
        return;
    // Asked after the question: the link may have closed while it was open.
    if (!ConnectedOrSaySo(this, hooks.linkConnected, lang, warning.c_str())) return;
    PostCommand(CMD_RESET_ALL, 0);
}

void CDlgSys::OnPowerModeSelChange(int index) {
    ParamImage* image = Image();
    if (!image || index < 0 || index >= kPowerOnEntries || index == image->PowerOnMode) return;
    image->PowerOnMode = index;
    PostCommand(CMD_POWER_ON_MODE, 0);
}

void CDlgSys::RefreshFromParams() {
    sliders_.RefreshLabels();
    recordMixer_.RefreshLabels();
}

void CDlgSys::ApplySystemMode(int kind) {
    const bool ktv = kind == 0;
    const bool automatic = kind != 0 && kind != 1;
    sliders_.SetField(kMusicMaxSliderId, SliderField::Byte(ktv ? 4 : 149));
    EnableItem(kMusicMaxSliderId, !automatic);
    for (int id : kKtvOnly) EnableItem(id, ktv);
    sliders_.Load();
    ApplyCaptions();
    RefreshFromParams();
}

void CDlgSys::LoadFromImage() {
    ParamImage* image = Image();
    if (!image) return;
    FillUserModeCombo();
    const int kind = image->ParamBytes[kSystemModeByte];
    sliders_.SetField(kMusicMaxSliderId, SliderField::Byte(kind == 0 ? 4 : 149));
    sliders_.Load();
    SetSwMode(static_cast<int>((image->ParamFlags >> kSwModeFlagBit) & 1u), 0);
    ShowLockState(image->KeyLockOn != 0 ? 1 : 0);
    ShowAdminLevel(image->AdminMode);
    recordMixer_.Load();
    for (int i = 0; i < static_cast<int>(std::size(kMixer)); ++i) {
        const std::uint8_t level = image->ParamBytes[kMixer[i].slider.row.field.index];
        SetPolarityButton(level_byte::Inverted(level) ? 1 : 0, i);
    }
    platform::SetEditText(ControlAs<QLineEdit>(kModeNameEditId), TrimCurrentModeName(*image));
    RefreshFromParams();
    lastUnlockSent_ = image->UnlockFlags;
    ShowUnlockButtons();
    uiModeRadio_.Show(0);
    // The unit's slot as a signed byte: one outside 0..9 selects nothing and
    // Recall and Save wait for the user's pick.
    const int slot = static_cast<std::int8_t>(image->CurrentModeSlot);
    selectedMode_ = ValidSlot(slot) ? slot : -1;
    platform::SetComboSelection(ControlAs<QComboBox>(kUserModeComboId), selectedMode_);
    const int powerOn = image->PowerOnMode;
    platform::SetComboSelection(ControlAs<QComboBox>(kPowerOnComboId),
                                powerOn >= 0 && powerOn < kPowerOnEntries ? powerOn : -1);
}
