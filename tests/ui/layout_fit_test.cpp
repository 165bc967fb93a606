// Every text of every window shows whole at the program's font. The test
// walks the widget tree of the main window with each page shown (the Mic
// page with either microphone, the Echo page in each type, whatever the
// access codes show), of the band editor on every EQ page, of the WiFi
// set-up and of the busy box, in both languages and the three mode kinds,
// and measures each control's widest text against the room its
// style leaves for text: labels, edits (their declared widest value), push
// buttons and skinned buttons, check boxes and radio buttons, every item of
// every combo, group box titles and list headers. It also checks that no
// control reaches out of its parent or over a sibling, that controls next to
// a group box sit inside its frame, and that the band panel's rows all come
// into view when it is scrolled. A control added to any window is checked
// without being listed here.
//
// ctest runs this file a second time on a screen of 144 DPI (QT_FONT_DPI=144
// names the DPI): the program's pixel-sized font keeps the layout as it is.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "eq/band_editor.h"
#include "eq/band_panel.h"
#include "eq/my_btn.h"
#include "model/param_image.h"
#include "model/ui_text.h"
#include "pages/dlg_echo.h"
#include "pages/dlg_mic.h"
#include "pages/eq_page.h"
#include "platform/text_fit.h"
#include "platform/window.h"
#include "system/access_codes.h"
#include "system/dlg_learn.h"
#include "system/dlg_query.h"
#include "system/dlg_sys.h"
#include "system/dlg_wait.h"
#include "system/dlg_wifi.h"
#include "system/mass_save_dlg.h"

namespace {

// Walks one window's tree and collects every control whose text does not fit.
class FitCheck {
public:
    explicit FitCheck(std::string state) : state_(std::move(state)) {}

    void Walk(QWidget* root) {
        Check(root);
        for (QWidget* w : root->findChildren<QWidget*>()) {
            if (!w->isVisible() || w->isWindow() || InsideCompositeControl(w, root)) continue;
            Check(w);
        }
        for (CDlgVS* panel : root->findChildren<CDlgVS*>())
            if (panel->isVisible()) CheckPanelScroll(panel);
    }

    struct Problem {
        std::string what;
        std::string state;
    };
    const std::vector<Problem>& Problems() const { return problems_; }

private:
    // The inner widgets of Qt's own composite controls (a list's viewport and
    // scroll bars, a combo's line edit) belong to that control, which is
    // checked as a whole.
    static bool InsideCompositeControl(const QWidget* w, const QWidget* root) {
        for (const QWidget* p = w->parentWidget(); p && p != root; p = p->parentWidget()) {
            if (qobject_cast<const QAbstractScrollArea*>(p) || qobject_cast<const QComboBox*>(p))
                return true;
        }
        return false;
    }

    // "CQuavixDlg > CDlgMusic: id 1064 QLineEdit".
    static std::string Describe(const QWidget* w) {
        std::string owner;
        int id = -1;
        for (const QWidget* p = w; p; p = p->parentWidget()) {
            if (auto* window = qobject_cast<const platform::Window*>(p)) {
                if (id < 0) id = window->ControlId(w);
                const std::string name = window->objectName().toStdString();
                if (!name.empty()) owner = owner.empty() ? name : name + " > " + owner;
            }
        }
        std::string text = owner + ": ";
        if (id >= 0) text += "id " + std::to_string(id) + " ";
        text += w->metaObject()->className();
        if (!w->objectName().isEmpty()) text += " \"" + w->objectName().toStdString() + "\"";
        const QRect g = w->geometry();
        text += " at " + std::to_string(g.x()) + "," + std::to_string(g.y()) + " size " +
                std::to_string(g.width()) + "x" + std::to_string(g.height());
        return text;
    }

    void Fail(const QWidget* w, const std::string& what) {
        problems_.push_back({Describe(w) + ": " + what, state_});
    }

    // text needs `need` pixels across (or down); the control has `room`.
    void Fits(const QWidget* w, const QString& text, const char* axis, int need, int room) {
        if (need <= room) return;
        Fail(w, "\"" + text.toStdString() + "\" needs " + std::to_string(need) + " px " + axis +
                    ", has " + std::to_string(room));
    }

