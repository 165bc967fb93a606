#pragma once
// The equaliser half every EQ page shares: the response graph with its grid,
// labels and band markers, dragging bands with the mouse, the wheel, EQ
// BYPASS and EQ RESET, the band panel, the pass-filter row and the (hidden)
// single-band editor, and the answers to the band editor dialog. What differs
// between the pages is one row of the EQ page table.
//
// Every change is stored in the parameter image first and then posted to the
// main window as WM_SEND_COMMAND; the command builder reads it from there.
#include <QRect>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "eq/eq_graph.h"
#include "eq/resp.h"
#include "pages/eq_page_table.h"
#include "pages/page.h"
#include "platform/wheel_notches.h"

struct ParamImage;
class CDlgVS;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class SpinButtons;

class CEqPage : public CPage {
    Q_OBJECT
public:
    // Control ids shared by every EQ page.
    static constexpr int kFocusButtonId = 1806;
    static constexpr int kBandIndexComboId = 2003;
    static constexpr int kBandTypeComboId = 2002;
    static constexpr int kFreqEditId = 2000;
    static constexpr int kFreqSpinId = 2006;
    static constexpr int kGainEditId = 2004;
    static constexpr int kGainSpinId = 2007;
    static constexpr int kQEditId = 2001;
    static constexpr int kQSpinId = 2008;
    static constexpr int kLpFreqEditId = 2005;
    static constexpr int kLpFreqSpinId = 2015;
    static constexpr int kLpSlopeComboId = 2014;
    static constexpr int kHpFreqEditId = 2018;
    static constexpr int kHpFreqSpinId = 2020;
    static constexpr int kHpSlopeComboId = 2019;
    // The graph's height; its width is the page's, within the engine's columns.
    static constexpr int kGraphHeight = 290;

    CEqPage(platform::Window* mainWindow, EqPageKind kind);
    ~CEqPage() override;

    // Hands the page (and its band panel) the parameter image it edits. Until
    // then the page edits nothing.
    void Wire(ParamImage* image) override;

    // The page refresh's share of the EQ: rebuilds the pass-filter records
    // from the byte and word areas, shows the EQ-on bit in EQ BYPASS and the
    // overlay, and fills the band panel with the current set. Sends nothing.
    virtual void LoadFromImage();
    // The refresh then lets the page draw, gives it a selection and redraws.
    void SetGraphState(int state) { graphState_ = state; }
    void EnsureSelection();
    // Recomputes and shows the curve and the selected band's label; draws
    // nothing before the first refresh.
    void RedrawCurve();

    // Event handlers, in page client coordinates.
    void OnLButtonDown(QPoint point);
    void OnRButtonDown(QPoint point);
    void OnMouseMove(QPoint point);
    void OnButtonUp();
    void OnLButtonDblClk(QPoint point);
    void OnMouseWheel(int delta);
    void OnEqBypass();
    void EqReset();
    LRESULT OnPanelBandChanged(WPARAM wParam, LPARAM lParam);
    void SetBandGainFromPos(int band, int pos);

    // The pass-filter row and the single-band editor.
    void CommitLpFreqEdit(int step);
    void CommitHpFreqEdit(int step);
    enum class BandField { kFrequency, kGain, kQ };
    void CommitBandEdit(BandField field, int step);
    void OnBandIndexSelect();
    void OnBandTypeSelect();
    void OnLpSlopeSelect();
    void OnHpSlopeSelect();
    LRESULT OnEqBandEdited(WPARAM band, LPARAM selectionOnly);
    LRESULT OnOpenEqEditor(WPARAM, LPARAM);

    void SetLanguage(int language) override;
    std::span<const PageCaption> Captions() const override { return captions_; }

