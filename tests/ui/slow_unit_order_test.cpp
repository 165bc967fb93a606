// The order of what reaches the unit when the user is quicker than a WiFi
// unit answers: the main window connected to the emulator over loopback
// TCP, the unit holding each reply back, the controls driven as the user
// drives them, and the frames the emulator got. Every request the window
// handed over arrives, in the order handed over; a waiting change leaves
// the line only for a newer value of its own control, which goes last, and
// never across a mode select, an echo type, a kind switch or a test signal;
// what comes during a mode upload follows it; a second upload is never mixed
// into the first; and the unit ends holding what the window shows.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "link/link_sequencer.h"
#include "link/param_block.h"
#include "model/messages.h"
#include "pages/dlg_cal.h"
#include "pages/dlg_echo.h"
#include "support/case_name.h"
#include "support/connected_main.h"
#include "support/device_block_layout.h"
#include "support/scripted_prompts.h"
#include "support/user_input.h"
#include "support/wire_payloads.h"
#include "system/dlg_sys.h"

namespace {

using blocktest::Bytes;
using testsupport::BytesPayload;
using testsupport::EchoPayload;
using testsupport::Head;
using testsupport::Hex;
using testsupport::MicPayload;
using testsupport::MusicPayload;
using testsupport::OutputChannelPayload;
using Payload = Bytes (*)(const ParamImage&);

// A WiFi unit's answer: 15 link ticks of 20 ms, 300 ms after each request.
constexpr int kWifiLateTicks = 15;
// About 150 ms: two uploads' frames overlap within a user's two clicks.
constexpr int kUploadLateTicks = 8;
// Long enough for a whole mode upload of 17 frames answered 300 ms late.
constexpr int kUploadWaitMs = 30000;

constexpr int kSystemButton = 1815, kEchoButton = 1811, kCalButton = 1814;
constexpr int kStatusId = 1002;
constexpr int kModeRecordFrames = 15;  // 0x42 frames of one 890-byte record

Bytes EffectPayload(const ParamImage& i) { return BytesPayload(i, {2}); }

Bytes BlockOf(const ParamImage& image) {
    Bytes block(kDeviceParamBlockSize);
    PackDeviceParamBlock(image, block.data());
    return block;
}

// The codes in order, each run of block reads as one.
Bytes Codes(const std::vector<emu::Command>& sent) {
    Bytes codes;
    for (const emu::Command& c : sent)
        if (codes.empty() || codes.back() != c.code || c.code != 0x40) codes.push_back(c.code);
    return codes;
}

// The codes of one whole mode upload: start, the record's data, end.
Bytes UploadCodes() {
    Bytes codes{0x41};
    codes.insert(codes.end(), kModeRecordFrames, 0x42);
    codes.push_back(0x43);
    return codes;
}

const emu::Command* LastOf(const std::vector<emu::Command>& sent, std::uint8_t code) {
    for (auto it = sent.rbegin(); it != sent.rend(); ++it)
        if (it->code == code) return &*it;
    return nullptr;
}

// The thumb of a slider held with the left button and moved a few pixels
// at a time: a slow drag, with the window handling every move before the
// next.
class ThumbDrag {
public:
    ThumbDrag(CMySlider* slider, bool towardMax)
        : slider_(slider),
          toward_((slider->PixelAtMax() >= slider->PixelAtMin()) == towardMax ? 1 : -1),
          along_(slider->ThumbPixel() + 3) {
        Send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    }
    ~ThumbDrag() { Send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton); }
    ThumbDrag(const ThumbDrag&) = delete;
    ThumbDrag& operator=(const ThumbDrag&) = delete;

    void Move(int pixels) {
        along_ += toward_ * pixels;
        Send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
        platform::MessageQueue::Drain();
    }

private:
    void Send(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held) {
        const QPointF p = slider_->Vertical() ? QPointF(slider_->width() / 2, along_)
                                              : QPointF(along_, slider_->height() / 2);
        QMouseEvent e(type, p, slider_->mapToGlobal(p), button, held, Qt::NoModifier);
        QApplication::sendEvent(slider_, &e);
    }

    CMySlider* slider_;
    int toward_;
    int along_;
};

