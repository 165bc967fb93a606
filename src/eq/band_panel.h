#pragma once
// The band panel: the scrollable table of PEQ bands on each EQ page. Row i
// shows one band as frequency, gain and Q edits with their arrows, a type
// combo (PEQ, LS, HS) and a Bypass box. What the user commits is checked,
// written straight into the band record or the band-enable mask, and reported
// to the page with WM_PANEL_BAND_CHANGED (the page sends it to the unit and
// redraws its curve). Pass-filter records are never shown here.
#include <array>
#include <cstdint>
#include <span>

#include "platform/wheel_notches.h"
#include "platform/window.h"

struct EqBand;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QScrollBar;
class SpinButtons;

class CDlgVS : public platform::Window {
    Q_OBJECT
public:
    static constexpr int kMaxRows = 15;
    // Control ids of row i: the base plus i (labels, combos, boxes) or plus
    // kEditIdStride * i (edits and their arrows).
    static constexpr int kRowLabelId = 2114;
    static constexpr int kFreqEditId = 1994;
    static constexpr int kGainEditId = 1995;
    static constexpr int kQEditId = 1996;
    static constexpr int kFreqSpinId = 1998;
    static constexpr int kGainSpinId = 1999;
    static constexpr int kQSpinId = 2000;
    static constexpr int kEditIdStride = 8;
    static constexpr int kTypeComboId = 1871;
    static constexpr int kBypassId = 1306;
    // WM_PANEL_BAND_CHANGED: wParam is the row, with this bit when the row's
    // Bypass box changed its mask bit (lParam 0); otherwise lParam is the new
    // frequency, gain x10 or Q x10, or 0 for a type change.
    static constexpr WPARAM kMaskChanged = 0x10000;
    // Every line step of the scroll bar moves the rows by this many pixels.
    static constexpr int kScrollLine = 15;

    // page receives WM_PANEL_BAND_CHANGED; the panel is its child.
    explicit CDlgVS(platform::Window* page);

    // Set-up by the page. bands: the page's whole band array in the image
    // (both sets on an output page); empty, the panel does nothing with bands.
    void SetBands(std::span<EqBand> bands);
    // The image's BandEnableMasks words; moduleId picks the panel's word.
    void SetMasks(std::span<std::uint16_t> masks);
    void SetModuleId(int moduleId);
    // With the second set in use, row i shows band setOffset + i.
    void SetSetOffset(int setOffset);
    void SetUseSecondSet(bool useSecondSet);
    // The vertical scroll bar: positions min .. max - page, pixels.
    void SetScrollInfo(int min, int max, int page);
    // Shows rows 0..count-1 (count taken within 1..15) and hides the rest,
    // and takes the mask word of the module id.
    void SetBandCount(int count);

    // Fill the shown rows (or one row) from the bands and every Bypass box from
    // the mask word: checked when the row's bit is clear.
    void RefreshAllBands();
    void RefreshBand(int row);
    // The Bypass captions in this language.
    void SetLanguage(int language);

    // Commit what row's edit holds, plus delta steps (an arrow click or a wheel
    // notch; 0 for Enter). Out-of-range values restore the stored one.
    void ApplyFrequency(int row, int delta);
    void ApplyGain(int row, int delta);
    void ApplyQ(int row, int delta);
    void ApplyType(int row);
    void ApplyBypass(int row);

    int Count() const { return count_; }
    int MaskIndex() const { return maskIndex_; }
    int ModuleId() const { return moduleId_; }
    // The row of the last edit made through an arrow, Enter, the wheel, the
    // type combo or the Bypass box.
    int LastRow() const { return row_; }
    QScrollBar* ScrollBar() const { return scrollBar_; }
    // The widget holding the rows; it moves up as the panel scrolls.
    QWidget* Rows() const { return rows_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct RowControls {
        QLabel* label = nullptr;
        QLineEdit* freq = nullptr;
        QLineEdit* gain = nullptr;
        QLineEdit* q = nullptr;
        SpinButtons* freqSpin = nullptr;
        SpinButtons* gainSpin = nullptr;
        SpinButtons* qSpin = nullptr;
        QComboBox* type = nullptr;
        QCheckBox* bypass = nullptr;
    };
    void BuildRow(int i);
    EqBand* BandAt(int row) const;
    std::uint16_t* MaskWord() const;
    void Post(WPARAM wParam, LPARAM lParam);
    void OnScrolled(int position);
    bool WheelFocusedEdit(QWheelEvent* event);

    platform::Window* page_;
    int moduleId_ = -1;
    int row_ = 0;
    int count_ = kMaxRows;
    bool useSecondSet_ = false;
    int setOffset_ = 0;
    std::span<EqBand> bands_;
    int maskIndex_ = -1;
    std::span<std::uint16_t> masks_;
    std::array<RowControls, kMaxRows> rowControls_{};
    QWidget* rows_;
    QScrollBar* scrollBar_;
    platform::WheelNotches wheelNotches_;
};