    const EqPageSpec& Spec() const { return spec_; }
    int PeqCount() const { return spec_.PeqCount(); }
    int RecordsPerSet() const { return spec_.recordsPerSet; }
    int ModuleId() const { return spec_.moduleIds[moduleSlot_]; }
    // 0 in KTV; on the output pages recordsPerSet in cinema and auto.
    int SetOffset() const;
    // The shown set: PEQ bands, low-pass record, high-pass record.
    std::span<EqBand> CurrentSet() const;
    int SelectedBand() const { return resp_->selectedBand; }
    void SelectBand(int band);
    int EditorBand() const { return editorBand_; }
    int GraphState() const { return graphState_; }
    int DragMode() const { return dragMode_; }
    QRect GraphRect() const { return graphRect_; }
    const CResp& Resp() const { return *resp_; }
    const QImage& Canvas() const { return graph_->Canvas(); }
    CDlgVS* Panel() const { return panel_; }
    // The hit box's centre of a band's marker, page coordinates; false when
    // the band has no marker on the graph.
    bool MarkerCentre(int band, QPoint* centre) const;

protected:
    // Adds captions the language switch sets with the page's own (before the
    // page's first SetLanguage).
    void AddCaptions(std::span<const PageCaption> captions);
    // Which of the page's modules is shown (the microphone page: 0 mic 1,
    // 1 mic 2); reloads the panel, the bypass box and the curve.
    void SelectModuleSlot(int slot);
    int ModuleSlot() const { return moduleSlot_; }
    // The output pages' cinema set is in use (SystemMode not KTV), and the
    // flag word of the set in use; null before the page is wired.
    bool CinemaSet() const;
    std::uint32_t* FlagWord() const;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<PageCaption> captions_;

    void BuildControls();
    void DrawBandLabel(std::span<const EqBand> set);
    void ShowBand();
    void ShowBypass();
    void SyncPanel();
    int HitBand(QPoint point, int candidates) const;
    int SetIndex() const { return CinemaSet() ? 1 : 0; }
    std::uint32_t EqOnBit(int moduleId) const { return 1u << (8 + moduleId); }
    std::uint16_t* MaskWordOf(int moduleId) const;
    const PassFilterSpec& PassFor(int band) const;
    bool IsPassBand(int band) const { return band == PeqCount() || band == PeqCount() + 1; }
    // Both selects band b for an editor control: true when the selection moved.
    bool SelectFromEditor(int band);
    // Stores a pass-filter record's frequency or slope in every module of the
    // page and in its word and byte, and posts it.
    void StorePassFilter(int band, const int* frequency, const int* slope);
    void CopyPassFilterOut(int band);
    void PostPassFilter(int band);
    // While the microphones are linked, the other one takes the band's type,
    // frequency, Q and gain and its enable bit; nothing is sent for it.
    void CopyBandToLinked(int band);
    // A PEQ band changed: copy it to the linked module, then post it.
    void PostBand(int band);
    bool Linked() const;
    int OtherModule() const { return spec_.moduleIds[1 - moduleSlot_]; }
    void CommitPassFreqEdit(bool lowPass, int step);
    void OnPassSlopeSelect(bool lowPass);
    void FillCombos();
    // Gives a wheel turn over over (a control of the page, or the page and
    // its graph) to the focused control; false lets it reach over itself.
    bool RouteWheel(QWidget* over, QWheelEvent* event);

    const EqPageSpec& spec_;
    int moduleSlot_ = 0;
    std::unique_ptr<EqGraph> graph_;
    CResp* resp_;  // the graph's engine
    QRect graphRect_;
    int graphState_ = 0;
    int dragMode_ = 0;
    int dragLastX_ = 0;
    int dragLastY_ = 0;
    int editorBand_ = -1;

    CDlgVS* panel_ = nullptr;
    QCheckBox* bypassBox_ = nullptr;
    QPushButton* resetButton_ = nullptr;
    QPushButton* focusButton_ = nullptr;
    QComboBox* bandIndex_ = nullptr;
    QComboBox* bandType_ = nullptr;
    QLineEdit* freqEdit_ = nullptr;
    QLineEdit* gainEdit_ = nullptr;
    QLineEdit* qEdit_ = nullptr;
    QLineEdit* lpFreqEdit_ = nullptr;
    QLineEdit* hpFreqEdit_ = nullptr;
    QComboBox* lpSlope_ = nullptr;
    QComboBox* hpSlope_ = nullptr;
    platform::WheelNotches wheelNotches_;
};
