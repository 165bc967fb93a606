#include "eq/band_editor.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <string>
#include <vector>

#include "eq/band_entry.h"
#include "eq/spin_buttons.h"
#include "model/param_image.h"
#include "model/ui_text.h"
#include "platform/text_fit.h"

namespace {

// The reverb and echo EQs: their pass-filter slopes are fixed.
constexpr int kReverbModuleId = 9;
constexpr int kEchoModuleId = 10;
// The subwoofer's low-pass filter of slope 7 is 48 dB/octave: the editor
// names it as the page's slope list does.
constexpr int kSubwooferModuleId = 8;

// The editor's layout in pixels at the program's font: five rows of a
// caption and its control, then OK.
constexpr int kClientWidth = 225;
constexpr int kClientHeight = 190;
struct Item {
    int id, x, y, width, height;
};
constexpr Item kLabelItems[] = {
    {CDlgEQ::kIndexLabelId, 10, 12, 62, 16}, {CDlgEQ::kTypeLabelId, 10, 41, 62, 16},
    {CDlgEQ::kFreqLabelId, 10, 70, 62, 16},  {CDlgEQ::kGainLabelId, 10, 99, 62, 16},
    {CDlgEQ::kQLabelId, 10, 128, 62, 16},
};
constexpr Item kIndexComboItem{CDlgEQ::kIndexComboId, 75, 10, 135, 20};
constexpr Item kTypeComboItem{CDlgEQ::kTypeComboId, 75, 39, 135, 20};
constexpr Item kFreqEditItem{CDlgEQ::kFreqEditId, 75, 68, 90, 20};
constexpr Item kFreqSpinItem{CDlgEQ::kFreqSpinId, 166, 68, 16, 20};
constexpr Item kGainEditItem{CDlgEQ::kGainEditId, 75, 97, 90, 20};
constexpr Item kGainSpinItem{CDlgEQ::kGainSpinId, 166, 97, 16, 20};
constexpr Item kQEditItem{CDlgEQ::kQEditId, 75, 126, 90, 20};
constexpr Item kQSpinItem{CDlgEQ::kQSpinId, 166, 126, 16, 20};
constexpr Item kOkItem{CDlgEQ::kOkId, 75, 156, 75, 24};

// Captions by language: English, Chinese.
struct Caption {
    int id;
    const char* text[kLanguageCount];
};
constexpr Caption kCaptions[] = {
    {CDlgEQ::kIndexLabelId, {"Index", "当前位置"}},
    {CDlgEQ::kTypeLabelId, {"Type", "类型"}},
    {CDlgEQ::kFreqLabelId, {"Freq", "频率"}},
    {CDlgEQ::kGainLabelId, {"Gain", "增益"}},
    {CDlgEQ::kQLabelId, {"Q", "Q值"}},
    {CDlgEQ::kOkId, {"OK", "确定"}},
};
constexpr const char* kPassRowNames[kLanguageCount][2] = {{"LP", "HP"}, {"低通", "高通"}};
constexpr const char* kSlopeNames[kLanguageCount][kFilterTypeCount] = {
    {"flat", "bessel_12db", "butter_12db", "bessel_18db", "butter_18db", "bessel_24db",
     "butter_24db", "LR_24db"},
    {"直通", "贝赛尔12db", "巴特沃斯12db", "贝赛尔18db", "巴特沃斯18db", "贝赛尔24db",
     "巴特沃斯24db", "林奎茨-瑞利24db"},
};

template <class W>
W* Make(QWidget* parent, const Item& item) {
    auto* w = new W(parent);
    w->setGeometry(item.x, item.y, item.width, item.height);
    return w;
}

void Fill(QComboBox* combo, const std::vector<std::string>& items) {
    combo->clear();
    for (const std::string& item : items) combo->addItem(QString::fromStdString(item));
}

void SetText(QLineEdit* edit, const std::string& text) {
    edit->setText(QString::fromStdString(text));
}

}  // namespace