class SlowUnitOrder : public ::testing::Test {
public:
    // Connects over WIFI to a unit holding image, waits for the block read to
    // end, then has the unit hold every reply back for ticks link ticks.
    void ConnectLate(const ParamImage& image, int ticks) {
        unit.Connect(BlockOf(image));
        if (HasFatalFailure()) return;
        ASSERT_TRUE(linktest::WaitFor(
            [&] { return !Dlg().Link().Sequencer().BlockRead().InProgress() && Quiet(); }, 10000));
        emu::Knobs knobs = unit.device.GetKnobs();
        knobs.delayTicks = ticks;
        unit.device.SetKnobs(knobs);
    }
    CQuavixDlg& Dlg() { return *unit.dlg; }
    CDlgSys& Sys() { return *static_cast<CDlgSys*>(Dlg().Page(kTableSys)); }

    // Nothing posted, nothing waiting for the link and no reply due: every
    // request the window handed over has been answered by the unit.
    bool Quiet() {
        const DeviceLink& link = Dlg().Link();
        return platform::MessageQueue::Pending() == 0 && link.Sequencer().Waiting() == 0 &&
               !link.ReplyPending();
    }
    void WaitQuiet(int timeoutMs = kUploadWaitMs) {
        ASSERT_TRUE(linktest::WaitFor([&] { return Quiet(); }, timeoutMs))
            << "waiting: " << Hex(Dlg().Link().Sequencer().WaitingCodes());
    }

    // Keys typed on the main window, each handled before the next.
    void Type(const char* keys) {
        for (const char* k = keys; *k != '\0'; ++k) {
            QTest::keyClick(unit.dlg.get(), *k);
            platform::MessageQueue::Drain();
        }
    }
    void ShowPage(int button) {
        Dlg().ControlAs<CMyBtn>(button)->click();
        platform::MessageQueue::Drain();
    }
    void ClickOnSystemPage(int id) {
        QTest::mouseClick(Sys().ControlAs<QAbstractButton>(id), Qt::LeftButton);
    }
    void TypeInto(int editId, const std::string& text) {
        QLineEdit* edit = Sys().ControlAs<QLineEdit>(editId);
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit, QString::fromStdString(text));
    }

    // The image saved as a PC mode on the System page, and its row picked for
    // Upload To Equipment.
    void SaveToPcAndPickIt() {
        Dlg().show();
        ShowPage(kSystemButton);
        TypeInto(CDlgSys::kPcNameEditId, "Late");
        ClickOnSystemPage(CDlgSys::kSaveToPcId);
        platform::MessageQueue::Drain();
        auto* list = Sys().ControlAs<QTreeWidget>(CDlgSys::kPcModeListId);
        ASSERT_EQ(list->topLevelItemCount(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->topLevelItem(0)).center());
        prompts.Clear();
    }

    testsupport::ScriptedPrompts prompts;
    testsupport::ConnectedMain unit;
};

// KTV, every main volume at 40 under maxima of 99.
ParamImage KtvVolumes() {
    ParamImage image;
    InitParamImage(image);
    image.ParamBytes[kSystemModeByte] = 0;
    for (int b : {0, 1, 2}) image.ParamBytes[static_cast<std::size_t>(b)] = 40;
    image.ParamBytes[4] = 99;
    image.ParamBytes[11] = 99;
    return image;
}

// The main window's volume columns and their nudge keys: A and Q move the
// music down and up, S and W the microphone, D and E the effect.
struct VolumeColumn {
    int volumeByte;  // in the KTV kind
    int sliderId, valueId;
    std::uint8_t code;
    Payload payload;
};
const VolumeColumn kColumns[] = {
    {0, 1003, 1076, 0x02, MusicPayload},
    {1, 1004, 1077, 0x05, MicPayload},
    {2, 1075, 1078, 0x09, EffectPayload},
};
struct NudgeKey {
    char key;
    int column;
    int step;
};
constexpr NudgeKey kNudgeKeys[] = {{'a', 0, -1}, {'q', 0, +1}, {'s', 1, -1},
                                   {'w', 1, +1}, {'d', 2, -1}, {'e', 2, +1}};

// Keys typed within a quarter second, all before the unit's first answer.
struct KeyBurst {
    const char* what;
    const char* keys;
    Bytes codes;  // as they reach the unit
};
void PrintTo(const KeyBurst& c, std::ostream* os) { *os << c.what; }

// The first key's frame goes at once; each later one waits behind it, and a
// newer value of a waiting column drops the older one and goes last.
const KeyBurst kKeyBursts[] = {
    {"MusicMusicMicMusicEffect", "qqwqd", {0x02, 0x05, 0x02, 0x09}},
    {"MusicUpAndBackTwice", "qaqa", {0x02, 0x02}},
    {"EffectMicMusicMicEffect", "dwqwd", {0x09, 0x02, 0x05, 0x09}},
    {"EveryColumnBothWays", "wqesadwq", {0x05, 0x09, 0x05, 0x02}},
};

