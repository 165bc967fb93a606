// The Echo page's own controls: the sliders of each echo type, the layout
// the type lays out, the type combo offline and while connected, captions;
// then the wait for the unit's answer to a type change through the main
// window and the emulator: timed from the request's write, ended only by
// its own answer, cut short by a request the link does not take, a PC mode
// loaded or a block read meanwhile, and an earlier request that another
// frame completed and the unit never answered.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <functional>
#include <memory>

#include "eq/band_editor.h"
#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "link/command_codes.h"
#include "link/link_sequencer.h"
#include "link/link_status.h"
#include "model/param_image.h"
#include "model/ui_text.h"
#include "pages/dlg_echo.h"
#include "support/connected_main.h"
#include "support/modal_script.h"
#include "support/page_fixture.h"
#include "support/scripted_prompts.h"
#include "support/user_input.h"
#include "support/wire_payloads.h"
#include "system/dlg_sys.h"
#include "system/dlg_wait.h"
#include "system/mode_files.h"

namespace {

using testsupport::Commands;

constexpr int kMono = 0, kStereo = 1, kDual = 2;

class EchoPage : public testsupport::PageFixture<CDlgEcho> {
protected:
    void SetUp() override {
        page.SetLinkQuery([this] { return connected; });
        PageFixture::SetUp();
    }
    void Refresh(int type) {
        image.ParamBytes[85] = static_cast<std::uint8_t>(type);
        page.LoadFromImage();
    }
    QComboBox* Type() { return page.ControlAs<QComboBox>(CDlgEcho::kTypeComboId); }
    void Choose(int index) { testsupport::Choose(Type(), index); }
    // A pick while connected, as the main window handles its request: the
    // link takes it under this number (0: not yet).
    void Ask(int type, int request) {
        connected = true;
        Choose(type);
        EXPECT_EQ(main.Take(), (Commands{{58, static_cast<unsigned>(type)}}));
        if (request) page.OnTypeRequestTaken(request);
    }
    bool Timed() { return page.HasTimer(CDlgEcho::kTypeAnswerTimer); }
    CMySlider* Slider(int id) { return page.ControlAs<CMySlider>(id); }
    bool Shown(int id) { return page.Control(id)->isVisibleTo(&page); }

    bool connected = false;
};

}  // namespace

TEST_F(EchoPage, EachSliderStoresWhereTheTypeSaysShowsItsLabelAndSendsCode13) {
    struct Case {
        int type;
        SliderStep step;
    };
    const Case cases[] = {
        {kMono, {1228, true, 31, 0, Qt::Key_Right, 1, 1229, "1ms"}},
        {kMono, {1220, true, 30, 2, Qt::Key_Left, 1, 1221, "1ms"}},
        {kMono, {1224, false, 86, 0x80 | 100, Qt::Key_Left, 0x80 | 99, 1225, "99"}},
        {kMono, {1222, false, 87, 89, Qt::Key_Right, 90, 1223, "90%"}},
        {kMono, {1232, false, 91, 0x80, Qt::Key_Right, 0x81, 1235, "1"}},
        {kStereo, {1226, false, 92, 50, Qt::Key_Right, 51, 1227, "1%"}},
        {kStereo, {1233, false, 93, 1, Qt::Key_Left, 0, 1237, "-50%"}},
        {kDual, {1226, true, 32, 499, Qt::Key_Right, 500, 1227, "500ms"}},
        {kDual, {1233, true, 33, 0, Qt::Key_Right, 1, 1237, "1ms"}},
        {kDual, {1218, false, 88, 0x80 | 5, Qt::Key_Right, 0x80 | 6, 1219, "6"}},
        {kDual, {1234, false, 89, 60, Qt::Key_Left, 59, 1239, "59%"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type));
        image.ParamBytes[85] = static_cast<std::uint8_t>(c.type);
        const ParamImage before = image;
        ExpectSliderStep(c.step, 13);
        // Nothing else moved: in stereo the words 32 / 33 stay, otherwise the
        // bytes 92 / 93.
        for (int w : {32, 33}) {
            if (c.step.word && w == c.step.index) continue;
            EXPECT_EQ(image.ParamWords[w], before.ParamWords[w]) << w;
        }
        for (int b : {92, 93}) {
            if (!c.step.word && b == c.step.index) continue;
            EXPECT_EQ(image.ParamBytes[b], before.ParamBytes[b]) << b;
        }
    }
}

