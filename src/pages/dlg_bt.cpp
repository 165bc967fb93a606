#include "pages/dlg_bt.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "eq/band_entry.h"
#include "eq/eq_graph.h"
#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "eq/skin_catalogue.h"
#include "eq/spin_buttons.h"
#include "link/command_codes.h"
#include "model/boost_preset_file.h"
#include "model/main_layout.h"
#include "model/param_image.h"
#include "model/ui_text.h"
#include "platform/prompts.h"
#include "platform/text_fit.h"

namespace {

constexpr std::uint32_t kPageColour = 0xF0F0F0;

// The graph: as wide as the page, 300 pixels high, from 380 to 80 pixels
// above the main window's client bottom; +24 dB lies 30 pixels below its top.
constexpr int kGraphWidth = main_layout::kClientWidth - 184;
constexpr int kGraphHeight = 300;
constexpr int kGraphTop = main_layout::kClientHeight - 380 - main_layout::kPageY;
constexpr int kAxisTop = 30;
static_assert(kGraphTop + kGraphHeight <= main_layout::kPageHeight);
static_assert(kGraphWidth <= main_layout::kPageWidth);

// A slider position stands for gain x10 = kGainZeroPos - position.
constexpr int kGainZeroPos = 240;
constexpr int kSliderMax = 480;

// The band columns, page coordinates: the slider on top, then the gain, Q
// and frequency edits and the three type buttons, one row each.
constexpr int kColumnX = 100;
constexpr int kColumnPitch = 96;
constexpr int kSliderY = 8;
constexpr int kGainY = 136;
constexpr int kQY = 164;
constexpr int kFreqY = 192;
constexpr int kTypeY = 220;
constexpr int kEditWidth = 62;
constexpr int kEditHeight = 22;
constexpr int kSpinWidth = 16;
constexpr int kTypeSize = 23;
constexpr int kTypePitch = 26;
constexpr const char* kTypeCaptions[3] = {"P ", "LS", "HS"};

// The page's captions, the same in both languages.
struct Caption {
    int id;
    const char* text;
};
constexpr Caption kRowCaptions[] = {
    {1378, "增益(db)"}, {1379, "Q值"}, {1380, "频率(hz)"}, {1381, "类型"}};
constexpr int kRowCaptionY[] = {kGainY, kQY, kFreqY, kTypeY};
constexpr const char* kTargetCaptions[CDlgBt::kTargetCount] = {"麦克风均衡", "音乐均衡", "混响均衡",
                                                               "回声均衡"};
constexpr const char* kEnableCaptions[CDlgBt::kTargetCount] = {"启用麦克风均衡", "启用音乐均衡",
                                                               "启用混响均衡", "启用回声均衡"};

// The target buttons, the enable boxes under them, and the page's buttons.
constexpr int kRightX = 620;
constexpr int kRightPitch = 116;
constexpr int kTargetY = 8;
constexpr int kEnableY = 44;
struct PageButton {
    int id;
    const char* text;
    QRect rect;
};
const PageButton kPageButtons[] = {
    {CDlgBt::kStoreId, "保存到设备", QRect(kRightX, 84, 108, 26)},
    {CDlgBt::kSaveFileId, "保存到电脑", QRect(kRightX + kRightPitch, 84, 108, 26)},
    {CDlgBt::kLoadFileId, "从电脑加载并保存到设备", QRect(kRightX + 2 * kRightPitch, 84, 224, 26)},
    {CDlgBt::kCloseId, "关闭", QRect(kRightX, 120, 108, 26)},
};

// The boost preset files: the dialogs' filter and suffix. Their answers are
// in Chinese whatever the language.
constexpr const char* kPresetFilter = "Param Files (*.btpar);;All Files(*.*)";
constexpr const char* kPresetSuffix = "btpar";
// By BoostTarget, in English (the buttons are captioned in Chinese only).
constexpr const char* kBoostTargetNames[] = {"MIC", "MUSIC", "REV", "ECHO"};

const char* PresetFileText(FileResult result) { return FileResultText(result, kLanguageChinese); }

void SetEdit(QLineEdit* edit, const std::string& text) {
    edit->setText(QString::fromStdString(text));
}

}  // namespace

