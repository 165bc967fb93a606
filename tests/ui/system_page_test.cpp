// The System page on its own, driven through its controls: what each one
// stores, posts and shows, the refresh from the image, the access codes, the
// nudge keys and the user-mode checks. What reaches the unit is shown end to
// end in system_page_frames_test.cpp.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <cstring>

#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "link/command_codes.h"
#include "model/param_image.h"
#include "model/ui_text.h"
#include "support/case_name.h"
#include "support/recording_main.h"
#include "support/scripted_prompts.h"
#include "system/access_codes.h"
#include "system/dlg_sys.h"

namespace {

using testsupport::Command;
using testsupport::Commands;
using testsupport::Message;
using testsupport::RecordingMain;

class SystemPage : public ::testing::Test {
protected:
    void SetUp() override {
        InitParamImage(image);
        for (unsigned msg :
             {WM_SET_LANGUAGE, WM_BOOST_PAGE, WM_KEY_NUDGE, WM_LINK_BUSY, WM_OPEN_LEARN})
            main.Record(msg);
        page.Wire(&image);
        page.LoadFromImage();
        page.ApplySystemMode(image.ParamBytes[kSystemModeByte]);
        page.show();
        main.Take();
        main.TakeMessages();
    }
    template <class T>
    T* Get(int id) {
        T* c = page.ControlAs<T>(id);
        EXPECT_NE(c, nullptr) << id;
        return c;
    }
    CMyBtn* Btn(int id) { return Get<CMyBtn>(id); }
    void Click(int id) { QTest::mouseClick(Get<QAbstractButton>(id), Qt::LeftButton); }
    // A refusal: one OK box with the title caption, and nothing posted.
    void ExpectOnlyTheBox(const std::string& text) {
        ASSERT_EQ(prompts.shown().size(), 1u);
        EXPECT_EQ(prompts.shown()[0].text, text);
        EXPECT_EQ(prompts.shown()[0].caption, kAppTitle);
        EXPECT_EQ(prompts.shown()[0].type, platform::MbType::Ok);
        EXPECT_TRUE(main.Take().empty());
        EXPECT_TRUE(main.TakeMessages().empty());
    }
    // A step of the slider by the arrow keys, as a user with the focus on it.
    void Key(int sliderId, Qt::Key key) {
        QTest::keyClick(Get<CMySlider>(sliderId), key);
        platform::MessageQueue::Drain();
    }
    void Pick(int comboId, int index) {
        QComboBox* combo = Get<QComboBox>(comboId);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void Type(int editId, const char* utf8) {
        QLineEdit* edit = Get<QLineEdit>(editId);
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit, QString::fromUtf8(utf8));
    }
    std::string Text(int id) { return page.ItemText(id); }
    void SetName(ModeName& name, const char* text) {
        name.fill('\0');
        std::memcpy(name.data(), text, std::strlen(text));
    }

    testsupport::ScriptedPrompts prompts;
    ParamImage image;
    RecordingMain main;
    CDlgSys page{&main};
};

struct SliderCase {
    const char* what;
    int id;
    int byte;
    int label;
    unsigned code;
    int kind;     // SystemMode
    int start;    // the byte before
    Qt::Key key;  // one step
    int after;    // the byte after
    const char* text;
};
void PrintTo(const SliderCase& c, std::ostream* os) { *os << c.what; }

const SliderCase kSliderCases[] = {
    {"MusicMaxKtv", 1080, 4, 1082, CMD_MUSIC_SETTINGS, 0, 50, Qt::Key_Right, 51, "51"},
    {"MusicMaxCinemaEdits149", 1080, 149, 1082, CMD_MUSIC_SETTINGS, 1, 50, Qt::Key_Left, 49, "49"},
    {"MusicInit", 1081, 3, 1083, CMD_MUSIC_SETTINGS, 0, 86, Qt::Key_Left, 85, "85"},
    {"MicMax", 1205, 11, 1554, CMD_MIC_SETTINGS, 0, 0, Qt::Key_Right, 1, "1"},
    {"MicInit", 1206, 10, 1213, CMD_MIC_SETTINGS, 0, 10, Qt::Key_Right, 11, "11"},
    {"EffectInit", 1215, 21, 1217, CMD_EFFECT_INIT_VOLUME, 0, 99, Qt::Key_Left, 98, "98"},
    {"DanceThresholdAtZeroShowsMinus60", 1084, 98, 1085, CMD_SW_MODE, 0, 1, Qt::Key_Left, 0,
     "-60db"},
    {"DanceThresholdAt60ShowsZero", 1084, 98, 1085, CMD_SW_MODE, 0, 59, Qt::Key_Right, 60, "0db"},
    {"DanceTime", 1086, 99, 1087, CMD_SW_MODE, 0, 2, Qt::Key_Left, 1, "1s"},
    {"DanceVol", 1088, 96, 1089, CMD_SW_MODE, 0, 5, Qt::Key_Right, 6, "6"},
    {"SingVol", 1090, 97, 1091, CMD_SW_MODE, 0, 5, Qt::Key_Right, 6, "6"},
};

class SystemPageSliders : public SystemPage, public ::testing::WithParamInterface<SliderCase> {};

}  // namespace

