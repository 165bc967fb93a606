#include "pages/dlg_mic.h"

#include "eq/my_btn.h"
#include "link/command_codes.h"
#include "model/param_image.h"
#include "model/ui_text.h"

namespace {

constexpr LabelFormat kNoiseGate{"", -81, 1.0, 0, "db", "OFF"};
constexpr LabelFormat kExciter{"", 0, 1.0, 0, "", "OFF"};

// Top-down as the page shows them.
// clang-format off
constexpr CaptionedRow kSliders[] = {
    {{1207, 1212, 0, 8, SliderField::Byte(26), label_formats::kPlain, CMD_MIC_SETTINGS}, 1392, 41, 0},
    {{1215, 1216, 0, 41, SliderField::Byte(14), kNoiseGate, CMD_MIC_SETTINGS}, 1397, 46, 0},
    {{1270, 1271, 0, 24, SliderField::Byte(101), kExciter, CMD_MIC_SETTINGS}, 1399, 47, 0},
    {{1272, 1273, 0, 100, SliderField::Level(12), label_formats::kPlain, CMD_MIC_SETTINGS}, 1400, 48, 1740},
    {{1274, 1275, 0, 100, SliderField::Level(13), label_formats::kPlain, CMD_MIC_SETTINGS}, 1401, 49, 1741},
};
// clang-format on

// Where the link's state lives, and its caption.
constexpr int kLinkByte = 152;
constexpr int kLinkRow = 199;
// The hidden group box "Mic".
constexpr int kGroupId = 1872;
constexpr int kGroupRow = 6;
// EQ-on bits of the microphones in ParamFlags, and their band-mask words.
constexpr int kEqOnBit[2] = {8, 9};
constexpr int kMaskWord[2] = {0, 1};

// Rows of caption, slider, value label and polarity button right of the band
// panel; the Mic 1 / Mic 2 buttons and the link box under them.
constexpr SliderColumn kColumn{380, 140, 525, 664, 56, 724, 8, 36, kPolarityOnPage};
constexpr int kSelectorY = 192;
// The Mic 1 / Mic 2 captions are right-aligned inside the picture's frame.
constexpr int kSelectorTextRight = 8;
constexpr int kLinkX = 540;

constexpr std::uint32_t kPageBackground = 0xF0F0F0;

}  // namespace

CDlgMic::CDlgMic(platform::Window* mainWindow) : CEqPage(mainWindow, kEqMic), sliders_(*this) {
    MapMessage(WM_SLIDER_POS, &CDlgMic::OnSliderPos);
    CreateGroupBox(this, kGroupId, QRect());
    ShowItem(kGroupId, false);
    CreateSliderColumn(this, sliders_, kColumn, kSliders);

    const int selectorIds[2] = {kMic1ButtonId, kMic2ButtonId};
    for (int mic = 0; mic < 2; ++mic) {
        auto* button = new CMyBtn(this, selectorIds[mic], this);
        button->setGeometry(kColumn.captionX + mic * 75, kSelectorY, 65, 26);
        button->Setup(SelectorSkins(), CMyBtn::Flags(CMyBtn::kLookCheck, CMyBtn::kAlignRight),
                      kPageBackground, kPageBackground, kPageBackground);
        button->SetTextRight(kSelectorTextRight);
        button->setText(mic == 0 ? "Mic 1" : "Mic 2");
        connect(button, &QAbstractButton::clicked, this, [this, mic] { SelectMic(mic); });
    }
    auto* link = new CMyBtn(this, kEqLinkId, this);
    link->setGeometry(kLinkX, kSelectorY + 5, 200, 16);
    link->Setup(CheckBoxSkins(), CMyBtn::Flags(CMyBtn::kLookCheck, CMyBtn::kAlignLeft),
                kPageBackground, kPageBackground, kPageBackground);
    link->SetTextLeft(18);
    link->SetChecked(true);
    connect(link, &QAbstractButton::clicked, this, [this] { OnEqLink(); });

    ShowMicButtons();
    SetLanguage(Language());
}

CMyBtn* CDlgMic::Button(int id) const { return ControlAs<CMyBtn>(id); }

void CDlgMic::ShowMicButtons() {
    Button(kMic1ButtonId)->SetChecked(CurrentMic() == 0);
    Button(kMic2ButtonId)->SetChecked(CurrentMic() == 1);
}

void CDlgMic::SelectMic(int mic) {
    SelectModuleSlot(mic != 0 ? 1 : 0);
    ShowMicButtons();
}

LRESULT CDlgMic::OnSliderPos(WPARAM id, LPARAM pos) {
    sliders_.OnSliderPos(static_cast<int>(id), static_cast<int>(pos));
    return 0;
}

void CDlgMic::RefreshLabels() { sliders_.RefreshLabels(); }

void CDlgMic::OnEqLink() {
    CMyBtn* box = Button(kEqLinkId);
    box->SetChecked(!box->Checked());
    SetEqLink(box->Checked(), CurrentMic());
}

void CDlgMic::SetEqLink(bool on, int mic) {
    ParamImage* image = Image();
    if (!image) return;
    const int from = mic != 0 ? 1 : 0;
    const int to = 1 - from;
    std::uint8_t& link = image->ParamBytes[kLinkByte];
    if (!on) {
        if (link == 0) return;
        link = 0;
        PostCommand(CMD_MIC_EQ_LINK, from);
        return;
    }
    // The unit copies the bands itself on command 60; the page's copy keeps
    // the image as the unit now has it.
    const std::span<EqBand> source = EqModuleBands(*image, from, false);
    const std::span<EqBand> target = EqModuleBands(*image, to, false);
    for (std::size_t b = 0; b < std::min(source.size(), target.size()); ++b)
        CopyLinkedBand(source[b], target[b]);
    const std::uint32_t fromBit = 1u << kEqOnBit[from];
    const std::uint32_t toBit = 1u << kEqOnBit[to];
    image->ParamFlags =
        (image->ParamFlags & fromBit) ? image->ParamFlags | toBit : image->ParamFlags & ~toBit;
    image->BandEnableMasks[kMaskWord[to]] = image->BandEnableMasks[kMaskWord[from]];
    if (link != 0) return;
    link = 1;
    PostCommand(CMD_MIC_EQ_LINK, from | 0x100);
}

void CDlgMic::LoadFromImage() {
    CEqPage::LoadFromImage();
    sliders_.Load();
    if (const ParamImage* image = Image())
        Button(kEqLinkId)->SetChecked(image->ParamBytes[kLinkByte] != 0);
}

void CDlgMic::SetLanguage(int language) {
    CEqPage::SetLanguage(language);
    SetRowCaptions(this, kSliders, Language());
    SetItemText(kEqLinkId, UiText(Language(), kLinkRow));
    SetItemText(kGroupId, UiText(Language(), kGroupRow));
}
