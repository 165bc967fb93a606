#pragma once
// The Boost EQ page: a small equaliser in front of four of the unit's blocks
// (MIC and MUSIC with five bands, REV and ECHO with three), each switched on
// by its own bit. One target at a time shows as a column of controls per band
// and as a response curve; every change goes to the unit at once, the whole
// setting is stored in the unit on demand and saved to or loaded from a
// preset file.
//
// Three orders meet here and are kept apart: the target buttons count MIC,
// MUSIC, REV, ECHO (BoostTarget); the image and the preset file hold MUSIC
// first (BoostRunBands gives a target's run); the wire counts as the targets
// do (the command builder packs it).
#include <QRect>
#include <array>
#include <memory>
#include <span>

#include "pages/page.h"
#include "platform/wheel_notches.h"

struct EqBand;
struct ParamImage;
class CMyBtn;
class CMySlider;
class EqGraph;
class QCheckBox;
class QLineEdit;
class SpinButtons;

class CDlgBt : public CPage {
    Q_OBJECT
public:
    static constexpr int kMaxBands = 5;
    static constexpr int kTargetCount = 4;
    enum Target { kTargetMic = 0, kTargetMusic = 1, kTargetRev = 2, kTargetEcho = 3 };

    // Control ids; band i's controls are the base plus i (type buttons 3i + t).
    static constexpr int kSliderId = 1005;
    static constexpr int kGainEditId = 1012;
    static constexpr int kQEditId = 1019;
    static constexpr int kQSpinId = 1026;
    static constexpr int kFreqEditId = 1033;
    static constexpr int kTypeButtonId = 1700;
    static constexpr int kTargetButtonId = 1821;
    static constexpr int kStoreId = 1826;
    static constexpr int kSaveFileId = 1830;
    static constexpr int kLoadFileId = 1831;
    static constexpr int kCloseId = 1832;
    // The enable box of each target, in target order.
    static constexpr std::array<int, kTargetCount> kEnableBoxIds = {1825, 1827, 1828, 1829};

    explicit CDlgBt(platform::Window* mainWindow);
    ~CDlgBt() override;

    // The page draws its curve only once this is 2 (the first refresh).
    void SetGraphState(int state) { graphState_ = state; }
    int GraphState() const { return graphState_; }

    // Shows target 0 MIC, 1 MUSIC, 2 REV or 3 ECHO: its bands, its button
    // checked, no band selected, the enable boxes, the curve. Any other value
    // does nothing. Sends nothing.
    void SelectTarget(int target);
    int CurrentTarget() const { return target_; }
    int BandCount() const { return bandCount_; }
    // The current target's bands in the image (empty before Wire).
    std::span<EqBand> Bands() const;
    // -1: none.
    int SelectedBand() const { return selectedBand_; }

    // The user's actions, as the controls report them.
    LRESULT OnSliderPos(WPARAM id, LPARAM pos);
    void CommitGainEdit(int band);
    void CommitQEdit(int band);
    // One step of band's Q: +1 lowers it by 0.1, -1 raises it (the unit's
    // updown deltas; the up arrow and the wheel turned away raise it).
    void OnQSpin(int band, int delta);
    void CommitFreqEdit(int band);
    void OnTypeButton(int band, int type);
    void OnEnableBox(int target);
    // Button 1830: the whole boost setting to a preset file the user picks.
    void SaveBoostFile();
    // Button 1831: a preset file the user picks into the image, shown, and
    // stored in the unit; a file that fails any check changes nothing.
    void LoadBoostFile();
    void OnMouseWheel(int notches);
    void OnLButtonDown(QPoint point);
    void OnMouseMove(QPoint point);
    void OnButtonUp();

    // The graph's rectangle in the page, and a band's marker centre in page
    // coordinates (false: no marker).
    QRect GraphRect() const { return graphRect_; }
    bool MarkerCentre(int band, QPoint* centre) const;
    const EqGraph& Graph() const { return *graph_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ShowBand(int band);
    // Checks the type button of type (none for a type outside 0..2).
    void ShowType(int band, int type);
    // The gain's last step, shared by the slider, the edit, the wheel.
    void SetGain(int band, int gain);
    // One Q step in the unit's delta: +1 lowers it, not below 0.4; -1 raises
    // it, not past the limit; a Q left outside 0.4 .. limit becomes 0.4.
    void StepQ(int band, int delta);
    // Stores Q x10 and the requested type, sending them when either changed.
    void StoreQ(int band, int q);
    // A stored change of band: sent, selected, drawn.
    void BandChanged(int band);
    void SelectBand(int band);
    void RedrawCurve();
    // kind << 8 | band for a band column's control (kind 1 slider,
    // 2 frequency, 3 Q, 4 gain, 5 type button); 0 for any other.
    int FindFocusedField(const QWidget* widget) const;
    void OnFocusChanged(QWidget* now);
    void ShowFileResult(const char* text);
    int QLimit(int band) const;

    int target_ = kTargetMic;
    int bandCount_ = kMaxBands;
    int graphState_ = 0;
    int selectedBand_ = -1;
    bool dragging_ = false;
    // Per band: the slider position last handled, the type asked for by the
    // type buttons (it sets Q's limit) and the type whose button is checked.
    std::array<int, kMaxBands> remembered_{};
    std::array<int, kMaxBands> requestedType_{};
    std::array<int, kMaxBands> shownType_{};

    std::unique_ptr<EqGraph> graph_;
    QRect graphRect_;
    std::array<CMySlider*, kMaxBands> sliders_{};
    std::array<QLineEdit*, kMaxBands> gainEdits_{};
    std::array<QLineEdit*, kMaxBands> qEdits_{};
    std::array<SpinButtons*, kMaxBands> qSpins_{};
    std::array<QLineEdit*, kMaxBands> freqEdits_{};
    std::array<std::array<CMyBtn*, 3>, kMaxBands> typeButtons_{};
    std::array<CMyBtn*, kTargetCount> targetButtons_{};
    std::array<QCheckBox*, kTargetCount> enableBoxes_{};
    platform::WheelNotches wheelNotches_;
    QMetaObject::Connection focusWatch_;
};
