#include "eq/band_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

#include "eq/band_entry.h"
#include "eq/spin_buttons.h"
#include "model/param_image.h"
#include "model/ui_text.h"
#include "platform/text_fit.h"

namespace {

// Row geometry in pixels at the program's font: rows kRowPitch apart from
// kRowTop; each control's x and width, and its top and height within the
// row. The edits hold their widest values with their signs ("20000",
// "-24.0", "99.9"); the rows leave the scroll bar its room in the page's
// panel.
constexpr int kRowTop = 3;
constexpr int kRowPitch = 29;
struct Cell {
    int x, width, top, height;
};
constexpr Cell kLabelCell{4, 18, 2, 16};
constexpr Cell kFreqEditCell{24, 46, 0, 20};
constexpr Cell kFreqSpinCell{71, 16, 0, 20};
constexpr Cell kGainEditCell{90, 42, 0, 20};
constexpr Cell kGainSpinCell{133, 16, 0, 20};
constexpr Cell kQEditCell{152, 40, 0, 20};
constexpr Cell kQSpinCell{193, 16, 0, 20};
constexpr Cell kTypeCell{212, 52, 0, 20};
constexpr Cell kBypassCell{267, 66, 0, 20};
constexpr int kRowsWidth = 333;
constexpr int kRowsHeight = kRowTop + kRowPitch * CDlgVS::kMaxRows;

// The Bypass caption row of the UI text table.
constexpr int kBypassTextRow = 256;

void Place(QWidget* w, const Cell& c, int row) {
    w->setGeometry(c.x, kRowTop + kRowPitch * row + c.top, c.width, c.height);
}

}  // namespace

CDlgVS::CDlgVS(platform::Window* page)
    : platform::Window(page),
      page_(page),
      rows_(new QWidget(this)),
      scrollBar_(new QScrollBar(Qt::Vertical, this)) {
    setObjectName("CDlgVS");
    rows_->resize(kRowsWidth, kRowsHeight);
    scrollBar_->setRange(0, 0);
    scrollBar_->setSingleStep(kScrollLine);
    connect(scrollBar_, &QScrollBar::valueChanged, this, &CDlgVS::OnScrolled);
    for (int i = 0; i < kMaxRows; ++i) BuildRow(i);
    SetLanguage(kLanguageEnglish);
}

void CDlgVS::BuildRow(int i) {
    RowControls& r = rowControls_[static_cast<std::size_t>(i)];
    r.label = new QLabel(QString::number(i + 1), rows_);
    r.freq = new QLineEdit(rows_);
    r.gain = new QLineEdit(rows_);
    r.q = new QLineEdit(rows_);
    r.freqSpin = new SpinButtons(rows_);
    r.gainSpin = new SpinButtons(rows_);
    r.qSpin = new SpinButtons(rows_);
    r.type = new QComboBox(rows_);
    for (const std::string& item : FilterTypeItems(kLanguageEnglish)) {
        r.type->addItem(QString::fromStdString(item));
    }
    r.bypass = new QCheckBox(rows_);
    platform::SetWidestTexts(r.freq, IntegerEntryLimits(kFrequencyRange));
    platform::SetWidestTexts(r.gain, TenthsEntryLimits(kGainRange));
    platform::SetWidestTexts(r.q, TenthsEntryLimits(kPeqQRange));

    Place(r.label, kLabelCell, i);
    Place(r.freq, kFreqEditCell, i);
    Place(r.freqSpin, kFreqSpinCell, i);
    Place(r.gain, kGainEditCell, i);
    Place(r.gainSpin, kGainSpinCell, i);
    Place(r.q, kQEditCell, i);
    Place(r.qSpin, kQSpinCell, i);
    Place(r.type, kTypeCell, i);
    Place(r.bypass, kBypassCell, i);

    const int editOffset = kEditIdStride * i;
    AddControl(kRowLabelId + i, r.label);
    AddControl(kFreqEditId + editOffset, r.freq);
    AddControl(kGainEditId + editOffset, r.gain);
    AddControl(kQEditId + editOffset, r.q);
    AddControl(kFreqSpinId + editOffset, r.freqSpin);
    AddControl(kGainSpinId + editOffset, r.gainSpin);
    AddControl(kQSpinId + editOffset, r.qSpin);
    AddControl(kTypeComboId + i, r.type);
    AddControl(kBypassId + i, r.bypass);

    // Only the user's own actions reach these: returnPressed comes from the
    // Enter key, Stepped from arrow clicks, activated from a choice in the
    // list, clicked from a click on the box. Values set from code raise none.
    connect(r.freq, &QLineEdit::returnPressed, this, [this, i] {
        row_ = i;
        ApplyFrequency(i, 0);
    });
    connect(r.gain, &QLineEdit::returnPressed, this, [this, i] {
        row_ = i;
        ApplyGain(i, 0);
    });
    connect(r.q, &QLineEdit::returnPressed, this, [this, i] {
        row_ = i;
        ApplyQ(i, 0);
    });
    connect(r.freqSpin, &SpinButtons::Stepped, this, [this, i](int step) {
        row_ = i;
        ApplyFrequency(i, step);
    });
    connect(r.gainSpin, &SpinButtons::Stepped, this, [this, i](int step) {
        row_ = i;
        ApplyGain(i, step);
    });
    connect(r.qSpin, &SpinButtons::Stepped, this, [this, i](int step) {
        row_ = i;
        ApplyQ(i, step);
    });
    connect(r.type, &QComboBox::activated, this, [this, i](int) {
        row_ = i;
        ApplyType(i);
    });
    connect(r.bypass, &QCheckBox::clicked, this, [this, i](bool) {
        row_ = i;
        ApplyBypass(i);
    });
}

