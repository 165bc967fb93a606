#include "pages/dlg_cal.h"

#include <QLabel>

#include "eq/dialog_units.h"
#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "link/command_codes.h"
#include "model/param_image.h"
#include "model/ui_text.h"

namespace {

constexpr std::uint32_t kPageBackground = 0xF0F0F0;

// One output channel (OutputChannel code = index + 1): its level (the cinema
// volume byte, bit 7 the polarity), its distance (the cinema delay word),
// its test button, the CMD_OUTPUT_CHANNEL argument that carries both, and
// the rows it stands on (dialog units).
struct CalChannel {
    SliderRow level;
    int levelCaptionId, levelCaptionRow;
    int polarityId;
    SliderRow distance;
    int distanceCaptionId, distanceCaptionRow;
    int testButtonId, testCaptionRow;
    int y, testY;
};

constexpr LabelFormat kVolume = label_formats::kVolumeDb;
constexpr LabelFormat kDistance = label_formats::kMetres;
constexpr unsigned kOut = CMD_OUTPUT_CHANNEL;
constexpr int kDistanceMax = 150;

// clang-format off
constexpr CalChannel kCalChannels[CDlgCal::kChannels] = {
    {{1876, 1875, 0, 99, SliderField::Level(116), kVolume, kOut, 0}, 1874, 224, 1877,
     {1898, 1899, 0, kDistanceMax, SliderField::Word(40), kDistance, kOut, 0}, 1900, 230,
     1917, 236, 30, 91},
    {{1878, 1879, 0, 99, SliderField::Level(117), kVolume, kOut, 0}, 1880, 225, 1881,
     {1901, 1902, 0, kDistanceMax, SliderField::Word(41), kDistance, kOut, 0}, 1903, 231,
     1918, 237, 96, 129},
    {{1882, 1883, 0, 99, SliderField::Level(124), kVolume, kOut, 2}, 1884, 226, 1885,
     {1904, 1905, 0, kDistanceMax, SliderField::Word(42), kDistance, kOut, 2}, 1906, 232,
     1919, 238, 169, 167},
    {{1886, 1887, 0, 99, SliderField::Level(125), kVolume, kOut, 2}, 1888, 227, 1889,
     {1907, 1908, 0, kDistanceMax, SliderField::Word(43), kDistance, kOut, 2}, 1909, 233,
     1920, 239, 133, 148},
    {{1890, 1891, 0, 99, SliderField::Level(132), kVolume, kOut, 4}, 1892, 228, 1893,
     {1910, 1911, 0, kDistanceMax, SliderField::Word(44), kDistance, kOut, 4}, 1912, 234,
     1921, 240, 63, 110},
    {{1894, 1895, 0, 99, SliderField::Level(140), kVolume, kOut, 5}, 1896, 229, 1897,
     {1913, 1914, 0, kDistanceMax, SliderField::Word(45), kDistance, kOut, 5}, 1915, 235,
     1922, 241, 202, 186},
};
// clang-format on

// The group boxes and their caption rows: levels, distances, test signal.
struct CalGroup {
    int id, row;
    int x, y, width, height;
};
// The boxes start high enough that the first row's captions lie under their
// titles.
constexpr CalGroup kGroups[] = {
    {1924, 220, 40, 2, 130, 224},
    {1925, 221, 186, 2, 118, 224},
    {1926, 222, 337, 2, 92, 224},
};

constexpr int kOffRow = 242;
constexpr int kRotateRow = 223;
constexpr int kOffY = 33;
constexpr int kRotateY = 52;

constexpr int kLevelX = 52;
constexpr int kPolarityX = 145;
constexpr int kDistanceX = 196;
constexpr int kTestX = 347;
constexpr int kTestWidth = 76;
constexpr int kLevelCaptionWidth = 52;
constexpr int kLevelColumnWidth = 92;
constexpr int kDistanceCaptionWidth = 66;
constexpr int kDistanceColumnWidth = 100;
// Pixels: the polarity picture whole.
constexpr int kPolaritySize = 20;
constexpr int kCaptionRise = 11;
constexpr int kRowHeight = 10;

// A walk in the order the buttons stand, top to bottom, as channel indexes.
constexpr int kWalkOrder[CDlgCal::kChannels] = {0, 4, 1, 3, 2, 5};

}  // namespace

