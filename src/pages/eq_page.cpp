#include "pages/eq_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "eq/band_editor.h"
#include "eq/band_entry.h"
#include "eq/band_panel.h"
#include "eq/my_slider.h"
#include "eq/spin_buttons.h"
#include "link/command_codes.h"
#include "model/main_layout.h"
#include "model/param_image.h"
#include "model/ui_text.h"
#include "platform/controls.h"
#include "platform/text_fit.h"

namespace {

// The graph lies under the page's other controls, across the page's width:
// its rectangle comes from the main window's fixed client size.
constexpr int kMainWidth = main_layout::kClientWidth;
constexpr int kMainHeight = main_layout::kClientHeight;
constexpr int kGraphTop = kMainHeight - 370;
constexpr int kGraphWidth = std::min(kMainWidth - 184, CResp::kMaxColumns);
static_assert(kGraphTop + CEqPage::kGraphHeight <= main_layout::kPageHeight);
static_assert(kGraphWidth <= CResp::kMaxColumns);
// +24 dB lies this far below the graph's top edge.
constexpr int kAxisTop = 20;

// Band panel placement, page coordinates.
const QRect kPanelRect(10, 30, 350, 208);
constexpr int kPanelPage = 208;

// The pass-filter row and EQ BYPASS / EQ RESET, between the panel and the
// graph: captions above, controls below, laid out left to right.
constexpr int kRowCaptionY = 250;
constexpr int kRowY = 268;
constexpr int kRowHeight = 22;

// Captions of every EQ page: the pass-filter row and EQ BYPASS / EQ RESET.
constexpr PageCaption kPassRowCaptions[] = {
    {2009, 213}, {2010, 22}, {2011, 21}, {2012, 19}, {2013, 20}, {2022, 114}, {2017, 116},
};
// Only on the pages with slope combos.
constexpr PageCaption kSlopeCaptions[] = {{2021, 115}, {2016, 117}};
// A band mask word has one bit per band: bands beyond it are never linked.
constexpr int kMaskBits = 16;

constexpr int kBypassTextRow = 23;
constexpr int kResetTextRow = 24;

void SetEdit(QLineEdit* edit, const std::string& text) {
    edit->setText(QString::fromStdString(text));
}

void Refill(QComboBox* combo, const std::vector<std::string>& items) {
    // Keeps the selection, a negative one taken as the first item.
    const QSignalBlocker block(combo);
    platform::FillCombo(combo, items, std::max(combo->currentIndex(), 0));
}

// A stored index shown in a combo: one the list does not hold selects nothing.
void SelectIndex(QComboBox* combo, int index) {
    const QSignalBlocker block(combo);
    platform::SetComboSelection(combo, index);
}

}  // namespace

CEqPage::CEqPage(platform::Window* mainWindow, EqPageKind kind)
    : CPage(mainWindow),
      spec_(EqPageSpecFor(kind)),
      graph_(std::make_unique<EqGraph>(kGraphWidth, kGraphHeight, kAxisTop, spec_.markers)),
      resp_(&graph_->Resp()) {
    setObjectName(spec_.name);
    MapMessage(WM_PANEL_BAND_CHANGED, &CEqPage::OnPanelBandChanged);
    MapMessage(WM_EQ_BAND_EDITED, &CEqPage::OnEqBandEdited);
    MapMessage(WM_OPEN_EQ_EDITOR, &CEqPage::OnOpenEqEditor);
    graphRect_ = QRect(0, kGraphTop, kGraphWidth, kGraphHeight);
    resp_->lowPass48Db = spec_.lowPass48Db ? 1 : 0;
    AddCaptions(kPassRowCaptions);
    if (!spec_.FixedSlopes()) AddCaptions(kSlopeCaptions);
    const PageCaption buttons[] = {{spec_.bypassId, kBypassTextRow},
                                   {spec_.resetId, kResetTextRow}};
    AddCaptions(buttons);
    BuildControls();
    FillCombos();
}

CEqPage::~CEqPage() = default;

// ---- Set-up -------------------------------------------------------------------