TEST_P(SystemPageSliders, AStepStoresShowsAndPostsOnce) {
    const SliderCase& c = GetParam();
    image.ParamBytes[kSystemModeByte] = static_cast<std::uint8_t>(c.kind);
    image.ParamBytes[static_cast<std::size_t>(c.byte)] = static_cast<std::uint8_t>(c.start);
    const int otherMax = c.byte == 4 ? 149 : 4;
    const std::uint8_t other = image.ParamBytes[otherMax];
    page.LoadFromImage();
    page.ApplySystemMode(c.kind);
    EXPECT_TRUE(main.Take().empty());

    Key(c.id, c.key);
    EXPECT_EQ(image.ParamBytes[static_cast<std::size_t>(c.byte)], c.after);
    EXPECT_EQ(Text(c.label), c.text);
    EXPECT_EQ(main.Take(), (Commands{{c.code, 0}}));
    if (c.id == 1080) {
        EXPECT_EQ(image.ParamBytes[otherMax], other);
    }
}
INSTANTIATE_TEST_SUITE_P(Sliders, SystemPageSliders, ::testing::ValuesIn(kSliderCases),
                         testsupport::CaseName<SliderCase>);

// A position set by the program is remembered: moving back to the position
// the user had before the refresh still counts as a change.
TEST_F(SystemPage, ThePositionTheProgramSetIsTheLastShown) {
    image.ParamBytes[96] = 40;
    page.LoadFromImage();
    Key(1088, Qt::Key_Right);  // 41
    ASSERT_EQ(main.Take(), (Commands{{CMD_SW_MODE, 0}}));
    image.ParamBytes[96] = 42;
    page.LoadFromImage();
    Key(1088, Qt::Key_Left);  // back to 41
    EXPECT_EQ(image.ParamBytes[96], 41);
    EXPECT_EQ(Text(1089), "41");
    EXPECT_EQ(main.Take(), (Commands{{CMD_SW_MODE, 0}}));
}

TEST_F(SystemPage, DanceModeRadioSetsBit27AndPostsOnlyOnAChange) {
    image.ParamFlags &= ~(1u << 27);
    page.LoadFromImage();
    Click(CDlgSys::kSwAutoId);
    EXPECT_TRUE(image.ParamFlags & (1u << 27));
    EXPECT_TRUE(Btn(CDlgSys::kSwAutoId)->Checked());
    EXPECT_FALSE(Btn(CDlgSys::kSwManualId)->Checked());
    Click(CDlgSys::kSwAutoId);
    EXPECT_EQ(main.Take(), (Commands{{CMD_SW_MODE, 0}}));
    Click(CDlgSys::kSwManualId);
    EXPECT_FALSE(image.ParamFlags & (1u << 27));
    EXPECT_EQ(main.Take(), (Commands{{CMD_SW_MODE, 0}}));
}