    static int Advance(const QWidget* w, const QString& text) {
        return QFontMetrics(w->font()).horizontalAdvance(text);
    }
    static int TextHeight(const QWidget* w) { return QFontMetrics(w->font()).height(); }

    void Check(QWidget* w) {
        if (auto* b = qobject_cast<CMyBtn*>(w)) return CheckSkinnedButton(b);
        if (auto* b = qobject_cast<QCheckBox*>(w))
            return CheckIndicatorButton(b, QStyle::SE_CheckBoxContents,
                                        QStyle::SE_CheckBoxIndicator);
        if (auto* b = qobject_cast<QRadioButton*>(w))
            return CheckIndicatorButton(b, QStyle::SE_RadioButtonContents,
                                        QStyle::SE_RadioButtonIndicator);
        if (auto* b = qobject_cast<QPushButton*>(w)) CheckPushButton(b);
        if (auto* b = qobject_cast<QToolButton*>(w)) CheckToolButton(b);
        if (auto* l = qobject_cast<QLabel*>(w)) CheckLabel(l);
        if (auto* e = qobject_cast<QLineEdit*>(w)) CheckEdit(e);
        if (auto* c = qobject_cast<QComboBox*>(w)) CheckCombo(c);
        if (auto* g = qobject_cast<QGroupBox*>(w)) CheckGroupBox(g);
        if (auto* v = qobject_cast<QTreeView*>(w)) CheckHeader(v->header());
        CheckInsideParent(w);
        CheckSiblings(w);
    }

    void CheckSkinnedButton(CMyBtn* b) {
        CheckInsideParent(b);
        CheckSiblings(b);
        const QString text = Widest(b, b->text());
        if (text.isEmpty()) return;
        const QRect room = b->TextRect();
        Fits(b, text, "across", Advance(b, text), room.width());
        Fits(b, text, "down", TextHeight(b), room.height());
    }

    void CheckIndicatorButton(QAbstractButton* b, QStyle::SubElement contents,
                              QStyle::SubElement indicator) {
        CheckInsideParent(b);
        CheckSiblings(b);
        const QString text = Widest(b, b->text());
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = text;
        const QRect mark = b->style()->subElementRect(indicator, &opt, b);
        if (!b->rect().contains(mark))
            Fail(b, "its indicator (" + std::to_string(mark.width()) + "x" +
                        std::to_string(mark.height()) + ") is cut");
        if (text.isEmpty()) return;
        const QRect room = b->style()->subElementRect(contents, &opt, b).intersected(b->rect());
        Fits(b, text, "across", Advance(b, text), room.width());
        Fits(b, text, "down", TextHeight(b), b->height());
    }

    void CheckPushButton(QPushButton* b) {
        const QString text = Widest(b, b->text());
        if (text.isEmpty()) return;
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = text;
        if (b->isFlat()) opt.features |= QStyleOptionButton::Flat;
        if (b->autoDefault() || b->isDefault())
            opt.features |= QStyleOptionButton::AutoDefaultButton;
        const QRect room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b);
        Fits(b, text, "across", Advance(b, text), room.width());
        Fits(b, text, "down", TextHeight(b), room.height());
    }

    void CheckToolButton(QToolButton* b) {
        if (b->text().isEmpty() || b->toolButtonStyle() == Qt::ToolButtonIconOnly) return;
        Fits(b, b->text(), "across", Advance(b, b->text()), b->width() - 4);
    }

    // The widest of a control's own text and the texts it declares.
    static QString Widest(const QWidget* w, const QString& shown) {
        QString widest = shown;
        for (const QString& text : platform::WidestTexts(w))
            if (Advance(w, text) > Advance(w, widest)) widest = text;
        return widest;
    }

    void CheckLabel(QLabel* l) {
        const QString text = Widest(l, l->text());
        if (text.isEmpty() || l->wordWrap()) return;
        QRect room =
            l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
        if (l->indent() > 0) room.setWidth(room.width() - l->indent());
        Fits(l, text, "across", Advance(l, text), room.width());
        Fits(l, text, "down", TextHeight(l), room.height());
    }