void CEqPage::BuildControls() {
    panel_ = new CDlgVS(this);
    panel_->setGeometry(kPanelRect);
    panel_->SetScrollInfo(0, spec_.panelScrollMax, kPanelPage);
    panel_->SetModuleId(ModuleId());
    panel_->SetSetOffset(spec_.recordsPerSet);
    panel_->SetBandCount(PeqCount());
    panel_->show();

    auto addLabel = [this](int id, QRect rect) {
        auto* l = new QLabel(this);
        l->setGeometry(rect);
        AddControl(id, l);
        return l;
    };
    auto addEdit = [this](int id, QRect rect, const std::vector<std::string>& widest) {
        auto* e = new QLineEdit(this);
        e->setGeometry(rect);
        platform::SetWidestTexts(e, widest);
        AddControl(id, e);
        return e;
    };
    auto addSpin = [this](int id, QRect rect) {
        auto* s = new SpinButtons(this);
        s->setGeometry(rect);
        AddControl(id, s);
        return s;
    };
    auto addCombo = [this](int id, QRect rect) {
        auto* c = new QComboBox(this);
        c->setGeometry(rect);
        AddControl(id, c);
        return c;
    };

    // The pass-filter row: high-pass slope, high-pass frequency, low-pass
    // slope, low-pass frequency; the reverb and echo pages have no slopes.
    const bool slopes = !spec_.FixedSlopes();
    int x = 10;
    auto slopeCell = [&](int captionId, int comboId) {
        addLabel(captionId, QRect(x, kRowCaptionY, 120, 16));
        QComboBox* c = addCombo(comboId, QRect(x, kRowY, 120, kRowHeight));
        x += 128;
        return c;
    };
    auto freqCell = [&](int captionId, int editId, int spinId) {
        addLabel(captionId, QRect(x, kRowCaptionY, 96, 16));
        QLineEdit* e =
            addEdit(editId, QRect(x, kRowY, 56, kRowHeight), IntegerEntryLimits(kFrequencyRange));
        SpinButtons* s = addSpin(spinId, QRect(x + 57, kRowY, 16, kRowHeight));
        x += 104;
        return std::make_pair(e, s);
    };
    if (slopes) hpSlope_ = slopeCell(2021, kHpSlopeComboId);
    auto [hpEdit, hpSpin] = freqCell(2022, kHpFreqEditId, kHpFreqSpinId);
    if (slopes) lpSlope_ = slopeCell(2016, kLpSlopeComboId);
    auto [lpEdit, lpSpin] = freqCell(2017, kLpFreqEditId, kLpFreqSpinId);
    hpFreqEdit_ = hpEdit;
    lpFreqEdit_ = lpEdit;

    bypassBox_ = new QCheckBox(this);
    bypassBox_->setGeometry(x + 8, kRowY, 116, kRowHeight);
    AddControl(spec_.bypassId, bypassBox_);
    resetButton_ = new QPushButton(this);
    resetButton_->setGeometry(x + 132, kRowY - 1, 96, kRowHeight + 2);
    AddControl(spec_.resetId, resetButton_);

    // The graph's keyboard-focus target: the wheel nudges the selected band
    // while it has the focus. A pixel under the graph's corner.
    focusButton_ = new QPushButton(this);
    focusButton_->setGeometry(0, graphRect_.bottom() + 1, 1, 1);
    focusButton_->setFlat(true);
    AddControl(kFocusButtonId, focusButton_);

    // The single-band editor: kept filled and working, never shown.
    addLabel(2009, QRect(700, kRowCaptionY, 40, 16))->hide();
    addLabel(2010, QRect(700, kRowCaptionY, 40, 16))->hide();
    addLabel(2011, QRect(700, kRowCaptionY, 40, 16))->hide();
    addLabel(2012, QRect(700, kRowCaptionY, 40, 16))->hide();
    addLabel(2013, QRect(700, kRowCaptionY, 40, 16))->hide();
    bandIndex_ = addCombo(kBandIndexComboId, QRect(700, kRowY, 90, kRowHeight));
    bandType_ = addCombo(kBandTypeComboId, QRect(700, kRowY, 90, kRowHeight));
    freqEdit_ = addEdit(kFreqEditId, QRect(700, kRowY, 56, kRowHeight),
                        IntegerEntryLimits(kFrequencyRange));
    gainEdit_ =
        addEdit(kGainEditId, QRect(700, kRowY, 56, kRowHeight), TenthsEntryLimits(kGainRange));
    qEdit_ = addEdit(kQEditId, QRect(700, kRowY, 56, kRowHeight), TenthsEntryLimits(kPeqQRange));
    SpinButtons* freqSpin = addSpin(kFreqSpinId, QRect(757, kRowY, 16, kRowHeight));
    SpinButtons* gainSpin = addSpin(kGainSpinId, QRect(757, kRowY, 16, kRowHeight));
    SpinButtons* qSpin = addSpin(kQSpinId, QRect(757, kRowY, 16, kRowHeight));
    for (QWidget* w : std::initializer_list<QWidget*>{bandIndex_, bandType_, freqEdit_, gainEdit_,
                                                      qEdit_, freqSpin, gainSpin, qSpin})
        w->hide();

    // Only the user's own actions reach these (returnPressed from Enter,
    // Stepped from arrow clicks, activated from a choice, clicked from a click).
    connect(lpFreqEdit_, &QLineEdit::returnPressed, this, [this] { CommitLpFreqEdit(0); });
    connect(hpFreqEdit_, &QLineEdit::returnPressed, this, [this] { CommitHpFreqEdit(0); });
    connect(freqEdit_, &QLineEdit::returnPressed, this,
            [this] { CommitBandEdit(BandField::kFrequency, 0); });
    connect(gainEdit_, &QLineEdit::returnPressed, this,
            [this] { CommitBandEdit(BandField::kGain, 0); });
    connect(qEdit_, &QLineEdit::returnPressed, this, [this] { CommitBandEdit(BandField::kQ, 0); });
    connect(lpSpin, &SpinButtons::Stepped, this, [this](int s) { CommitLpFreqEdit(s); });
    connect(hpSpin, &SpinButtons::Stepped, this, [this](int s) { CommitHpFreqEdit(s); });
    connect(freqSpin, &SpinButtons::Stepped, this,
            [this](int s) { CommitBandEdit(BandField::kFrequency, s); });
    connect(gainSpin, &SpinButtons::Stepped, this,
            [this](int s) { CommitBandEdit(BandField::kGain, s); });
    connect(qSpin, &SpinButtons::Stepped, this,
            [this](int s) { CommitBandEdit(BandField::kQ, s); });
    connect(bandIndex_, &QComboBox::activated, this, [this](int) { OnBandIndexSelect(); });
    connect(bandType_, &QComboBox::activated, this, [this](int) { OnBandTypeSelect(); });
    if (lpSlope_)
        connect(lpSlope_, &QComboBox::activated, this, [this](int) { OnLpSlopeSelect(); });
    if (hpSlope_)
        connect(hpSlope_, &QComboBox::activated, this, [this](int) { OnHpSlopeSelect(); });
    connect(bypassBox_, &QCheckBox::clicked, this, [this](bool) { OnEqBypass(); });
    connect(resetButton_, &QPushButton::clicked, this, [this] { EqReset(); });
}

