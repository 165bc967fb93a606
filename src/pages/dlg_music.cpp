#include "pages/dlg_music.h"

#include <QLabel>
#include <QLineEdit>
#include <string>
#include <vector>

#include "eq/my_slider.h"
#include "link/command_codes.h"
#include "model/param_image.h"
#include "pages/slider_table.h"

namespace {

std::string PitchLabel(int v) {
    if (v < 7) return "b" + std::to_string(7 - v);
    if (v == 7) return "0";
    return "#" + std::to_string(v - 7);
}

constexpr LabelFormat kGain{"", -12};
constexpr LabelFormat kPitch{.custom = PitchLabel};
constexpr LabelFormat kHertz{"", 0, 1.0, 0, "hz"};

// The page's own sliders: the table row (ParamBytes entry, label, command),
// the caption and its text row, the row's top in pixels, whether the label
// is an edit, whether it is shown.
struct MusicSlider {
    SliderRow row;
    int captionId, captionRow;
    int y;
    bool editLabel;
    bool shown;
};
const MusicSlider kSliders[] = {
    {{1061, 1064, 0, 12, SliderField::Byte(22), kGain, CMD_MUSIC_SETTINGS},
     1383,
     29,
     24,
     true,
     true},
    {{1062, 1065, 0, 12, SliderField::Byte(23), kGain, CMD_MUSIC_SETTINGS},
     1384,
     30,
     60,
     true,
     true},
    {{1063, 1066, 0, 12, SliderField::Byte(24), kGain, CMD_MUSIC_SETTINGS},
     1385,
     31,
     96,
     true,
     true},
    {{1071, 1073, 0, 12, SliderField::Byte(25), kGain, CMD_MUSIC_SETTINGS},
     1388,
     32,
     132,
     true,
     true},
    {{1139, 1148, 0, 14, SliderField::Byte(9), kPitch, CMD_MUSIC_SETTINGS},
     1555,
     37,
     168,
     false,
     true},
    {{1146, 1149, 0, 15, SliderField::Byte(151), label_formats::kPlain, CMD_MUSIC_SETTINGS},
     1560,
     197,
     204,
     false,
     true},
    // The exciter frequency: kept, refreshed and sent, never shown.
    {{1150, 1151, 40, 125, SliderField::Byte(150), kHertz, CMD_MUSIC_SETTINGS},
     1561,
     196,
     343,
     false,
     false},
};

constexpr int kGroupId = 1382;
constexpr PageCaption kGroupCaption[] = {{kGroupId, 28}};

// The group box and the columns of its rows, in pixels at the program's font;
// the first row starts below the box's title.
const QRect kGroupRect(367, 0, 300, 242);
constexpr int kCaptionX = 379;
constexpr int kSliderX = 454;
constexpr int kValueX = 595;

}  // namespace

CDlgMusic::CDlgMusic(platform::Window* mainWindow)
    : CEqPage(mainWindow, kEqMusic), sliders_(*this) {
    MapMessage(WM_SLIDER_POS, &CDlgMusic::OnSliderPos);
    CreateGroupBox(this, kGroupId, kGroupRect);
    AddCaptions(kGroupCaption);
    for (const MusicSlider& s : kSliders) {
        const PageCaption rowCaption[] = {{s.captionId, s.captionRow}};
        AddCaptions(rowCaption);
        const int y = s.y;
        auto* caption = new QLabel(this);
        caption->setGeometry(kCaptionX, y, kSliderX - kCaptionX, 24);
        AddControl(s.captionId, caption);
        CMySlider* slider =
            CreatePageSlider(this, s.row.id, QRect(kSliderX, y, 135, 24), s.row.min, s.row.max);
        QWidget* label;
        if (s.editLabel) {
            auto* edit = new QLineEdit(this);
            edit->setReadOnly(true);
            label = edit;
        } else {
            label = new QLabel(this);
        }
        label->setGeometry(kValueX, y + 1, 45, 22);
        AddControl(s.row.labelId, label);
        for (QWidget* w : {static_cast<QWidget*>(caption), static_cast<QWidget*>(slider), label})
            w->setVisible(s.shown);
        sliders_.Add(s.row);
    }
    SetLanguage(Language());
}

CMySlider* CDlgMusic::Slider(int id) const { return ControlAs<CMySlider>(id); }

LRESULT CDlgMusic::OnSliderPos(WPARAM id, LPARAM pos) {
    sliders_.OnSliderPos(static_cast<int>(id), static_cast<int>(pos));
    return 0;
}

void CDlgMusic::RefreshLabels() { sliders_.RefreshLabels(); }

void CDlgMusic::LoadFromImage() {
    CEqPage::LoadFromImage();
    sliders_.Load();
}
