#include "pages/output_page.h"

#include <QCheckBox>
#include <QLabel>

#include "eq/dialog_units.h"
#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "link/command_codes.h"
#include "model/param_image.h"
#include "model/ui_text.h"

namespace {

constexpr std::uint32_t kPageBackground = 0xF0F0F0;

// A cinema delay is the speaker's distance in 0.1 m.
constexpr int kDistanceMax = 150;
// A refresh writes the crossover in lower case, a move in upper case.
constexpr LabelFormat kCrossoverRefreshed{"", 0, 2.0, 0, "hz"};

// Caption and value label sit above the slider, the label reaching on over
// the gap to the next column; the polarity button beside the slider's right
// end, its picture whole.
constexpr int kCaptionRise = 11;
constexpr int kCaptionWidth = 66;
constexpr int kLabelX = 66;
constexpr int kLabelWidth = 40;
constexpr int kPolaritySize = 20;
constexpr int kPolarityX = 90;
constexpr int kSpeakerButtonWidth = 45;
constexpr int kSmallOffset = 48;
// The 16-pixel box and a small gap.
constexpr int kSpeakerTextLeft = 18;
constexpr int kBoxHeight = 10;

}  // namespace

COutputPage::COutputPage(platform::Window* mainWindow, EqPageKind kind)
    : CEqPage(mainWindow, kind), out_(OutputPageSpecFor(kind)), sliders_(*this) {
    MapMessage(WM_SLIDER_POS, &COutputPage::OnSliderPos);
    BuildOutputControls();
    for (int i = 0; i < out_.flagCount; ++i) {
        const PageCaption flag[] = {{out_.flags[i].id, out_.flags[i].captionRow}};
        AddCaptions(flag);
    }
    for (const OutputPinkBox& box : out_.pink) {
        const PageCaption pink[] = {{box.id, box.captionRow}};
        if (box.code) AddCaptions(pink);
    }
    if (out_.speaker >= 0) {
        static constexpr PageCaption kSpeakerCaptions[] = {
            {kSpeakerCaptionId, 207}, {kLargeId, 208}, {kSmallId, 209}};
        AddCaptions(kSpeakerCaptions);
    }
    // Laid once for cinema, so the delay labels declare their distances as
    // well as their KTV times, then for KTV until the first refresh.
    LayForSystemMode(1);
    LayForSystemMode(0);
    SetLanguage(Language());
}

CMySlider* COutputPage::Slider(int id) const { return ControlAs<CMySlider>(id); }

SliderField COutputPage::FieldFor(OutputRole role, int set) const {
    switch (role) {
        case kOutVolume1:
            return SliderField::Level(out_.volume[0][set]);
        case kOutVolume2:
            return SliderField::Level(out_.volume[1][set]);
        case kOutDelay1:
            return SliderField::Word(out_.delay[0][set]);
        case kOutDelay2:
            return SliderField::Word(out_.delay[1][set]);
        case kOutMicDirect:
        case kOutMusic:
        case kOutReverb:
        case kOutEcho:
            return SliderField::Level(out_.mixer[role - kOutMicDirect]);
        case kOutThreshold:
        case kOutRatio:
        case kOutAttack:
        case kOutRelease:
            return SliderField::Byte(out_.compressor[set] + (role - kOutThreshold));
        case kOutCrossover:
            return SliderField::Byte(out_.CrossoverByte());
        case kOutBackLeft:
            return SliderField::Level(out_.back[0][set]);
        case kOutBackRight:
            return SliderField::Level(out_.back[1][set]);
        case kOutRoleCount:
            break;
    }
    return SliderField::Byte(-1);
}