void CEqPage::FillCombos() {
    // The band index in Chinese, the others in English, each at its first
    // entry; the language switch at start-up refills them all.
    Refill(bandIndex_, PeqListItems(kLanguageChinese, PeqCount()));
    Refill(bandType_, FilterTypeItems(kLanguageEnglish));
    if (lpSlope_) Refill(lpSlope_, CrossoverTypeItems(kLanguageEnglish, spec_.lowPass48Db));
    if (hpSlope_) Refill(hpSlope_, CrossoverTypeItems(kLanguageEnglish, false));
    SetLanguage(Language());
}

void CEqPage::AddCaptions(std::span<const PageCaption> captions) {
    captions_.insert(captions_.end(), captions.begin(), captions.end());
}

void CEqPage::SetLanguage(int language) {
    CPage::SetLanguage(language);
    const int lang = Language();
    if (lpSlope_) Refill(lpSlope_, CrossoverTypeItems(lang, spec_.lowPass48Db));
    if (hpSlope_) Refill(hpSlope_, CrossoverTypeItems(lang, false));
    Refill(bandType_, FilterTypeItems(lang));
    // One entry per PEQ band of the page: an entry past them would name the
    // pass filters or the other set.
    Refill(bandIndex_, PeqListItems(lang, PeqCount()));
    panel_->SetLanguage(lang);
}

void CEqPage::Wire(ParamImage* image) {
    CPage::Wire(image);
    if (!Image()) return;
    const std::span<EqBand> first = EqModuleBands(*Image(), ModuleId(), false);
    panel_->SetBands(std::span<EqBand>(first.data(),
                                       static_cast<std::size_t>(spec_.recordsPerSet * spec_.sets)));
    panel_->SetMasks(Image()->BandEnableMasks);
    panel_->SetModuleId(ModuleId());
}

// ---- What the page edits -------------------------------------------------------

bool CEqPage::CinemaSet() const {
    return Image() && spec_.sets == 2 && Image()->ParamBytes[kSystemModeByte] != 0;
}

int CEqPage::SetOffset() const { return CinemaSet() ? spec_.recordsPerSet : 0; }

std::span<EqBand> CEqPage::CurrentSet() const {
    if (!Image()) return {};
    return EqModuleBands(*Image(), ModuleId(), CinemaSet());
}

std::uint32_t* CEqPage::FlagWord() const {
    if (!Image()) return nullptr;
    return CinemaSet() ? &Image()->CinemaParamFlags : &Image()->ParamFlags;
}

std::uint16_t* CEqPage::MaskWordOf(int moduleId) const {
    const auto word = BandMaskWordFor(moduleId);
    if (!Image() || !word || *word >= static_cast<int>(Image()->BandEnableMasks.size()))
        return nullptr;
    return &Image()->BandEnableMasks[static_cast<std::size_t>(*word)];
}