TEST_F(SystemPage, IrEnableTwiceSendsTwiceAndLeavesTheFlagsAsTheyWere) {
    image.UnlockFlags = 0;
    page.LoadFromImage();
    EXPECT_TRUE(Btn(CDlgSys::kIrEnableId)->Checked());
    Click(CDlgSys::kIrEnableId);
    EXPECT_EQ(image.UnlockFlags, 1);
    EXPECT_FALSE(Btn(CDlgSys::kIrEnableId)->Checked());
    EXPECT_TRUE(Btn(CDlgSys::kUartEnableId)->Checked());
    Click(CDlgSys::kIrEnableId);
    EXPECT_EQ(image.UnlockFlags, 0);
    EXPECT_EQ(main.Take(), (Commands{{CMD_UNLOCK_FLAGS, 0}, {CMD_UNLOCK_FLAGS, 0}}));
    Click(CDlgSys::kUartEnableId);
    EXPECT_EQ(image.UnlockFlags, 2);
    EXPECT_FALSE(Btn(CDlgSys::kUartEnableId)->Checked());
    EXPECT_EQ(main.Take(), (Commands{{CMD_UNLOCK_FLAGS, 0}}));
}

TEST_F(SystemPage, LanguageRadioPostsOnlyWhenItMoves) {
    Click(CDlgSys::kEnglishId);
    EXPECT_TRUE(main.TakeMessages().empty());
    Click(CDlgSys::kChineseId);
    EXPECT_EQ(main.TakeMessages(), (std::vector<Message>{{WM_SET_LANGUAGE, 0, 1}}));
    EXPECT_TRUE(Btn(CDlgSys::kChineseId)->Checked());
    EXPECT_FALSE(Btn(CDlgSys::kEnglishId)->Checked());
    // A switch made elsewhere moves the radio without a message.
    page.ShowLanguage(0);
    EXPECT_TRUE(Btn(CDlgSys::kEnglishId)->Checked());
    EXPECT_TRUE(main.TakeMessages().empty());
    Click(CDlgSys::kChineseId);
    EXPECT_EQ(main.TakeMessages(), (std::vector<Message>{{WM_SET_LANGUAGE, 0, 1}}));
    EXPECT_TRUE(main.Take().empty());
}

// The PC mode list: titled "Index" / "Mode Name" (Chinese "序号" /
// "模式名称") by every language switch; its columns keep 40 and 160.
TEST_F(SystemPage, PcModeListTitlesAndColumnWidths) {
    auto* list = Get<QTreeWidget>(CDlgSys::kPcModeListId);
    const auto reads = [list] {
        QApplication::processEvents();  // the header lays its sections out
        return std::vector<std::string>{list->headerItem()->text(0).toStdString(),
                                        list->headerItem()->text(1).toStdString(),
                                        std::to_string(list->header()->sectionSize(0)),
                                        std::to_string(list->header()->sectionSize(1))};
    };
    EXPECT_EQ(reads(), (std::vector<std::string>{"Index", "Mode Name", "40", "160"}));
    page.SetLanguage(1);
    EXPECT_EQ(reads(), (std::vector<std::string>{"序号", "模式名称", "40", "160"}));
    page.SetLanguage(0);
    EXPECT_EQ(reads(), (std::vector<std::string>{"Index", "Mode Name", "40", "160"}));
    EXPECT_TRUE(main.Take().empty());
}

TEST_F(SystemPage, LogoSetCutsAndPadsClearBlanks) {
    page.OnLockNewPasswordEdit(AccessCodeText(AccessCode::kLogo));
    Type(CDlgSys::kLogoLine1EditId, "ABCDEFGHIJKLMNOPQRSTUVWXY");  // the edit keeps 20
    Type(CDlgSys::kLogoLine2EditId, "");
    Click(CDlgSys::kSetLogoId);
    const Commands sent = main.Take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].first, CMD_SET_LOGO);
    const auto* record = reinterpret_cast<const std::uint8_t*>(sent[0].second);
    EXPECT_EQ(record, page.LastLogoRecord().data());
    const std::string bytes(record, record + kLogoRecordSize);
    EXPECT_EQ(bytes, std::string("\x01") + "ABCDEFGHIJKLMNOPQRST" + std::string(20, ' '));

    Click(CDlgSys::kClearLogoId);
    ASSERT_EQ(main.Take().size(), 1u);
    EXPECT_EQ(std::string(page.LastLogoRecord().begin(), page.LastLogoRecord().end()),
              std::string(1, '\0') + std::string(40, ' '));
}