    void CheckEdit(QLineEdit* e) {
        const bool freeText = platform::IsFreeText(e);
        if (!freeText && platform::WidestTexts(e).isEmpty()) {
            Fail(e, "declares no widest value (platform::SetWidestText where it is created)");
            return;
        }
        // Free text scrolls; its edit still shows a line of it whole.
        const QString text = freeText ? QString("Wg") : Widest(e, e->text());
        QStyleOptionFrame opt;
        opt.initFrom(e);
        opt.rect = e->contentsRect();
        opt.lineWidth =
            e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
        opt.midLineWidth = 0;
        opt.state |= QStyle::State_Sunken;
        if (e->isReadOnly()) opt.state |= QStyle::State_ReadOnly;
        const QRect contents = e->style()
                                   ->subElementRect(QStyle::SE_LineEditContents, &opt, e)
                                   .marginsRemoved(e->textMargins());
        // The edit keeps 2 pixels each side, and the text with the cursor
        // after it and its glyphs' overhangs must fit between; past that it
        // scrolls and the first digits go.
        const QFontMetrics fm(e->font());
        const int need = fm.horizontalAdvance(text) + 1 +
                         std::max(0, -fm.leftBearing(text.front())) +
                         std::max(0, -fm.rightBearing(text.back()));
        if (!freeText) Fits(e, text, "across", need, contents.width() - 4);
        Fits(e, text, "down", fm.height(), contents.height());
    }