const PassFilterSpec& CEqPage::PassFor(int band) const {
    return band == PeqCount() ? spec_.lowPass : spec_.highPass;
}

bool CEqPage::Linked() const {
    return Image() && spec_.moduleCount == 2 && spec_.linkByte >= 0 &&
           Image()->ParamBytes[static_cast<std::size_t>(spec_.linkByte)] != 0;
}

void CEqPage::CopyBandToLinked(int band) {
    // The linked microphone follows: the band's values and its enable bit,
    // for the bands a mask word has a bit for.
    if (!Linked() || band < 0 || band >= kMaskBits) return;
    const std::span<EqBand> mine = CurrentSet();
    const std::span<EqBand> other = EqModuleBands(*Image(), OtherModule(), false);
    const auto b = static_cast<std::size_t>(band);
    if (b < mine.size() && b < other.size()) CopyLinkedBand(mine[b], other[b]);
    std::uint16_t* from = MaskWordOf(ModuleId());
    std::uint16_t* to = MaskWordOf(OtherModule());
    if (from && to) {
        const auto bit = static_cast<std::uint16_t>(1u << band);
        *to = static_cast<std::uint16_t>((*to & ~bit) | (*from & bit));
    }
}

void CEqPage::PostBand(int band) {
    CopyBandToLinked(band);
    PostCommand(CMD_EQ_BAND, static_cast<LPARAM>(band) << 8 | ModuleId());
}

void CEqPage::CopyPassFilterOut(int band) {
    // The record's values go to the byte and word the unit reads them from,
    // and into the same record of every module of the page (both mics share
    // their pass filters).
    const std::span<EqBand> set = CurrentSet();
    if (!IsPassBand(band) || band >= static_cast<int>(set.size())) return;
    const EqBand& record = set[static_cast<std::size_t>(band)];
    const PassFilterSpec& pass = PassFor(band);
    Image()->ParamWords[static_cast<std::size_t>(pass.word[SetIndex()])] = record.frequency;
    if (pass.slopeByte[0] >= 0)
        Image()->ParamBytes[static_cast<std::size_t>(pass.slopeByte[SetIndex()])] = record.slope;
    for (int m = 0; m < spec_.moduleCount; ++m) {
        if (spec_.moduleIds[m] == ModuleId()) continue;
        const std::span<EqBand> other = EqModuleBands(*Image(), spec_.moduleIds[m], CinemaSet());
        if (band < static_cast<int>(other.size())) {
            other[static_cast<std::size_t>(band)].frequency = record.frequency;
            other[static_cast<std::size_t>(band)].slope = record.slope;
        }
    }
}

void CEqPage::PostPassFilter(int band) {
    const PassFilterSpec& pass = PassFor(band);
    PostCommand(spec_.passCommand, pass.filterId >= 0 ? pass.filterId : 0);
}

void CEqPage::StorePassFilter(int band, const int* frequency, const int* slope) {
    const std::span<EqBand> set = CurrentSet();
    if (!IsPassBand(band) || band >= static_cast<int>(set.size())) return;
    EqBand& record = set[static_cast<std::size_t>(band)];
    if (frequency) record.frequency = static_cast<std::uint16_t>(*frequency);
    if (slope) record.slope = static_cast<std::uint8_t>(*slope);
    CopyPassFilterOut(band);
    PostPassFilter(band);
}

// ---- Refresh --------------------------------------------------------------------

void CEqPage::LoadFromImage() {
    if (!Image()) return;
    // The pass-filter records of every set and module, from the byte and word
    // areas; the reverb and echo slopes are fixed.
    for (int m = 0; m < spec_.moduleCount; ++m) {
        for (int set = 0; set < spec_.sets; ++set) {
            const std::span<EqBand> bands = EqModuleBands(*Image(), spec_.moduleIds[m], set == 1);
            for (int band : {PeqCount(), PeqCount() + 1}) {
                if (band >= static_cast<int>(bands.size())) continue;
                const PassFilterSpec& pass = PassFor(band);
                EqBand& r = bands[static_cast<std::size_t>(band)];
                r.type = band == PeqCount() ? kBandTypeLowPass : kBandTypeHighPass;
                r.slope = pass.slopeByte[0] < 0
                              ? kFixedPassSlope
                              : Image()->ParamBytes[static_cast<std::size_t>(pass.slopeByte[set])];
                r.frequency = Image()->ParamWords[static_cast<std::size_t>(pass.word[set])];
                r.q = 0;
                r.gain = 0;
            }
        }
    }
    ShowBypass();
    SyncPanel();
    panel_->RefreshAllBands();
}