class SlowUnitOrderKeys : public SlowUnitOrder, public ::testing::WithParamInterface<KeyBurst> {};

}  // namespace

TEST_P(SlowUnitOrderKeys, EachVolumeArrivesWithTheValueTheWindowShows) {
    const KeyBurst& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(ConnectLate(KtvVolumes(), kWifiLateTicks));
    int expected[3] = {40, 40, 40};
    bool pressed[3] = {false, false, false};
    for (const char* k = c.keys; *k != '\0'; ++k) {
        const auto* key = std::find_if(std::begin(kNudgeKeys), std::end(kNudgeKeys),
                                       [&](const NudgeKey& n) { return n.key == *k; });
        ASSERT_NE(key, std::end(kNudgeKeys)) << *k;
        expected[key->column] += key->step;
        pressed[key->column] = true;
    }
    const std::size_t mark = unit.Mark();
    Type(c.keys);
    ASSERT_NO_FATAL_FAILURE(WaitQuiet());

    const std::vector<emu::Command> sent = unit.RequestsSince(mark);
    EXPECT_EQ(Hex(Codes(sent)), Hex(c.codes));
    for (int column = 0; column < 3; ++column) {
        const VolumeColumn& v = kColumns[column];
        SCOPED_TRACE(v.sliderId);
        const int value = Dlg().Image().ParamBytes[static_cast<std::size_t>(v.volumeByte)];
        EXPECT_EQ(value, expected[column]);
        EXPECT_EQ(Dlg().ControlAs<CMySlider>(v.sliderId)->Value(), 99 - expected[column]);
        EXPECT_EQ(Dlg().ItemText(v.valueId), std::to_string(expected[column]));
        const emu::Command* last = LastOf(sent, v.code);
        if (!pressed[column]) {
            EXPECT_EQ(last, nullptr);
            continue;
        }
        ASSERT_NE(last, nullptr) << "no frame of the column reached the unit";
        const Bytes payload = v.payload(Dlg().Image());
        EXPECT_EQ(Hex(Head(last->data, payload.size())), Hex(payload));
    }
    blocktest::ExpectImageHoldsBlock(Dlg().Image(), unit.device.Block());
    EXPECT_EQ(unit.device.Overlaps(), 0);
    EXPECT_EQ(unit.device.WrongLengths(), 0);
}

INSTANTIATE_TEST_SUITE_P(SlowUnitOrder, SlowUnitOrderKeys, ::testing::ValuesIn(kKeyBursts),
                         testsupport::CaseName<KeyBurst>);

namespace {

// A mode upload started by the user and a music change made while it runs:
// the slot it goes to and the record it must store, as the image held it
// when the upload began.
struct StartedUpload {
    int slot = -1;
    Bytes record;
};
struct UploadWithChange {
    const char* what;
    StartedUpload (*start)(SlowUnitOrder&);
};
void PrintTo(const UploadWithChange& c, std::ostream* os) { *os << c.what; }

// Save stores into the user mode picked, under the typed name. The busy box
// opens behind the click; the key typed with the click comes in while it
// is up, with the upload under way.
StartedUpload SaveAndTypeAhead(SlowUnitOrder& t) {
    constexpr int kSlot = 5;
    t.ShowPage(kSystemButton);
    testsupport::Choose(t.Sys().ControlAs<QComboBox>(CDlgSys::kUserModeComboId), kSlot);
    t.TypeInto(CDlgSys::kModeNameEditId, "LATE");
    ParamImage atStart = t.Dlg().Image();
    const std::string name = "LATE            ";
    std::copy(name.begin(), name.end(), atStart.CurrentModeName.begin());
    t.ClickOnSystemPage(CDlgSys::kSaveId);
    QTest::keyClick(t.unit.dlg.get(), 'q');
    return {kSlot, blocktest::ModeRecordFromImage(atStart)};
}

// Upload To Equipment stores the picked PC mode into the unit's current
// slot; the key comes with a third of the record sent.
StartedUpload UploadFromPcMidTransfer(SlowUnitOrder& t) {
    t.SaveToPcAndPickIt();
    if (::testing::Test::HasFatalFailure()) return {};
    const int slot = t.Dlg().Image().CurrentModeSlot;
    const int dataFrames = t.unit.device.CountOf(0x42);
    t.ClickOnSystemPage(CDlgSys::kUploadToEquipmentId);
    platform::MessageQueue::Drain();
    EXPECT_TRUE(linktest::WaitFor(
        [&] { return t.unit.device.CountOf(0x42) >= dataFrames + kModeRecordFrames / 3; },
        kUploadWaitMs));
    StartedUpload started{slot, blocktest::ModeRecordFromImage(t.Dlg().Image())};
    t.Type("q");
    return started;
}

const UploadWithChange kUploadsWithChange[] = {
    {"SaveOnTheSystemPage", SaveAndTypeAhead},
    {"UploadToEquipment", UploadFromPcMidTransfer},
};

class SlowUnitOrderDuringUpload : public SlowUnitOrder,
                              public ::testing::WithParamInterface<UploadWithChange> {};

}  // namespace