void CDlgVS::SetBands(std::span<EqBand> bands) { bands_ = bands; }

void CDlgVS::SetMasks(std::span<std::uint16_t> masks) { masks_ = masks; }

void CDlgVS::SetModuleId(int moduleId) {
    moduleId_ = moduleId;
    maskIndex_ = BandMaskWordFor(moduleId).value_or(-1);
}

void CDlgVS::SetSetOffset(int setOffset) { setOffset_ = setOffset; }

void CDlgVS::SetUseSecondSet(bool useSecondSet) { useSecondSet_ = useSecondSet; }

void CDlgVS::SetScrollInfo(int min, int max, int page) {
    scrollBar_->setPageStep(std::max(page, 0));
    scrollBar_->setRange(min, std::max(min, max - std::max(page, 0)));
}

void CDlgVS::SetBandCount(int count) {
    count_ = std::clamp(count, 1, kMaxRows);
    for (int i = 0; i < kMaxRows; ++i) {
        const RowControls& r = rowControls_[static_cast<std::size_t>(i)];
        const bool shown = i < count_;
        for (QWidget* w : std::initializer_list<QWidget*>{r.label, r.freq, r.gain, r.q, r.freqSpin,
                                                          r.gainSpin, r.qSpin, r.type, r.bypass}) {
            w->setVisible(shown);
        }
    }
    SetModuleId(moduleId_);
}

EqBand* CDlgVS::BandAt(int row) const {
    if (row < 0 || row >= count_) return nullptr;
    const long index = static_cast<long>(useSecondSet_ ? setOffset_ : 0) + row;
    if (index < 0 || index >= static_cast<long>(bands_.size())) return nullptr;
    return &bands_[static_cast<std::size_t>(index)];
}

std::uint16_t* CDlgVS::MaskWord() const {
    if (maskIndex_ < 0 || maskIndex_ >= static_cast<int>(masks_.size())) return nullptr;
    return &masks_[static_cast<std::size_t>(maskIndex_)];
}

void CDlgVS::Post(WPARAM wParam, LPARAM lParam) {
    if (page_) page_->PostMessage(WM_PANEL_BAND_CHANGED, wParam, lParam);
}

void CDlgVS::RefreshBand(int row) {
    if (row < 0 || row >= count_) return;
    const RowControls& r = rowControls_[static_cast<std::size_t>(row)];
    if (const EqBand* b = BandAt(row)) {
        r.gain->setText(QString::fromStdString(FormatTenthsEntry(b->gain)));
        r.q->setText(QString::fromStdString(FormatTenthsEntry(b->q)));
        r.freq->setText(QString::fromStdString(FormatIntegerEntry(b->frequency)));
        // A type the list does not hold (a pass filter, junk from a file)
        // selects nothing.
        r.type->setCurrentIndex(b->type < r.type->count() ? b->type : -1);
    }
    if (const std::uint16_t* mask = MaskWord()) {
        r.bypass->setChecked((*mask & (1u << row)) == 0);
    }
}

void CDlgVS::RefreshAllBands() {
    for (int i = 0; i < count_; ++i) RefreshBand(i);
    // Hidden rows' boxes follow their bits as well.
    if (const std::uint16_t* mask = MaskWord()) {
        for (int i = count_; i < kMaxRows; ++i) {
            rowControls_[static_cast<std::size_t>(i)].bypass->setChecked((*mask & (1u << i)) == 0);
        }
    }
}

void CDlgVS::SetLanguage(int language) {
    const QString caption = QString::fromUtf8(UiText(language, kBypassTextRow));
    for (const RowControls& r : rowControls_) r.bypass->setText(caption);
}