    void CheckCombo(QComboBox* c) {
        QStyleOptionComboBox opt;
        opt.initFrom(c);
        opt.editable = c->isEditable();
        opt.frame = c->hasFrame();
        opt.subControls = QStyle::SC_All;
        const QRect field =
            c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c);
        QString widest;
        for (int i = 0; i < c->count(); ++i)
            if (Advance(c, c->itemText(i)) > Advance(c, widest)) widest = c->itemText(i);
        if (widest.isEmpty()) return;
        // The current item is written a pixel in from each side of the field.
        Fits(c, widest, "across", Advance(c, widest), field.width() - 2);
        Fits(c, widest, "down", TextHeight(c), field.height());
    }

    void CheckGroupBox(QGroupBox* g) {
        if (!g->title().isEmpty()) {
            QStyleOptionGroupBox opt;
            opt.initFrom(g);
            opt.text = g->title();
            opt.textAlignment = g->alignment();
            opt.lineWidth = 1;
            opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
            if (g->isFlat()) opt.features |= QStyleOptionFrame::Flat;
            const QRect label =
                g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
            if (!g->rect().contains(label))
                Fail(g, "title \"" + g->title().toStdString() + "\" is cut: needs " +
                            std::to_string(label.right() + 1) + " px, has " +
                            std::to_string(g->width()));
        }
        // A control lying on the box lies within its frame, under its title.
        QWidget* parent = g->parentWidget();
        if (!parent) return;
        const QRect inside = g->contentsRect().translated(g->pos());
        for (QWidget* s : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (s == g || !s->isVisible() || s->isWindow() || qobject_cast<QGroupBox*>(s)) continue;
            if (s->geometry().intersects(g->geometry()) && !inside.contains(s->geometry()))
                Fail(s, "lies on the frame or title of group box \"" + g->title().toStdString() +
                            "\" (inside it is " + std::to_string(inside.x()) + "," +
                            std::to_string(inside.y()) + " size " + std::to_string(inside.width()) +
                            "x" + std::to_string(inside.height()) + ")");
        }
    }

    void CheckHeader(QHeaderView* h) {
        if (!h || h->isHidden()) return;
        const QAbstractItemModel* model = h->model();
        if (!model) return;
        const int margin = h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h);
        for (int i = 0; i < h->count(); ++i) {
            if (h->isSectionHidden(i)) continue;
            // The last section stretches over whatever width is left.
            if (h->stretchLastSection() && i == h->count() - 1) continue;
            const QString text = model->headerData(i, h->orientation()).toString();
            Fits(h, text, "across", Advance(h, text) + 2 * margin, h->sectionSize(i));
        }
    }

    // Scrolling panel contents are taller than the panel by design; the
    // scroll check below covers them.
    static bool Scrolls(const QWidget* w) {
        const auto* panel = qobject_cast<const CDlgVS*>(w->parentWidget());
        return panel && panel->Rows() == w;
    }

    void CheckInsideParent(QWidget* w) {
        QWidget* parent = w->parentWidget();
        if (!parent || w->isWindow() || Scrolls(w)) return;
        if (!parent->rect().contains(w->geometry()))
            Fail(w, "reaches out of its parent (" + std::to_string(parent->width()) + "x" +
                        std::to_string(parent->height()) + ")");
    }

    // Visible siblings do not overlap; a group box is a frame around others
    // and is checked by CheckGroupBox.
    void CheckSiblings(QWidget* w) {
        QWidget* parent = w->parentWidget();
        if (!parent || w->isWindow() || Scrolls(w) || qobject_cast<QGroupBox*>(w)) return;
        for (QWidget* s : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (s == w || !s->isVisible() || s->isWindow() || Scrolls(s) ||
                qobject_cast<QGroupBox*>(s))
                continue;
            // Each pair once.
            if (parent->children().indexOf(s) < parent->children().indexOf(w)) continue;
            if (s->geometry().intersects(w->geometry())) Fail(w, "overlaps " + Describe(s));
        }
    }

    // Each row control of the band panel is whole within the panel, clear of
    // its scroll bar, at the top of the range or at the bottom.
    void CheckPanelScroll(CDlgVS* panel) {
        QScrollBar* bar = panel->ScrollBar();
        const int viewWidth = panel->width() - (bar->isVisible() ? bar->width() : 0);
        const int kept = bar->value();
        std::vector<QWidget*> rows;
        for (QWidget* w : panel->Rows()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w->isVisible()) rows.push_back(w);
        bar->setValue(bar->minimum());
        for (QWidget* w : rows) {
            const QRect r = w->geometry().translated(panel->Rows()->pos());
            if (r.top() < 0 || r.right() >= viewWidth)
                Fail(w, "lies outside the band panel or under its scroll bar");
        }
        bar->setValue(bar->maximum());
        for (QWidget* w : rows) {
            const QRect r = w->geometry().translated(panel->Rows()->pos());
            if (r.bottom() >= panel->height())
                Fail(w, "stays below the band panel scrolled to its end (bottom " +
                            std::to_string(r.bottom()) + ", panel height " +
                            std::to_string(panel->height()) + ")");
        }
        bar->setValue(kept);
    }

    std::string state_;
    std::vector<Problem> problems_;
};

struct State {
    int language;
    int systemMode;  // 0 KTV, 1 cinema, 2 auto
    int features;    // the unit's extended features flag
    const char* name;
};
constexpr State kStates[] = {
    {kLanguageEnglish, 0, 1, "English, KTV"},
    {kLanguageEnglish, 1, 0, "English, cinema, no extended features"},
    {kLanguageEnglish, 2, 1, "English, auto"},
    {kLanguageChinese, 0, 1, "Chinese, KTV"},
    {kLanguageChinese, 1, 0, "Chinese, cinema, no extended features"},
    {kLanguageChinese, 2, 1, "Chinese, auto"},
};

// A page that lays itself out by a value shows other controls for each:
// the microphone shown, the echo type.
struct PageLayout {
    int page;
    const char* name;
    void (*show)(CQuavixDlg& dlg);
};
void ShowEchoType(CQuavixDlg& dlg, std::uint8_t type) {
    dlg.Image().ParamBytes[85] = type;
    static_cast<CDlgEcho*>(dlg.PageForIndex(kPageEcho))->LoadFromImage();
}
const PageLayout kPageLayouts[] = {
    {kPageMic, "Mic 1",
     [](CQuavixDlg& d) { static_cast<CDlgMic*>(d.PageForIndex(kPageMic))->SelectMic(0); }},
    {kPageMic, "Mic 2",
     [](CQuavixDlg& d) { static_cast<CDlgMic*>(d.PageForIndex(kPageMic))->SelectMic(1); }},
    {kPageEcho, "mono", [](CQuavixDlg& d) { ShowEchoType(d, 0); }},
    {kPageEcho, "stereo", [](CQuavixDlg& d) { ShowEchoType(d, 1); }},
    {kPageEcho, "dual", [](CQuavixDlg& d) { ShowEchoType(d, 2); }},
};