TEST_F(SystemPage, ChineseLogoLineIsCutBetweenCharacters) {
    page.OnLockNewPasswordEdit(AccessCodeText(AccessCode::kLogo));
    // One letter and ten Chinese characters: 21 GBK bytes.
    Get<QLineEdit>(CDlgSys::kLogoLine1EditId)->setText(QString::fromUtf8("a中中中中中中中中中中"));
    Click(CDlgSys::kSetLogoId);
    const LogoRecord& r = page.LastLogoRecord();
    EXPECT_EQ(r[1], 'a');
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(r[static_cast<std::size_t>(2 + 2 * i)], 0xD6) << i;
        EXPECT_EQ(r[static_cast<std::size_t>(3 + 2 * i)], 0xD0) << i;
    }
    EXPECT_EQ(r[20], ' ');
}

TEST_F(SystemPage, AccessCodes) {
    for (int id : {1849, 1850, 1851, 1852, 1545, 1546, CDlgSys::kWifiId})
        EXPECT_TRUE(page.ControlAs<QWidget>(id)->isHidden()) << id;
    QLineEdit* edit = Get<QLineEdit>(CDlgSys::kLockNewPasswordEditId);

    Type(CDlgSys::kLockNewPasswordEditId, AccessCodeText(AccessCode::kBoost).c_str());
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(main.TakeMessages(), (std::vector<Message>{{WM_BOOST_PAGE, 0, 1}}));

    Type(CDlgSys::kLockNewPasswordEditId, AccessCodeText(AccessCode::kLogo).c_str());
    EXPECT_EQ(edit->text(), "");
    for (int id : {1849, 1850, 1851, 1852, 1545, 1546})
        EXPECT_FALSE(page.ControlAs<QWidget>(id)->isHidden()) << id;
    EXPECT_TRUE(page.ControlAs<QWidget>(CDlgSys::kWifiId)->isHidden());

    const std::string wifi = AccessCodeText(AccessCode::kWifi);
    Type(CDlgSys::kLockNewPasswordEditId, wifi.c_str());
    EXPECT_EQ(edit->text().toStdString(), wifi);
    EXPECT_FALSE(page.ControlAs<QWidget>(CDlgSys::kWifiId)->isHidden());
    // The codes are whole and case-sensitive.
    std::string upper = AccessCodeText(AccessCode::kBoost);
    upper[0] = static_cast<char>(upper[0] - 'a' + 'A');
    Type(CDlgSys::kLockNewPasswordEditId, upper.c_str());
    EXPECT_EQ(edit->text().toStdString(), upper);
    EXPECT_TRUE(main.TakeMessages().empty());
    EXPECT_TRUE(main.Take().empty());
}

TEST_F(SystemPage, ModifyNeedsFourCharactersInBothLockEdits) {
    QWidget* modify = page.Control(CDlgSys::kLockModifyId);
    EXPECT_FALSE(modify->isEnabled());
    Type(1579, "1234");
    Type(CDlgSys::kLockNewPasswordEditId, "567");
    EXPECT_FALSE(modify->isEnabled());
    Type(CDlgSys::kLockNewPasswordEditId, "5678");
    EXPECT_TRUE(modify->isEnabled());
    Type(CDlgSys::kLockNewPasswordEditId, "56789");
    EXPECT_FALSE(modify->isEnabled());
}

// The nudge letters move the main volumes from every control but the edits
// that take names and codes.
TEST_F(SystemPage, NudgeLettersExceptInTheTypingEdits) {
    QLineEdit* password = Get<QLineEdit>(1579);
    password->setFocus();
    QTest::keyClick(password, Qt::Key_Q);
    QTest::keyClick(password, Qt::Key_D);
    EXPECT_EQ(main.TakeMessages(),
              (std::vector<Message>{{WM_KEY_NUDGE, 0, 1}, {WM_KEY_NUDGE, 2, 0}}));
    EXPECT_EQ(password->text(), "");

    for (int id : {1560, CDlgSys::kModeNameEditId, CDlgSys::kLockNewPasswordEditId,
                   CDlgSys::kLogoLine1EditId, CDlgSys::kLogoLine2EditId}) {
        QLineEdit* edit = Get<QLineEdit>(id);
        edit->show();
        edit->setFocus();
        QTest::keyClicks(edit, "Qa");
        EXPECT_EQ(edit->text(), "Qa") << id;
        EXPECT_TRUE(main.TakeMessages().empty()) << id;
    }
}