void CEqPage::ShowBypass() {
    const std::uint32_t* flags = FlagWord();
    if (!flags) return;
    const bool on = (*flags & EqOnBit(ModuleId())) != 0;
    const QSignalBlocker block(bypassBox_);
    bypassBox_->setChecked(!on);
    resp_->overlayOn = on ? 0 : 1;
}

void CEqPage::SyncPanel() {
    panel_->SetModuleId(ModuleId());
    panel_->SetUseSecondSet(CinemaSet());
}

void CEqPage::EnsureSelection() {
    if (resp_->selectedBand < 0) {
        resp_->selectedBand = 0;
        editorBand_ = 0;
    }
}

void CEqPage::SelectModuleSlot(int slot) {
    if (slot < 0 || slot >= spec_.moduleCount || slot == moduleSlot_) return;
    moduleSlot_ = slot;
    if (!Image()) return;
    Wire(Image());
    ShowBypass();
    SyncPanel();
    panel_->RefreshAllBands();
    RedrawCurve();
}

void CEqPage::SelectBand(int band) {
    resp_->selectedBand = band;
    editorBand_ = band;
}

// ---- Drawing ----------------------------------------------------------------------

void CEqPage::RedrawCurve() {
    if (graphState_ != 2) return;
    const std::span<EqBand> set = CurrentSet();
    if (set.empty()) return;
    ShowBand();
    const std::uint16_t* mask = MaskWordOf(ModuleId());
    resp_->SumBandsMasked(spec_.recordsPerSet, set.data(), mask ? *mask : 0xFFFF);
    resp_->Render(set.data(), spec_.recordsPerSet);
    DrawBandLabel(set);
    update(graphRect_);
}

void CEqPage::DrawBandLabel(std::span<const EqBand> set) {
    graph_->DrawBandLabel(set.data(), spec_.recordsPerSet, resp_->selectedBand,
                          spec_.FixedSlopes() ? EqGraph::PassLabel::kFrequency
                                              : EqGraph::PassLabel::kFrequencyAndSlope,
                          spec_.lowPass48Db);
}

void CEqPage::paintEvent(QPaintEvent* event) {
    CPage::paintEvent(event);
    QPainter p(this);
    p.drawImage(graphRect_.topLeft(), graph_->Canvas());
}

// ---- Mouse --------------------------------------------------------------------------

bool CEqPage::MarkerCentre(int band, QPoint* centre) const {
    const std::span<EqBand> set = CurrentSet();
    QPoint c;
    if (set.empty() || !graph_->MarkerCentre(set.data(), spec_.recordsPerSet, band, &c))
        return false;
    if (centre) *centre = graphRect_.topLeft() + c;
    return true;
}

int CEqPage::HitBand(QPoint point, int candidates) const {
    const std::span<EqBand> set = CurrentSet();
    if (set.empty()) return -1;
    const QPoint at = point - graphRect_.topLeft();
    auto hit = [&](int band) {
        return graph_->MarkerContains(set.data(), spec_.recordsPerSet, band, at);
    };
    // The selected band wins over any marker lying on it.
    if (resp_->selectedBand >= 0 && hit(resp_->selectedBand)) return resp_->selectedBand;
    for (int b = 0; b < candidates; ++b)
        if (hit(b)) return b;
    return -1;
}

void CEqPage::OnLButtonDown(QPoint point) {
    if (graphState_ == 0 || dragMode_ != 0 || CurrentSet().empty()) return;
    const int b = HitBand(point, spec_.recordsPerSet);
    if (b < 0) return;
    focusButton_->setFocus();
    dragMode_ = 1;
    if (b != resp_->selectedBand) {
        SelectBand(b);
        RedrawCurve();
    }
}

void CEqPage::OnRButtonDown(QPoint point) {
    if (graphState_ == 0 || dragMode_ != 0 || CurrentSet().empty()) return;
    const int b = HitBand(point, PeqCount());
    if (b < 0) return;
    focusButton_->setFocus();
    dragMode_ = 2;
    dragLastX_ = point.x();
    dragLastY_ = point.y();
    if (b != resp_->selectedBand) {
        SelectBand(b);
        RedrawCurve();
    }
}

void CEqPage::OnButtonUp() { dragMode_ = 0; }