void CDlgVS::ApplyFrequency(int row, int delta) {
    EqBand* b = BandAt(row);
    if (!b) return;
    QLineEdit* edit = rowControls_[static_cast<std::size_t>(row)].freq;
    const EntryCommit c = CommitIntegerEntry(edit->text().toStdString(), delta, b->frequency,
                                             kFrequencyRange, OutOfRange::kRestore);
    if (c.changed) b->frequency = static_cast<std::uint16_t>(c.value);
    edit->setText(QString::fromStdString(FormatIntegerEntry(c.value)));
    if (c.changed) Post(static_cast<WPARAM>(row), c.value);
}

void CDlgVS::ApplyGain(int row, int delta) {
    EqBand* b = BandAt(row);
    if (!b) return;
    QLineEdit* edit = rowControls_[static_cast<std::size_t>(row)].gain;
    const EntryCommit c = CommitTenthsEntry(edit->text().toStdString(), delta, b->gain, kGainRange,
                                            OutOfRange::kRestore);
    if (c.changed) b->gain = static_cast<std::int16_t>(c.value);
    edit->setText(QString::fromStdString(FormatTenthsEntry(c.value)));
    if (c.changed) Post(static_cast<WPARAM>(row), c.value);
}

void CDlgVS::ApplyQ(int row, int delta) {
    EqBand* b = BandAt(row);
    if (!b) return;
    QLineEdit* edit = rowControls_[static_cast<std::size_t>(row)].q;
    const EntryCommit c = CommitTenthsEntry(edit->text().toStdString(), delta, b->q,
                                            QRangeForType(b->type), OutOfRange::kRestore);
    if (c.changed) b->q = static_cast<std::uint16_t>(c.value);
    edit->setText(QString::fromStdString(FormatTenthsEntry(c.value)));
    if (c.changed) Post(static_cast<WPARAM>(row), c.value);
}

void CDlgVS::ApplyType(int row) {
    EqBand* b = BandAt(row);
    if (!b) return;
    const RowControls& r = rowControls_[static_cast<std::size_t>(row)];
    const std::uint16_t qBefore = b->q;
    if (!SetPeqBandType(*b, r.type->currentIndex())) return;
    if (b->q != qBefore) r.q->setText(QString::fromStdString(FormatTenthsEntry(b->q)));
    Post(static_cast<WPARAM>(row), 0);
}

void CDlgVS::ApplyBypass(int row) {
    if (row < 0 || row >= count_) return;
    std::uint16_t* mask = MaskWord();
    if (!mask) return;
    const auto bit = static_cast<std::uint16_t>(1u << row);
    const bool bypass = rowControls_[static_cast<std::size_t>(row)].bypass->isChecked();
    const bool enabled = (*mask & bit) != 0;
    if (bypass == !enabled) return;  // the box already agrees with the bit
    *mask = static_cast<std::uint16_t>(bypass ? *mask & ~bit : *mask | bit);
    Post(static_cast<WPARAM>(row) | kMaskChanged, 0);
}

void CDlgVS::OnScrolled(int position) { rows_->move(0, -position); }

void CDlgVS::resizeEvent(QResizeEvent*) {
    const int barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    scrollBar_->setGeometry(width() - barWidth, 0, barWidth, height());
    scrollBar_->raise();
}

bool CDlgVS::WheelFocusedEdit(QWheelEvent* event) {
    // The wheel commits the row edit that has the focus, wherever the pointer
    // is over the panel, one step per notch: away from the user raises the
    // value. It goes to the focus as the platform's wheel messages always did,
    // so it never turns a combo that merely lies under the pointer.
    QWidget* focus = window()->focusWidget();
    for (int i = 0; i < count_; ++i) {
        const RowControls& r = rowControls_[static_cast<std::size_t>(i)];
        if (focus != r.freq && focus != r.gain && focus != r.q) continue;
        const int dy = event->angleDelta().y();
        // A turn with no vertical part commits what the edit holds; a part
        // notch waits for the rest of its notch.
        const int notches = wheelNotches_.Add(focus, dy);
        if (dy != 0 && notches == 0) {
            event->accept();
            return true;
        }
        row_ = i;
        const int step = notches > 0 ? 1 : notches < 0 ? -1 : 0;
        for (int n = 0; n < std::max(1, std::abs(notches)); ++n) {
            if (focus == r.freq) ApplyFrequency(i, step);
            if (focus == r.gain) ApplyGain(i, step);
            if (focus == r.q) ApplyQ(i, step);
        }
        event->accept();
        return true;
    }
    return false;
}

void CDlgVS::wheelEvent(QWheelEvent* event) {
    if (!WheelFocusedEdit(event)) event->ignore();
}

bool CDlgVS::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && WheelFocusedEdit(static_cast<QWheelEvent*>(event))) {
        return true;
    }
    return platform::Window::eventFilter(watched, event);
}