CDlgEQ::CDlgEQ(platform::Window* page, std::span<EqBand> bands, int moduleId, int band,
               int language)
    : platform::Dialog(page),
      page_(page),
      // A set holds at least the two pass-filter records; anything shorter
      // has no row to edit.
      bands_(bands.size() >= 2 ? bands : std::span<EqBand>()),
      peqCount_(bands.size() >= 2 ? static_cast<int>(bands.size()) - 2 : 0),
      band_(band),
      fixedPass_(moduleId == kReverbModuleId || moduleId == kEchoModuleId),
      lowPass48_(moduleId == kSubwooferModuleId),
      language_(language ? kLanguageChinese : kLanguageEnglish) {
    setObjectName("CDlgEQ");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    BuildControls();

    for (const Caption& c : kCaptions) SetItemText(c.id, c.text[language_]);
    std::vector<std::string> rows;
    if (!bands_.empty()) {
        rows = PeqListItems(language_, peqCount_);
        rows.push_back(kPassRowNames[language_][0]);
        rows.push_back(kPassRowNames[language_][1]);
    }
    Fill(index_, rows);
    FillTypeList();
    index_->setCurrentIndex(Current() ? band_ : -1);
    ShowBand(false);
}

void CDlgEQ::BuildControls() {
    for (const Item& item : kLabelItems) AddControl(item.id, Make<QLabel>(this, item));
    index_ = Make<QComboBox>(this, kIndexComboItem);
    type_ = Make<QComboBox>(this, kTypeComboItem);
    freq_ = Make<QLineEdit>(this, kFreqEditItem);
    freqSpin_ = Make<SpinButtons>(this, kFreqSpinItem);
    gain_ = Make<QLineEdit>(this, kGainEditItem);
    gainSpin_ = Make<SpinButtons>(this, kGainSpinItem);
    q_ = Make<QLineEdit>(this, kQEditItem);
    qSpin_ = Make<SpinButtons>(this, kQSpinItem);
    auto* ok = Make<QPushButton>(this, kOkItem);
    platform::SetWidestTexts(freq_, IntegerEntryLimits(kFrequencyRange));
    platform::SetWidestTexts(gain_, TenthsEntryLimits(kGainRange));
    platform::SetWidestTexts(q_, TenthsEntryLimits(kPeqQRange));
    ok->setAutoDefault(false);
    AddControl(kIndexComboId, index_);
    AddControl(kTypeComboId, type_);
    AddControl(kFreqEditId, freq_);
    AddControl(kFreqSpinId, freqSpin_);
    AddControl(kGainEditId, gain_);
    AddControl(kGainSpinId, gainSpin_);
    AddControl(kQEditId, q_);
    AddControl(kQSpinId, qSpin_);
    AddControl(kOkId, ok);

    // User actions only: values the editor writes itself raise none of these.
    connect(index_, &QComboBox::activated, this, &CDlgEQ::OnIndexSelect);
    connect(type_, &QComboBox::activated, this, &CDlgEQ::OnTypeSelect);
    connect(freq_, &QLineEdit::returnPressed, this, [this] { ApplyFrequency(0); });
    connect(gain_, &QLineEdit::returnPressed, this, [this] { ApplyGain(0); });
    connect(q_, &QLineEdit::returnPressed, this, [this] { ApplyQ(0); });
    connect(freqSpin_, &SpinButtons::Stepped, this, &CDlgEQ::ApplyFrequency);
    connect(gainSpin_, &SpinButtons::Stepped, this, &CDlgEQ::ApplyGain);
    connect(qSpin_, &SpinButtons::Stepped, this, &CDlgEQ::ApplyQ);
    connect(ok, &QPushButton::clicked, this, [this] { PostMessage(WM_CLOSE); });
}

int CDlgEQ::DoModal() {
    if (page_) {
        const QPoint pageTopLeft = page_->mapToGlobal(QPoint(0, 0));
        if (page_->width() > width()) {
            move(pageTopLeft.x() + (page_->width() - width()) / 2, pageTopLeft.y() + 20);
        }
    }
    return RunModal();
}

EqBand* CDlgEQ::Current() const {
    if (band_ < 0 || band_ >= static_cast<int>(bands_.size())) return nullptr;
    return &bands_[static_cast<std::size_t>(band_)];
}

void CDlgEQ::Notify(LPARAM selectionOnly) {
    if (page_) page_->SendMessage(WM_EQ_BAND_EDITED, static_cast<WPARAM>(band_), selectionOnly);
}

CDlgEQ::TypeList CDlgEQ::ListFor(int row) const {
    if (IsPeqRow(row)) return TypeList::kPeqTypes;
    return lowPass48_ && row == peqCount_ ? TypeList::kSlopes48 : TypeList::kSlopes;
}