TEST_F(EchoPage, TheTypeLaysOutTheRightRowsRangesAndLeftCaptions) {
    struct Case {
        int type;
        bool level, delay, predelay, repeat;
        int delayMin, delayMax;
        const char* captions[4];  // 1465, 1466, 1467, 1469
    };
    const Case cases[] = {
        {kMono,
         false,
         false,
         false,
         false,
         1,
         500,
         {"Echo Delay", "Echo Repeat", "Echo Eff Level", "Echo Predelay"}},
        {kStereo,
         false,
         true,
         true,
         false,
         0,
         100,
         {"Echo Left Delay", "Echo Repeat", "Echo Eff Level", "Echo Predelay"}},
        {kDual,
         true,
         true,
         true,
         true,
         1,
         500,
         {"Echo Left Delay", "Echo Left Ch Repeat", "Echo Eff L Level", "Echo Left Ch Predelay"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        Refresh(c.type);
        EXPECT_EQ(page.LaidOutType(), c.type);
        EXPECT_EQ(Type()->currentIndex(), c.type);
        for (int id : {1470, 1219, 1218, 1853}) EXPECT_EQ(Shown(id), c.level) << id;
        for (int id : {1468, 1227, 1226}) EXPECT_EQ(Shown(id), c.delay) << id;
        for (int id : {1472, 1237, 1233}) EXPECT_EQ(Shown(id), c.predelay) << id;
        for (int id : {1474, 1239, 1234}) EXPECT_EQ(Shown(id), c.repeat) << id;
        EXPECT_EQ(Slider(1226)->Min(), c.delayMin);
        EXPECT_EQ(Slider(1226)->Max(), c.delayMax);
        EXPECT_EQ(Slider(1233)->Max(), 100);
        const int ids[4] = {1465, 1466, 1467, 1469};
        for (int k = 0; k < 4; ++k) EXPECT_EQ(page.ItemText(ids[k]), c.captions[k]) << ids[k];
        // Liveliness is never shown.
        for (int id : {1471, 1230, 1231}) EXPECT_FALSE(Shown(id)) << id;
    }
    EXPECT_TRUE(main.Take().empty());
}

TEST_F(EchoPage, OfflineATypeLoadsTheDefaultsAndReLaysSendingNothing) {
    Refresh(kMono);
    image.ParamBytes[86] = 3;
    image.ParamWords[30] = 444;
    Choose(kStereo);
    EXPECT_EQ(image.ParamBytes[85], kStereo);
    const int bytes[] = {228, 60, 228, 60, 40, 0, 50, 50};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(image.ParamBytes[86 + k], bytes[k]) << 86 + k;
    const int words[] = {200, 0, 200, 0};
    for (int k = 0; k < 4; ++k) EXPECT_EQ(image.ParamWords[30 + k], words[k]) << 30 + k;
    EXPECT_EQ(page.LaidOutType(), kStereo);
    EXPECT_FALSE(Shown(1218));
    EXPECT_FALSE(Shown(1234));
    EXPECT_EQ(page.ItemText(1227), "0%");
    EXPECT_EQ(page.ItemText(1237), "0%");
    EXPECT_EQ(page.ItemText(1221), "200ms");
    EXPECT_EQ(page.ControlAs<CMyBtn>(1852)->text(), "-");

    Choose(kDual);
    EXPECT_TRUE(Shown(1218));
    EXPECT_EQ(page.ItemText(1227), "200ms");
    EXPECT_EQ(Slider(1226)->Value(), 200);
    EXPECT_EQ(Slider(1226)->Max(), 500);
    // The type already held does nothing.
    image.ParamBytes[87] = 11;
    Choose(kDual);
    EXPECT_EQ(image.ParamBytes[87], 11);
    EXPECT_TRUE(main.Take().empty());
}

// The defaults move the sliders, and with them the positions the page
// remembers: a move back to the position handled before still counts.
TEST_F(EchoPage, AMoveBackAfterATypeChangeIsNotSwallowed) {
    Refresh(kMono);
    image.ParamWords[30] = 200;
    page.LoadFromImage();
    testsupport::SliderKey(page, 1220, Qt::Key_Right);  // 201
    main.Take();
    Choose(kStereo);  // delay back to 200
    EXPECT_EQ(Slider(1220)->Value(), 200);
    testsupport::SliderKey(page, 1220, Qt::Key_Right);
    EXPECT_EQ(image.ParamWords[30], 201);
    EXPECT_EQ(page.ItemText(1221), "201ms");
    EXPECT_EQ(main.Take(), (Commands{{13, 0}}));
}

TEST_F(EchoPage, ConnectedATypeAsksTheUnitAloneAndTakesNoInputUntilTheAnswer) {
    Refresh(kStereo);
    const ParamImage before = image;
    Ask(kDual, 0);
    // The image keeps the type its values belong to until the answer.
    EXPECT_EQ(image.ParamBytes[85], kStereo);
    EXPECT_EQ(Type()->currentIndex(), kDual);
    EXPECT_TRUE(page.AwaitingType());
    EXPECT_FALSE(page.isEnabled());
    // The layout, and the field of the right delay, stay stereo's.
    EXPECT_EQ(page.LaidOutType(), kStereo);
    EXPECT_EQ(Slider(1226)->Max(), 100);
    EXPECT_FALSE(Shown(1218));
    page.PostMessage(WM_SLIDER_POS, 1226, 90);
    EXPECT_TRUE(main.Take().empty());
    EXPECT_EQ(image.ParamBytes[92], before.ParamBytes[92]);
    EXPECT_EQ(image.ParamWords[32], before.ParamWords[32]);

    // Taken by the link, the request may still wait in its line: the wait
    // is timed only from its write.
    page.OnTypeRequestTaken(4);
    EXPECT_FALSE(Timed());
    page.OnTypeRequestWritten();
    EXPECT_TRUE(Timed());
    EXPECT_TRUE(page.AwaitingType());

    // The answer: the type and the unit's values for it.
    image.ParamBytes[85] = kDual;
    image.ParamWords[32] = 321;
    page.OnTypeAnswer(image.ParamBytes[85], 4);
    EXPECT_FALSE(page.AwaitingType());
    EXPECT_FALSE(Timed());
    EXPECT_TRUE(page.isEnabled());
    EXPECT_EQ(page.LaidOutType(), kDual);
    EXPECT_EQ(page.ItemText(1227), "321ms");
    EXPECT_TRUE(main.Take().empty());
}

// Only the answer to the request the wait is for ends it: an answer to an
// earlier request (whose wait ran out), one nothing asked for, or any answer
// before the link has numbered the wait's request leaves the page closed
// and laid out as it was, the combo on the type asked for.
TEST_F(EchoPage, OnlyTheAnswerToTheWaitsOwnRequestEndsIt) {
    struct Case {
        const char* what;
        int taken;     // the wait's request number, 0: not taken yet
        int answered;  // the number the stray answer carries
    };
    const Case cases[] = {
        {"an earlier request's", 7, 6},
        {"one nothing asked for", 7, 0},
        {"before the wait's own is taken", 0, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        connected = false;
        Refresh(kStereo);
        Ask(kDual, c.taken);
        page.OnTypeRequestWritten();
        image.ParamBytes[85] = kMono;  // what the stray answer stored
        page.OnTypeAnswer(kMono, c.answered);
        EXPECT_TRUE(page.AwaitingType());
        EXPECT_FALSE(page.isEnabled());
        EXPECT_TRUE(Timed());
        EXPECT_EQ(page.LaidOutType(), kStereo);
        EXPECT_EQ(Type()->currentIndex(), kDual);

        if (c.taken == 0) page.OnTypeRequestTaken(8);
        const int own = c.taken ? c.taken : 8;
        image.ParamBytes[85] = kDual;
        page.OnTypeAnswer(kDual, own);
        EXPECT_FALSE(page.AwaitingType());
        EXPECT_TRUE(page.isEnabled());
        EXPECT_EQ(page.LaidOutType(), kDual);
        EXPECT_EQ(Type()->currentIndex(), kDual);
        EXPECT_TRUE(main.Take().empty());
    }
}

// Without a wait an answer is the unit's word all the same: the page lays
// out the type the image holds.
TEST_F(EchoPage, AnAnswerWithoutAWaitLaysOutItsType) {
    Refresh(kStereo);
    image.ParamBytes[85] = kDual;
    page.OnTypeAnswer(kDual, 3);
    EXPECT_EQ(page.LaidOutType(), kDual);
    EXPECT_EQ(Type()->currentIndex(), kDual);
    EXPECT_TRUE(page.isEnabled());
    EXPECT_TRUE(main.Take().empty());
}

// A request the link did not take will never be answered: the page opens at
// once on the image's type. A refusal of another request once the wait's
// own is taken is not the wait's.
TEST_F(EchoPage, ARefusedRequestOpensThePageAtOnce) {
    Refresh(kMono);
    Ask(kStereo, 0);
    page.OnTypeRequestRefused();
    EXPECT_FALSE(page.AwaitingType());
    EXPECT_TRUE(page.isEnabled());
    EXPECT_FALSE(Timed());
    EXPECT_EQ(Type()->currentIndex(), kMono);
    EXPECT_EQ(page.LaidOutType(), kMono);
    EXPECT_EQ(image.ParamBytes[85], kMono);

    Ask(kDual, 2);
    page.OnTypeRequestRefused();
    EXPECT_TRUE(page.AwaitingType());
    EXPECT_FALSE(page.isEnabled());
    EXPECT_EQ(Type()->currentIndex(), kDual);
    EXPECT_TRUE(main.Take().empty());
}

// A cancel lays out what the image holds: its type as before the pick, or
// the type an earlier request's answer stored during the wait.
TEST_F(EchoPage, ACancelledTypeChangeLaysOutTheImagesType) {
    struct Case {
        const char* what;
        int imageType;  // when the wait is given up
        bool rightLevelShown;
    };
    const Case cases[] = {
        {"image kept", kMono, false},
        {"an earlier answer stored dual", kDual, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        connected = false;
        Refresh(kMono);
        Ask(kStereo, 1);
        image.ParamBytes[85] = static_cast<std::uint8_t>(c.imageType);
        page.CancelTypeChange();
        EXPECT_EQ(Type()->currentIndex(), c.imageType);
        EXPECT_EQ(page.LaidOutType(), c.imageType);
        EXPECT_EQ(Shown(1218), c.rightLevelShown);
        EXPECT_FALSE(page.AwaitingType());
        EXPECT_TRUE(page.isEnabled());
        EXPECT_EQ(image.ParamBytes[85], c.imageType);
    }
    // With nothing waiting it does nothing.
    image.ParamBytes[85] = kStereo;
    page.CancelTypeChange();
    EXPECT_EQ(Type()->currentIndex(), kDual);
    EXPECT_EQ(page.LaidOutType(), kDual);
    EXPECT_TRUE(main.Take().empty());
}

// A whole-image refresh while the answer is awaited (a block read, a mode
// file, a boost read) lays out the image's own type over its own values; the
// page stays closed with the combo on the type asked for, and the answer
// lays out the type it brings.
TEST_F(EchoPage, ARefreshDuringTheWaitShowsTheImageAndTheAnswerStillLaysOut) {
    struct Case {
        const char* what;
        int imageType;
        int rightDelayMax;
        bool rightDelayShown;
        const char* rightDelayLabel;  // of the field the type lays out
    };
    const Case cases[] = {
        {"image kept", kStereo, 100, true, "20%"},
        {"image replaced by a mono one", kMono, 500, false, "250ms"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        connected = false;
        image.ParamBytes[92] = 70;
        image.ParamWords[32] = 250;
        Refresh(kStereo);
        Ask(kDual, 5);

        Refresh(c.imageType);
        EXPECT_TRUE(page.AwaitingType());
        EXPECT_FALSE(page.isEnabled());
        EXPECT_EQ(page.LaidOutType(), c.imageType);
        EXPECT_EQ(Type()->currentIndex(), kDual);
        EXPECT_EQ(Slider(1226)->Max(), c.rightDelayMax);
        EXPECT_EQ(Shown(1226), c.rightDelayShown);
        EXPECT_EQ(page.ItemText(1227), c.rightDelayLabel);
        EXPECT_EQ(image.ParamBytes[85], c.imageType);

        image.ParamBytes[85] = kDual;
        image.ParamWords[32] = 321;
        page.OnTypeAnswer(kDual, 5);
        EXPECT_FALSE(page.AwaitingType());
        EXPECT_TRUE(page.isEnabled());
        EXPECT_EQ(page.LaidOutType(), kDual);
        EXPECT_EQ(Type()->currentIndex(), kDual);
        EXPECT_EQ(page.ItemText(1227), "321ms");
        testsupport::SliderKey(page, 1226, Qt::Key_Right);
        EXPECT_EQ(image.ParamWords[32], 322);
        EXPECT_EQ(image.ParamBytes[92], 70);
        EXPECT_EQ(main.Take(), (Commands{{13, 0}}));
    }
}

// A tick of the page's own timer, as the platform delivers it.
struct EchoTimerTick : CDlgEcho {
    static void Fire(CDlgEcho& page, int id) {
        void (CDlgEcho::*onTimer)(int) = &EchoTimerTick::OnTimer;
        (page.*onTimer)(id);
    }
};

TEST_F(EchoPage, AnAnswerThatNeverComesGivesUpAndReturnsToTheLaidOutType) {
    Refresh(kMono);
    Ask(kStereo, 1);
    ASSERT_TRUE(page.AwaitingType());
    EXPECT_FALSE(Timed());
    page.OnTypeRequestWritten();
    EXPECT_TRUE(Timed());
    EchoTimerTick::Fire(page, CDlgEcho::kTypeAnswerTimer);
    EXPECT_FALSE(page.AwaitingType());
    EXPECT_FALSE(Timed());
    EXPECT_EQ(image.ParamBytes[85], kMono);
    EXPECT_EQ(Type()->currentIndex(), kMono);
    EXPECT_TRUE(page.isEnabled());
    // A write after the wait has ended times nothing.
    page.OnTypeRequestWritten();
    EXPECT_FALSE(Timed());
    EXPECT_TRUE(main.Take().empty());
}

// An editor asked for just before a pick would open during the wait, and
// the pass filters edited in it would follow the type request with the old
// type; once the wait is over it opens.
TEST_F(EchoPage, NoBandEditorOpensDuringAWait) {
    Refresh(kMono);
    Ask(kStereo, 1);
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (auto* editor = qobject_cast<CDlgEQ*>(QApplication::activeModalWidget())) {
            opened = true;
            editor->close();
        }
    });
    page.PostMessage(WM_OPEN_EQ_EDITOR);
    platform::MessageQueue::Drain();
    QApplication::processEvents();
    EXPECT_FALSE(opened);

    page.OnTypeAnswer(kMono, 1);
    const auto ran = testsupport::WhenModal<CDlgEQ>([](CDlgEQ&) {});
    page.PostMessage(WM_OPEN_EQ_EDITOR);
    platform::MessageQueue::Drain();
    EXPECT_TRUE(*ran);
    EXPECT_TRUE(main.Take().empty());
}

TEST_F(EchoPage, ATypeOutsideTheListKeepsTheLayoutAndSelectsNothing) {
    Refresh(kDual);
    image.ParamWords[32] = 250;
    image.ParamBytes[92] = 10;
    Refresh(5);
    EXPECT_EQ(page.LaidOutType(), kDual);
    EXPECT_EQ(Type()->currentIndex(), -1);
    EXPECT_EQ(Slider(1226)->Value(), 250);
    EXPECT_EQ(page.ItemText(1227), "250ms");
    EXPECT_EQ(page.ItemText(1465), "Echo Left Delay");
    EXPECT_EQ(image.ParamBytes[85], 5);
    EXPECT_TRUE(main.Take().empty());
}

TEST_F(EchoPage, ALanguageSwitchRecaptionsAndRefillsKeepingTheSelection) {
    Refresh(kDual);
    page.SetLanguage(1);
    EXPECT_EQ(Type()->currentIndex(), kDual);
    EXPECT_EQ(Type()->currentText().toStdString(), "双回声");
    EXPECT_EQ(page.ItemText(1469), UiText(1, 79));
    EXPECT_EQ(page.ItemText(1470), UiText(1, 194));
    Refresh(7);
    page.SetLanguage(0);
    EXPECT_EQ(Type()->currentIndex(), -1);
    EXPECT_EQ(Type()->itemText(0).toStdString(), "mono");
    EXPECT_EQ(page.ItemText(1469), "Echo Left Ch Predelay");
    EXPECT_TRUE(main.Take().empty());
}

// ---- The wait through the main window, with the emulator as the unit ------

namespace {

using blocktest::Bytes;

// A unit holding the start-up defaults with this echo type.
Bytes UnitBlock(int echoType) {
    ParamImage image;
    InitParamImage(image);
    image.ParamBytes[85] = static_cast<std::uint8_t>(echoType);
    Bytes block(kDeviceParamBlockSize);
    PackDeviceParamBlock(image, block.data());
    return block;
}

// The echo type's fields, the type and eight bytes from 85 and four words
// from 30, as the block holds them and as the image does.
Bytes EchoFieldsOfBlock(const Bytes& block) {
    Bytes f;
    for (std::size_t at = 85; at < 94; ++at) f.push_back(block.at(at));
    for (std::size_t at = 159 + 2 * 30; at < 159 + 2 * 34; ++at) f.push_back(block.at(at));
    return f;
}
Bytes EchoFieldsOfImage(const ParamImage& image) {
    Bytes f(image.ParamBytes.begin() + 85, image.ParamBytes.begin() + 94);
    for (int w = 30; w < 34; ++w) testsupport::Put16(f, image.ParamWords[w]);
    return f;
}

// The cases' own steps reach the fixture through a reference to it.
class EchoWaitOnUnit : public ::testing::Test {
public:
    // A new main window, emulator and mode folder, for a case of its own.
    void Fresh() {
        unit_.reset();
        unit_ = std::make_unique<testsupport::ConnectedMain>();
    }
    testsupport::ConnectedMain& Unit() { return *unit_; }
    CQuavixDlg& Dlg() { return *unit_->dlg; }
    CDlgEcho& Echo() { return *static_cast<CDlgEcho*>(Dlg().Page(kTableEcho)); }
    QComboBox* Type() { return Echo().ControlAs<QComboBox>(CDlgEcho::kTypeComboId); }
    void Pick(int type) {
        testsupport::Choose(Type(), type);
        platform::MessageQueue::Drain();
    }
    // Every reply of the emulator held back this many 20 ms ticks.
    void Hold(int ticks) {
        emu::Knobs knobs;
        knobs.delayTicks = ticks;
        unit_->device.SetKnobs(knobs);
    }
    bool Timed() { return Echo().HasTimer(CDlgEcho::kTypeAnswerTimer); }
    // A key on the slider sends the image's echo settings, type first, as
    // the one frame that reaches the unit.
    void ExpectSliderSendsTheType(int sliderId, int type) {
        const std::size_t mark = unit_->Mark();
        testsupport::SliderKey(Echo(), sliderId, Qt::Key_Right);
        const std::vector<emu::Command> after = unit_->SettledRequestsSince(mark);
        ASSERT_EQ(after.size(), 1u);
        EXPECT_EQ(after[0].code, CMD_ECHO_SETTINGS);
        const Bytes payload = testsupport::EchoPayload(Dlg().Image());
        EXPECT_EQ(payload[0], type);
        EXPECT_EQ(testsupport::Head(after[0].data, payload.size()), payload);
    }
    // Nothing in flight, nothing waiting, no busy box.
    bool LinkSettled() {
        return !Dlg().Link().ReplyPending() && Dlg().Link().Sequencer().Waiting() == 0 &&
               !Dlg().WaitBoxOpen();
    }
    // A PC mode in the folder: the type, with echo values of its own.
    void KeepPcMode(int type) {
        ParamImage file;
        InitParamImage(file);
        file.ParamBytes[85] = static_cast<std::uint8_t>(type);
        file.ParamBytes[87] = 33;
        file.ParamWords[30] = 321;
        ModeName name;
        name.fill(' ');
        ASSERT_TRUE(SavePcModeFile(unit_->folder.path().toStdString(), "Stage", file, name));
    }
    CDlgSys& ShowSystemPage() {
        Dlg().show();
        Dlg().ControlAs<CMyBtn>(1815)->click();
        platform::MessageQueue::Drain();
        return *static_cast<CDlgSys*>(Dlg().Page(kTableSys));
    }
    // Upload To Equipment of the folder's one PC mode.
    void UploadThePcMode() {
        CDlgSys& sys = ShowSystemPage();
        QTreeWidget* list = sys.ControlAs<QTreeWidget>(CDlgSys::kPcModeListId);
        ASSERT_EQ(list->topLevelItemCount(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->topLevelItem(0)).center());
        QTest::mouseClick(sys.ControlAs<QPushButton>(CDlgSys::kUploadToEquipmentId),
                          Qt::LeftButton);
        platform::MessageQueue::Drain();
    }
    // Save into a user mode of the unit, under a typed name.
    void SaveToUserMode(int slot) {
        CDlgSys& sys = ShowSystemPage();
        testsupport::Choose(sys.ControlAs<QComboBox>(CDlgSys::kUserModeComboId), slot);
        QLineEdit* name = sys.ControlAs<QLineEdit>(CDlgSys::kModeNameEditId);
        name->clear();
        name->setFocus();
        QTest::keyClicks(name, "ECHO");
        QTest::mouseClick(sys.ControlAs<QPushButton>(CDlgSys::kSaveId), Qt::LeftButton);
        platform::MessageQueue::Drain();
    }
    bool EchoTypeWaitsInLine() {
        const std::vector<std::uint8_t> codes = Dlg().Link().Sequencer().WaitingCodes();
        return std::find(codes.begin(), codes.end(), CMD_ECHO_TYPE) != codes.end();
    }
    int UnitCount(std::uint8_t code) const { return unit_->device.CountOf(code); }
    // The page as it stands when nothing waits: laid out for the image's
    // type, the combo on it.
    void ExpectOpenOn(int type) {
        EXPECT_FALSE(Echo().AwaitingType());
        EXPECT_TRUE(Echo().isEnabled());
        EXPECT_EQ(Dlg().Image().ParamBytes[85], type);
        EXPECT_EQ(Echo().LaidOutType(), type);
        EXPECT_EQ(Type()->currentIndex(), type);
    }

    testsupport::ScriptedPrompts prompts;

private:
    std::unique_ptr<testsupport::ConnectedMain> unit_ =
        std::make_unique<testsupport::ConnectedMain>();
};

}  // namespace

// Over WiFi each reply comes late, and a pick made behind a line of requests
// waits there a long time. The page stays closed all that time with no
// guard running (a guard counted from the pick would open it with the old
// type while the request still waits), its guard starts once the request is
// written, and the answer opens it on the new type: no echo settings frame
// with the old type follows the type request.
TEST_F(EchoWaitOnUnit, APickBehindALongLineIsTimedFromItsWrite) {
    ASSERT_NO_FATAL_FAILURE(Unit().Connect(UnitBlock(kStereo)));
    Hold(15);  // 300 ms a reply
    // Requests that keep the link busy: eight pass filters, each sent once.
    for (int filter = 0; filter < 8; ++filter)
        Dlg().PostMessage(WM_SEND_COMMAND, CMD_PASS_FILTER, filter);
    platform::MessageQueue::Drain();
    Pick(kDual);
    ASSERT_TRUE(EchoTypeWaitsInLine());
    // The user tries the page meanwhile.
    testsupport::SliderKey(Echo(), 1220, Qt::Key_Right);
    QTest::mouseClick(Echo().ControlAs<CMyBtn>(1852), Qt::LeftButton);
    Echo().PostMessage(WM_SLIDER_POS, 1226, 77);
    platform::MessageQueue::Drain();
    int looks = 0;
    ASSERT_TRUE(linktest::WaitFor(
        [&] {
            if (!EchoTypeWaitsInLine()) return true;
            ++looks;
            EXPECT_TRUE(Echo().AwaitingType());
            EXPECT_FALSE(Echo().isEnabled());
            EXPECT_FALSE(Timed());
            return false;
        },
        10000));
    EXPECT_GT(looks, 0);
    ASSERT_TRUE(linktest::WaitFor([&] { return UnitCount(CMD_ECHO_TYPE) == 1; }, 2000));
    // Written, its answer still held back.
    EXPECT_TRUE(Echo().AwaitingType());
    EXPECT_TRUE(Timed());
    ASSERT_TRUE(linktest::WaitFor([&] { return !Echo().AwaitingType(); }, 3000));
    ExpectOpenOn(kDual);
    EXPECT_FALSE(Timed());
    EXPECT_EQ(UnitCount(CMD_ECHO_SETTINGS), 0) << "nothing of the waiting page's input";

    ExpectSliderSendsTheType(1226, kDual);
    EXPECT_EQ(Unit().device.Block()[85], kDual);
    EXPECT_TRUE(prompts.shown().empty());
}

// Pick A, its wait runs out after its write, pick B: A's answer, coming
// while B waits, is stored but neither ends B's wait nor lays the page out
// for A; B's answer does.
TEST_F(EchoWaitOnUnit, AnEarlierPicksLateAnswerDoesNotEndALaterPicksWait) {
    ASSERT_NO_FATAL_FAILURE(Unit().Connect(UnitBlock(kStereo)));
    Hold(25);  // 500 ms a reply
    Pick(kMono);
    ASSERT_TRUE(linktest::WaitFor([&] { return UnitCount(CMD_ECHO_TYPE) == 1; }, 3000));
    ASSERT_TRUE(Timed());
    EchoTimerTick::Fire(Echo(), CDlgEcho::kTypeAnswerTimer);
    ExpectOpenOn(kStereo);

    Pick(kDual);
    ASSERT_TRUE(linktest::WaitFor([&] { return Dlg().Image().ParamBytes[85] == kMono; }, 3000));
    platform::MessageQueue::Drain();
    EXPECT_TRUE(Echo().AwaitingType());
    EXPECT_FALSE(Echo().isEnabled());
    EXPECT_EQ(Echo().LaidOutType(), kStereo);
    EXPECT_EQ(Type()->currentIndex(), kDual);

    ASSERT_TRUE(linktest::WaitFor([&] { return !Echo().AwaitingType(); }, 3000));
    ExpectOpenOn(kDual);
    EXPECT_EQ(UnitCount(CMD_ECHO_TYPE), 2);
    EXPECT_EQ(Unit().device.Block()[85], kDual);
    EXPECT_EQ(EchoFieldsOfImage(Dlg().Image()), EchoFieldsOfBlock(Unit().device.Block()));
    EXPECT_TRUE(prompts.shown().empty());
}

// A pick the link does not take opens the page at once, on the type the
// image holds, and the user learns why: while the link is still connecting
// (the user closed the busy box) a box says the unit is not connected; at
// the line's cap the status line says the request was not sent.
TEST_F(EchoWaitOnUnit, APickTheLinkDoesNotTakeOpensThePageAtOnceAndSaysSo) {
    struct Case {
        const char* what;
        std::function<void(EchoWaitOnUnit&)> arrive;
        std::vector<std::string> boxes;
        bool busyStatus;
    };
    const Case cases[] = {
        {"still connecting",
         [](EchoWaitOnUnit& t) {
             platform::WriteSettingInt(kLangSettingName, 0);
             t.Unit().device.SetBlock(UnitBlock(kStereo));
             t.Hold(25);
             ASSERT_TRUE(t.Unit().server.Listen());
             t.Unit().dlg = testsupport::StartMainOnEmulator(t.Unit().folder, t.Unit().server);
             t.Dlg().ControlAs<CMyBtn>(1818)->click();  // WIFI
             const auto closed = testsupport::WhenModal<CDlgWait>([](CDlgWait&) {});
             t.Dlg().ControlAs<CMyBtn>(1001)->click();  // Connect
             platform::MessageQueue::Drain();
             ASSERT_TRUE(*closed);
             ASSERT_LT(t.Dlg().Link().LinkState(), LinkSequencer::kConnected);
             ASSERT_TRUE(t.Dlg().ControlAs<CMyBtn>(1001)->Checked());
         },
         {NotConnectedText(kLanguageEnglish)},
         false},
        {"the line full",
         [](EchoWaitOnUnit& t) {
             ASSERT_NO_FATAL_FAILURE(t.Unit().Connect(UnitBlock(kStereo)));
             t.Hold(25);
             // One in flight, the rest up to the cap waiting.
             for (std::size_t n = 0; n <= LinkSequencer::kWaitingLimit; ++n)
                 t.Dlg().PostMessage(WM_SEND_COMMAND, CMD_TEST_SIGNAL, 0);
             platform::MessageQueue::Drain();
             ASSERT_EQ(t.Dlg().Link().Sequencer().Waiting(), LinkSequencer::kWaitingLimit);
         },
         {},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        c.arrive(*this);
        if (HasFatalFailure()) return;
        prompts.Clear();
        Pick(kDual);
        ExpectOpenOn(kStereo);
        EXPECT_FALSE(Timed());
        EXPECT_FALSE(EchoTypeWaitsInLine());
        EXPECT_EQ(prompts.Texts(), c.boxes);
        if (c.busyStatus) {
            EXPECT_EQ(Dlg().ItemText(1002), LinkStatusText(LinkStatus::kNotSent, kLanguageEnglish));
        }
        EXPECT_EQ(UnitCount(CMD_ECHO_TYPE), 0);
    }
}

// A PC mode uploaded while the answer is awaited reaches the unit after the
// type request, so the unit ends with the file's values: the answer, the
// values of a type the unit is about to leave, is not stored over them, and
// the page lays out the file's type. A block read the request waits behind
// is the unit's word before it, and the answer after it stands.
TEST_F(EchoWaitOnUnit, AModeLoadOrBlockReadDuringTheWaitLeavesImagePageAndUnitAgreeing) {
    struct Case {
        const char* what;
        int holdTicks;
        std::function<void(EchoWaitOnUnit&)> beforePick, duringTheWait;
        int endType;
    };
    const Case cases[] = {
        {"Upload To Equipment", 25, [](EchoWaitOnUnit&) {},
         [](EchoWaitOnUnit& t) {
             t.UploadThePcMode();
             if (::testing::Test::HasFatalFailure()) return;
             // The page shows the file, still waiting for the answer.
             EXPECT_EQ(t.Echo().LaidOutType(), kMono);
             EXPECT_TRUE(t.Echo().AwaitingType());
             EXPECT_EQ(t.Dlg().Image().ParamBytes[85], kMono);
             t.Hold(0);  // the upload's steps at once
         },
         kMono},
        {"a block read", 3,
         [](EchoWaitOnUnit& t) {
             t.Dlg().PostMessage(WM_SEND_COMMAND, CMD_READ_HEADER, 0);
             platform::MessageQueue::Drain();
         },
         [](EchoWaitOnUnit& t) { EXPECT_TRUE(t.EchoTypeWaitsInLine()); }, kDual},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        ASSERT_NO_FATAL_FAILURE(KeepPcMode(kMono));
        ASSERT_NO_FATAL_FAILURE(Unit().Connect(UnitBlock(kStereo)));
        Hold(c.holdTicks);
        c.beforePick(*this);
        Pick(kDual);
        c.duringTheWait(*this);
        if (HasFatalFailure()) return;
        ASSERT_TRUE(
            linktest::WaitFor([&] { return !Echo().AwaitingType() && LinkSettled(); }, 10000));
        linktest::RunFor(300);
        ExpectOpenOn(c.endType);
        EXPECT_EQ(Unit().device.Block()[85], c.endType);
        EXPECT_EQ(EchoFieldsOfImage(Dlg().Image()), EchoFieldsOfBlock(Unit().device.Block()));
        EXPECT_TRUE(Unit().device.UploadErrors().empty());
        prompts.Clear();
    }
}

// The unit completes a pick's request with another frame and never answers
// it, and the page gives up at its guard. A later pick's answer is that
// pick's own, with nothing, a Save or an upload between them: stored, it
// opens the page on the new type at once, the pick after it is answered in
// turn, and the echo settings that follow carry the type the unit plays.
TEST_F(EchoWaitOnUnit, ARequestAnotherFrameCompletedShiftsNoLaterAnswer) {
    struct Case {
        const char* what;
        std::function<void(EchoWaitOnUnit&)> between;
        int uploads;
    };
    const Case cases[] = {
        {"nothing between", [](EchoWaitOnUnit&) {}, 0},
        {"a Save", [](EchoWaitOnUnit& t) { t.SaveToUserMode(4); }, 1},
        {"Upload To Equipment", [](EchoWaitOnUnit& t) { t.UploadThePcMode(); }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        ASSERT_NO_FATAL_FAILURE(KeepPcMode(kStereo));
        ASSERT_NO_FATAL_FAILURE(Unit().Connect(UnitBlock(kStereo)));
        emu::Knobs knobs;
        knobs.delayTicks = 5;
        knobs.unasked =
            emu::UnaskedFrame{CMD_ECHO_TYPE, 1, emu::DeviceEmulator::kExtraCode, {1}, true};
        Unit().device.SetKnobs(knobs);

        Pick(kMono);
        ASSERT_TRUE(linktest::WaitFor(
            [&] { return UnitCount(CMD_ECHO_TYPE) == 1 && LinkSettled(); }, 3000));
        platform::MessageQueue::Drain();
        ASSERT_TRUE(Echo().AwaitingType());
        ASSERT_TRUE(Timed());
        EchoTimerTick::Fire(Echo(), CDlgEcho::kTypeAnswerTimer);
        ExpectOpenOn(kStereo);

        c.between(*this);
        if (HasFatalFailure()) return;
        ASSERT_TRUE(linktest::WaitFor([&] { return LinkSettled(); }, 10000));
        platform::MessageQueue::Drain();
        EXPECT_EQ(UnitCount(CMD_MODE_UPLOAD_END), c.uploads);
        EXPECT_TRUE(Unit().device.UploadErrors().empty());
        ExpectOpenOn(kStereo);

        int picks = 1;
        for (const int type : {kDual, kMono}) {
            SCOPED_TRACE(type);
            Pick(type);
            ++picks;
            ASSERT_TRUE(linktest::WaitFor(
                [&] { return UnitCount(CMD_ECHO_TYPE) == picks && LinkSettled(); }, 3000));
            platform::MessageQueue::Drain();
            ExpectOpenOn(type);
            EXPECT_FALSE(Timed());
            EXPECT_EQ(Unit().device.Block()[85], type);
            EXPECT_EQ(EchoFieldsOfImage(Dlg().Image()), EchoFieldsOfBlock(Unit().device.Block()));
        }

        ExpectSliderSendsTheType(1220, kMono);
        prompts.Clear();
    }
}