void COutputPage::BuildOutputControls() {
    for (int r = 0; r < kOutRoleCount; ++r) {
        const auto role = static_cast<OutputRole>(r);
        if (!out_.Has(role)) continue;
        const OutputRoleSpec& spec = OutputRoleFor(role);
        const DluPoint at = out_.places[role];
        auto* caption = new QLabel(this);
        caption->setGeometry(DluRect(at.x, at.y - kCaptionRise, kCaptionWidth, kBoxHeight));
        AddControl(spec.captionId, caption);
        auto* label = new QLabel(this);
        label->setGeometry(DluRect(at.x + kLabelX, at.y - kCaptionRise, kLabelWidth, kBoxHeight));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        AddControl(spec.labelId, label);
        CMySlider* slider = CreatePageSlider(
            this, spec.sliderId, QRect(DluX(at.x), DluY(at.y), 135, 24), spec.min, spec.max);
        // The crossover's thumb does not light up with the focus.
        if (role == kOutCrossover) slider->SetFocused(false);

        SliderRow row{spec.sliderId,     spec.labelId, spec.min,           spec.max,
                      FieldFor(role, 0), spec.label,   CMD_OUTPUT_CHANNEL, out_.channel};
        if (role == kOutCrossover) {
            row.command = CMD_SPEAKER_SIZE;
            row.argument = out_.speaker;
        } else if (role == kOutBackLeft || role == kOutBackRight) {
            row.command = CMD_SURROUND2_VOLUME;
            row.argument = 0;
        }
        sliders_.Add(row);
        if (spec.polarityId) {
            CreatePolarityButton(
                this, spec.polarityId,
                QRect(DluX(at.x + kPolarityX), DluY(at.y + 1), kPolaritySize, kPolaritySize),
                kPolarityGrey);
            sliders_.AddPolarity(spec.polarityId, row.field, row.command, row.argument);
        }
    }

    for (int i = 0; i < out_.flagCount; ++i) {
        const OutputFlagBox& box = out_.flags[i];
        auto* check = new QCheckBox(this);
        check->setGeometry(DluRect(box.x, box.y, box.width, kBoxHeight));
        AddControl(box.id, check);
        connect(check, &QCheckBox::clicked, this, [this, &box](bool on) { OnFlagBox(box, on); });
    }
    for (const OutputPinkBox& box : out_.pink) {
        if (!box.code) continue;
        auto* check = new QCheckBox(this);
        check->setGeometry(DluRect(box.x, box.y, 58, kBoxHeight));
        // Shown only when the unit reports no extended features.
        check->hide();
        AddControl(box.id, check);
        connect(check, &QCheckBox::clicked, this, [this, &box](bool on) { OnPink(box, on); });
    }

    if (out_.speaker >= 0) {
        auto* caption = new QLabel(this);
        caption->setGeometry(DluRect(out_.speakerCaption.x, out_.speakerCaption.y, 90, kBoxHeight));
        AddControl(kSpeakerCaptionId, caption);
        int x = out_.large.x;
        for (int id : {kLargeId, kSmallId}) {
            auto* b = new CMyBtn(this, id, this);
            b->setGeometry(DluRect(x, out_.large.y, kSpeakerButtonWidth, kBoxHeight));
            // Each caption right beside its own box: right-aligned in the
            // wide button, "Large" would sit against the Small box.
            b->Setup(CheckBoxSkins(), CMyBtn::Flags(CMyBtn::kLookCheck, CMyBtn::kAlignLeft),
                     kPageBackground, kPageBackground, kPageBackground);
            b->SetTextLeft(kSpeakerTextLeft);
            x += kSmallOffset;
        }
        connect(ControlAs<CMyBtn>(kLargeId), &QAbstractButton::clicked, this,
                [this] { OnLarge(); });
        connect(ControlAs<CMyBtn>(kSmallId), &QAbstractButton::clicked, this,
                [this] { OnSmall(); });
        ShowSpeakerSize(0);
    }
}

LRESULT COutputPage::OnSliderPos(WPARAM id, LPARAM pos) {
    return sliders_.OnSliderPos(static_cast<int>(id), static_cast<int>(pos)) ? 0 : 1;
}

void COutputPage::LayForSystemMode(int systemMode) {
    set_ = OutputSetFor(systemMode);
    for (int r = 0; r < kOutRoleCount; ++r) {
        const auto role = static_cast<OutputRole>(r);
        if (!out_.Has(role)) continue;
        const OutputRoleSpec& spec = OutputRoleFor(role);
        sliders_.SetField(spec.sliderId, FieldFor(role, set_));
        if (spec.polarityId) sliders_.SetPolarityField(spec.polarityId, FieldFor(role, set_));
        if (role == kOutDelay1 || role == kOutDelay2) {
            sliders_.SetRange(spec.sliderId, spec.min, set_ ? kDistanceMax : spec.max);
            sliders_.SetLabel(spec.sliderId, set_ ? label_formats::kMetres : spec.label);
        }
    }
    CaptionDelays();
}

void COutputPage::CaptionDelays() {
    const int lang = Language();
    SetItemText(OutputRoleFor(kOutDelay1).captionId, UiText(lang, out_.delay1Rows[set_]));
    if (out_.Has(kOutDelay2)) {
        const OutputRoleSpec& spec = OutputRoleFor(kOutDelay2);
        SetItemText(spec.captionId, UiText(lang, spec.captionRows[set_]));
    }
}