TEST_P(SlowUnitOrderDuringUpload, AChangeMadeDuringTheUploadFollowsItWhole) {
    ASSERT_NO_FATAL_FAILURE(ConnectLate(KtvVolumes(), kWifiLateTicks));
    const std::size_t mark = unit.Mark();
    const StartedUpload started = GetParam().start(*this);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(linktest::WaitFor([&] { return unit.device.Mode(started.slot).has_value(); },
                                  kUploadWaitMs));
    ASSERT_NO_FATAL_FAILURE(WaitQuiet());

    const std::vector<emu::Command> sent = unit.RequestsSince(mark);
    Bytes expected = UploadCodes();
    expected.push_back(0x02);
    EXPECT_EQ(Hex(Codes(sent)), Hex(expected));
    EXPECT_TRUE(unit.device.UploadErrors().empty());
    EXPECT_EQ(Hex(unit.device.Mode(started.slot)->record), Hex(started.record));
    // The change reached the unit after the upload, with the window's value.
    EXPECT_EQ(Dlg().Image().ParamBytes[0], 41);
    EXPECT_EQ(Dlg().ItemText(1076), "41");
    const emu::Command* music = LastOf(sent, 0x02);
    ASSERT_NE(music, nullptr);
    const Bytes payload = MusicPayload(Dlg().Image());
    EXPECT_EQ(Hex(Head(music->data, payload.size())), Hex(payload));
    EXPECT_EQ(unit.device.Overlaps(), 0);
    EXPECT_EQ(unit.device.WrongLengths(), 0);
}

INSTANTIATE_TEST_SUITE_P(SlowUnitOrder, SlowUnitOrderDuringUpload, ::testing::ValuesIn(kUploadsWithChange),
                         testsupport::CaseName<UploadWithChange>);

namespace {

// A request that keeps its turn, asked for while a change of the same page
// waits for the unit: the change goes first, with the value it was made
// with.
struct ChangeThenRequest {
    const char* what;
    int pageButton;
    PageTableSlot page;
    int sliderId;
    Qt::Key key;
    std::uint8_t changeCode;
    Payload payload;
    void (*request)(SlowUnitOrder&);
    Bytes codes;  // as they reach the unit, each run of block reads as one
};
void PrintTo(const ChangeThenRequest& c, std::ostream* os) { *os << c.what; }

const ChangeThenRequest kChangesThenRequests[] = {
    // The music start volume, then Recall of another user mode: the unit
    // answers the select and the window reads its block back.
    {"StartVolumeThenRecall",
     kSystemButton,
     kTableSys,
     1081,
     Qt::Key_Right,
     0x02,
     MusicPayload,
     [](SlowUnitOrder& t) {
         testsupport::Choose(t.Sys().ControlAs<QComboBox>(CDlgSys::kUserModeComboId), 6);
         t.ClickOnSystemPage(CDlgSys::kRecallId);
     },
     {0x02, 0x02, 0x01, 0x3F, 0x40}},
    // The echo repeat, then the dual type picked.
    {"EchoRepeatThenEchoType",
     kEchoButton,
     kTableEcho,
     1222,
     Qt::Key_Left,
     0x0D,
     EchoPayload,
     [](SlowUnitOrder& t) {
         testsupport::Choose(t.Dlg().Page(kTableEcho)->ControlAs<QComboBox>(CDlgEcho::kTypeComboId),
                             2);
     },
     {0x0D, 0x0D, 0x3A}},
};

class SlowUnitOrderBeforeRequest : public SlowUnitOrder,
                               public ::testing::WithParamInterface<ChangeThenRequest> {};

}  // namespace