TEST_F(SystemPage, LearnButtonOpensLearning) {
    Click(CDlgSys::kLearnId);
    EXPECT_EQ(main.TakeMessages(), (std::vector<Message>{{WM_OPEN_LEARN, 0, 0}}));
}

TEST_F(SystemPage, RefreshShowsTheImageAndPostsNothing) {
    image.ParamBytes[kSystemModeByte] = 1;
    image.ParamBytes[149] = 77;
    image.ParamBytes[4] = 12;
    image.ParamBytes[98] = 20;
    image.ParamBytes[99] = 9;
    image.ParamBytes[103] = 0x80 | 75;  // record volume 0 dB, inverted
    image.ParamBytes[104] = 0;
    image.ParamFlags |= 1u << 27;
    image.UnlockFlags = 2;
    image.KeyLockOn = 1;
    image.AdminMode = 0;
    image.PowerOnMode = 4;
    image.CurrentModeSlot = 6;
    SetName(image.ModeNameTable[6], "ROCK");
    std::memcpy(image.CurrentModeName.data(), "ROCK            ", 16);
    page.LoadFromImage();
    page.ApplySystemMode(1);

    EXPECT_EQ(Get<CMySlider>(1080)->Value(), 77);
    EXPECT_EQ(Text(1082), "77");
    EXPECT_EQ(Text(1085), "-40db");
    EXPECT_EQ(Text(1087), "9s");
    EXPECT_EQ(Text(1834), "0.0dB");
    EXPECT_EQ(Text(1836), "-");
    EXPECT_EQ(Text(1838), "0%");
    EXPECT_EQ(Text(1840), "+");
    EXPECT_TRUE(Btn(CDlgSys::kSwAutoId)->Checked());
    EXPECT_TRUE(Btn(CDlgSys::kIrEnableId)->Checked());
    EXPECT_FALSE(Btn(CDlgSys::kUartEnableId)->Checked());
    EXPECT_TRUE(Btn(1813)->Checked());
    EXPECT_FALSE(Btn(1812)->Checked());
    EXPECT_TRUE(Btn(1814)->Checked());
    EXPECT_FALSE(Btn(1815)->Checked());
    EXPECT_EQ(Get<QComboBox>(CDlgSys::kUserModeComboId)->currentText(), "7 - ROCK");
    EXPECT_EQ(page.SelectedUserMode(), 6);
    EXPECT_EQ(Get<QComboBox>(CDlgSys::kPowerOnComboId)->currentText(), "User Mode 4");
    EXPECT_EQ(Text(CDlgSys::kModeNameEditId), "ROCK");
    EXPECT_EQ(image.CurrentModeName[4], '\0');
    EXPECT_EQ(Text(1386), UiText(0, 212));
    EXPECT_TRUE(main.Take().empty());
    EXPECT_TRUE(main.TakeMessages().empty());
    // The music maximum now edits the cinema byte.
    Key(1080, Qt::Key_Left);
    EXPECT_EQ(image.ParamBytes[149], 76);
    EXPECT_EQ(image.ParamBytes[4], 12);
}