void CEqPage::OnMouseMove(QPoint point) {
    if (graphState_ == 0) return;
    if (!graphRect_.contains(point)) {
        dragMode_ = 0;
        return;
    }
    const std::span<EqBand> set = CurrentSet();
    const int b = resp_->selectedBand;
    if (set.empty() || b < 0 || b >= spec_.recordsPerSet) return;
    EqBand& band = set[static_cast<std::size_t>(b)];
    if (dragMode_ == 1) {
        const float fx = graph_->FrequencyAt(point.x() - graphRect_.left());
        if (b < PeqCount()) {
            const int f = static_cast<int>(std::clamp(fx, 20.0f, 20000.0f));
            const int g = graph_->GainAt(point.y() - graphRect_.top());
            bool changed = false;
            if (g != band.gain) {
                band.gain = static_cast<std::int16_t>(g);
                changed = true;
            }
            if (f != band.frequency) {
                band.frequency = static_cast<std::uint16_t>(f);
                changed = true;
            }
            if (!changed) return;
            SyncPanel();
            panel_->RefreshBand(b);
            PostBand(b);
            RedrawCurve();
        } else {
            const EntryRange range = PassFor(b).range;
            const int f = static_cast<int>(
                std::clamp(fx, static_cast<float>(range.min), static_cast<float>(range.max)));
            if (f == band.frequency) return;
            StorePassFilter(b, &f, nullptr);
            RedrawCurve();
        }
    } else if (dragMode_ == 2 && b < PeqCount()) {
        const EntryRange range = QRangeForType(band.type);
        const int q = std::clamp(point.x() - dragLastX_ + band.q, range.min, range.max);
        dragLastX_ = point.x();
        dragLastY_ = point.y();
        if (q == band.q) return;
        band.q = static_cast<std::uint16_t>(q);
        PostBand(b);
        RedrawCurve();
        SyncPanel();
        panel_->RefreshBand(b);
    }
}

void CEqPage::OnLButtonDblClk(QPoint point) {
    // A double click on a marker opens the band editor on that band.
    if (graphState_ == 0 || CurrentSet().empty()) return;
    const int b = HitBand(point, spec_.recordsPerSet);
    if (b < 0) return;
    if (b != resp_->selectedBand) {
        SelectBand(b);
        RedrawCurve();
    }
    PostMessage(WM_OPEN_EQ_EDITOR);
}

void CEqPage::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) OnLButtonDown(event->position().toPoint());
    if (event->button() == Qt::RightButton) OnRButtonDown(event->position().toPoint());
}

void CEqPage::mouseMoveEvent(QMouseEvent* event) { OnMouseMove(event->position().toPoint()); }

void CEqPage::mouseReleaseEvent(QMouseEvent*) { OnButtonUp(); }

void CEqPage::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) OnLButtonDblClk(event->position().toPoint());
}

void CEqPage::OnMouseWheel(int delta) {
    const int s = delta > 0 ? 1 : -1;
    // The focus within the page's window, as the platform's wheel messages
    // went to the focused window.
    QWidget* focus = window()->focusWidget();
    if (focus == lpFreqEdit_) {
        CommitLpFreqEdit(s);
    } else if (focus == hpFreqEdit_) {
        CommitHpFreqEdit(s);
    } else if (focus == focusButton_) {
        const std::span<EqBand> set = CurrentSet();
        const int b = resp_->selectedBand;
        if (set.empty() || b < 0 || b >= PeqCount()) return;
        const int g = set[static_cast<std::size_t>(b)].gain + s;
        if (g < kGainRange.min || g > kGainRange.max) return;
        SetBandGainFromPos(b, 240 - g);
        SyncPanel();
        panel_->RefreshBand(b);
    }
}

bool CEqPage::RouteWheel(QWidget* over, QWheelEvent* event) {
    // The wheel goes to the control with the focus, wherever the pointer is,
    // as the platform's wheel messages went to the focused window; so a combo
    // or an edit merely under the pointer never turns.
    QWidget* focus = window()->focusWidget();
    // A skinned slider and the band panel's edits turn by the wheel
    // themselves: the turn is theirs while they hold the focus.
    QWidget* owner = nullptr;
    if (focus && panel_->isAncestorOf(focus)) {
        owner = panel_;
    } else if (focus && isAncestorOf(focus) && qobject_cast<CMySlider*>(focus)) {
        owner = focus;
    }
    if (owner) {
        if (over == owner || owner->isAncestorOf(over)) return false;
        QCoreApplication::sendEvent(owner, event);
        return true;
    }
    const int notches = wheelNotches_.Add(focus, event->angleDelta().y());
    for (int n = 0; n < std::abs(notches); ++n) OnMouseWheel(notches);
    event->accept();
    return true;
}

void CEqPage::wheelEvent(QWheelEvent* event) { RouteWheel(this, event); }

bool CEqPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && watched->isWidgetType()) {
        return RouteWheel(static_cast<QWidget*>(watched), static_cast<QWheelEvent*>(event));
    }
    return CPage::eventFilter(watched, event);
}

void CEqPage::SetBandGainFromPos(int band, int pos) {
    const std::span<EqBand> set = CurrentSet();
    if (set.empty() || band < 0 || band >= PeqCount()) return;
    const int g = 240 - pos;
    EqBand& b = set[static_cast<std::size_t>(band)];
    if (g == b.gain) return;
    b.gain = static_cast<std::int16_t>(g);
    PostBand(band);
    SelectBand(band);
    RedrawCurve();
}