TEST_P(SlowUnitOrderBeforeRequest, TheWaitingChangeGoesFirst) {
    const ChangeThenRequest& c = GetParam();
    ParamImage image;
    InitParamImage(image);
    image.ParamBytes[kSystemModeByte] = 0;
    image.ParamBytes[3] = 30;   // music start volume
    image.ParamBytes[85] = 1;   // stereo echo
    image.ParamBytes[87] = 45;  // echo repeat
    ASSERT_NO_FATAL_FAILURE(ConnectLate(image, kWifiLateTicks));
    ShowPage(c.pageButton);
    const std::size_t mark = unit.Mark();
    // The first step goes at once; the second waits for its answer.
    testsupport::SliderKey(*Dlg().Page(c.page), c.sliderId, c.key);
    testsupport::SliderKey(*Dlg().Page(c.page), c.sliderId, c.key);
    ASSERT_EQ(Hex(Dlg().Link().Sequencer().WaitingCodes()), Hex(Bytes{c.changeCode}));
    const Bytes changed = c.payload(Dlg().Image());
    c.request(*this);
    platform::MessageQueue::Drain();
    ASSERT_NO_FATAL_FAILURE(WaitQuiet());

    const std::vector<emu::Command> sent = unit.RequestsSince(mark);
    EXPECT_EQ(Hex(Codes(sent)), Hex(c.codes));
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(Hex(Head(sent[1].data, changed.size())), Hex(changed));
    blocktest::ExpectImageHoldsBlock(Dlg().Image(), unit.device.Block());
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_EQ(unit.device.Overlaps(), 0);
    EXPECT_EQ(unit.device.WrongLengths(), 0);
}

INSTANTIATE_TEST_SUITE_P(SlowUnitOrder, SlowUnitOrderBeforeRequest,
                         ::testing::ValuesIn(kChangesThenRequests),
                         testsupport::CaseName<ChangeThenRequest>);

// The speaker walk of the calibration page while the user drags a level
// slowly through it: each walk step (every 5 s, stepped here as the page's
// timer steps it) reaches the unit in its turn, with the level's newest
// value between the steps; no step gives its place to the level.
TEST_F(SlowUnitOrder, EveryStepOfTheSpeakerWalkReachesTheUnitDuringALevelDrag) {
    ParamImage image;
    InitParamImage(image);
    image.ParamBytes[kSystemModeByte] = 1;
    image.ParamBytes[116] = 30;  // Main L level
    ASSERT_NO_FATAL_FAILURE(ConnectLate(image, kWifiLateTicks));
    ShowPage(kCalButton);
    auto& cal = *static_cast<CDlgCal*>(Dlg().Page(kTableCal));
    ASSERT_EQ(Dlg().CurrentPage(), kPageCal);
    const std::uint8_t walk[] = {1, 5, 2, 4, 3, 6, 0};  // Main L, Center, ..., LFE, off

    const std::size_t mark = unit.Mark();
    cal.ControlAs<CMyBtn>(CDlgCal::kRotateButtonId)->click();
    platform::MessageQueue::Drain();
    ASSERT_TRUE(cal.Walking());
    std::vector<Bytes> levels;  // the level's frame as each stretch of the drag leaves it
    {
        ThumbDrag drag(cal.Slider(1876), true);
        int level = image.ParamBytes[116];
        for (std::size_t step = 1; step < std::size(walk); ++step) {
            drag.Move(3);
            drag.Move(3);
            const int now = Dlg().Image().ParamBytes[116] & 0x7F;
            ASSERT_GT(now, level) << "the drag moved the level";
            level = now;
            levels.push_back(OutputChannelPayload(Dlg().Image(), 0));
            cal.OnTimer(TIMER_CAL_WALK);
            platform::MessageQueue::Drain();
        }
    }
    ASSERT_FALSE(cal.Walking());
    ASSERT_NO_FATAL_FAILURE(WaitQuiet());

    const std::vector<emu::Command> sent = unit.RequestsSince(mark);
    Bytes expected;
    for (std::size_t k = 0; k < std::size(walk); ++k) {
        expected.push_back(0x1B);
        if (k < levels.size()) expected.push_back(0x0E);
    }
    ASSERT_EQ(Hex(Codes(sent)), Hex(expected));
    for (std::size_t k = 0; k < std::size(walk); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(Hex(Head(sent[2 * k].data, 1)), Hex(Bytes{walk[k]}));
        if (k < levels.size()) {
            EXPECT_EQ(Hex(Head(sent[2 * k + 1].data, levels[k].size())), Hex(levels[k]));
        }
    }
    EXPECT_EQ(unit.device.Overlaps(), 0);
    EXPECT_EQ(unit.device.WrongLengths(), 0);
}