void CDlgEQ::FillTypeList() {
    const TypeList list = ListFor(band_);
    if (list == TypeList::kPeqTypes) {
        Fill(type_, FilterTypeItems(language_));
        return;
    }
    std::vector<std::string> slopes(std::begin(kSlopeNames[language_]),
                                    std::end(kSlopeNames[language_]));
    if (list == TypeList::kSlopes48) slopes.back() = CrossoverTypeItems(language_, true).back();
    Fill(type_, slopes);
}

void CDlgEQ::ShowBand(bool notify) {
    const EqBand* b = Current();
    if (!b) {
        // No such row: nothing to show and nothing to edit until one is picked.
        for (QLineEdit* e : {freq_, gain_, q_}) e->clear();
        type_->setCurrentIndex(-1);
        for (QWidget* w : std::initializer_list<QWidget*>{type_, freq_, freqSpin_, gain_, gainSpin_,
                                                          q_, qSpin_}) {
            w->setEnabled(false);
        }
        return;
    }
    SetText(freq_, FormatIntegerEntry(b->frequency));
    SetText(gain_, FormatTenthsEntry(b->gain));
    SetText(q_, FormatTenthsEntry(b->q));
    freq_->setEnabled(true);
    freqSpin_->setEnabled(true);
    // The list the type combo holds decides what it shows: a PEQ row its
    // type, a pass row its slope. A value the list lacks selects nothing.
    const bool peq = IsPeqRow(band_);
    const int shown = peq ? b->type : b->slope;
    type_->setCurrentIndex(shown < type_->count() ? shown : -1);
    type_->setEnabled(peq || !fixedPass_);
    for (QWidget* w : std::initializer_list<QWidget*>{gain_, gainSpin_, q_, qSpin_}) {
        w->setEnabled(peq);
    }
    if (notify) Notify(1);
}

void CDlgEQ::OnIndexSelect(int row) {
    if (row < 0 || row == band_) return;
    // Crossing between the PEQ rows and the pass rows swaps the type list, and
    // so does a move between the subwoofer's low-pass and high-pass rows.
    const bool swapList = ListFor(row) != ListFor(band_);
    band_ = row;
    if (swapList) FillTypeList();
    ShowBand(true);
}

void CDlgEQ::OnTypeSelect(int index) {
    EqBand* b = Current();
    if (!b) return;
    if (IsPeqRow(band_)) {
        const std::uint16_t qBefore = b->q;
        if (!SetPeqBandType(*b, index)) return;
        if (b->q != qBefore) SetText(q_, FormatTenthsEntry(b->q));
        Notify(0);
        return;
    }
    if (fixedPass_ || index < 0 || index >= kFilterTypeCount || index == b->slope) return;
    b->slope = static_cast<std::uint8_t>(index);
    Notify(0);
}

void CDlgEQ::ApplyFrequency(int delta) {
    EqBand* b = Current();
    if (!b) return;
    EntryRange range{minHz_, maxHz_};
    if (fixedPass_ && band_ == peqCount_) range = {kFixedLowPassMinHz, kFixedLowPassMaxHz};
    if (fixedPass_ && band_ == peqCount_ + 1) range = {kFixedHighPassMinHz, kFixedHighPassMaxHz};
    const EntryCommit c = CommitIntegerEntry(freq_->text().toStdString(), delta, b->frequency,
                                             range, OutOfRange::kRestore);
    SetText(freq_, FormatIntegerEntry(c.value));
    if (!c.changed) return;
    b->frequency = static_cast<std::uint16_t>(c.value);
    Notify(0);
}

void CDlgEQ::ApplyGain(int delta) {
    EqBand* b = Current();
    if (!b || !IsPeqRow(band_)) return;  // pass filters have no gain
    const EntryCommit c = CommitTenthsEntry(gain_->text().toStdString(), delta, b->gain, kGainRange,
                                            OutOfRange::kClamp);
    SetText(gain_, FormatTenthsEntry(c.value));
    if (!c.changed) return;
    b->gain = static_cast<std::int16_t>(c.value);
    Notify(0);
}

void CDlgEQ::ApplyQ(int delta) {
    EqBand* b = Current();
    if (!b || !IsPeqRow(band_)) return;  // nor a Q of their own
    const EntryCommit c = CommitTenthsEntry(q_->text().toStdString(), delta, b->q,
                                            QRangeForType(b->type), OutOfRange::kClamp);
    SetText(q_, FormatTenthsEntry(c.value));
    if (!c.changed) return;
    b->q = static_cast<std::uint16_t>(c.value);
    Notify(0);
}