CDlgBt::CDlgBt(platform::Window* mainWindow)
    : CPage(mainWindow),
      graph_(std::make_unique<EqGraph>(kGraphWidth, kGraphHeight, kAxisTop, MarkerPage::kBoost)),
      graphRect_(0, kGraphTop, kGraphWidth, kGraphHeight) {
    setObjectName("CDlgBt");
    MapMessage(WM_SLIDER_POS, &CDlgBt::OnSliderPos);
    BuildControls();
    // The page starts on MIC with type P checked in every column.
    for (int i = 0; i < kMaxBands; ++i) ShowType(i, kBandTypePeq);
    for (int k = 0; k < kTargetCount; ++k) targetButtons_[k]->SetChecked(k == kTargetMic);
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this,
                          [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
}

CDlgBt::~CDlgBt() {
    // The controls go after this destructor, and the focus leaving them
    // must not reach a page that is half gone.
    disconnect(focusWatch_);
}

void CDlgBt::BuildControls() {
    auto watch = [this](QWidget* w) {
        // The page sees every wheel turn over its controls first.
        w->installEventFilter(this);
        return w;
    };
    auto addEdit = [&](int id, QRect rect, const std::vector<std::string>& widest) {
        auto* e = new QLineEdit(this);
        e->setGeometry(rect);
        platform::SetWidestTexts(e, widest);
        AddControl(id, e);
        watch(e);
        return e;
    };
    for (std::size_t r = 0; r < std::size(kRowCaptions); ++r) {
        auto* label = new QLabel(this);
        label->setGeometry(10, kRowCaptionY[r], kColumnX - 16, kEditHeight);
        AddControl(kRowCaptions[r].id, label);
        SetItemText(kRowCaptions[r].id, kRowCaptions[r].text);
    }
    for (int i = 0; i < kMaxBands; ++i) {
        const int x = kColumnX + i * kColumnPitch;
        const SkinImage* track = BandSliderSkins().track;
        const int sliderWidth = track && !track->Empty() ? track->width : 36;
        const int sliderHeight = track && !track->Empty() ? track->height : 122;
        CMySlider* slider = new CMySlider(this, kSliderId + i, this);
        slider->setGeometry(x + (kEditWidth - sliderWidth) / 2, kSliderY, sliderWidth,
                            sliderHeight);
        slider->Setup(BandSliderSkins(), kPageColour, 0);
        const SkinImage* thumb = BandSliderSkins().thumb;
        const int thumbHeight = thumb && !thumb->Empty() ? thumb->height : 17;
        slider->SetRange(0, kSliderMax);
        slider->SetPixelEnds(thumbHeight - 7, sliderHeight - thumbHeight - 10);
        slider->SetPos(kGainZeroPos);
        sliders_[i] = static_cast<CMySlider*>(watch(slider));
        remembered_[i] = kGainZeroPos;

        gainEdits_[i] = addEdit(kGainEditId + i, QRect(x, kGainY, kEditWidth, kEditHeight),
                                TenthsEntryLimits(kGainRange));
        qEdits_[i] = addEdit(kQEditId + i, QRect(x, kQY, kEditWidth - kSpinWidth - 1, kEditHeight),
                             TenthsEntryLimits(kPeqQRange));
        auto* spin = new SpinButtons(this);
        spin->setGeometry(x + kEditWidth - kSpinWidth, kQY, kSpinWidth, kEditHeight);
        AddControl(kQSpinId + i, spin);
        qSpins_[i] = spin;
        freqEdits_[i] = addEdit(kFreqEditId + i, QRect(x, kFreqY, kEditWidth, kEditHeight),
                                IntegerEntryLimits(kFrequencyRange));
        for (int t = 0; t < 3; ++t) {
            auto* b = new CMyBtn(this, kTypeButtonId + 3 * i + t, this);
            b->setGeometry(x + t * kTypePitch, kTypeY, kTypeSize, kTypeSize);
            b->Setup(ToggleSkins(), CMyBtn::Flags(CMyBtn::kLookCheck, CMyBtn::kAlignCentre),
                     kPageColour, kPageColour, kPageColour);
            b->setText(kTypeCaptions[t]);
            typeButtons_[i][t] = b;
            connect(b, &QAbstractButton::clicked, this, [this, i, t] { OnTypeButton(i, t); });
        }

        // Only the user's own actions reach these: Enter, the edit losing the
        // focus after a change, a click on an arrow.
        connect(gainEdits_[i], &QLineEdit::returnPressed, this, [this, i] { CommitGainEdit(i); });
        connect(qEdits_[i], &QLineEdit::returnPressed, this, [this, i] { CommitQEdit(i); });
        connect(freqEdits_[i], &QLineEdit::editingFinished, this, [this, i] { CommitFreqEdit(i); });
        // The up arrow raises Q: the unit's delta -1.
        connect(spin, &SpinButtons::Stepped, this, [this, i](int step) { OnQSpin(i, -step); });
    }
    for (int k = 0; k < kTargetCount; ++k) {
        const int x = kRightX + k * kRightPitch;
        auto* b = new CMyBtn(this, kTargetButtonId + k, this);
        // As large as the selector picture, which is drawn unscaled.
        const SkinImage& skin = Skin(SkinId::kSelector);
        b->setGeometry(x, kTargetY, skin.Empty() ? 65 : skin.width,
                       skin.Empty() ? 26 : skin.height);
        b->Setup(SelectorSkins(), CMyBtn::Flags(CMyBtn::kLookCheck, CMyBtn::kAlignCentre),
                 kPageColour, kPageColour, kPageColour);
        b->setText(kTargetCaptions[k]);
        targetButtons_[k] = b;
        connect(b, &QAbstractButton::clicked, this, [this, k] { SelectTarget(k); });

        auto* box = new QCheckBox(this);
        box->setGeometry(x, kEnableY, kRightPitch - 4, kEditHeight);
        AddControl(kEnableBoxIds[k], box);
        SetItemText(kEnableBoxIds[k], kEnableCaptions[k]);
        enableBoxes_[k] = box;
        connect(box, &QCheckBox::clicked, this, [this, k] { OnEnableBox(k); });
    }
    for (const PageButton& pb : kPageButtons) {
        auto* b = new QPushButton(this);
        b->setGeometry(pb.rect);
        AddControl(pb.id, b);
        SetItemText(pb.id, pb.text);
    }
    connect(ControlAs<QPushButton>(kStoreId), &QPushButton::clicked, this,
            [this] { PostCommand(CMD_BOOST_SAVE, 0); });
    connect(ControlAs<QPushButton>(kSaveFileId), &QPushButton::clicked, this,
            [this] { SaveBoostFile(); });
    connect(ControlAs<QPushButton>(kLoadFileId), &QPushButton::clicked, this,
            [this] { LoadBoostFile(); });
    connect(ControlAs<QPushButton>(kCloseId), &QPushButton::clicked, this, [this] {
        if (Main()) Main()->PostMessage(WM_BOOST_PAGE, 0, 0);
    });
}

std::span<EqBand> CDlgBt::Bands() const {
    if (!Image()) return {};
    return BoostRunBands(*Image(), target_);
}

// ---- Showing ------------------------------------------------------------------

void CDlgBt::SelectTarget(int target) {
    if (target < 0 || target >= kTargetCount) return;
    target_ = target;
    bandCount_ = Image() ? static_cast<int>(Bands().size()) : (target <= kTargetMusic ? 5 : 3);
    for (int i = 0; i < kMaxBands; ++i) {
        const bool shown = i < bandCount_;
        for (QWidget* w : std::initializer_list<QWidget*>{sliders_[i], gainEdits_[i], qEdits_[i],
                                                          qSpins_[i], freqEdits_[i]})
            w->setVisible(shown);
        for (CMyBtn* b : typeButtons_[i]) b->setVisible(shown);
    }
    for (int k = 0; k < kTargetCount; ++k) targetButtons_[k]->SetChecked(k == target);
    SelectBand(-1);
    for (int i = 0; i < bandCount_; ++i) ShowBand(i);
    if (Image()) {
        for (int k = 0; k < kTargetCount; ++k) {
            const QSignalBlocker block(enableBoxes_[k]);
            enableBoxes_[k]->setChecked((Image()->BoostEnableFlags >> k) & 1);
        }
    }
    RedrawCurve();
}

void CDlgBt::ShowBand(int band) {
    const std::span<EqBand> bands = Bands();
    if (band < 0 || band >= static_cast<int>(bands.size())) return;
    const EqBand& b = bands[static_cast<std::size_t>(band)];
    const int pos = kGainZeroPos - b.gain;
    sliders_[band]->SetPos(pos);
    // The slider stands where the image says: a later move back to the
    // position handled before is a change again.
    remembered_[band] = pos;
    SetEdit(gainEdits_[band], FormatTenthsEntry(b.gain));
    SetEdit(qEdits_[band], FormatTenthsEntry(b.q));
    SetEdit(freqEdits_[band], FormatIntegerEntry(b.frequency));
    // A type the page has no button for checks none and counts as peaking,
    // so an edit never sends it back.
    requestedType_[band] = b.type <= kBandTypeHighShelf ? b.type : kBandTypePeq;
    ShowType(band, b.type);
}

void CDlgBt::ShowType(int band, int type) {
    const int shown = type >= kBandTypePeq && type <= kBandTypeHighShelf ? type : -1;
    shownType_[band] = shown;
    for (int t = 0; t < 3; ++t) typeButtons_[band][t]->SetChecked(t == shown);
}

void CDlgBt::SelectBand(int band) {
    selectedBand_ = band;
    graph_->Resp().selectedBand = band;
    for (int i = 0; i < kMaxBands; ++i) {
        if (sliders_[i]->Focused() == (i == band)) continue;
        sliders_[i]->SetFocused(i == band);
        sliders_[i]->RedrawNow();
    }
}

void CDlgBt::RedrawCurve() {
    const std::span<EqBand> bands = Bands();
    if (graphState_ != 2 || bands.empty()) return;
    CResp& r = graph_->Resp();
    const int count = static_cast<int>(bands.size());
    r.SumBands(count, bands.data());
    r.Render(bands.data(), count);
    graph_->DrawBandLabel(bands.data(), count, selectedBand_, EqGraph::PassLabel::kFrequency,
                          false);
    update(graphRect_);
}

// ---- Editing ------------------------------------------------------------------

void CDlgBt::BandChanged(int band) {
    PostCommand(CMD_BOOST_BAND, static_cast<LPARAM>(band) << 8 | target_);
    SelectBand(band);
    RedrawCurve();
}

LRESULT CDlgBt::OnSliderPos(WPARAM id, LPARAM pos) {
    const int band = static_cast<int>(id) - kSliderId;
    if (band < 0 || band >= bandCount_ || pos < 0 || pos > kSliderMax) return 0;
    if (pos == remembered_[band]) return 0;
    SetGain(band, kGainZeroPos - static_cast<int>(pos));
    return 0;
}

void CDlgBt::SetGain(int band, int gain) {
    const std::span<EqBand> bands = Bands();
    if (band < 0 || band >= static_cast<int>(bands.size())) return;
    sliders_[band]->SetPos(kGainZeroPos - gain);
    remembered_[band] = kGainZeroPos - gain;
    SetEdit(gainEdits_[band], FormatTenthsEntry(gain));
    EqBand& b = bands[static_cast<std::size_t>(band)];
    if (gain == b.gain) return;
    b.gain = static_cast<std::int16_t>(gain);
    BandChanged(band);
}

void CDlgBt::CommitGainEdit(int band) {
    const std::span<EqBand> bands = Bands();
    if (band < 0 || band >= static_cast<int>(bands.size())) return;
    const EqBand& b = bands[static_cast<std::size_t>(band)];
    // At most five characters ("-24.0"), within -24.0 .. 24.0 as typed;
    // anything else shows the stored gain again.
    constexpr int kMaxGainChars = 5;
    constexpr double kGainLimitDb = 24.0;
    const QString text = gainEdits_[band]->text();
    const std::string utf8 = text.toStdString();
    const std::optional<double> db = ReadEntryNumber(utf8);
    if (text.size() > kMaxGainChars || !db || *db < -kGainLimitDb || *db > kGainLimitDb) {
        SetEdit(gainEdits_[band], FormatTenthsEntry(b.gain));
        return;
    }
    const EntryCommit c = CommitTenthsEntry(utf8, 0, b.gain, kGainRange, OutOfRange::kRestore);
    SetGain(band, c.value);
}

int CDlgBt::QLimit(int band) const { return QRangeForType(requestedType_[band]).max; }

void CDlgBt::CommitQEdit(int band) {
    const std::span<EqBand> bands = Bands();
    if (band < 0 || band >= static_cast<int>(bands.size())) return;
    // An entry outside 0.4 .. the type's limit (or no number at all) gives
    // 0.7. No stored Q is out of range, so a commit against one tells an
    // accepted entry from a refused one.
    constexpr int kNoQ = -1;
    const EntryCommit c = CommitTenthsEntry(qEdits_[band]->text().toStdString(), 0, kNoQ,
                                            {kPeqQRange.min, QLimit(band)}, OutOfRange::kRestore);
    StoreQ(band, c.changed ? c.value : kShelfResetQ);
}

void CDlgBt::OnQSpin(int band, int delta) {
    if (band < 0 || band >= bandCount_) return;
    qEdits_[band]->setFocus();
    if (band != selectedBand_) {
        SelectBand(band);
        RedrawCurve();
    }
    StepQ(band, delta);
}

void CDlgBt::StepQ(int band, int delta) {
    const std::span<EqBand> bands = Bands();
    if (band < 0 || band >= static_cast<int>(bands.size())) return;
    const int limit = QLimit(band);
    int q = bands[static_cast<std::size_t>(band)].q;
    if (delta > 0 && q > kPeqQRange.min) --q;
    if (delta < 0 && q < limit) ++q;
    // A Q left beyond the limit (a shelf with a peaking Q) starts again low.
    if (q < kPeqQRange.min || q > limit) q = kPeqQRange.min;
    StoreQ(band, q);
}

void CDlgBt::StoreQ(int band, int q) {
    const std::span<EqBand> bands = Bands();
    if (band < 0 || band >= static_cast<int>(bands.size())) return;
    SetEdit(qEdits_[band], FormatTenthsEntry(q));
    EqBand& b = bands[static_cast<std::size_t>(band)];
    const int type = requestedType_[band];
    if (q == b.q && type == b.type) return;
    b.q = static_cast<std::uint16_t>(q);
    b.type = static_cast<std::uint8_t>(type);
    BandChanged(band);
}

void CDlgBt::CommitFreqEdit(int band) {
    const std::span<EqBand> bands = Bands();
    if (band < 0 || band >= static_cast<int>(bands.size())) return;
    EqBand& b = bands[static_cast<std::size_t>(band)];
    const EntryCommit c = CommitIntegerEntry(freqEdits_[band]->text().toStdString(), 0, b.frequency,
                                             kFrequencyRange, OutOfRange::kRestore);
    SetEdit(freqEdits_[band], FormatIntegerEntry(c.value));
    if (!c.changed) return;
    b.frequency = static_cast<std::uint16_t>(c.value);
    BandChanged(band);
}

void CDlgBt::OnTypeButton(int band, int type) {
    if (band < 0 || band >= bandCount_ || type < kBandTypePeq || type > kBandTypeHighShelf) return;
    requestedType_[band] = type;
    if (type != shownType_[band]) ShowType(band, type);
    // Q is checked again against the new type's limit, as Enter does.
    CommitQEdit(band);
}

void CDlgBt::OnEnableBox(int target) {
    if (!Image() || target < 0 || target >= kTargetCount) return;
    const int bit = 1 << target;
    const int flags = enableBoxes_[target]->isChecked() ? Image()->BoostEnableFlags | bit
                                                        : Image()->BoostEnableFlags & ~bit;
    if (flags == Image()->BoostEnableFlags) return;
    Image()->BoostEnableFlags = flags;
    PostCommand(CMD_BOOST_ENABLE, flags);
}

// ---- Preset files ------------------------------------------------------------------

void CDlgBt::ShowFileResult(const char* text) {
    // The caption is the program's title, as for the other file operations.
    platform::MessageBox(this, text, window()->windowTitle().toStdString());
}

void CDlgBt::SaveBoostFile() {
    if (!Image()) return;
    const std::optional<std::string> path =
        platform::CurrentPrompts().SaveFileName(this, kPresetFilter, kPresetSuffix);
    if (!path) return;
    // A value the unit sent that a preset cannot hold: named, so that the
    // user can put it right on the page; nothing is written.
    if (const auto refused = CheckBoostBands(Image()->BoostBands)) {
        const char* const target =
            kBoostTargetNames[static_cast<std::size_t>(refused->boostTarget)];
        ShowFileResult(BandRefusalText((std::string("Boost EQ ") + target).c_str(),
                                       kTargetCaptions[refused->boostTarget], refused->band,
                                       refused->check, Image()->Language)
                           .c_str());
        return;
    }
    ShowFileResult(PresetFileText(SaveBoostPresetFile(std::filesystem::u8path(*path), *Image())
                                      ? FileResult::kSaved
                                      : FileResult::kSaveFailed));
}

void CDlgBt::LoadBoostFile() {
    if (!Image()) return;
    const std::optional<std::string> path =
        platform::CurrentPrompts().OpenFileName(this, kPresetFilter, kPresetSuffix);
    if (!path) return;
    if (!LoadBoostPresetFile(std::filesystem::u8path(*path), *Image())) {
        ShowFileResult(PresetFileText(FileResult::kLoadFailed));
        return;
    }
    SelectTarget(target_);
    // The loaded setting goes to the unit whole, to be kept there.
    PostCommand(CMD_BOOST_SAVE, 0);
}

// ---- Focus, wheel, mouse ---------------------------------------------------------

int CDlgBt::FindFocusedField(const QWidget* widget) const {
    if (!widget) return 0;
    for (int i = 0; i < bandCount_; ++i) {
        int kind = 0;
        if (widget == sliders_[i]) kind = 1;
        if (widget == freqEdits_[i]) kind = 2;
        if (widget == qEdits_[i]) kind = 3;
        if (widget == gainEdits_[i]) kind = 4;
        for (const CMyBtn* b : typeButtons_[i])
            if (widget == b) kind = 5;
        if (kind) return kind << 8 | i;
    }
    return 0;
}

void CDlgBt::OnFocusChanged(QWidget* now) {
    const int field = FindFocusedField(now);
    if (field == 0) return;
    const int band = field & 0xFF;
    if (band == selectedBand_) return;
    SelectBand(band);
    RedrawCurve();
}

void CDlgBt::OnMouseWheel(int notches) {
    const int s = notches > 0 ? 1 : -1;
    const int field = FindFocusedField(window()->focusWidget());
    const int band = field & 0xFF;
    const std::span<EqBand> bands = Bands();
    if (field == 0 || band >= static_cast<int>(bands.size())) return;
    EqBand& b = bands[static_cast<std::size_t>(band)];
    switch (field >> 8) {
        case 4: {
            const int gain = b.gain + s;
            if (gain >= kGainRange.min && gain <= kGainRange.max) SetGain(band, gain);
            break;
        }
        case 3:
            // Turned towards the user (down) the wheel lowers Q, as delta +1.
            StepQ(band, -s);
            break;
        case 2: {
            const int f = b.frequency + s;
            if (f < kFrequencyRange.min || f > kFrequencyRange.max) break;
            b.frequency = static_cast<std::uint16_t>(f);
            SetEdit(freqEdits_[band], FormatIntegerEntry(f));
            BandChanged(band);
            break;
        }
        default:
            break;
    }
}

void CDlgBt::wheelEvent(QWheelEvent* event) {
    QWidget* focus = window()->focusWidget();
    const int notches = wheelNotches_.Add(focus, event->angleDelta().y());
    for (int n = 0; n < std::abs(notches); ++n) OnMouseWheel(notches);
    event->accept();
}

bool CDlgBt::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        // The wheel turns the control with the focus, wherever the pointer
        // is: a focused band slider turns itself, the page steps the rest.
        QWidget* focus = window()->focusWidget();
        if (focus && (FindFocusedField(focus) >> 8) == 1) {
            if (watched == focus) return false;
            QCoreApplication::sendEvent(focus, event);
            return true;
        }
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return CPage::eventFilter(watched, event);
}

