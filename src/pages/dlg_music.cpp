#include "pages/dlg_music.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <cstdio>
#include <string>

#include "model/param_image.h"
#include "model/ui_text.h"
#include "eq/dialog_units.h"
#include "eq/my_slider.h"
#include "link/command_codes.h"

namespace {

enum LabelFormat { kGain, kPitch, kPlain, kHertz };

// The page's own sliders: control id, caption and its text row, range, the
// ParamBytes entry holding the raw position, the value label, its format, the
// remembered position at start (-1: none), the row in dialog units, shown.
struct MusicSlider {
    int id, captionId, captionRow, min, max, byte, labelId;
    LabelFormat format;
    int rememberedAtStart;
    int y;
    bool shown;
};
constexpr MusicSlider kSliders[CDlgMusic::kSliderCount] = {
    {1061, 1383, 29, 0, 12, 22, 1064, kGain, -1, 9, true},
    {1062, 1384, 30, 0, 12, 23, 1065, kGain, -1, 33, true},
    {1063, 1385, 31, 0, 12, 24, 1066, kGain, -1, 55, true},
    {1071, 1388, 32, 0, 12, 25, 1073, kGain, -1, 79, true},
    {1139, 1555, 37, 0, 14, 9, 1148, kPitch, 7, 103, true},
    {1146, 1560, 197, 0, 15, 151, 1149, kPlain, 0, 127, true},
    // The exciter frequency: kept, refreshed and sent, never shown.
    {1150, 1561, 196, 40, 125, 150, 1151, kHertz, 0, 211, false},
};

constexpr int kGroupId = 1382;
constexpr int kGroupRow = 28;
// Group-box captions on the pages are drawn in 0xF6732E (a COLORREF).
constexpr const char* kGroupStyle = "QGroupBox { color: #2e73f6; }";

constexpr int kCaptionX = 253;
constexpr int kSliderX = 303;
constexpr int kValueX = 397;

std::string LabelText(LabelFormat format, int v) {
    char text[16];
    switch (format) {
        case kGain:
            std::snprintf(text, sizeof text, "%d", v - 12);
            break;
        case kPitch:
            if (v <= 6)
                std::snprintf(text, sizeof text, "b%d", 7 - v);
            else if (v == 7)
                std::snprintf(text, sizeof text, "0");
            else
                std::snprintf(text, sizeof text, "#%d", v - 7);
            break;
        case kPlain:
            std::snprintf(text, sizeof text, "%d", v);
            break;
        case kHertz:
            std::snprintf(text, sizeof text, "%dhz", v);
            break;
    }
    return text;
}

}  // namespace

CDlgMusic::CDlgMusic(platform::Window* mainWindow) : CEqPage(mainWindow, kEqMusic) {
    MapMessage(WM_SLIDER_POS, &CDlgMusic::OnSliderPos);
    auto* group = new QGroupBox(this);
    group->setGeometry(DluRect(kCaptionX - 8, 0, kValueX + 40 - kCaptionX + 8, 147));
    group->setStyleSheet(kGroupStyle);
    group->lower();
    AddControl(kGroupId, group);
    for (int i = 0; i < kSliderCount; ++i) {
        const MusicSlider& s = kSliders[i];
        const int y = DluY(s.y);
        auto* caption = new QLabel(this);
        caption->setGeometry(DluX(kCaptionX), y, DluX(kSliderX - kCaptionX), 24);
        AddControl(s.captionId, caption);
        auto* slider = new CMySlider(this, s.id, this);
        slider->setGeometry(DluX(kSliderX), y, 135, 24);
        slider->Setup(PageSliderSkins(), 0xF0F0F0, CMySlider::kHorizontal);
        slider->SetFocused(true);
        slider->SetRange(s.min, s.max);
        QWidget* label;
        if (s.format == kGain) {
            auto* edit = new QLineEdit(this);
            edit->setReadOnly(true);
            label = edit;
        } else {
            label = new QLabel(this);
        }
        label->setGeometry(DluX(kValueX), y + 1, DluX(30), 22);
        AddControl(s.labelId, label);
        for (QWidget* w : {static_cast<QWidget*>(caption), static_cast<QWidget*>(slider), label})
            w->setVisible(s.shown);
        remembered_[static_cast<std::size_t>(i)] = s.rememberedAtStart;
    }
    SetLanguage(Language());
}

CMySlider* CDlgMusic::Slider(int id) const { return ControlAs<CMySlider>(id); }

LRESULT CDlgMusic::OnSliderPos(WPARAM id, LPARAM pos) {
    for (int i = 0; i < kSliderCount; ++i)
        if (static_cast<WPARAM>(kSliders[i].id) == id) OnSlider(i, static_cast<int>(pos));
    return 0;
}

void CDlgMusic::ShowLabel(int index, int value) {
    const MusicSlider& s = kSliders[index];
    SetItemText(s.labelId, LabelText(s.format, value));
}

void CDlgMusic::OnSlider(int index, int pos) {
    const MusicSlider& s = kSliders[index];
    int& remembered = remembered_[static_cast<std::size_t>(index)];
    if (pos == remembered) return;
    remembered = pos;
    ShowLabel(index, pos);
    ParamImage* image = Image();
    if (!image || pos < s.min || pos > s.max) return;
    std::uint8_t& stored = image->ParamBytes[static_cast<std::size_t>(s.byte)];
    if (stored == pos) return;
    stored = static_cast<std::uint8_t>(pos);
    PostCommand(CMD_MUSIC_SETTINGS, 0);
}

void CDlgMusic::RefreshLabels() {
    const ParamImage* image = Image();
    if (!image) return;
    for (int i = 0; i < kSliderCount; ++i)
        if (kSliders[i].format != kGain)
            ShowLabel(i, image->ParamBytes[static_cast<std::size_t>(kSliders[i].byte)]);
}

void CDlgMusic::LoadFromImage() {
    CEqPage::LoadFromImage();
    const ParamImage* image = Image();
    if (!image) return;
    for (int i = 0; i < kSliderCount; ++i) {
        const MusicSlider& s = kSliders[i];
        const int value = image->ParamBytes[static_cast<std::size_t>(s.byte)];
        if (CMySlider* slider = Slider(s.id)) slider->SetPos(value);
        // The slider now stands where the image says: a later move back to
        // the position handled before must still count as a change.
        remembered_[static_cast<std::size_t>(i)] = Slider(s.id) ? Slider(s.id)->Value() : value;
        if (s.format == kGain) ShowLabel(i, value);
    }
    RefreshLabels();
}

void CDlgMusic::SetLanguage(int language) {
    CEqPage::SetLanguage(language);
    SetItemText(kGroupId, UiText(Language(), kGroupRow));
    for (const MusicSlider& s : kSliders)
        SetItemText(s.captionId, UiText(Language(), s.captionRow));
}
