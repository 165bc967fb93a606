// Renders the main window with each page shown, in each language, to PNG
// files in the folder named on the command line. Runs on Qt's offscreen
// platform in the program's own font; settings go to a temporary folder,
// never the user's.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QPixmap>
#include <QScrollBar>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>

#include "app/main_dialog.h"
#include "eq/band_editor.h"
#include "eq/band_panel.h"
#include "link/command_builder.h"
#include "model/param_image.h"
#include "pages/dlg_bt.h"
#include "pages/dlg_echo.h"
#include "pages/dlg_mic.h"
#include "pages/eq_page.h"
#include "platform/settings.h"
#include "platform/text_fit.h"
#include "platform/window.h"
#include "system/access_codes.h"
#include "system/dlg_learn.h"
#include "system/dlg_query.h"
#include "system/dlg_sys.h"
#include "system/dlg_wifi.h"
#include "system/mass_save_dlg.h"
#include "system/mode_files.h"

namespace {

struct Shot {
    int pageIndex;
    const char* name;
    // The boost page: the target shown and the band clicked on the graph.
    int boostTarget = -1;
    int boostBand = -1;
    // The Mic page's microphone, the Echo page's type.
    int mic = -1;
    int echoType = -1;
};
const Shot kShots[] = {
    {kPageMusic, "music"},
    {kPageMic, "mic", -1, -1, 0},
    {kPageMic, "mic2", -1, -1, 1},
    {kPageFX, "reverb"},
    {kPageEcho, "echo-mono", -1, -1, -1, 0},
    {kPageEcho, "echo-stereo", -1, -1, -1, 1},
    {kPageEcho, "echo-dual", -1, -1, -1, 2},
    {kPageMaster, "master"},
    {kPageSurl, "surround"},
    {kPageCout, "centre"},
    {kPageSW, "subwoofer"},
    {kPageSys, "system"},
    {kPageCal, "calibration"},
    {kPageBt, "boost", CDlgBt::kTargetMic, 2},
    {kPageBt, "boost-echo", CDlgBt::kTargetEcho, 1},
};

// Shows a boost target and selects a band as a click on its marker does.
void ShowBoostTarget(CQuavixDlg& dlg, const Shot& shot) {
    auto* boost = static_cast<CDlgBt*>(dlg.PageForIndex(kPageBt));
    boost->SelectTarget(shot.boostTarget);
    QPoint marker;
    if (!boost->MarkerCentre(shot.boostBand, &marker)) return;
    boost->OnLButtonDown(marker);
    boost->OnButtonUp();
}

// A few bands of every EQ set lifted or cut, a shelf, and steep pass
// filters, so that each page shows a curve, its markers and a label.
void ShapeCurves(ParamImage& image) {
    struct Shape {
        int band;
        std::int16_t gain;
        std::uint16_t q;
        std::uint8_t type;
    };
    static constexpr Shape kShapes[] = {
        {0, 60, 10, kBandTypeLowShelf},
        {1, -45, 20, kBandTypePeq},
        {2, 90, 14, kBandTypePeq},
        {4, -30, 7, kBandTypePeq},
    };
    for (int module = 0; module <= 10; ++module) {
        if (module == 4 || module == 6) continue;  // the cinema sets, below
        for (bool cinema : {false, true}) {
            const std::span<EqBand> set = EqModuleBands(image, module, cinema);
            for (const Shape& s : kShapes) {
                if (s.band + 2 >= static_cast<int>(set.size())) continue;
                EqBand& b = set[static_cast<std::size_t>(s.band)];
                b.gain = s.gain;
                b.q = s.q;
                b.type = s.type;
            }
        }
    }
    for (int target = 0; target < 4; ++target) {
        const std::span<EqBand> run = BoostRunBands(image, target);
        for (const Shape& s : kShapes) {
            if (s.band >= static_cast<int>(run.size())) continue;
            EqBand& b = run[static_cast<std::size_t>(s.band)];
            b.gain = s.gain;
            b.q = s.q;
            b.type = s.type;
        }
    }
    // Pass filters through the byte and word areas the refresh reads.
    struct Pass {
        int lpWord, lpSlope, hpWord, hpSlope;
    };
    static constexpr Pass kPasses[] = {
        {3, 8, 2, 7},     {1, 20, 0, 19},   {5, 38, 4, 37},     {9, 52, 8, 51},
        {13, 66, 12, 65}, {15, 78, 14, 77}, {17, 123, 16, 122},
    };
    for (const Pass& p : kPasses) {
        image.ParamWords[p.lpWord] = 12000;
        image.ParamBytes[p.lpSlope] = 6;
        image.ParamWords[p.hpWord] = 60;
        image.ParamBytes[p.hpSlope] = 2;
    }
    image.ParamWords[15] = 150;  // the subwoofer's low-pass, 48 dB
    image.ParamBytes[78] = 7;
    for (int word : {25, 27}) image.ParamWords[word] = 9000;
    for (int word : {24, 26}) image.ParamWords[word] = 200;
}

// The output and calibration pages away from their defaults: inverted levels,
// the widest labels, Small, a few mutes, a test signal on one output.
void ShowOutputValues(ParamImage& image) {
    auto& b = image.ParamBytes;
    b[27] = 0x80 | 60;  // master left inverted
    b[29] = 0x80 | 40;  // master mic direct inverted
    b[42] = 1;          // surround right at its lowest level
    b[155] = 0x80 | 1;  // back left
    b[33] = 0;          // threshold -50db
    b[34] = 100;        // ratio 1:100
    b[110] = 1;         // master Small
    b[111] = 1;
    image.ParamWords[34] = 2500;  // 50.00ms
    image.ParamFlags |= (1u << 1) | (1u << 6) | (1u << 4);
    b[116] = 0x80 | 99;  // calibration main left inverted, 12.0dB
    b[125] = 1;
    image.ParamWords[40] = 150;  // 15.0m
    image.PinkNoiseState = 3;
}

// The microphone and effect values with the widest labels, some inverted.
void ShowEffectValues(ParamImage& image) {
    auto& b = image.ParamBytes;
    b[14] = 1;                    // noise gate -80db
    b[12] = 0x80 | 100;           // mic 1 inverted
    b[79] = 0x80 | 100;           // reverb level inverted
    b[87] = 90;                   // repeat 90%
    b[92] = 0;                    // stereo right delay -50%
    b[93] = 0;                    // stereo right predelay -50%
    b[88] = 0x80 | 100;           // right level inverted
    image.ParamWords[28] = 5000;  // decay 5000ms
    image.ParamWords[30] = 500;   // delay 500ms
    image.ParamWords[32] = 500;   // dual right delay 500ms
    image.ParamWords[33] = 100;   // dual right predelay 100ms
}

// The microphone shown, the echo type laid out, as the page refresh does.
void ShowEffectsShot(CQuavixDlg& dlg, const Shot& shot) {
    if (shot.mic >= 0) static_cast<CDlgMic*>(dlg.PageForIndex(kPageMic))->SelectMic(shot.mic);
    if (shot.echoType >= 0) {
        dlg.Image().ParamBytes[85] = static_cast<std::uint8_t>(shot.echoType);
        static_cast<CDlgEcho*>(dlg.PageForIndex(kPageEcho))->LoadFromImage();
    }
}

bool Save(QWidget& widget, const QString& out, const QString& name);

// The Music page's band panel scrolled to its last rows, which hold the
// widest values (20000 Hz, -24.0 dB, Q 99.9), and the band editor open on
// the last of them; the image and the panel are put back afterwards.
bool ShootBands(CQuavixDlg& dlg, int language, const QString& out) {
    const ParamImage kept = dlg.Image();
    auto* page = static_cast<CEqPage*>(dlg.PageForIndex(kPageMusic));
    const std::span<EqBand> bands = page->CurrentSet();
    const int last = page->PeqCount() - 1;
    bands[static_cast<std::size_t>(last - 1)] = {0, kBandTypePeq, 20, 4, 240};
    bands[static_cast<std::size_t>(last)] = {0, kBandTypePeq, 20000, 999, -240};
    dlg.RefreshAllPages();
    dlg.SelectPage(kPageMusic);
    platform::MessageQueue::Drain();
    CDlgVS* panel = page->findChild<CDlgVS*>();
    panel->ScrollBar()->setValue(panel->ScrollBar()->maximum());
    const QString lang = language ? "zh" : "en";
    bool saved = Save(dlg, out, "music-last-bands-" + lang);
    {
        CDlgEQ editor(page, bands, page->ModuleId(), last, language);
        editor.show();
        saved = saved && Save(editor, out, "band-editor-" + lang);
    }
    panel->ScrollBar()->setValue(panel->ScrollBar()->minimum());
    dlg.Image() = kept;
    dlg.RefreshAllPages();
    platform::MessageQueue::Drain();
    return saved;
}

bool Save(QWidget& widget, const QString& out, const QString& name) {
    QApplication::processEvents();
    const QString file = QDir(out).filePath(name + ".png");
    if (widget.grab().save(file)) return true;
    std::fprintf(stderr, "snapshot: cannot write %s\n", qPrintable(file));
    return false;
}

// The WiFi set-up before and after it reached a module: a listener on
// loopback stands in for the module, so that the dialog shows its connected
// captions.
int ShootWifiSetup(platform::Window& owner, int language, const QString& out) {
    QTcpServer module;
    if (!module.listen(QHostAddress::LocalHost, 0)) {
        std::fprintf(stderr, "snapshot: no loopback listener for the WiFi module\n");
        return -1;
    }
    LinkConfig link;
    link.tcpAddress = "127.0.0.1";
    link.wifiModulePort = module.serverPort();
    CDlgWifi wifi(&owner, language, link);
    wifi.show();
    const QString lang = language ? "zh" : "en";
    if (!Save(wifi, out, "wifi-" + lang)) return -1;
    wifi.ControlAs<QAbstractButton>(CDlgWifi::kConnectId)->click();
    QElapsedTimer clock;
    clock.start();
    while (!wifi.Connected() && clock.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!wifi.Connected()) {
        std::fprintf(stderr, "snapshot: the WiFi set-up did not connect\n");
        return -1;
    }
    if (!Save(wifi, out, "wifi-connected-" + lang)) return -1;
    return 2;
}

// A few PC mode files in the folder, so that the system page lists them
// (one name in Chinese).
constexpr const char* kPcModes[] = {"Concert Hall", "Jazz Club", "KTV Room 2", "演唱会",
                                    "Rock Live"};

bool WritePcModes(const std::string& folder) {
    ParamImage image;
    InitParamImage(image);
    for (const char* name : kPcModes) {
        if (!SavePcModeFile(folder, name, image, ModeNameField(name))) {
            std::fprintf(stderr, "snapshot: cannot write the PC mode %s\n", name);
            return false;
        }
    }
    return true;
}

// A PC mode row picked as a click picks it: its name in the PC name edit.
void PickPcMode(CQuavixDlg& dlg, int row) {
    auto* sys = static_cast<CDlgSys*>(dlg.Page(kTableSys));
    sys->ControlAs<QTreeWidget>(CDlgSys::kPcModeListId)->topLevelItem(row)->setSelected(true);
    sys->OnPcModeClick(row);
}

// The mass-save picker with every listed PC mode chosen.
bool ShootMassSave(CQuavixDlg& dlg, int language, const QString& out) {
    MassSaveList list;
    CMassSaveDlg picker(&dlg, dlg.ModeFiles(), language, list);
    picker.show();
    picker.OnAddAll();
    return Save(picker, out, QString("mass-save-") + (language ? "zh" : "en"));
}

// The learn dialog with codes learned in a few slots, the longest among
// them, at 115200 baud; and the question before a filled slot is learned
// again. Both are Chinese whatever the language.
int ShootLearning(CQuavixDlg& dlg, int language, const QString& out) {
    ParamImage& image = dlg.Image();
    const ParamImage kept = image;
    image.LearnCodes[0] = LearnCode{3, 0x01, 0xAB, 0x7F};
    image.LearnCodes[9] = LearnCode{8, 0xFF, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
    image.LearnCodes[18] = LearnCode{2, 0xA5, 0x5A};
    image.LearnCodes[28] = LearnCode{1, 0x7E};
    image.BaudIndex = 9;
    const QString lang = language ? "zh" : "en";
    bool saved = false;
    CDlgLearn learn(&dlg, image);
    QTimer::singleShot(0, &learn, [&] {
        saved = Save(learn, out, "learn-" + lang);
        learn.EndModal(IDOK);
    });
    learn.DoModal();
    CDlgQuery query(&dlg);
    QTimer::singleShot(0, &query, [&] {
        saved = Save(query, out, "learn-query-" + lang) && saved;
        query.EndModal(IDOK);
    });
    query.DoModal();
    image.LearnCodes = kept.LearnCodes;
    image.BaudIndex = kept.BaudIndex;
    return saved ? 2 : -1;
}

}  // namespace

// The system page's logo controls, shown as their access code shows them,
// with two lines typed in.
void ShowLogoControls(CQuavixDlg& dlg) {
    auto* sys = static_cast<CDlgSys*>(dlg.Page(kTableSys));
    sys->OnLockNewPasswordEdit(AccessCodeText(AccessCode::kLogo));
    sys->SetItemText(CDlgSys::kLogoLine1EditId, "QUAVIX KARAOKE");
    sys->SetItemText(CDlgSys::kLogoLine2EditId, "ROOM 7");
}

// The main window in the cinema and auto kinds, each on the page the kind
// leaves shown; then back to KTV on the Music page.
bool ShootKinds(CQuavixDlg& dlg, int language, const QString& out) {
    struct Kind {
        int kind;
        const char* name;
    };
    // Cinema from the Music page, which it leaves for Master.
    dlg.SelectPage(kPageMusic);
    for (const Kind& k : {Kind{1, "kind-cinema"}, Kind{2, "kind-auto"}}) {
        dlg.Image().ParamBytes[6] = 6;  // a digital input, so auto may be chosen
        dlg.SetSystemMode(k.kind);
        platform::MessageQueue::Drain();
        if (!Save(dlg, out, QString("%1-%2").arg(k.name, language ? "zh" : "en"))) return false;
    }
    dlg.SetSystemMode(0);
    platform::MessageQueue::Drain();
    dlg.SelectPage(kPageMusic);
    platform::MessageQueue::Drain();
    return true;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: snapshot OUTPUT_FOLDER\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    platform::UseProgramFont();
    QTemporaryDir settings;
    platform::UseSettingsFolder(settings.path().toStdString());
    const QString out = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "snapshot: cannot create %s\n", argv[1]);
        return 1;
    }

    const std::string modeFolder = QDir(settings.path()).filePath("param_dir").toStdString();
    if (!WritePcModes(modeFolder)) return 1;
    CQuavixDlg dlg(modeFolder);
    dlg.OnInitDialog();
    ShapeCurves(dlg.Image());
    ShowOutputValues(dlg.Image());
    ShowEffectValues(dlg.Image());
    dlg.RefreshAllPages();
    dlg.show();
    PickPcMode(dlg, 1);
    // The Boost page and its button shown as the system page's access code
    // shows them.
    dlg.PostMessage(WM_BOOST_PAGE, 0, 1);
    ShowLogoControls(dlg);
    platform::MessageQueue::Drain();

    int written = 0;
    for (int language = 0; language < 2; ++language) {
        if (language)
            dlg.OnChinese();
        else
            dlg.OnEnglish();
        platform::MessageQueue::Drain();
        for (const Shot& shot : kShots) {
            dlg.SelectPage(shot.pageIndex);
            if (shot.boostTarget >= 0) ShowBoostTarget(dlg, shot);
            ShowEffectsShot(dlg, shot);
            platform::MessageQueue::Drain();
            app.processEvents();
            const QString file =
                QDir(out).filePath(QString("%1-%2.png").arg(shot.name, language ? "zh" : "en"));
            if (!dlg.grab().save(file)) {
                std::fprintf(stderr, "snapshot: cannot write %s\n", qPrintable(file));
                return 1;
            }
            ++written;
        }
        // The output pages once with their test boxes, which show only when
        // the unit reports no extended features.
        dlg.ApplyFeatureFlag(0);
        for (const Shot& shot : kShots) {
            if (shot.pageIndex < kPageMaster || shot.pageIndex > kPageSW) continue;
            dlg.SelectPage(shot.pageIndex);
            platform::MessageQueue::Drain();
            const QString lang = language ? "zh" : "en";
            if (!Save(dlg, out, QString("%1-test-%2").arg(shot.name, lang))) return 1;
            ++written;
        }
        dlg.ApplyFeatureFlag(1);
        if (!ShootKinds(dlg, language, out)) return 1;
        written += 2;
        if (!ShootBands(dlg, language, out)) return 1;
        written += 2;
        const int wifiShots = ShootWifiSetup(dlg, language, out);
        if (wifiShots < 0) return 1;
        written += wifiShots;
        if (!ShootMassSave(dlg, language, out)) return 1;
        ++written;
        const int learnShots = ShootLearning(dlg, language, out);
        if (learnShots < 0) return 1;
        written += learnShots;
    }
    std::printf("snapshot: %d images in %s\n", written, argv[1]);
    return 0;
}