// Values from the unit outside a radio or list select nothing; Recall and
// Save then wait for the user's pick.
TEST_F(SystemPage, OutOfRangeValuesFromTheUnitSelectNothing) {
    image.CurrentModeSlot = 40;
    image.AdminMode = 3;
    image.PowerOnMode = 11;
    page.LoadFromImage();
    EXPECT_EQ(Get<QComboBox>(CDlgSys::kUserModeComboId)->currentIndex(), -1);
    EXPECT_EQ(page.SelectedUserMode(), -1);
    EXPECT_EQ(Get<QComboBox>(CDlgSys::kPowerOnComboId)->currentIndex(), -1);
    for (int id : {1814, 1815, 1816}) EXPECT_FALSE(Btn(id)->Checked()) << id;

    image.AdminMode = image.AdminModeConfirmed = 1;
    page.hooks.linkConnected = [] { return true; };
    Click(CDlgSys::kRecallId);
    Click(CDlgSys::kSaveId);
    EXPECT_TRUE(main.Take().empty());
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_EQ(image.ModeNameTable[8], ModeName{});

    Pick(CDlgSys::kUserModeComboId, 8);
    Click(CDlgSys::kRecallId);
    Click(CDlgSys::kSaveId);
    EXPECT_EQ(main.Take(), (Commands{{CMD_SELECT_MODE, 8}, {CMD_MODE_UPLOAD_START, 8}}));
    // A signed slot byte of -1 is outside too.
    image.CurrentModeSlot = 0xFF;
    page.LoadFromImage();
    EXPECT_EQ(page.SelectedUserMode(), -1);
}

TEST_F(SystemPage, PickingAUserModeShowsItsName) {
    SetName(image.ModeNameTable[2], "ROCK");
    page.FillUserModeCombo();
    EXPECT_EQ(Get<QComboBox>(CDlgSys::kUserModeComboId)->itemText(2), "3 - ROCK");
    Pick(CDlgSys::kUserModeComboId, 2);
    EXPECT_EQ(page.SelectedUserMode(), 2);
    EXPECT_EQ(Text(CDlgSys::kModeNameEditId), "ROCK");
    EXPECT_TRUE(main.Take().empty());
}

TEST_F(SystemPage, RecallPostsTheSelectAndTheLoadingBoxOnlyWhenConnected) {
    image.CurrentModeSlot = 4;
    page.LoadFromImage();
    Click(CDlgSys::kRecallId);
    ExpectOnlyTheBox(NotConnectedText(kLanguageEnglish));
    prompts.Clear();
    page.hooks.linkConnected = [] { return true; };
    Click(CDlgSys::kRecallId);
    EXPECT_EQ(main.Take(), (Commands{{CMD_SELECT_MODE, 4}}));
    EXPECT_EQ(main.TakeMessages(), (std::vector<Message>{{WM_LINK_BUSY, 1, 0}}));
}

struct RefusedSave {
    const char* what;
    int admin;
    int language;
    const char* name;
    const char* text;
};
void PrintTo(const RefusedSave& c, std::ostream* os) { *os << c.what; }
const RefusedSave kRefusedSaves[] = {
    {"UserLevel", 0, 0, "ROCK", "must be in admin mode"},
    {"HiddenLevelTwoChinese", 2, 1, "ROCK", "必须处于管理模式才能存储"},
    {"BadName", 1, 0, "RO{K", "Invalide charater in mode name"},
    {"BadNameChinese", 1, 1, "摇滚", "模式名称含有非法字符"},
};
class SystemPageRefusedSave : public SystemPage,
                              public ::testing::WithParamInterface<RefusedSave> {};

TEST_P(SystemPageRefusedSave, ShowsWhyUnderTheTitleAndSendsNothing) {
    const RefusedSave& c = GetParam();
    image.AdminModeConfirmed = c.admin;
    page.SetLanguage(c.language);
    page.hooks.linkConnected = [] { return true; };
    Get<QLineEdit>(CDlgSys::kModeNameEditId)->setText(QString::fromUtf8(c.name));
    Click(CDlgSys::kSaveId);
    ExpectOnlyTheBox(c.text);
}
INSTANTIATE_TEST_SUITE_P(Saves, SystemPageRefusedSave, ::testing::ValuesIn(kRefusedSaves),
                         testsupport::CaseName<RefusedSave>);