namespace {

// A kind button clicked while a change of the old kind waits, and a change
// made at once after it: the old kind's change keeps its form and its
// place, the kind switch follows, and the new change comes last, in the new
// kind's form (never merged into the old one across the switch).
struct KindThenChange {
    const char* what;
    int fromKind;
    int kindButton;
    int toKind;
    void (*change)(SlowUnitOrder&);
    std::uint8_t code;
    Payload payload;
    std::size_t length;  // the new change's data field on the wire
};
void PrintTo(const KindThenChange& c, std::ostream* os) { *os << c.what; }

const KindThenChange kKindsThenChanges[] = {
    {"KtvToCinemaThenMusicKey", 0, 1821, 1, [](SlowUnitOrder& t) { t.Type("q"); }, 0x02, MusicPayload,
     5},
    {"CinemaToKtvThenMusicKey", 1, 1820, 0, [](SlowUnitOrder& t) { t.Type("q"); }, 0x02, MusicPayload,
     13},
    // The microphone key moves nothing in the cinema kind.
    {"CinemaToKtvThenMicKey", 1, 1820, 0, [](SlowUnitOrder& t) { t.Type("w"); }, 0x05, MicPayload, 9},
    // The cinema kind's music frame, with the HDMI1 input.
    {"KtvToCinemaThenHdmi1Input", 0, 1821, 1,
     [](SlowUnitOrder& t) {
         QTest::mouseClick(t.Dlg().ControlAs<QAbstractButton>(1828), Qt::LeftButton);
         platform::MessageQueue::Drain();
     },
     0x02, MusicPayload, 5},
    // Outside auto the OPTI input would be a music frame.
    {"KtvToAutoThenOptiInput", 0, 1834, 2,
     [](SlowUnitOrder& t) {
         QTest::mouseClick(t.Dlg().ControlAs<QAbstractButton>(1827), Qt::LeftButton);
         platform::MessageQueue::Drain();
     },
     0x06, [](const ParamImage&) { return Bytes{1}; }, 2},
};

class SlowUnitOrderKindSwitch : public SlowUnitOrder,
                            public ::testing::WithParamInterface<KindThenChange> {};

}  // namespace

TEST_P(SlowUnitOrderKindSwitch, TheSwitchGoesFirstThenTheChangeInTheNewKindsForm) {
    const KindThenChange& c = GetParam();
    ParamImage image = KtvVolumes();
    image.ParamBytes[kSystemModeByte] = static_cast<std::uint8_t>(c.fromKind);
    image.ParamBytes[6] = 5;  // COAX: the auto kind may be chosen
    image.ParamBytes[108] = 0;
    image.ParamBytes[109] = 40;
    image.ParamBytes[149] = 99;
    ASSERT_NO_FATAL_FAILURE(ConnectLate(image, kWifiLateTicks));
    ASSERT_EQ(Dlg().KindRadioIndex(), c.fromKind);
    const std::size_t mark = unit.Mark();
    Type("qq");
    ASSERT_EQ(Hex(Dlg().Link().Sequencer().WaitingCodes()), Hex(Bytes{0x02}));
    const Bytes oldKind = MusicPayload(Dlg().Image());

    QTest::mouseClick(Dlg().ControlAs<QAbstractButton>(c.kindButton), Qt::LeftButton);
    c.change(*this);
    platform::MessageQueue::Drain();
    ASSERT_NO_FATAL_FAILURE(WaitQuiet());

    ASSERT_EQ(Dlg().Image().ParamBytes[kSystemModeByte], c.toKind);
    const std::vector<emu::Command> sent = unit.RequestsSince(mark);
    ASSERT_EQ(Hex(Codes(sent)), Hex(Bytes{0x02, 0x02, 0x3D, c.code}));
    EXPECT_EQ(Hex(Head(sent[1].data, oldKind.size())), Hex(oldKind));
    EXPECT_EQ(sent[1].data.size(), sent[0].data.size()) << "both in the old kind's form";
    EXPECT_EQ(Hex(Head(sent[2].data, 1)), Hex(Bytes{static_cast<std::uint8_t>(c.toKind)}));
    const Bytes payload = c.payload(Dlg().Image());
    EXPECT_EQ(Hex(Head(sent[3].data, payload.size())), Hex(payload));
    EXPECT_EQ(sent[3].data.size(), c.length);
    EXPECT_EQ(unit.device.Overlaps(), 0);
    EXPECT_EQ(unit.device.WrongLengths(), 0);
}

INSTANTIATE_TEST_SUITE_P(SlowUnitOrder, SlowUnitOrderKindSwitch, ::testing::ValuesIn(kKindsThenChanges),
                         testsupport::CaseName<KindThenChange>);