// Each problem once, with the states it was seen in.
class Problems {
public:
    void Add(const FitCheck& check) {
        for (const FitCheck::Problem& p : check.Problems()) {
            auto it = std::find_if(seen_.begin(), seen_.end(),
                                   [&p](const Seen& s) { return s.what == p.what; });
            if (it == seen_.end()) {
                seen_.push_back({p.what, {p.state}});
            } else if (std::find(it->states.begin(), it->states.end(), p.state) ==
                       it->states.end()) {
                it->states.push_back(p.state);
            }
        }
    }
    bool Empty() const { return seen_.empty(); }
    std::string Text() const {
        std::string text = std::to_string(seen_.size()) + " controls do not fit:\n";
        for (const Seen& s : seen_) {
            text += s.what + "\n    seen in: " + s.states.front();
            if (s.states.size() > 1)
                text += " and " + std::to_string(s.states.size() - 1) + " more";
            text += "\n";
        }
        return text;
    }

private:
    struct Seen {
        std::string what;
        std::vector<std::string> states;
    };
    std::vector<Seen> seen_;
};

// Every window in every state, checked; the problems found.
Problems CheckEveryWindow() {
    QTemporaryDir folder;
    LinkConfig link;
    link.tcpAddress = "127.0.0.1";
    link.tcpPort = 9;  // never connected: nobody presses Connect here
    CQuavixDlg dlg(QDir(folder.path()).filePath("param_dir").toStdString(), link);
    dlg.OnInitDialog();
    dlg.show();
    // Whatever the access codes show (the Boost page and its button, the
    // logo controls, the WiFi button) is shown throughout.
    auto* sys = static_cast<CDlgSys*>(dlg.PageForIndex(kPageSys));
    for (AccessCode code : {AccessCode::kBoost, AccessCode::kLogo, AccessCode::kWifi})
        sys->OnLockNewPasswordEdit(AccessCodeText(code));
    platform::MessageQueue::Drain();

    Problems problems;
    auto take = [&problems](const FitCheck& check) { problems.Add(check); };
    for (const State& state : kStates) {
        dlg.Image().ParamBytes[kSystemModeByte] = static_cast<std::uint8_t>(state.systemMode);
        dlg.ApplyFeatureFlag(state.features);
        dlg.RefreshAllPages();
        dlg.OnSetLanguage(1, state.language);
        platform::MessageQueue::Drain();

        for (int page = 0; page < kPageButtonCount; ++page) {
            if (!dlg.PageForIndex(page)) continue;
            dlg.SelectPage(page);
            platform::MessageQueue::Drain();
            const std::string where = std::string(state.name) + ", page " + std::to_string(page);
            FitCheck check(where);
            check.Walk(&dlg);
            take(check);
            for (const PageLayout& layout : kPageLayouts) {
                if (layout.page != page) continue;
                layout.show(dlg);
                platform::MessageQueue::Drain();
                FitCheck laid(where + ", " + layout.name);
                laid.Walk(&dlg);
                take(laid);
            }
        }

        // The band editor over every EQ page, on a PEQ row and on both pass
        // rows (their slope lists differ from the type list).
        for (int page = kPageMusic; page <= kPageSW; ++page) {
            auto* eqPage = qobject_cast<CEqPage*>(dlg.PageForIndex(page));
            if (!eqPage) continue;
            dlg.SelectPage(page);
            for (int row : {0, eqPage->PeqCount(), eqPage->PeqCount() + 1}) {
                CDlgEQ editor(eqPage, eqPage->CurrentSet(), eqPage->ModuleId(), row,
                              state.language);
                editor.show();
                FitCheck check(std::string(state.name) + ", band editor row " +
                               std::to_string(row));
                check.Walk(&editor);
                take(check);
            }
        }
    }

    // A modal dialog walked inside its own loop.
    auto walkModal = [&take](auto& dialog, const std::string& name) {
        FitCheck check(name);
        QTimer::singleShot(0, &dialog, [&dialog, &check] {
            check.Walk(&dialog);
            dialog.EndModal(IDOK);
        });
        dialog.DoModal();
        take(check);
    };

    // The WiFi set-up, not connected (its Connect button declares its
    // Disconnect caption).
    for (int language : {kLanguageEnglish, kLanguageChinese}) {
        CDlgWifi wifi(&dlg, language, link);
        wifi.show();
        FitCheck check("WiFi set-up, language " + std::to_string(language));
        check.Walk(&wifi);
        take(check);
    }

    // The mass-save picker with a name in each list.
    for (int language : {kLanguageEnglish, kLanguageChinese}) {
        MassSaveList list;
        CMassSaveDlg picker(&dlg, {"Stage 1", "Stage 2"}, language, list);
        picker.show();
        picker.OnAddAll();
        FitCheck check("mass-save picker, language " + std::to_string(language));
        check.Walk(&picker);
        take(check);
    }

    // The learn dialog with the longest code in every slot, and the question
    // before a filled slot is learned again (both Chinese in either language).
    ParamImage& image = dlg.Image();
    for (LearnCode& code : image.LearnCodes)
        code = LearnCode{8, 0xDD, 0xDD, 0xDD, 0xDD, 0xDD, 0xDD, 0xDD, 0xDD};
    CDlgLearn learn(&dlg, image);
    walkModal(learn, "learn dialog");
    ClearLearnArea(image);
    CDlgQuery query(&dlg);
    walkModal(query, "learn question");

    // The busy box with each of its texts.
    for (int language : {kLanguageEnglish, kLanguageChinese}) {
        for (int mode : {CDlgWait::kConnecting, CDlgWait::kLoading, CDlgWait::kSaving}) {
            CDlgWait box(&dlg);
            box.SetMode(mode);
            box.SetLanguage(language);
            walkModal(box, "busy box mode " + std::to_string(mode) + ", language " +
                               std::to_string(language));
        }
    }
    platform::MessageQueue::Drain();
    return problems;
}

}  // namespace