void COutputPage::LoadFromImage() {
    if (!Image()) return;
    LayForSystemMode(Image()->ParamBytes[kSystemModeByte]);
    CEqPage::LoadFromImage();
    sliders_.Load();
    ShowFlagBoxes();
    if (out_.speaker >= 0) {
        const int size = Image()->ParamBytes[static_cast<std::size_t>(out_.SpeakerSizeByte())];
        if (size != speakerSize_) ShowSpeakerSize(size);
    }
    RefreshLabels();
}

void COutputPage::RefreshLabels() {
    sliders_.RefreshLabels();
    if (out_.Has(kOutCrossover) && Image()) {
        const OutputRoleSpec& spec = OutputRoleFor(kOutCrossover);
        const int v = ReadField(*Image(), FieldFor(kOutCrossover, set_));
        if (v >= 0) SetItemText(spec.labelId, FormatValueLabel(kCrossoverRefreshed, v));
    }
}

void COutputPage::ShowFlagBoxes() {
    const std::uint32_t* flags = FlagWord();
    if (!flags) return;
    for (int i = 0; i < out_.flagCount; ++i) {
        const OutputFlagBox& box = out_.flags[i];
        const bool set = (*flags >> box.bit) & 1u;
        if (auto* check = ControlAs<QCheckBox>(box.id))
            check->setChecked(set == box.setWhileChecked);
    }
}

void COutputPage::OnFlagBox(const OutputFlagBox& box, bool checked) {
    std::uint32_t* flags = FlagWord();
    if (!flags) return;
    const bool wanted = checked == box.setWhileChecked;
    const std::uint32_t bit = 1u << box.bit;
    if (((*flags & bit) != 0) == wanted) return;
    *flags ^= bit;
    PostCommand(CMD_PARAM_FLAGS, 0);
}

void COutputPage::ShowTestSignal(int pinkNoiseState) {
    for (const OutputPinkBox& box : out_.pink)
        if (auto* check = box.code ? ControlAs<QCheckBox>(box.id) : nullptr)
            check->setChecked(pinkNoiseState == box.code);
}

void COutputPage::OnPink(const OutputPinkBox& box, bool checked) {
    if (!Image()) return;
    int& state = Image()->PinkNoiseState;
    // One test signal for the whole unit: checking takes it from whichever
    // output had it; unchecking an output that no longer has it does nothing.
    if (checked) {
        if (state == box.code) return;
        state = box.code;
    } else {
        if (state != box.code) return;
        state = 0;
    }
    if (Main()) Main()->PostMessage(WM_TEST_SIGNAL, static_cast<WPARAM>(state), 0);
}

void COutputPage::ShowSpeakerSize(int index) {
    speakerSize_ = index == 0 || index == 1 ? index : -1;
    if (auto* large = ControlAs<CMyBtn>(kLargeId)) large->SetChecked(speakerSize_ == 0);
    if (auto* small = ControlAs<CMyBtn>(kSmallId)) small->SetChecked(speakerSize_ == 1);
}

void COutputPage::SelectSpeakerSize(int index) {
    ShowSpeakerSize(index);
    if (!Image() || out_.speaker < 0) return;
    std::uint8_t& stored = Image()->ParamBytes[static_cast<std::size_t>(out_.SpeakerSizeByte())];
    if (stored == index) return;
    stored = static_cast<std::uint8_t>(index);
    PostCommand(CMD_SPEAKER_SIZE, out_.speaker);
}

void COutputPage::OnLarge() {
    if (speakerSize_ != 0) SelectSpeakerSize(0);
}

void COutputPage::OnSmall() {
    if (speakerSize_ != 1) SelectSpeakerSize(1);
}

void COutputPage::SetLanguage(int language) {
    CEqPage::SetLanguage(language);
    const int lang = Language();
    for (int r = 0; r < kOutRoleCount; ++r) {
        const auto role = static_cast<OutputRole>(r);
        if (!out_.Has(role)) continue;
        const OutputRoleSpec& spec = OutputRoleFor(role);
        SetItemText(spec.captionId, UiText(lang, spec.captionRows[set_]));
    }
    SetItemText(OutputRoleFor(kOutVolume1).captionId, UiText(lang, out_.volume1Row));
    CaptionDelays();
}