namespace {

// Two controls whose frames carry the same byte, used in turn while the line
// waits: the first, the second, the first again. The first one's older
// frame leaves the line and its newer one goes after the second's, so the
// unit ends on the value the window shows, not on the one the second frame
// still carried.
struct SharedByte {
    const char* what;
    int kind;
    void (*use)(SlowUnitOrder&);
    Bytes codes;  // as they reach the unit, after the toggle that holds the line
    // The panel holds what the last control set.
    bool (*holds)(const ParamImage&);
};
void PrintTo(const SharedByte& c, std::ostream* os) { *os << c.what; }

constexpr int kMusicButton = 1545;
constexpr int kFirstToggle = 1841;
constexpr int kHdmi1Audio = 1828, kHdmi2Audio = 1829, kInputCombo = 1859;
constexpr int kMusicEqBypass = 1079;
constexpr std::uint32_t kDanceModeFlag = 1u << 27;

void Click(platform::Window& window, int id) {
    QTest::mouseClick(window.ControlAs<QAbstractButton>(id), Qt::LeftButton);
    platform::MessageQueue::Drain();
}

const SharedByte kSharedBytes[] = {
    // In the auto kind the input buttons send 06, the combo the music frame
    // 02, which carries the audio input (byte 108) and the video input
    // (byte 154) too.
    {"AutoInputButtonsAroundAComboPick",
     2,
     [](SlowUnitOrder& t) {
         Click(t.Dlg(), kHdmi1Audio);
         testsupport::Choose(t.Dlg().ControlAs<QComboBox>(kInputCombo), 1);  // OPTI
         platform::MessageQueue::Drain();
         Click(t.Dlg(), kHdmi2Audio);
     },
     {0x38, 0x02, 0x06},
     [](const ParamImage& i) { return i.ParamBytes[108] == 3 && i.ParamBytes[154] == 1; }},
    // The dance-mode switch sends 22 with bit 27 of the flag word, which the
    // music EQ's bypass sends whole with 0F.
    {"DanceModeAroundAnEqBypass",
     0,
     [](SlowUnitOrder& t) {
         t.ShowPage(kSystemButton);
         t.ClickOnSystemPage(CDlgSys::kSwAutoId);
         platform::MessageQueue::Drain();
         t.ShowPage(kMusicButton);
         Click(*t.Dlg().Page(kTableMusic), kMusicEqBypass);
         t.ShowPage(kSystemButton);
         t.ClickOnSystemPage(CDlgSys::kSwManualId);
         platform::MessageQueue::Drain();
     },
     {0x38, 0x0F, 0x22},
     [](const ParamImage& i) { return (i.ParamFlags & kDanceModeFlag) == 0; }},
};

class SlowUnitOrderSharedByte : public SlowUnitOrder,
                                public ::testing::WithParamInterface<SharedByte> {};

}  // namespace

TEST_P(SlowUnitOrderSharedByte, TheUnitEndsHoldingWhatTheWindowShows) {
    const SharedByte& c = GetParam();
    ParamImage image;
    InitParamImage(image);
    image.ParamBytes[kSystemModeByte] = static_cast<std::uint8_t>(c.kind);
    image.ParamBytes[6] = 5;  // COAX in every set
    image.ParamBytes[108] = 0;
    image.ParamBytes[153] = image.ParamBytes[154] = 0;
    image.ParamFlags &= ~kDanceModeFlag;
    ASSERT_NO_FATAL_FAILURE(ConnectLate(image, kWifiLateTicks));
    Dlg().show();
    const std::size_t mark = unit.Mark();
    Click(Dlg(), kFirstToggle);  // goes at once: what follows waits for its answer
    c.use(*this);
    ASSERT_EQ(Dlg().Link().Sequencer().Waiting(), 2u)
        << "the line held them: " << Hex(Dlg().Link().Sequencer().WaitingCodes());
    ASSERT_TRUE(c.holds(Dlg().Image()));
    ASSERT_NO_FATAL_FAILURE(WaitQuiet());

    EXPECT_EQ(Hex(Codes(unit.RequestsSince(mark))), Hex(c.codes));
    blocktest::ExpectImageHoldsBlock(Dlg().Image(), unit.device.Block());
    EXPECT_EQ((unit.device.Header()[7] >> 1) & 7, Dlg().Image().MainToggleBits);
    EXPECT_EQ(unit.device.Overlaps(), 0);
    EXPECT_EQ(unit.device.WrongLengths(), 0);
}