// The layouts are measured in the faces the set-up installs; a machine
// without them would show (and test) another font.
TEST(LayoutFit, ProgramFontFacesAreInstalled) {
    EXPECT_EQ(QFontInfo(platform::ProgramFont()).family().toStdString(), "DejaVu Sans");
    QFont chinese("WenQuanYi Micro Hei");
    chinese.setPixelSize(platform::kProgramFontPixels);
    EXPECT_EQ(QFontInfo(chinese).family().toStdString(), "WenQuanYi Micro Hei");
}

TEST(LayoutFit, EveryTextFitsItsControlInBothLanguages) {
    // The run on a 144 DPI desktop measures at that DPI: a platform that
    // ignored the setting would pass it without testing anything.
    if (const int asked = qEnvironmentVariableIntValue("QT_FONT_DPI")) {
        ASSERT_EQ(QGuiApplication::primaryScreen()->logicalDotsPerInch(), asked);
    }
    const Problems problems = CheckEveryWindow();
    EXPECT_TRUE(problems.Empty()) << problems.Text();
}

// A desktop that sets a large font for the whole application and for single
// control classes changes nothing: the program's own font replaces both.
TEST(LayoutFit, ProgramFontReplacesA12PointDesktopFont) {
    const QFont kept = QApplication::font();
    QFont desktop("DejaVu Serif", 12);
    QApplication::setFont(desktop);
    for (const char* cls : {"QLabel", "QLineEdit", "QComboBox", "QAbstractButton", "QGroupBox"})
        QApplication::setFont(desktop, cls);
    platform::UseProgramFont();
    EXPECT_EQ(QApplication::font().pixelSize(), platform::kProgramFontPixels);
    const Problems problems = CheckEveryWindow();
    EXPECT_TRUE(problems.Empty()) << problems.Text();
    QApplication::setFont(kept);
}