CDlgCal::CDlgCal(platform::Window* mainWindow) : CPage(mainWindow), sliders_(*this) {
    setObjectName("CDlgCal");
    MapMessage(WM_SLIDER_POS, &CDlgCal::OnSliderPos);
    for (const CalGroup& g : kGroups)
        CreateGroupBox(this, g.id, DluRect(g.x, g.y, g.width, g.height));

    // The caption, then the value label reaching to the column's right end.
    auto addSlider = [this](const SliderRow& row, int captionId, int x, int y, int captionWidth,
                            int columnWidth) {
        auto* caption = new QLabel(this);
        caption->setGeometry(DluRect(x, y - kCaptionRise, captionWidth, kRowHeight));
        AddControl(captionId, caption);
        auto* label = new QLabel(this);
        label->setGeometry(
            DluRect(x + captionWidth, y - kCaptionRise, columnWidth - captionWidth, kRowHeight));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        AddControl(row.labelId, label);
        CreatePageSlider(this, row.id, QRect(DluX(x), DluY(y), 135, 24), row.min, row.max);
        sliders_.Add(row);
    };
    auto addTestButton = [this](int id, int y) {
        auto* b = new CMyBtn(this, id, this);
        b->setGeometry(DluRect(kTestX, y, kTestWidth, kRowHeight));
        b->Setup(CheckBoxSkins(), CMyBtn::Flags(CMyBtn::kLookCheck, CMyBtn::kAlignLeft),
                 kPageBackground, kPageBackground, kPageBackground);
        b->SetTextLeft(16);
        return b;
    };

    for (const CalChannel& c : kCalChannels) {
        addSlider(c.level, c.levelCaptionId, kLevelX, c.y, kLevelCaptionWidth, kLevelColumnWidth);
        CreatePolarityButton(this, c.polarityId,
                             QRect(DluX(kPolarityX), DluY(c.y + 1), kPolaritySize, kPolaritySize),
                             kPolarityOnPage);
        sliders_.AddPolarity(c.polarityId, c.level.field, c.level.command, c.level.argument);
        addSlider(c.distance, c.distanceCaptionId, kDistanceX, c.y, kDistanceCaptionWidth,
                  kDistanceColumnWidth);
    }
    connect(addTestButton(kOffButtonId, kOffY), &QAbstractButton::clicked, this,
            [this] { SelectTestChannel(0); });
    connect(addTestButton(kRotateButtonId, kRotateY), &QAbstractButton::clicked, this,
            [this] { OnAutoStep(); });
    for (int i = 0; i < kChannels; ++i)
        connect(addTestButton(kCalChannels[i].testButtonId, kCalChannels[i].testY),
                &QAbstractButton::clicked, this, [this, i] { SelectTestChannel(i + 1); });
    ShowTestChannel(0);
    SetLanguage(Language());
}

CMySlider* CDlgCal::Slider(int id) const { return ControlAs<CMySlider>(id); }

LRESULT CDlgCal::OnSliderPos(WPARAM id, LPARAM pos) {
    sliders_.OnSliderPos(static_cast<int>(id), static_cast<int>(pos));
    return 0;
}

void CDlgCal::LoadFromImage() {
    if (!Image()) return;
    sliders_.Load();
    RefreshLabels();
    ShowTestChannel(Image()->PinkNoiseState);
}

void CDlgCal::RefreshLabels() { sliders_.RefreshLabels(); }

void CDlgCal::ShowTestChannel(int code) {
    for (int c = 0; c <= kChannels; ++c) {
        const int id = c == 0 ? kOffButtonId : kCalChannels[c - 1].testButtonId;
        if (auto* b = ControlAs<CMyBtn>(id)) b->SetChecked(c == code);
    }
}

void CDlgCal::ShowRotate() {
    if (auto* b = ControlAs<CMyBtn>(kRotateButtonId)) b->SetChecked(running_);
}

void CDlgCal::SetTestSignal(int code) {
    if (Image()) Image()->PinkNoiseState = code;
    PostCommand(CMD_TEST_SIGNAL, code);
}

void CDlgCal::SelectTestChannel(int code) {
    StopAutoStep();
    ShowTestChannel(code);
    if (Image() && Image()->PinkNoiseState != code) SetTestSignal(code);
}

void CDlgCal::StopAutoStep() {
    if (!running_) return;
    step_ = 0;
    KillTimer(TIMER_CAL_WALK);
    running_ = false;
    ShowRotate();
}

void CDlgCal::OnAutoStep() {
    if (running_) {
        // The signal stays on the channel the walk had reached.
        StopAutoStep();
        return;
    }
    StartAutoStep();
}

void CDlgCal::StartAutoStep() {
    if (running_) return;
    step_ = 1;
    const int code = ChannelCodeForStep(step_);
    ShowTestChannel(code);
    SetTestSignal(code);
    running_ = true;
    ShowRotate();
    SetTimer(TIMER_CAL_WALK, kWalkStepMs);
}

int CDlgCal::ChannelCodeForStep(int step) {
    return step >= 1 && step <= kChannels ? kWalkOrder[step - 1] + 1 : 0;
}

void CDlgCal::OnTimer(int id) {
    if (id != TIMER_CAL_WALK || !running_) return;
    ++step_;
    if (step_ > kChannels) {
        StopAutoStep();
        ShowTestChannel(0);
        SetTestSignal(0);
        return;
    }
    const int code = ChannelCodeForStep(step_);
    ShowTestChannel(code);
    SetTestSignal(code);
}

void CDlgCal::SetLanguage(int language) {
    CPage::SetLanguage(language);
    const int lang = Language();
    for (const CalGroup& g : kGroups) SetItemText(g.id, UiText(lang, g.row));
    for (const CalChannel& c : kCalChannels) {
        SetItemText(c.levelCaptionId, UiText(lang, c.levelCaptionRow));
        SetItemText(c.distanceCaptionId, UiText(lang, c.distanceCaptionRow));
        SetItemText(c.testButtonId, UiText(lang, c.testCaptionRow));
    }
    SetItemText(kOffButtonId, UiText(lang, kOffRow));
    SetItemText(kRotateButtonId, UiText(lang, kRotateRow));
}