bool CDlgBt::MarkerCentre(int band, QPoint* centre) const {
    const std::span<EqBand> bands = Bands();
    QPoint c;
    if (!graph_->MarkerCentre(bands.data(), static_cast<int>(bands.size()), band, &c)) return false;
    if (centre) *centre = graphRect_.topLeft() + c;
    return true;
}

void CDlgBt::OnLButtonDown(QPoint point) {
    const std::span<EqBand> bands = Bands();
    if (graphState_ == 0 || dragging_ || bands.empty()) return;
    const QPoint at = point - graphRect_.topLeft();
    const int count = static_cast<int>(bands.size());
    // A drag of the selected band keeps the focus where it is, in its column.
    if (selectedBand_ >= 0 && graph_->MarkerContains(bands.data(), count, selectedBand_, at) &&
        FindFocusedField(window()->focusWidget()) != 0) {
        dragging_ = true;
        return;
    }
    for (int b = 0; b < count; ++b) {
        if (!graph_->MarkerContains(bands.data(), count, b, at)) continue;
        sliders_[b]->setFocus();
        dragging_ = true;
        if (b != selectedBand_) {
            SelectBand(b);
            RedrawCurve();
        }
        return;
    }
}

void CDlgBt::OnMouseMove(QPoint point) {
    if (!dragging_ || graphState_ == 0) return;
    if (!graphRect_.contains(point)) {
        dragging_ = false;
        return;
    }
    const std::span<EqBand> bands = Bands();
    const int band = selectedBand_;
    if (band < 0 || band >= static_cast<int>(bands.size())) return;
    EqBand& b = bands[static_cast<std::size_t>(band)];
    const QPoint at = point - graphRect_.topLeft();
    const int f = static_cast<int>(std::clamp(graph_->FrequencyAt(at.x()),
                                              static_cast<float>(kFrequencyRange.min),
                                              static_cast<float>(kFrequencyRange.max)));
    const int gain = graph_->GainAt(at.y());
    bool changed = false;
    if (gain != b.gain) {
        b.gain = static_cast<std::int16_t>(gain);
        sliders_[band]->SetPos(kGainZeroPos - gain);
        remembered_[band] = kGainZeroPos - gain;
        SetEdit(gainEdits_[band], FormatTenthsEntry(gain));
        changed = true;
    }
    if (f != b.frequency) {
        b.frequency = static_cast<std::uint16_t>(f);
        SetEdit(freqEdits_[band], FormatIntegerEntry(f));
        changed = true;
    }
    if (changed) BandChanged(band);
}

void CDlgBt::OnButtonUp() { dragging_ = false; }

void CDlgBt::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) OnLButtonDown(event->position().toPoint());
}

void CDlgBt::mouseMoveEvent(QMouseEvent* event) { OnMouseMove(event->position().toPoint()); }

void CDlgBt::mouseReleaseEvent(QMouseEvent*) { OnButtonUp(); }

void CDlgBt::paintEvent(QPaintEvent* event) {
    CPage::paintEvent(event);
    QPainter p(this);
    p.drawImage(graphRect_.topLeft(), graph_->Canvas());
}
