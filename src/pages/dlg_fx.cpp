#include "pages/dlg_fx.h"

#include <QComboBox>
#include <QLabel>

#include "link/command_codes.h"
#include "model/param_image.h"
#include "model/ui_text.h"
#include "platform/controls.h"

namespace {

// Top-down as the page shows them.
// clang-format off
constexpr CaptionedRow kSliders[] = {
    {{1224, 1225, 0, 100, SliderField::Level(79), label_formats::kPlain, CMD_REVERB_SETTINGS}, 1467, 55, 1852},
    {{1232, 1233, 0, 100, SliderField::Level(81), label_formats::kPlain, CMD_REVERB_SETTINGS}, 1476, 62, 1853},
    {{1226, 1227, 500, 5000, SliderField::Word(28), label_formats::kMs, CMD_REVERB_SETTINGS}, 1468, 56, 0},
    {{1228, 1229, 0, 100, SliderField::Word(29), label_formats::kMs, CMD_REVERB_SETTINGS}, 1469, 57, 0},
    {{1230, 1231, 20, 99, SliderField::Byte(84), label_formats::kPlain, CMD_REVERB_SETTINGS}, 1471, 58, 0},
};
// clang-format on

constexpr int kTypeByte = 80;
constexpr int kTypeCaptionId = 1472;
constexpr int kTypeCaptionRow = 59;
// The hidden group box "Reverb Parameter".
constexpr int kGroupId = 1541;
constexpr int kGroupRow = 54;

// Right of the band panel.
constexpr SliderColumn kColumn{380, 140, 525, 664, 56, 724, 8, 36, kPolarityGrey};
constexpr int kComboWidth = 135;

}  // namespace

CDlgFX::CDlgFX(platform::Window* mainWindow) : CEqPage(mainWindow, kEqReverb), sliders_(*this) {
    MapMessage(WM_SLIDER_POS, &CDlgFX::OnSliderPos);
    CreateGroupBox(this, kGroupId, QRect());
    ShowItem(kGroupId, false);
    CreateSliderColumn(this, sliders_, kColumn, kSliders);
    const int y = kColumn.RowY(static_cast<int>(std::size(kSliders)));
    auto* caption = new QLabel(this);
    caption->setGeometry(kColumn.captionX, y + 2, kColumn.captionWidth, kPageSliderHeight);
    AddControl(kTypeCaptionId, caption);
    auto* combo = new QComboBox(this);
    combo->setGeometry(kColumn.sliderX, y + 2, kComboWidth, kPageSliderHeight);
    AddControl(kTypeComboId, combo);
    platform::FillCombo(combo, ReverbTypeItems(kLanguageEnglish), -1);
    platform::OnUserSelect(combo, [this](int) { OnReverbType(); });
    SetLanguage(Language());
}

QComboBox* CDlgFX::TypeCombo() const { return ControlAs<QComboBox>(kTypeComboId); }

LRESULT CDlgFX::OnSliderPos(WPARAM id, LPARAM pos) {
    sliders_.OnSliderPos(static_cast<int>(id), static_cast<int>(pos));
    return 0;
}

void CDlgFX::OnReverbType() {
    ParamImage* image = Image();
    const int type = TypeCombo()->currentIndex();
    if (!image || type < 0) return;
    image->ParamBytes[kTypeByte] = static_cast<std::uint8_t>(type);
    PostCommand(CMD_REVERB_SETTINGS, 0);
}

void CDlgFX::RefreshLabels() { sliders_.RefreshLabels(); }

void CDlgFX::LoadFromImage() {
    CEqPage::LoadFromImage();
    sliders_.Load();
    if (const ParamImage* image = Image())
        platform::SetComboSelection(TypeCombo(), image->ParamBytes[kTypeByte]);
}

void CDlgFX::SetLanguage(int language) {
    CEqPage::SetLanguage(language);
    const int lang = Language();
    SetRowCaptions(this, kSliders, lang);
    SetItemText(kTypeCaptionId, UiText(lang, kTypeCaptionRow));
    SetItemText(kGroupId, UiText(lang, kGroupRow));
    QComboBox* combo = TypeCombo();
    platform::FillCombo(combo, ReverbTypeItems(lang), combo->currentIndex());
}
