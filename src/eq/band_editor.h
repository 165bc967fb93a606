#pragma once
// The band editor: a small modal dialog that edits one band of a page's EQ at
// a time. An index list picks the band (the PEQ bands, then the low-pass and
// the high-pass record); its type or slope, frequency, gain and Q are edited
// with edits, arrows and a type list. Every change is written at once into the
// band record and sent to the page as WM_EQ_BAND_EDITED, so the page sends it
// to the unit and redraws its curve while the editor stays open. Nothing is
// undone on closing; there is no cancel.
#include <span>

#include "platform/window.h"

struct EqBand;
class QComboBox;
class QLineEdit;
class SpinButtons;

class CDlgEQ : public platform::Dialog {
    Q_OBJECT
public:
    static constexpr int kIndexLabelId = 2009;
    static constexpr int kTypeLabelId = 2010;
    static constexpr int kFreqLabelId = 2011;
    static constexpr int kGainLabelId = 2012;
    static constexpr int kQLabelId = 2013;
    static constexpr int kOkId = 1545;
    static constexpr int kIndexComboId = 2003;
    static constexpr int kTypeComboId = 2002;
    static constexpr int kFreqEditId = 2000;
    static constexpr int kFreqSpinId = 2006;
    static constexpr int kGainEditId = 2004;
    static constexpr int kGainSpinId = 2007;
    static constexpr int kQEditId = 2001;
    static constexpr int kQSpinId = 2008;
    // Frequency limits of the pass filters on the pages whose slopes are
    // fixed (reverb and echo).
    static constexpr int kFixedLowPassMinHz = 4000;
    static constexpr int kFixedLowPassMaxHz = 16000;
    static constexpr int kFixedHighPassMinHz = 20;
    static constexpr int kFixedHighPassMaxHz = 1000;

    // page: receives WM_EQ_BAND_EDITED (wParam the band row, lParam 0 for a
    // changed value, 1 when only the shown band changed), sent at once so the
    // page has acted before the editor goes on; the editor is centred over it.
    // bands: the set being edited, its PEQ records then the low-pass and the
    // high-pass record (EqModuleBands gives it for the current system mode);
    // row r edits bands[r]. moduleId: the page's EqModuleId; the reverb and
    // echo modules have fixed pass-filter slopes and narrower pass-filter
    // frequency ranges; the subwoofer's low-pass slope 7 is its 48 dB one. band: the row shown
    // first (the page's selected band, 0 when none is selected); a row the set does not have shows
    // nothing until one is picked. language: 0 English, 1 Chinese.
    CDlgEQ(platform::Window* page, std::span<EqBand> bands, int moduleId, int band, int language);

    // Moves the editor over its page and runs it until OK or the close box.
    int DoModal();

    // The row shown; PeqCount() is the low-pass row, PeqCount() + 1 the
    // high-pass row.
    int Band() const { return band_; }
    int PeqCount() const { return peqCount_; }
    bool FixedPass() const { return fixedPass_; }

    // Commit what the edit holds, plus delta arrow steps (0 for Enter). A
    // frequency out of range restores the stored one; gain and Q are clamped.
    void ApplyFrequency(int delta);
    void ApplyGain(int delta);
    void ApplyQ(int delta);

private:
    void BuildControls();
    // The type combo's list for a row: the PEQ types, the slopes, or the
    // slopes with the 48 dB low-pass name.
    enum class TypeList { kPeqTypes, kSlopes, kSlopes48 };
    TypeList ListFor(int row) const;
    void FillTypeList();
    void ShowBand(bool notify);
    void OnIndexSelect(int row);
    void OnTypeSelect(int index);
    EqBand* Current() const;
    bool IsPeqRow(int row) const { return row < peqCount_; }
    void Notify(LPARAM selectionOnly);

    platform::Window* page_;
    std::span<EqBand> bands_;
    int peqCount_ = 0;
    int band_ = 0;
    bool fixedPass_ = false;
    bool lowPass48_ = false;
    int minHz_ = 20;
    int maxHz_ = 20000;
    int language_ = 0;
    QComboBox* index_ = nullptr;
    QComboBox* type_ = nullptr;
    QLineEdit* freq_ = nullptr;
    QLineEdit* gain_ = nullptr;
    QLineEdit* q_ = nullptr;
    SpinButtons* freqSpin_ = nullptr;
    SpinButtons* gainSpin_ = nullptr;
    SpinButtons* qSpin_ = nullptr;
};