// ---- EQ BYPASS, EQ RESET, the panel -------------------------------------------------

void CEqPage::OnEqBypass() {
    std::uint32_t* flags = FlagWord();
    if (!flags) return;
    const std::uint32_t bit = EqOnBit(ModuleId());
    const bool bypass = bypassBox_->isChecked();
    const bool on = (*flags & bit) != 0;
    if (bypass == !on) return;  // the box already agrees with the bit
    *flags = bypass ? *flags & ~bit : *flags | bit;
    if (Linked()) {
        const std::uint32_t other = EqOnBit(OtherModule());
        *flags = bypass ? *flags & ~other : *flags | other;
    }
    resp_->overlayOn = bypass ? 1 : 0;
    RedrawCurve();
    PostCommand(CMD_PARAM_FLAGS, 0);
}

void CEqPage::EqReset() {
    const std::span<EqBand> set = CurrentSet();
    const auto row = EqModuleDefaultRow(ModuleId(), CinemaSet());
    if (set.empty() || !row) return;
    const bool linked = Linked();
    const std::span<EqBand> other =
        linked ? EqModuleBands(*Image(), OtherModule(), false) : std::span<EqBand>{};
    for (int b = 0; b < PeqCount(); ++b) {
        EqBand& band = set[static_cast<std::size_t>(b)];
        band.type = kBandTypePeq;
        band.frequency = DefaultBandFreqs[static_cast<std::size_t>(*row + b)];
        band.q = 10;
        band.gain = 0;
        if (b < static_cast<int>(other.size()))
            CopyLinkedBand(band, other[static_cast<std::size_t>(b)]);
    }
    if (std::uint16_t* mask = MaskWordOf(ModuleId())) *mask = 0xFFFF;
    if (linked)
        if (std::uint16_t* mask = MaskWordOf(OtherModule())) *mask = 0xFFFF;
    SyncPanel();
    panel_->RefreshAllBands();
    RedrawCurve();
    PostCommand(CMD_EQ_RESET, ModuleId());
}

LRESULT CEqPage::OnPanelBandChanged(WPARAM wParam, LPARAM) {
    const int b = static_cast<int>(wParam & 0xFFFF);
    if (b >= PeqCount()) return 0;
    SelectBand(b);
    if (wParam > 0xFFFF) {
        CopyBandToLinked(b);
        PostCommand(CMD_BAND_ENABLE, ModuleId());
    } else {
        PostBand(b);
    }
    RedrawCurve();
    return 0;
}

// ---- The pass-filter row and the single-band editor ------------------------------------

bool CEqPage::SelectFromEditor(int band) {
    if (band == resp_->selectedBand) return false;
    SelectBand(band);
    return true;
}

void CEqPage::ShowBand() {
    const int selected = resp_->selectedBand;
    const std::span<EqBand> set = CurrentSet();
    if (selected < 0 || set.empty()) return;
    editorBand_ = selected;
    if (selected < PeqCount() && bandIndex_->currentIndex() != selected)
        SelectIndex(bandIndex_, selected);
    const int b = bandIndex_->currentIndex();
    if (b >= 0 && b < PeqCount()) {
        const EqBand& band = set[static_cast<std::size_t>(b)];
        SetEdit(gainEdit_, FormatTenthsEntry(band.gain));
        SetEdit(qEdit_, FormatTenthsEntry(band.q));
        SetEdit(freqEdit_, FormatIntegerEntry(band.frequency));
        SelectIndex(bandType_, band.type);
    }
    const EqBand& lp = set[static_cast<std::size_t>(PeqCount())];
    const EqBand& hp = set[static_cast<std::size_t>(PeqCount() + 1)];
    SetEdit(lpFreqEdit_, FormatIntegerEntry(lp.frequency));
    SetEdit(hpFreqEdit_, FormatIntegerEntry(hp.frequency));
    if (lpSlope_) SelectIndex(lpSlope_, lp.slope);
    if (hpSlope_) SelectIndex(hpSlope_, hp.slope);
}

void CEqPage::CommitPassFreqEdit(bool lowPass, int step) {
    const std::span<EqBand> set = CurrentSet();
    if (set.empty()) return;
    const int b = lowPass ? PeqCount() : PeqCount() + 1;
    const bool moved = SelectFromEditor(b);
    QLineEdit* edit = lowPass ? lpFreqEdit_ : hpFreqEdit_;
    const EqBand& record = set[static_cast<std::size_t>(b)];
    const EntryCommit c = CommitIntegerEntry(edit->text().toStdString(), step, record.frequency,
                                             PassFor(b).range, OutOfRange::kRestore);
    SetEdit(edit, FormatIntegerEntry(c.value));
    if (c.changed) StorePassFilter(b, &c.value, nullptr);
    if (c.changed || moved) RedrawCurve();
}