namespace {

// The unit would not take the store now: the page asks before it posts, so
// the one box says why (the builder's refusal box and a busy box that opens
// and closes at once would be what the user saw otherwise).
struct RefusedUpload {
    const char* what;
    UploadRefusal why;
    int powerOnMode;
    int language;
    const char* text;
};
void PrintTo(const RefusedUpload& c, std::ostream* os) { *os << c.what; }
const RefusedUpload kRefusedUploads[] = {
    {"AnotherUploadRunning", UploadRefusal::kUploadRunning, 3, 0,
     "Not sent: an upload to the equipment is still running"},
    {"BlockReadDueChinese", UploadRefusal::kBlockReadDue, 3, 1, "未发送：设备正在发送参数"},
    {"TheLineFull", UploadRefusal::kLineFull, 3, 0,
     "Not sent: the equipment is busy, too many requests are waiting"},
    {"TheLineFullChinese", UploadRefusal::kLineFull, 3, 1, "未发送：设备忙，等待的请求过多"},
    {"PowerOnModeFromTheUnit", UploadRefusal::kPowerOnMode, 11, 0,
     "Not sent: System: Power Mode 11, outside 0 .. 10"},
};
class SystemPageRefusedUpload : public SystemPage,
                                public ::testing::WithParamInterface<RefusedUpload> {};

}  // namespace

TEST_P(SystemPageRefusedUpload, SaysWhyAndPostsNeitherTheStoreNorABusyBox) {
    const RefusedUpload& c = GetParam();
    image.AdminModeConfirmed = 1;
    image.CurrentModeSlot = 5;
    image.PowerOnMode = c.powerOnMode;
    page.LoadFromImage();
    page.SetLanguage(c.language);
    page.hooks.linkConnected = [] { return true; };
    page.hooks.uploadRefusal = [why = c.why] { return std::optional<UploadRefusal>(why); };
    Get<QLineEdit>(CDlgSys::kModeNameEditId)->setText("ROCK");
    const ParamImage before = image;
    Click(CDlgSys::kSaveId);
    ExpectOnlyTheBox(c.text);
    EXPECT_TRUE(image == before);

    // Offline the unit is not asked: the page says it is not connected.
    prompts.Clear();
    page.hooks.linkConnected = [] { return false; };
    Click(CDlgSys::kSaveId);
    ExpectOnlyTheBox(NotConnectedText(c.language));
}
INSTANTIATE_TEST_SUITE_P(Saves, SystemPageRefusedUpload, ::testing::ValuesIn(kRefusedUploads),
                         testsupport::CaseName<RefusedUpload>);

TEST_F(SystemPage, SaveInAdminModeUploadsToTheSelectedSlot) {
    image.AdminModeConfirmed = 1;
    image.CurrentModeSlot = 5;
    page.LoadFromImage();
    page.hooks.linkConnected = [] { return true; };
    Get<QLineEdit>(CDlgSys::kModeNameEditId)->setText("");
    page.hooks.uploadRefusal = [] { return std::optional<UploadRefusal>(); };
    Click(CDlgSys::kSaveId);
    EXPECT_EQ(main.Take(), (Commands{{CMD_MODE_UPLOAD_START, 5}}));
    EXPECT_EQ(main.TakeMessages(), (std::vector<Message>{{WM_LINK_BUSY, 2, 0}}));
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(SystemPage, ResetAsksUnderWarningAndOnlyOkPosts) {
    image.AdminModeConfirmed = 0;
    Click(CDlgSys::kResetId);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, "must be in admin mode");
    EXPECT_EQ(prompts.shown()[0].caption, "Warning");
    EXPECT_EQ(prompts.shown()[0].type, platform::MbType::Ok);
    prompts.Clear();

    image.AdminModeConfirmed = 1;
    page.SetLanguage(1);
    page.hooks.linkConnected = [] { return true; };
    prompts.Answer(IDCANCEL);
    Click(CDlgSys::kResetId);
    EXPECT_TRUE(main.Take().empty());
    prompts.Answer(IDOK);
    Click(CDlgSys::kResetId);
    EXPECT_EQ(main.Take(), (Commands{{CMD_RESET_ALL, 0}}));
    ASSERT_EQ(prompts.shown().size(), 2u);
    for (const auto& shown : prompts.shown()) {
        EXPECT_EQ(shown.text, "清除所有模式?");
        EXPECT_EQ(shown.caption, "警告");
        EXPECT_EQ(shown.type, platform::MbType::OkCancelQuestion);
    }
}