INSTANTIATE_TEST_SUITE_P(SlowUnitOrder, SlowUnitOrderSharedByte, ::testing::ValuesIn(kSharedBytes),
                         testsupport::CaseName<SharedByte>);

namespace {

// Upload To Equipment clicked again while its first upload runs, after this
// many of the first record's data frames reached the unit.
struct SecondUpload {
    const char* what;
    int afterDataFrames;
};
void PrintTo(const SecondUpload& c, std::ostream* os) { *os << c.what; }

const SecondUpload kSecondUploads[] = {
    {"AtOnce", 0},
    {"MidRecord", kModeRecordFrames / 2},
    {"AfterTheLastData", kModeRecordFrames},
};

class SlowUnitOrderTwoUploads : public SlowUnitOrder, public ::testing::WithParamInterface<SecondUpload> {};

constexpr const char* kUploadRunning = "Not sent: an upload to the equipment is still running";

}  // namespace

// The unit stores the first upload whole and the user is told the second
// was not sent, the panel left as it was; no frame of a second upload ever
// lands among the first's, and the status line says "OK" once for each
// request the unit answered, never for one it did not get.
TEST_P(SlowUnitOrderTwoUploads, TheSecondIsRefusedInABoxAndTheFirstGoesWhole) {
    const SecondUpload& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(ConnectLate(KtvVolumes(), kUploadLateTicks));
    ASSERT_NO_FATAL_FAILURE(SaveToPcAndPickIt());
    const int slot = Dlg().Image().CurrentModeSlot;
    std::vector<std::string> statuses;
    auto show = Dlg().Link().hooks.statusText;
    Dlg().Link().hooks.statusText = [&statuses, show](const std::string& text) {
        statuses.push_back(text);
        show(text);
    };
    const std::size_t mark = unit.Mark();

    ClickOnSystemPage(CDlgSys::kUploadToEquipmentId);
    platform::MessageQueue::Drain();
    ASSERT_TRUE(Dlg().Link().Sequencer().UploadUnderWay());
    ASSERT_TRUE(linktest::WaitFor([&] { return unit.device.CountOf(0x42) >= c.afterDataFrames; },
                                  kUploadWaitMs));
    ASSERT_EQ(unit.device.CountOf(0x43), 0) << "the first upload still runs";
    const ParamImage panel = Dlg().Image();
    ClickOnSystemPage(CDlgSys::kUploadToEquipmentId);
    platform::MessageQueue::Drain();
    EXPECT_EQ(Hex(blocktest::ModeRecordFromImage(Dlg().Image())),
              Hex(blocktest::ModeRecordFromImage(panel)))
        << "the refused upload loads nothing";
    ASSERT_TRUE(
        linktest::WaitFor([&] { return unit.device.Mode(slot).has_value(); }, 2 * kUploadWaitMs));
    ASSERT_NO_FATAL_FAILURE(WaitQuiet(2 * kUploadWaitMs));

    const std::vector<emu::Command> sent = unit.RequestsSince(mark);
    const std::vector<std::string> texts = prompts.Texts();
    const int refusals = static_cast<int>(std::count(texts.begin(), texts.end(), kUploadRunning));
    const int uploads = unit.device.CountOf(0x43);
    EXPECT_EQ(uploads, 1);
    EXPECT_EQ(refusals, 1);
    EXPECT_EQ(Hex(Codes(sent)), Hex(UploadCodes()));
    EXPECT_TRUE(unit.device.UploadErrors().empty());
    EXPECT_EQ(unit.device.WrongLengths(), 0);
    EXPECT_EQ(unit.device.Overlaps(), 0);
    EXPECT_EQ(unit.device.BadFrames(), 0);
    ASSERT_TRUE(unit.device.Mode(slot).has_value());
    EXPECT_TRUE(unit.device.Mode(slot)->fromFile);
    EXPECT_EQ(Hex(unit.device.Mode(slot)->record),
              Hex(blocktest::ModeRecordFromImage(Dlg().Image())));

    // Keep-alives included: each answer the unit gave shows one "OK".
    const std::size_t answered = unit.device.Requests().size() - mark;
    EXPECT_EQ(static_cast<std::size_t>(std::count(statuses.begin(), statuses.end(), "OK")),
              answered);
    EXPECT_EQ(Dlg().ItemText(kStatusId), "OK");
}

INSTANTIATE_TEST_SUITE_P(SlowUnitOrder, SlowUnitOrderTwoUploads, ::testing::ValuesIn(kSecondUploads),
                         testsupport::CaseName<SecondUpload>);