void CEqPage::CommitLpFreqEdit(int step) { CommitPassFreqEdit(true, step); }
void CEqPage::CommitHpFreqEdit(int step) { CommitPassFreqEdit(false, step); }

// One edit of the single-band editor: frequency restores an out-of-range
// entry, gain and Q clamp it to their limits.
void CEqPage::CommitBandEdit(BandField field, int step) {
    const std::span<EqBand> set = CurrentSet();
    const int b = bandIndex_->currentIndex();
    if (set.empty() || b < 0 || b >= PeqCount()) return;
    const bool moved = SelectFromEditor(b);
    EqBand& band = set[static_cast<std::size_t>(b)];
    EntryCommit c{};
    switch (field) {
        case BandField::kFrequency:
            c = CommitIntegerEntry(freqEdit_->text().toStdString(), step, band.frequency,
                                   kFrequencyRange, OutOfRange::kRestore);
            SetEdit(freqEdit_, FormatIntegerEntry(c.value));
            if (c.changed) band.frequency = static_cast<std::uint16_t>(c.value);
            break;
        case BandField::kGain:
            c = CommitTenthsEntry(gainEdit_->text().toStdString(), step, band.gain, kGainRange,
                                  OutOfRange::kClamp);
            SetEdit(gainEdit_, FormatTenthsEntry(c.value));
            if (c.changed) band.gain = static_cast<std::int16_t>(c.value);
            break;
        case BandField::kQ:
            c = CommitTenthsEntry(qEdit_->text().toStdString(), step, band.q,
                                  QRangeForType(band.type), OutOfRange::kClamp);
            SetEdit(qEdit_, FormatTenthsEntry(c.value));
            if (c.changed) band.q = static_cast<std::uint16_t>(c.value);
            break;
    }
    if (c.changed) PostBand(b);
    if (c.changed || moved) RedrawCurve();
}

void CEqPage::OnBandIndexSelect() {
    const int b = bandIndex_->currentIndex();
    if (b < 0 || b >= PeqCount() || b == editorBand_) return;
    SelectBand(b);
    RedrawCurve();
}

void CEqPage::OnBandTypeSelect() {
    const std::span<EqBand> set = CurrentSet();
    const int b = bandIndex_->currentIndex();
    if (set.empty() || b < 0 || b >= PeqCount()) return;
    const bool moved = SelectFromEditor(b);
    EqBand& band = set[static_cast<std::size_t>(b)];
    const bool stored = SetPeqBandType(band, bandType_->currentIndex());
    if (stored) {
        SetEdit(qEdit_, FormatTenthsEntry(band.q));
        PostBand(b);
    }
    if (stored || moved) RedrawCurve();
}

void CEqPage::OnPassSlopeSelect(bool lowPass) {
    QComboBox* combo = lowPass ? lpSlope_ : hpSlope_;
    const std::span<EqBand> set = CurrentSet();
    if (!combo || set.empty()) return;
    const int b = lowPass ? PeqCount() : PeqCount() + 1;
    const bool moved = SelectFromEditor(b);
    const int s = combo->currentIndex();
    const bool changed =
        s >= 0 && s < kFilterTypeCount && s != set[static_cast<std::size_t>(b)].slope;
    if (changed) StorePassFilter(b, nullptr, &s);
    if (changed || moved) RedrawCurve();
}

void CEqPage::OnLpSlopeSelect() { OnPassSlopeSelect(true); }
void CEqPage::OnHpSlopeSelect() { OnPassSlopeSelect(false); }

LRESULT CEqPage::OnEqBandEdited(WPARAM wParam, LPARAM selectionOnly) {
    const int band = static_cast<int>(wParam);
    // A band number the page does not have selects nothing.
    if (wParam >= static_cast<WPARAM>(spec_.recordsPerSet) || CurrentSet().empty()) return 0;
    if (selectionOnly == 0) {
        if (band < PeqCount()) {
            PostBand(band);
        } else {
            CopyPassFilterOut(band);
            PostPassFilter(band);
        }
    }
    SelectBand(band);
    RedrawCurve();
    return 0;
}

LRESULT CEqPage::OnOpenEqEditor(WPARAM, LPARAM) {
    const std::span<EqBand> set = CurrentSet();
    if (set.empty()) return 0;
    if (resp_->selectedBand < 0) SelectBand(0);
    CDlgEQ editor(this, set, ModuleId(), resp_->selectedBand, Language());
    editor.DoModal();
    return 0;
}