TEST_F(SystemPage, PowerOnModeSendsOnlyAChange) {
    image.PowerOnMode = 0;
    page.LoadFromImage();
    Pick(CDlgSys::kPowerOnComboId, 0);
    EXPECT_TRUE(main.Take().empty());
    Pick(CDlgSys::kPowerOnComboId, 10);
    EXPECT_EQ(image.PowerOnMode, 10);
    EXPECT_EQ(main.Take(), (Commands{{CMD_POWER_ON_MODE, 0}}));
}

TEST_F(SystemPage, LanguageRefillsThePowerOnListKeepingItsPick) {
    image.PowerOnMode = 3;
    page.LoadFromImage();
    page.SetLanguage(1);
    QComboBox* combo = Get<QComboBox>(CDlgSys::kPowerOnComboId);
    EXPECT_EQ(combo->currentIndex(), 3);
    EXPECT_EQ(combo->itemText(0).toStdString(), "上次调用的模式");
    EXPECT_EQ(combo->currentText().toStdString(), "模式3");
    EXPECT_TRUE(main.Take().empty());
}

TEST_F(SystemPage, KindLayoutEnablesKtvOnlyControls) {
    const int ktvOnly[] = {1081, 1205, 1206, 1215, 1084, 1086, 1088, 1090, 1810, 1811};
    struct Case {
        int kind;
        bool ktv, musicMax;
    };
    for (const Case& c : {Case{0, true, true}, Case{1, false, true}, Case{2, false, false},
                          Case{7, false, false}}) {
        image.ParamBytes[kSystemModeByte] = static_cast<std::uint8_t>(c.kind);
        page.ApplySystemMode(c.kind);
        for (int id : ktvOnly)
            EXPECT_EQ(page.Control(id)->isEnabled(), c.ktv) << c.kind << " " << id;
        EXPECT_EQ(page.Control(1080)->isEnabled(), c.musicMax) << c.kind;
        EXPECT_EQ(image.ParamBytes[kSystemModeByte], c.kind);
    }
    EXPECT_TRUE(main.Take().empty());
}

// What the page keeps hidden (the UI-mode group, the kind pair, the cinema
// input, the record mixer, the EQ and mass-save buttons) stays hidden through
// refreshes, every kind's layout, both languages and the access codes.
TEST_F(SystemPage, HiddenControlsStayHidden) {
    const int hidden[] = {1557, 1808, 1809, 1816, 1817, 1818, 1859, 1833, 1832,
                          1835, 1834, 1836, 1837, 1839, 1838, 1840, 1841, 1843,
                          1842, 1844, 1845, 1847, 1846, 1848, 1315, 1316};
    auto expectHidden = [&](const char* after) {
        for (int id : hidden) EXPECT_TRUE(page.Control(id)->isHidden()) << after << " " << id;
    };
    expectHidden("start");
    for (int kind : {0, 1, 2, 7}) {
        image.ParamBytes[kSystemModeByte] = static_cast<std::uint8_t>(kind);
        page.LoadFromImage();
        page.ApplySystemMode(kind);
        expectHidden("kind");
    }
    page.SetLanguage(1);
    page.SetLanguage(0);
    expectHidden("language");
    for (AccessCode code : {AccessCode::kBoost, AccessCode::kLogo, AccessCode::kWifi})
        Type(CDlgSys::kLockNewPasswordEditId, AccessCodeText(code).c_str());
    expectHidden("access codes");
}

// Before the first refresh the user-mode list holds only the numbers and
// their dashes, the first one selected.
TEST(SystemPageStart, UserModeListShowsNumbersUntilTheFirstRefresh) {
    testsupport::RecordingMain main;
    CDlgSys fresh{&main};
    QComboBox* combo = fresh.ControlAs<QComboBox>(CDlgSys::kUserModeComboId);
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 10);
    for (int slot = 0; slot < 10; ++slot)
        EXPECT_EQ(combo->itemText(slot).toStdString(), std::to_string(slot + 1) + " -") << slot;
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(fresh.SelectedUserMode(), 0);
}
